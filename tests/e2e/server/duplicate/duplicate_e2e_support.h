#pragma once
// TForm12 on an in-process regsim: a logged-in session as the browser's
// cookie, a workbook written by python3-xlwt, and captcha dialogs answered by
// a script that reads the code the server drew (a test-only regsim call).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QCoro/QCoroTask>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "server/duplicate/captcha_dialog.h"
#include "server/duplicate/duplicate_window.h"
#include "workbook/ui/workbook_panel.h"
#include "sim/regsim.h"
#include "tests/gui/app/window_host_stub.h"
#include "tests/support/regsim_fixture.h"
#include "tests/support/xls_maker.h"

namespace qm::e2e {

class CookieHost : public test::WindowHostStub {
 public:
  std::string cookie;
  std::string cookieText() override { return cookie; }
};

// One captcha dialog as the user answers it.
struct CaptchaEntry {
  enum Code { Right, Wrong, Empty } code = Right;
  bool cancel = false;     // 取消 instead of 确定
  bool keys = false;       // Enter / Esc instead of the buttons
  bool pressStop = false;  // 停止 in the window before the dialog closes
  bool closeWindow = false;  // the window closed while the dialog is up
  int stopAfterMs = -1;      // 停止 that long after the dialog closed
};

// What one dialog showed.
struct CaptchaSeen {
  QString counter;
  bool pictureLoaded = false;
  QSize pictureSize;
};

class DuplicateTest : public test::RegSimFixture {
 public:
  void TearDown() override {
    form_.reset();
    RegSimFixture::TearDown();
  }

  void startSim(sim::RegSimOptions options = {.students = 12, .outsidePeople = 3}) {
    startServer(options);
    host_.appState.serverHost = sim_->host();
    host_.cookie = sim_->loginCookie();
  }

  TForm12& makeForm() {
    form_ = std::make_unique<TForm12>(host_);
    form_->showCaptcha = [this](TForm13& dialog) { answer(dialog); };
    form_->show();
    return *form_;
  }

  // Writes the workbook and opens it through 打开.
  void openWorkbook(const std::vector<test::XlsSheet>& sheets) {
    test::writeXls({path("students.xls"), sheets}, dir_.path.string());
    host_.scripted.fileNames.push_back(QString::fromStdString(path("students.xls")));
    QCoro::waitFor(form_->BitBtn2Click());
  }

  // Presses 开始查重 and waits for the run's end.
  bool run() {
    QSignalSpy ended(form_.get(), &TForm12::runEnded);
    form_->Button1->click();
    return ended.count() > 0 || ended.wait(60000);
  }

  QStringList log() const {
    QStringList out;
    for (const auto& line : form_->logLines()) out << QString::fromStdString(line);
    return out;
  }

  const sim::Student& student(std::size_t i) const { return sim_->students().at(i); }
  // "a;b" of the schools the server has for that ID number.
  std::string schoolsOf(const std::string& id) const {
    std::string out;
    for (const auto& r : sim_->provinceRegistrations(id)) out += (out.empty() ? "" : ";") + r.schoolName;
    return out;
  }

  std::vector<sim::RawRequest> requestsTo(const std::string& path) const {
    std::vector<sim::RawRequest> out;
    for (const auto& r : sim_->requests())
      if (r.path == path) out.push_back(r);
    return out;
  }

  std::deque<CaptchaEntry> entries;
  std::vector<CaptchaSeen> seen;

  CookieHost host_;
  std::unique_ptr<TForm12> form_;

 private:
  void answer(TForm13& dialog) {
    QObject::connect(&dialog, &TForm13::pictureSettled, &dialog, [this, d = &dialog] { script(*d); },
                     Qt::QueuedConnection);
    dialog.show();
  }

  void script(TForm13& dialog) {
    CaptchaSeen s;
    s.counter = form_->Label9->text();
    s.pictureLoaded = dialog.pictureLoaded();
    s.pictureSize = dialog.picture().size();
    seen.push_back(s);
    if (entries.empty()) {
      ADD_FAILURE() << "a captcha dialog more than scripted";
      dialog.Button2Click();
      return;
    }
    const CaptchaEntry e = entries.front();
    entries.pop_front();
    const std::string right = sim_->captchaCode(host_.cookie);
    EXPECT_EQ(right.size(), 4u);
    if (e.code == CaptchaEntry::Right) dialog.Edit3->setText(QString::fromStdString(right));
    if (e.code == CaptchaEntry::Wrong) dialog.Edit3->setText(QString::fromStdString(right == "1111" ? "2222" : "1111"));
    if (e.pressStop) form_->Button2->click();
    if (e.closeWindow) {
      form_->close();
      return;
    }
    if (e.keys)
      QTest::keyClick(dialog.Edit3, e.cancel ? Qt::Key_Escape : Qt::Key_Return);
    else
      (e.cancel ? dialog.Button2 : dialog.Button1)->click();
    if (e.stopAfterMs >= 0) QTimer::singleShot(e.stopAfterMs, form_.get(), [this] { form_->Button2->click(); });
  }
};

}  // namespace qm::e2e
