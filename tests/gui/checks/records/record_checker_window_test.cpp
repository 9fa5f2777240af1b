// TForm7 through its window: the workbook panel (open, sheet change, close,
// failures), the column matching, a run whose log equals quillmere-batch's
// lines, stop, closing during a run, and saving the log.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "common/log_file.h"
#include "checks/records/record_checker_controller.h"
#include "checks/records/record_checker_window.h"
#include "cli/check_command.h"
#include "tests/gui/app/window_host_stub.h"
#include "tests/gui/checks/check_window_support.h"
#include "tests/unit/cli/cli_fixture.h"

namespace qm {
namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

class RecordCheckerWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new test::TempFolder("records_window");
    test::writeCliWorkbooks(*dir);
  }
  static void TearDownTestSuite() { delete dir; }
  static std::string file(const char* name) { return dir->file(name); }

  void open(const std::string& path) { test::openThrough(form.panel(), prompts, path); }
  void runToEnd() {
    form.Button1Click();
    if (form.running()) ASSERT_TRUE(test::waitForSignal(&form, &TForm7::runEnded));
  }
  std::vector<std::string> cliLines(std::vector<std::string> args, int* status = nullptr) {
    std::ostringstream out, err;
    const int s = cli::runCheckCommand(args, out, err);
    if (status) *status = s;
    return test::splitLines(out.str());
  }

  static test::TempFolder* dir;
  ScriptedPrompts prompts;
  TForm7 form{prompts};
};
test::TempFolder* RecordCheckerWindowTest::dir = nullptr;

TEST_F(RecordCheckerWindowTest, StartsWithoutAWorkbook) {
  EXPECT_TRUE(form.BitBtn1->isEnabled());
  EXPECT_FALSE(form.BitBtn3->isEnabled());
  EXPECT_FALSE(form.ComboBox1->isEnabled());
  for (QComboBox* b : {form.ComboBox3, form.ComboBox4, form.ComboBox9}) EXPECT_FALSE(b->isEnabled());
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_FALSE(form.Button2->isEnabled());
  EXPECT_TRUE(form.CheckBox2->isChecked());
  EXPECT_FALSE(form.CheckBox1->isEnabled());
  EXPECT_FALSE(form.CheckBox4->isEnabled());
  EXPECT_TRUE(form.RadioButton4->isChecked());
  EXPECT_TRUE(form.RadioButton3->isChecked());
  EXPECT_TRUE(form.Memo1->isHidden());
  EXPECT_EQ(form.Memo1->toPlainText(), q("请按开始检查按钮进行检查。"));
  EXPECT_EQ(form.Label9->text(), "0");
  EXPECT_EQ(form.Label10->text(), "0");
}

TEST_F(RecordCheckerWindowTest, OpeningFillsTheSheetBoxColumnsAndGrid) {
  open(file("students.xls"));
  ASSERT_EQ(prompts.log.size(), 1u);  // the open dialog, no message
  EXPECT_EQ(prompts.log[0].text, QStringLiteral("Excel2003格式文件(.xls)|*.xls"));
  EXPECT_FALSE(form.BitBtn1->isEnabled());
  EXPECT_TRUE(form.BitBtn3->isEnabled());
  EXPECT_TRUE(form.ComboBox1->isEnabled());
  EXPECT_EQ(form.ComboBox1->count(), 3);
  EXPECT_EQ(form.ComboBox1->currentText(), q("学生名单$"));
  EXPECT_EQ(form.Label8->text(), "students.xls");
  EXPECT_EQ(form.ComboBox3->currentText(), q("身份证号"));
  EXPECT_EQ(form.ComboBox4->currentText(), q("出生日期"));
  EXPECT_EQ(form.ComboBox9->currentText(), q("性别"));
  EXPECT_TRUE(form.CheckBox1->isEnabled() && form.CheckBox1->isChecked());
  EXPECT_TRUE(form.CheckBox4->isEnabled() && form.CheckBox4->isChecked());
  EXPECT_TRUE(form.Button1->isEnabled());
  ASSERT_EQ(form.DBGrid1->model()->columnCount(), 4);
  EXPECT_EQ(form.DBGrid1->model()->rowCount(), 5);
  EXPECT_EQ(form.DBGrid1->model()->index(0, 0).data().toString(), q("甲"));
  EXPECT_EQ(form.DBGrid1->model()->headerData(1, Qt::Horizontal).toString(), q("身份证号"));
  for (int c = 0; c < 4; ++c) EXPECT_EQ(form.DBGrid1->columnWidth(c), 80);
}

