#pragma once
// The real main window with the program's features on an in-process regsim,
// logged in through the page, a list page opened as the user opens it, and
// the page scrapes' controller it carries.
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

#include "app/features.h"
#include "browser/main_window.h"
#include "common/app_state.h"
#include "common/ui/scripted_prompts.h"
#include "server/scrape/page_scrapes.h"
#include "sim/regsim.h"
#include "tests/support/sheet_readers.h"
#include "tests/support/tab_access.h"

namespace qm::e2e {

inline constexpr int kLongWait = 60000;
inline const QString kDone = QStringLiteral("导出成功！");

class ScrapeWindowTest : public ::testing::Test {
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
    return *form_;
  }

  PageScrapes& scrapes() { return *form_->findChild<PageScrapes*>(); }
  QPushButton* button(const char* name) { return form_->findChild<QPushButton*>(QString::fromLatin1(name)); }

  QVariant js(int slot, const QString& script) {
    auto result = std::make_shared<std::optional<QVariant>>();
    auto task = tabDocument(*form_, slot).run(script).then([result](QVariant v) { *result = std::move(v); });
    (void)QTest::qWaitFor([&] { return result->has_value(); }, kLongWait);
    return result->value_or(QVariant());
  }
  bool pageHolds(int slot, const QString& text) {
    return QTest::qWaitFor(
        [&] { return js(slot, QStringLiteral("document.documentElement.innerHTML")).toString().contains(text); },
        kLongWait);
  }
  void logIn() {
    ASSERT_TRUE(pageHolds(0, QStringLiteral("_j_username")));
    js(0, QStringLiteral("document.getElementsByName('_j_username')[0].value = 'demo';"
                         "document.getElementsByName('_j_password')[0].value = 'demo123';"
                         "document.forms[0].submit(); true;"));
    ASSERT_TRUE(pageHolds(0, QStringLiteral("注销")));
  }

  int gridRequests(int page) const {
    int n = 0;
    const std::string want = "page=" + std::to_string(page);
    for (const auto& r : sim_->requests())
      if (r.path == sim::RegSim::kGridFragmentPath && r.target.size() >= want.size() &&
          r.target.compare(r.target.size() - want.size(), want.size(), want) == 0)
        ++n;
    return n;
  }

  // Opens the list page as its top-bar button does ("查询在校生" or "异动审核")
  // and waits until the page shows its grid and the navigation's click on its
  // first button has reloaded page 1.
  void openListPage(const char* navButton, const char* pagerId) {
    const int before = form_->LastTabIndex();
    button(navButton)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form_->LastTabIndex() == before + 1; }, kLongWait));
    const int slot = form_->LastTabIndex();
    ASSERT_TRUE(pageHolds(slot, QString::fromLatin1(pagerId)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return gridRequests(1) > 0; }, kLongWait));
    QTest::qWait(300);  // the reload of page 1 lands
    ASSERT_EQ(form_->ActiveTabIndex(), slot);
  }

  std::string path(const char* name) const { return QDir(dir_.path()).filePath(QString::fromUtf8(name)).toStdString(); }
  void writeOld(const std::string& file) {
    QFile old(QString::fromStdString(file));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old export");
  }
  QByteArray contents(const std::string& file) {
    QFile f(QString::fromStdString(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }

  // Presses the button (or runs the hidden handler) and waits for the run's end.
  bool runScrape(const char* name) {
    QSignalSpy ended(&scrapes(), &PageScrapes::finished);
    if (QString::fromLatin1(name) == QLatin1String("FlatButton23"))
      scrapes().FlatButton23Click();
    else
      button(name)->click();
    return ended.count() > 0 || ended.wait(kLongWait);
  }

  std::unique_ptr<sim::RegSim> sim_;
  AppState state_;
  ScriptedPrompts prompts_;
  QTemporaryDir dir_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace qm::e2e
