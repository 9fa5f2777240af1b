// "抓包导出" end to end: the real window logged in on regsim, the dialog, the
// save dialog, the file read back, Timer1 and the stop flag on every way out.
#include <QAction>
#include <QApplication>
#include <QComboBox>

#include "browser/web/cookie_mirror.h"

#include "tests/e2e/server/export/export_e2e_support.h"
#include "tests/support/sheet_readers.h"

namespace qm::e2e {
namespace {

const QString kDone = QStringLiteral("导出成功！");

// Picks the columns by position and presses 确定 or 取消, as a user would.
std::function<void(TForm4&)> choose(std::vector<int> positions, int grade = 0, bool ok = true) {
  return [=](TForm4& dlg) {
    dlg.gradeList()->setCurrentIndex(grade);
    for (int p = 1; p <= 19; ++p) dlg.checkBoxAt(p)->setChecked(std::find(positions.begin(), positions.end(), p) != positions.end());
    dlg.findChild<QPushButton*>(ok ? QStringLiteral("FlatButton1") : QStringLiteral("FlatButton2"))->click();
  };
}

std::string queryPageHead(const sim::RegSim& sim, int nth) {
  int seen = 0;
  for (const auto& r : sim.requests())
    if (r.path == "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp" && seen++ == nth) return r.head;
  return {};
}

TEST_F(ExportWindowTest, ExportsEveryStudentThroughTheModalDialog) {
  startSim({.students = 120});
  TForm1& form = makeForm();
  logIn();
  ASSERT_EQ(button("FlatButton13")->text(), QStringLiteral("抓包导出"));
  prompts_.fileNames.push_back(QString::fromStdString(path("zxs")));  // typed without extension

  // The dialog really runs modally; the user picks two columns and 确定.
  bool sawDialog = false, lockedWhileRunning = false;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dlg = qobject_cast<TForm4*>(QApplication::activeModalWidget());
    if (!dlg) return;
    poll.stop();
    sawDialog = true;
    lockedWhileRunning = !button("FlatButton13")->isEnabled() && !f11()->isEnabled();
    exporter().FlatButton13Click();  // a second start is refused
    choose({1, 19})(*dlg);
  });
  poll.start();
  ASSERT_TRUE(runExport());
  EXPECT_TRUE(sawDialog);
  EXPECT_TRUE(lockedWhileRunning);

  ASSERT_EQ(prompts_.messages(), QStringList{kDone});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::Information);
  EXPECT_EQ(prompts_.timerActiveAtSaveDialog, std::optional<bool>(false));  // stopped while it ran
  EXPECT_TRUE(timer1()->isActive());
  EXPECT_FALSE(state_.stopRequested);
  EXPECT_TRUE(button("FlatButton13")->isEnabled());
  EXPECT_TRUE(f11()->isEnabled());
  EXPECT_EQ(form.panelText(1), QStringLiteral("已导出记录条数：120"));
  EXPECT_EQ(form.panelText(2), QStringLiteral("服务器数据下载完成！"));

  const test::ReadBack file = test::readWithFreexl(path("zxs.xls"));
  ASSERT_EQ(file.rows, 121);
  ASSERT_EQ(file.cols, 2);
  EXPECT_EQ(file.text.at({1, 1}), "姓名");
  EXPECT_EQ(file.text.at({1, 2}), "就读状态");
  for (int i = 0; i < 120; ++i) {
    const auto& s = sim_->students()[static_cast<std::size_t>(i)];
    EXPECT_EQ(file.text.at({i + 2, 1}), s.xm);
    EXPECT_EQ(file.text.at({i + 2, 2}), s.jdztm == "31" ? "休学" : "在校");
  }
  const test::ReadBack xlrd = test::readWithXlrd(path("zxs.xls"));
  EXPECT_EQ(xlrd.text, file.text);
}