TEST_F(RecordCheckerWindowTest, AnotherSheetRefillsTheColumnsAndItsTiedChecks) {
  open(file("students.xls"));
  ASSERT_TRUE(test::changeSheet(form.panel(), 2));  // "其它": no column named like the window looks for
  EXPECT_EQ(form.ComboBox3->currentText(), q("证件号码"));  // the first column
  EXPECT_EQ(form.ComboBox4->currentIndex(), -1);
  EXPECT_EQ(form.ComboBox9->currentIndex(), -1);
  EXPECT_FALSE(form.CheckBox1->isEnabled() || form.CheckBox1->isChecked());
  EXPECT_FALSE(form.CheckBox4->isEnabled() || form.CheckBox4->isChecked());
  EXPECT_EQ(form.DBGrid1->model()->rowCount(), 2);
  // Picking a gender column ties its check on; a change of the ID box alone does not re-run the rule.
  form.ComboBox9->setCurrentIndex(2);
  EXPECT_TRUE(form.CheckBox4->isEnabled() && form.CheckBox4->isChecked());
  EXPECT_FALSE(form.CheckBox1->isEnabled());
}

TEST_F(RecordCheckerWindowTest, CloseResetsTheGroupAndAllowsAnotherOpen) {
  open(file("students.xls"));
  runToEnd();
  QTest::mouseClick(form.BitBtn3, Qt::LeftButton);
  EXPECT_TRUE(form.BitBtn1->isEnabled());
  EXPECT_FALSE(form.BitBtn3->isEnabled());
  EXPECT_FALSE(form.ComboBox1->isEnabled());
  EXPECT_EQ(form.ComboBox1->count(), 0);
  EXPECT_TRUE(form.Label8->text().isEmpty());
  for (QComboBox* b : {form.ComboBox3, form.ComboBox4, form.ComboBox9}) {
    EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(b->count(), 0);
  }
  EXPECT_FALSE(form.CheckBox1->isEnabled() || form.CheckBox1->isChecked());
  EXPECT_FALSE(form.CheckBox4->isEnabled() || form.CheckBox4->isChecked());
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_EQ(form.Label9->text(), "0");
  EXPECT_EQ(form.Label10->text(), "0");
  EXPECT_EQ(form.DBGrid1->model()->rowCount(), 0);
  open(file("base.xls"));
  EXPECT_EQ(form.Label8->text(), "base.xls");
}

TEST_F(RecordCheckerWindowTest, ABrokenFileGetsTheToolsMessageAndOpenStaysOffUntilTheWindowCloses) {
  const char* fixtures = std::getenv("QM_FIXTURES");
  ASSERT_NE(fixtures, nullptr);
  for (const char* broken : {"truncated.xls", "damaged_directory.xls", "not_workbook.xlsx"}) {
    prompts.log.clear();
    open(std::string(fixtures) + "/workbooks/" + broken);
    EXPECT_EQ(prompts.lastMessage(), q("无法打开您选择的EXCEL文件！请检查此文件是否被其它程序占用。")) << broken;
    EXPECT_FALSE(form.BitBtn1->isEnabled()) << broken;
    EXPECT_FALSE(form.BitBtn3->isEnabled());
    EXPECT_FALSE(form.ComboBox1->isEnabled());
    EXPECT_FALSE(form.ComboBox3->isEnabled());
    EXPECT_FALSE(form.Button1->isEnabled());
    form.close();  // closing runs the close procedure, which enables Open again
    EXPECT_TRUE(form.BitBtn1->isEnabled()) << broken;
  }
}

TEST_F(RecordCheckerWindowTest, ADamagedSheetGetsTheSheetMessageAndLeavesNoColumns) {
  open(std::string(std::getenv("QM_FIXTURES")) + "/workbooks/bad_xml.xlsx");
  EXPECT_EQ(prompts.lastMessage(), q("无法打开您选择的EXCEL数据表！"));
  for (QComboBox* b : {form.ComboBox3, form.ComboBox4, form.ComboBox9}) {
    EXPECT_FALSE(b->isEnabled());
    EXPECT_EQ(b->count(), 0);
  }
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_TRUE(form.BitBtn3->isEnabled());  // the workbook itself is open
  EXPECT_TRUE(form.ComboBox1->isEnabled());
  EXPECT_EQ(form.DBGrid1->model()->rowCount(), 0);
  form.Button1Click();  // refused: no sheet is open
  EXPECT_FALSE(form.running());
}

