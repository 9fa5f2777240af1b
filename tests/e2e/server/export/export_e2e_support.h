#pragma once
#include <QAction>
// The real main window with the program's features on an in-process regsim,
// logged in through the page, and the "抓包导出" controller it carries.
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "app/features.h"
#include "browser/main_window.h"
#include "tests/support/tab_access.h"
#include "common/app_state.h"
#include "common/ui/scripted_prompts.h"
#include "server/export/export_dialog.h"
#include "server/export/in_school_export.h"
#include "sim/regsim.h"

namespace qm::e2e {

inline constexpr int kLongWait = 60000;

// Also notes whether Timer1 ran when the save dialog came up.
class WatchingPrompts : public ScriptedPrompts {
 public:
  QTimer* timer1 = nullptr;
  std::optional<bool> timerActiveAtSaveDialog;
  QString saveFileName(const QString& filter, const QString& startDir) override {
    if (timer1) timerActiveAtSaveDialog = timer1->isActive();
    return ScriptedPrompts::saveFileName(filter, startDir);
  }
};

class ExportWindowTest : public ::testing::Test {
 public:
  void TearDown() override {
    form_.reset();
    sim_.reset();
  }

  void startSim(sim::RegSimOptions options) {
    sim_ = std::make_unique<sim::RegSim>(options);
    ASSERT_TRUE(sim_->start());
    state_.serverHost = sim_->host();
    state_.settingsPath = QDir(dir_.path()).filePath(QStringLiteral("quillmeresz.ini")).toStdString();
  }

  TForm1& makeForm() {
    form_ = std::make_unique<TForm1>(state_, prompts_);
    installFeatures(*form_);
    form_->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form_->panelText(0).startsWith(QStringLiteral("打开完毕!")); },
                                kLongWait));
    prompts_.timer1 = timer1();
    return *form_;
  }

  InSchoolExport& exporter() { return *form_->findChild<InSchoolExport*>(); }
  QTimer* timer1() { return form_->findChild<QTimer*>(QStringLiteral("Timer1")); }
  QAction* f11() { return form_->findChild<QAction*>(QStringLiteral("Action12")); }
  QPushButton* button(const char* name) { return form_->findChild<QPushButton*>(QString::fromLatin1(name)); }

  QVariant js(const QString& script) {
    auto result = std::make_shared<std::optional<QVariant>>();
    auto task = tabDocument(*form_, 0).run(script).then([result](QVariant v) { *result = std::move(v); });
    (void)QTest::qWaitFor([&] { return result->has_value(); }, kLongWait);
    return result->value_or(QVariant());
  }
  bool pageHolds(const QString& text) {
    return QTest::qWaitFor([&] { return js(QStringLiteral("document.documentElement.innerHTML")).toString().contains(text); },
                           kLongWait);
  }
  // As the user does it: the login page on the home tab.
  void logIn() {
    ASSERT_TRUE(pageHolds(QStringLiteral("_j_username")));
    js(QStringLiteral("document.getElementsByName('_j_username')[0].value = 'demo';"
                      "document.getElementsByName('_j_password')[0].value = 'demo123';"
                      "document.forms[0].submit(); true;"));
    ASSERT_TRUE(pageHolds(QStringLiteral("注销")));
  }

  std::string path(const char* name) const { return QDir(dir_.path()).filePath(QString::fromUtf8(name)).toStdString(); }

  // Presses the button and waits for the run's end, whichever way it ends.
  bool runExport() {
    QSignalSpy ended(&exporter(), &InSchoolExport::finished);
    button("FlatButton13")->click();
    return ended.count() > 0 || ended.wait(kLongWait);
  }

  std::unique_ptr<sim::RegSim> sim_;
  AppState state_;
  WatchingPrompts prompts_;
  QTemporaryDir dir_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace qm::e2e