TEST_F(ExportWindowTest, SecondExportKeepsTheQueryHeadersOnIdHTTP1) {
  startSim({.students = 30});
  makeForm();
  logIn();
  exporter().runDialog = choose({1, 2, 3}, 7);  // 初中一年级
  prompts_.fileNames = {QString::fromStdString(path("a.xls")), QString::fromStdString(path("b.xls"))};
  ASSERT_TRUE(runExport());
  // Through F11 this time.
  QSignalSpy ended(&exporter(), &InSchoolExport::finished);
  EXPECT_EQ(f11()->shortcut(), QKeySequence(Qt::Key_F11));
  f11()->trigger();
  ASSERT_TRUE(ended.wait(kLongWait));
  EXPECT_EQ(prompts_.messages(), (QStringList{kDone, kDone}));

  const std::string cookie = form_->cookies()->ReadBrowserCookies(state_.serverHost);
  const std::string first = queryPageHead(*sim_, 0), second = queryPageHead(*sim_, 1);
  EXPECT_NE(first.find("\r\nAccept: text/html, */*\r\n"), std::string::npos) << first;
  EXPECT_NE(first.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos) << first;
  const std::string host = state_.serverHost;
  const std::string want = "GET /jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp HTTP/1.1\r\n"
                           "Host: " + host + "\r\n"
                           "Connection: Keep-Alive\r\n"
                           "Content-Type: application/json\r\n"
                           "Cache-control: no-cache\r\n"
                           "Cookie:" + cookie + "\r\n"
                           "Accept: */*\r\n"
                           "Accept-Encoding: gzip, deflate\r\n"
                           "Accept-Language: zh-Hans-CN,zh-Hans;q=0.5\r\n"
                           "Referer: http://" + host + "/jsp/mems/xjgl/zhcx/zxscx/zxscx_list.jsp\r\n"
                           "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows 98; Maxthon)\r\n";
  EXPECT_EQ(second, want);
  // Only that grade's students.
  int grade21 = 0;
  for (const auto& s : sim_->students()) grade21 += s.xxNjxxId == "21";
  EXPECT_EQ(test::readWithFreexl(path("b.xls")).rows, grade21 + 1);
}

TEST_F(ExportWindowTest, CancelAtEachPointLeavesNoFileAndRestartsTimer1) {
  enum Point { Dialog, SaveDialog, Overwrite };
  for (Point point : {Dialog, SaveDialog, Overwrite}) {
    SCOPED_TRACE(point);
    startSim({.students = 20});
    makeForm();
    logIn();
    const std::string target = path("old.xls");
    QFile::remove(QString::fromStdString(target));
    if (point == Overwrite) {
      QFile old(QString::fromStdString(target));
      ASSERT_TRUE(old.open(QIODevice::WriteOnly));
      old.write("old");
    }
    prompts_.fileNames.clear();  // an empty queue cancels the save dialog
    if (point != SaveDialog) prompts_.fileNames.push_back(QString::fromStdString(target));
    prompts_.answers.clear();  // No to the overwrite question
    prompts_.log.clear();
    exporter().runDialog = choose({1}, 0, point != Dialog);
    state_.stopRequested = true;  // an earlier "停止抓取" is cleared by the run
    ASSERT_TRUE(runExport());
    EXPECT_TRUE(prompts_.messages().isEmpty()) << prompts_.messages().join('|').toStdString();
    EXPECT_TRUE(timer1()->isActive());
    EXPECT_FALSE(state_.stopRequested);
    EXPECT_EQ(exporter().selection().GradeCode, point == Dialog ? "##" : "**");
    EXPECT_EQ(QDir(folder()).entryList({"*.xls*"}, QDir::Files).size(),
              point == Overwrite ? 1 : 0);
    if (point == Overwrite) {
      QFile old(QString::fromStdString(target));
      ASSERT_TRUE(old.open(QIODevice::ReadOnly));
      EXPECT_EQ(old.readAll(), QByteArray("old"));
    }
    int posts = 0;
    for (const auto& r : sim_->requests()) posts += r.path == sim::RegSim::kQueryServicePath;
    EXPECT_EQ(posts, 0);
    TearDown();
  }
}