TEST_F(RecordCheckerWindowTest, TheLogEqualsTheCommandLinesLines) {
  struct Case {
    int sheet;
    std::vector<std::string> args;
    bool digits, dashed, complete;
  };
  const std::string path = file("students.xls");
  const Case cases[] = {
      {0, {path}, false, false, false},
      {0, {path, "--complete"}, false, false, true},
      {1, {path, "--sheet", "clean", "--date-format", "YYYY-MM-DD", "--gender-coding", "digits", "--complete"},
       true, true, true},
      {1, {path, "--sheet", "clean"}, false, false, false},
  };
  open(path);
  for (const Case& c : cases) {
    if (form.ComboBox1->currentIndex() != c.sheet) {
      ASSERT_TRUE(test::changeSheet(form.panel(), c.sheet));
    }
    (c.digits ? form.RadioButton5 : form.RadioButton4)->setChecked(true);
    (c.dashed ? form.RadioButton1 : form.RadioButton3)->setChecked(true);
    form.CheckBox5->setChecked(c.complete);
    prompts.log.clear();
    runToEnd();
    int status = 0;
    const std::vector<std::string> expected = cliLines(c.args, &status);
    EXPECT_EQ(form.logLines(), expected) << c.args.size();
    EXPECT_EQ(test::splitLines(form.Memo1->toPlainText().toStdString()), expected);
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_EQ(prompts.log[0].title, QStringLiteral("恭喜"));
    EXPECT_EQ(prompts.log[0].text,
              q(status == 1 ? "检查结束！发现了一些错误。" : "检查结束！没有发现错误。"));
    EXPECT_TRUE(form.Button1->isEnabled());
    EXPECT_FALSE(form.Button2->isEnabled());
    EXPECT_TRUE(form.ComboBox1->isEnabled());
  }
}

TEST_F(RecordCheckerWindowTest, ErrorsShowTheLogAndACleanRunDoesNot) {
  open(file("students.xls"));
  runToEnd();
  EXPECT_FALSE(form.Memo1->isHidden());
  EXPECT_EQ(form.Button3->text(), QStringLiteral("隐藏结果"));
  form.Button3Click();
  EXPECT_TRUE(form.Memo1->isHidden());
  ASSERT_TRUE(test::changeSheet(form.panel(), 1));
  form.RadioButton1->setChecked(true);
  form.RadioButton5->setChecked(true);
  form.CheckBox5->setChecked(true);
  runToEnd();
  EXPECT_EQ(form.logLines().size(), 3u);  // "完全正确" lines, but the log stays hidden
  EXPECT_TRUE(form.Memo1->isHidden());
}

TEST_F(RecordCheckerWindowTest, StopEndsTheRunAfterTheNextRecord) {
  open(file("students.xls"));
  form.CheckBox5->setChecked(true);  // a line for every record
  form.sliceRecords = 1;
  form.Button1Click();  // record 1 is checked, then the window waits for events
  ASSERT_TRUE(form.running());
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_TRUE(form.Button2->isEnabled());
  EXPECT_FALSE(form.ComboBox1->isEnabled());
  EXPECT_FALSE(form.BitBtn3->isEnabled());
  EXPECT_FALSE(form.ComboBox3->isEnabled());
  EXPECT_FALSE(form.DBGrid1->isEnabled());
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  ASSERT_TRUE(test::waitForSignal(&form, &TForm7::runEnded));
  const std::vector<std::string> all = cliLines({file("students.xls"), "--complete"});
  EXPECT_EQ(form.logLines(), std::vector<std::string>(all.begin(), all.begin() + 2));
  ASSERT_EQ(prompts.log.size(), 2u);
  EXPECT_EQ(prompts.log[1].title, QStringLiteral("请注意"));
  EXPECT_EQ(prompts.log[1].text, QStringLiteral("查询停止！"));
  EXPECT_TRUE(form.Button1->isEnabled());
  EXPECT_FALSE(form.Button2->isEnabled());
  EXPECT_TRUE(form.ComboBox1->isEnabled());
  EXPECT_TRUE(form.DBGrid1->isEnabled());
  // The request was cleared: the next run goes to the end.
  form.sliceRecords = 0;
  runToEnd();
  EXPECT_EQ(form.logLines(), all);
  EXPECT_EQ(prompts.lastMessage(), q("检查结束！发现了一些错误。"));
}

