// TForm6 through its window: both workbook panels, the name matching of the
// column pairs, a run whose log equals quillmere-batch's lines, stop,
// closing during a run, and the reader's own text for a broken file.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "checks/compare/comparison_controller.h"
#include "checks/compare/comparison_window.h"
#include "cli/compare_command.h"
#include "tests/gui/app/window_host_stub.h"
#include "tests/gui/checks/check_window_support.h"
#include "tests/unit/cli/cli_fixture.h"

namespace qm {
namespace {

QString q(const char* s) { return QString::fromUtf8(s); }

class ComparisonWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = new test::TempFolder("compare_window");
    test::writeCliWorkbooks(*dir);
  }
  static void TearDownTestSuite() { delete dir; }
  static std::string file(const char* name) { return dir->file(name); }

  void openBoth() {
    test::openThrough(form.basePanel(), prompts, file("base.xls"));
    test::openThrough(form.probePanel(), prompts, file("probe.xls"));
  }
  void runToEnd() {
    form.Button1Click();
    if (form.running()) ASSERT_TRUE(test::waitForSignal(&form, &TForm6::runEnded));
  }
  std::vector<std::string> cliLines(std::vector<std::string> args) {
    std::ostringstream out, err;
    EXPECT_LE(cli::runCompareCommand(args, out, err), 1) << err.str();  // ran to its end, findings or not
    return test::splitLines(out.str());
  }

  static test::TempFolder* dir;
  ScriptedPrompts prompts;
  TForm6 form{prompts};
};
test::TempFolder* ComparisonWindowTest::dir = nullptr;

TEST_F(ComparisonWindowTest, StartIsEnabledOnlyWithBothSheetsOpen) {
  EXPECT_FALSE(form.Button1->isEnabled());
  test::openThrough(form.basePanel(), prompts, file("base.xls"));
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_EQ(form.Label25->text(), "base.xls");
  EXPECT_EQ(form.ComboBox3->currentText(), q("学号"));
  for (QComboBox* b : {form.ComboBox5, form.ComboBox7, form.ComboBox9}) {
    EXPECT_TRUE(b->isEnabled());
    EXPECT_EQ(b->count(), 3);
    EXPECT_EQ(b->currentIndex(), -1);
  }
  EXPECT_FALSE(form.ComboBox4->isEnabled());
  test::openThrough(form.probePanel(), prompts, file("probe.xls"));
  EXPECT_TRUE(form.Button1->isEnabled());
  EXPECT_EQ(form.Label26->text(), "probe.xls");
  // The probe's key box follows the base key by name; the others keep no selection.
  EXPECT_EQ(form.ComboBox4->currentText(), q("学号"));
  EXPECT_EQ(form.ComboBox6->currentIndex(), -1);
  EXPECT_EQ(form.DBGrid1->model()->rowCount(), 3);
  EXPECT_EQ(form.DBGrid2->model()->rowCount(), 2);
  EXPECT_EQ(form.DBGrid2->columnWidth(3), 80);
  QTest::mouseClick(form.BitBtn3, Qt::LeftButton);
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_TRUE(form.BitBtn1->isEnabled());
  EXPECT_TRUE(form.Label25->text().isEmpty());
  for (QComboBox* b : {form.ComboBox1, form.ComboBox3, form.ComboBox5, form.ComboBox7, form.ComboBox9})
    EXPECT_FALSE(b->isEnabled());
  EXPECT_TRUE(form.ComboBox4->isEnabled());  // the other workbook stays as it was
}

TEST_F(ComparisonWindowTest, PickingABaseColumnSelectsTheProbeColumnOfThatTrimmedName) {
  openBoth();
  form.ComboBox5->setCurrentText(q("姓名"));  // the probe's header is "姓名 "
  EXPECT_EQ(form.ComboBox6->currentText(), q("姓名 "));
  form.ComboBox7->setCurrentText(q("班级"));  // no such probe column: left as it was
  EXPECT_EQ(form.ComboBox8->currentIndex(), -1);
}