TEST_F(ExportWindowTest, WithoutLoginTheQueryPageRedirectAndTheMessage) {
  startSim({.students = 20});
  makeForm();
  bool dialogShown = false;
  exporter().runDialog = [&](TForm4& dlg) {
    dialogShown = true;
    dlg.reject();
  };
  // Timer1 was never stopped, so it runs on without starting a new period.
  ASSERT_TRUE(waitUntil([&] { return timer1()->remainingTime() < timer1()->interval() - 200; }));
  ASSERT_TRUE(runExport());
  EXPECT_FALSE(dialogShown);
  EXPECT_EQ(prompts_.messages(), QStringList{QStringLiteral("您还没有登录学籍网吧？或者您安装的Office是精简版？")});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::None);
  EXPECT_TRUE(timer1()->isActive());
  EXPECT_LT(timer1()->remainingTime(), timer1()->interval() - 200);
  EXPECT_TRUE(button("FlatButton13")->isEnabled());
}

TEST_F(ExportWindowTest, ConnectionDroppedMidRunKeepsTheOldFile) {
  startSim({.students = 120, .dropAtRequest = 2});
  makeForm();
  logIn();
  const std::string target = path("keep.xls");
  {
    QFile old(QString::fromStdString(target));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous export");
  }
  prompts_.fileNames = {QString::fromStdString(target)};
  prompts_.answers = {true};
  exporter().runDialog = choose({1, 2});
  ASSERT_TRUE(runExport());
  EXPECT_EQ(prompts_.messages(), QStringList{QStringLiteral("网络不通或者EXCEL程序出错,导出失败！")});
  EXPECT_EQ(prompts_.log.back().icon, PromptIcon::None);
  EXPECT_TRUE(timer1()->isActive());
  EXPECT_FALSE(state_.stopRequested);
  QFile old(QString::fromStdString(target));
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("previous export"));
  EXPECT_EQ(QDir(folder()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST_F(ExportWindowTest, StopButtonEndsTheRunWithASavedFile) {
  startSim({.students = 400, .delayMs = 150});
  TForm1& form = makeForm();
  logIn();
  prompts_.fileNames = {QString::fromStdString(path("stopped.xls"))};
  exporter().runDialog = choose({1});
  QSignalSpy ended(&exporter(), &InSchoolExport::finished);
  button("FlatButton13")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.panelText(1) == QStringLiteral("已导出记录条数：50"); }, kLongWait));
  button("FlatButton8")->click();  // 停止抓取
  ASSERT_TRUE(ended.count() > 0 || ended.wait(kLongWait));
  EXPECT_EQ(prompts_.messages(), QStringList{kDone});
  EXPECT_FALSE(state_.stopRequested);
  const int rows = test::readWithFreexl(path("stopped.xls")).rows;
  EXPECT_GE(rows, 51);
  EXPECT_LT(rows, 401);
  EXPECT_EQ(form.panelText(1), QStringLiteral("已导出记录条数：") + QString::number(rows - 1));
}

TEST_F(ExportWindowTest, WindowClosedMidRunEndsTheRunQuietly) {
  startSim({.students = 400, .delayMs = 150});
  TForm1& form = makeForm();
  logIn();
  prompts_.fileNames = {QString::fromStdString(path("gone.xls"))};
  exporter().runDialog = choose({1});
  button("FlatButton13")->click();
  ASSERT_TRUE(QTest::qWaitFor([&] { return form.panelText(1) == QStringLiteral("已导出记录条数：50"); }, kLongWait));
  form_.reset();
  // Ends as if stopped: what was fetched is saved, and nothing is shown.
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(QString::fromStdString(path("gone.xls"))); }, kLongWait));
  EXPECT_TRUE(prompts_.messages().isEmpty());
  EXPECT_GE(test::readWithFreexl(path("gone.xls")).rows, 51);
}

}  // namespace
}  // namespace qm::e2e