TEST_F(RecordCheckerWindowTest, ClosingDuringARunEndsItAndClosesTheWorkbook) {
  open(file("students.xls"));
  form.sliceRecords = 1;
  form.show();
  form.Button1Click();
  ASSERT_TRUE(form.running());
  form.close();
  EXPECT_FALSE(form.running());
  EXPECT_FALSE(form.panel().source().isOpen());
  EXPECT_TRUE(form.BitBtn1->isEnabled());
  QTest::qWait(50);  // the abandoned walk never resumes
  EXPECT_EQ(prompts.log.size(), 1u);  // no end or stop box
  EXPECT_FALSE(form.Button2->isEnabled());
}

TEST_F(RecordCheckerWindowTest, SaveWritesTheLogAsTheCommandLineDoes) {
  open(file("students.xls"));
  runToEnd();
  const std::string saved = file("window_log");
  prompts.fileNames.push_back(QString::fromStdString(saved));
  form.Button5Click();
  EXPECT_EQ(test::readFile(saved + ".txt"), logFileBytes(cliLines({file("students.xls")})));
  form.Button5Click();  // cancelled: nothing written, no box
  EXPECT_EQ(prompts.log.back().kind, RecordedPrompt::SaveFile);
}

TEST(RecordCheckerControllerTest, ButtonMakesTheWindowOnceAndShowsItAgain) {
  test::WindowHostStub host;
  RecordCheckerController controller(host);
  EXPECT_EQ(host.keys["FlatButton19"], QKeySequence(Qt::Key_F6));
  EXPECT_EQ(controller.button()->text(), QStringLiteral("检查"));
  EXPECT_EQ(controller.form(), nullptr);
  QTest::mouseClick(controller.button(), Qt::LeftButton);
  TForm7* first = controller.form();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  EXPECT_FALSE(first->isModal());
  first->CheckBox5->setChecked(true);
  first->close();
  QTest::mouseClick(controller.button(), Qt::LeftButton);
  EXPECT_EQ(controller.form(), first);
  EXPECT_TRUE(first->CheckBox5->isChecked());
}

}  // namespace
}  // namespace qm

namespace qm {
namespace {

// Not a test: an ad hoc measurement of a 65,535-row check in the window
// against the command line on the same file, and of how long the event loop
// waits at most during the window's run. Run with
//   test_checks_records_window --gtest_also_run_disabled_tests --gtest_filter=*Measure*
TEST(RecordCheckerMeasure, DISABLED_FullSheetWindowAgainstCommandLine) {
  test::TempFolder dir("records_measure");
  test::XlsSheet sheet{"Sheet1", {{"姓名", "身份证号", "出生日期", "性别"}}};
  for (int i = 0; i < 65535; ++i) {
    const std::string first17 = "1101052010010" + std::to_string(1000 + i % 9000);
    const bool faulty = i % 3 == 0;
    sheet.rows.push_back({"学生" + std::to_string(i), faulty ? test::withWrongCheckChar(first17)
                                                             : test::withCheckChar(first17),
                          faulty ? "20100106" : "20100105", (first17[16] - '0') % 2 ? "男" : "女"});
  }
  const std::string path = dir.file("big.xls");
  test::writeXls({path, {sheet}}, dir.path.string());

  using Clock = std::chrono::steady_clock;
  auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
  std::ostringstream out, err;
  const auto cliStart = Clock::now();
  cli::runCheckCommand({path}, out, err);
  const double cli = seconds(Clock::now() - cliStart);

  ScriptedPrompts prompts;
  TForm7 form(prompts);
  form.show();
  QTimer ticker;
  Clock::time_point lastTick = Clock::now();
  Clock::duration longestGap{};
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    if (now - lastTick > std::chrono::milliseconds(100))
      std::printf("gap %.0f ms, %d records done\n", std::chrono::duration<double, std::milli>(now - lastTick).count(),
                  form.Label9->text().toInt());
    longestGap = std::max(longestGap, now - lastTick);
    lastTick = now;
  });
  const auto windowStart = Clock::now();
  test::openThrough(form.panel(), prompts, path);
  const double opened = seconds(Clock::now() - windowStart);
  ticker.start(5);
  lastTick = Clock::now();
  form.Button1Click();
  ASSERT_TRUE(test::waitForSignal(&form, &TForm7::runEnded));
  const double window = seconds(Clock::now() - windowStart);
  ticker.stop();
  EXPECT_EQ(test::joinLines(form.logLines()), out.str());
  std::printf("records 65535, log lines %zu\ncommand line %.3f s\nwindow %.3f s (open %.3f s)\nratio %.2f\n"
              "longest event-loop gap during the run %.1f ms\n",
              form.logLines().size(), cli, window, opened, window / cli,
              std::chrono::duration<double, std::milli>(longestGap).count());
}

}  // namespace
}  // namespace qm