TEST_F(ComparisonWindowTest, TheLogEqualsTheCommandLinesLines) {
  openBoth();
  form.ComboBox5->setCurrentText(q("姓名"));
  form.ComboBox7->setCurrentText(q("班级"));
  form.ComboBox8->setCurrentText(q("年级"));
  struct Case {
    bool same, different, found, notFound;
    std::vector<std::string> extra;
  };
  const Case cases[] = {
      {true, true, true, true, {}},
      {false, true, false, true, {"--no-same", "--no-found"}},
      {true, false, true, false, {"--no-different", "--no-not-found"}},
  };
  for (const Case& c : cases) {
    form.CheckBox1->setChecked(c.same);
    form.CheckBox2->setChecked(c.different);
    form.CheckBox4->setChecked(c.found);
    form.CheckBox3->setChecked(c.notFound);
    prompts.log.clear();
    runToEnd();
    std::vector<std::string> args{file("base.xls"), file("probe.xls"), "--pair1", "姓名", "--pair2", "班级=年级"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    const std::vector<std::string> expected = cliLines(args);
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(form.logLines(), expected);
    EXPECT_EQ(test::splitLines(form.Memo1->toPlainText().toStdString()), expected);
    ASSERT_EQ(prompts.log.size(), 1u);
    EXPECT_EQ(prompts.log[0].title, QStringLiteral("恭喜"));
    EXPECT_EQ(prompts.log[0].text, q("比对结束！"));
    EXPECT_FALSE(form.Memo1->isHidden());
    EXPECT_TRUE(form.Button1->isEnabled());
    EXPECT_TRUE(form.BitBtn3->isEnabled() && form.BitBtn4->isEnabled());
  }
}

TEST_F(ComparisonWindowTest, StopEndsTheRunBeforeTheNextRecordsLine) {
  openBoth();
  form.sliceRecords = 1;
  form.Button1Click();  // record 1 is compared, then the window waits for events
  ASSERT_TRUE(form.running());
  for (QWidget* w : std::initializer_list<QWidget*>{form.Button1, form.BitBtn3, form.BitBtn4, form.ComboBox1,
                                                    form.ComboBox2, form.ComboBox3, form.ComboBox10, form.DBGrid1,
                                                    form.DBGrid2})
    EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
  EXPECT_TRUE(form.Button2->isEnabled());
  QTest::mouseClick(form.Button2, Qt::LeftButton);
  ASSERT_TRUE(test::waitForSignal(&form, &TForm6::runEnded));
  const std::vector<std::string> all = cliLines({file("base.xls"), file("probe.xls")});
  ASSERT_EQ(all.size(), 2u);
  EXPECT_EQ(form.logLines(), std::vector<std::string>{all[0]});  // record 2 gets no line
  EXPECT_EQ(prompts.lastMessage(), QStringLiteral("查询停止！"));
  EXPECT_EQ(prompts.log.back().title, QStringLiteral("请注意"));
  EXPECT_TRUE(form.Button1->isEnabled());
  EXPECT_FALSE(form.Button2->isEnabled());
  EXPECT_TRUE(form.DBGrid2->isEnabled());
  form.sliceRecords = 0;
  runToEnd();
  EXPECT_EQ(form.logLines(), all);
}

TEST_F(ComparisonWindowTest, ClosingDuringARunEndsItAndClosesBothWorkbooks) {
  openBoth();
  form.sliceRecords = 1;
  form.show();
  form.Button1Click();
  ASSERT_TRUE(form.running());
  const std::size_t dialogs = prompts.log.size();
  form.close();
  EXPECT_FALSE(form.running());
  EXPECT_FALSE(form.basePanel().source().isOpen());
  EXPECT_FALSE(form.probePanel().source().isOpen());
  QTest::qWait(50);  // the abandoned walk never resumes
  EXPECT_EQ(prompts.log.size(), dialogs);
  EXPECT_TRUE(form.BitBtn1->isEnabled() && form.BitBtn2->isEnabled());
}

TEST_F(ComparisonWindowTest, ABrokenFileShowsTheReadersOwnTextAndOpenStaysUsable) {
  const char* fixtures = std::getenv("QM_FIXTURES");
  ASSERT_NE(fixtures, nullptr);
  test::openThrough(form.probePanel(), prompts, std::string(fixtures) + "/workbooks/truncated.xls");
  ASSERT_EQ(prompts.log.back().kind, RecordedPrompt::Message);
  EXPECT_FALSE(prompts.lastMessage().isEmpty());
  EXPECT_NE(prompts.lastMessage(), QStringLiteral("无法打开您选择的EXCEL文件！请检查此文件是否被其它程序占用。"));
  EXPECT_TRUE(form.BitBtn2->isEnabled());
  EXPECT_FALSE(form.BitBtn4->isEnabled());
  EXPECT_FALSE(form.ComboBox2->isEnabled());
  test::openThrough(form.probePanel(), prompts, file("probe.xls"));
  EXPECT_EQ(form.Label26->text(), "probe.xls");
}

TEST_F(ComparisonWindowTest, ADamagedSheetShowsTheReadersOwnText) {
  openBoth();
  form.BitBtn3Click();  // Open is off while a workbook is open
  test::openThrough(form.basePanel(), prompts, std::string(std::getenv("QM_FIXTURES")) + "/workbooks/bad_xml.xlsx");
  EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("Excel文件已损坏或不完整："))) << prompts.lastMessage().toStdString();
  EXPECT_FALSE(form.ComboBox3->isEnabled());
  EXPECT_FALSE(form.Button1->isEnabled());
  EXPECT_TRUE(form.BitBtn3->isEnabled());
}

TEST(ComparisonControllerTest, ButtonMakesTheWindowOnceAndShowsItAgain) {
  test::WindowHostStub host;
  ComparisonController controller(host);
  EXPECT_EQ(host.keys["FlatButton18"], QKeySequence(Qt::Key_F4));
  EXPECT_EQ(controller.button()->text(), QStringLiteral("比对"));
  EXPECT_EQ(controller.form(), nullptr);
  QTest::mouseClick(controller.button(), Qt::LeftButton);
  TForm6* first = controller.form();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  first->CheckBox3->setChecked(false);
  first->close();
  QTest::mouseClick(controller.button(), Qt::LeftButton);
  EXPECT_EQ(controller.form(), first);
  EXPECT_FALSE(first->CheckBox3->isChecked());
}

}  // namespace
}  // namespace qm
