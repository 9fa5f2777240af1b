// The record checker's walk over a workbook written by python3-xlwt: lines
// and record numbers, "记录完全", options read per record, stop, errors,
// batched reports.
#include <gtest/gtest.h>

#include "checks/records/record_check_run.h"
#include "workbook/workbook_source.h"
#include "tests/support/xls_maker.h"
#include "tests/unit/checks/records/id_test_numbers.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using test::XlsCell;
using Lines = std::vector<std::string>;

const std::string kMale = test::withCheckChar("11010520100105001");
const std::string kFemale = test::withCheckChar("11010520100105002");
const std::string kWrong = test::withWrongCheckChar("11010520100105001");

class RecordCheckRunTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempFolder("records");
    test::XlsSheet students{"学生名单",
                            {{"姓名", "身份证号", "出生日期", "性别"},
                             {"甲", kMale, "20100105", "男"},
                             {"乙", "", "20100105", "男"},
                             {"丙", "110105201001050", "20100105", "男"},
                             {"丁", kWrong, "20100106", "男"},
                             {"戊", kFemale, "20100105", "男"},
                             {"己", kMale, XlsCell::date("2010-01-05"), "男"},
                             {"庚", kMale, 20100105, "男"}}};
    test::XlsSheet clean{"clean", {{"身份证号", "出生日期", "性别"}}};
    for (int i = 0; i < 5; ++i) clean.rows.push_back({kFemale, "2010-1-5", "2"});
    test::XlsSheet empty{"empty", {{"学号"}}};
    test::writeXls({dir_->file("students.xls"), {students, clean, empty}}, dir_->path.string());
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void open(const std::string& table) {
    source_.open(dir_->file("students.xls"));
    source_.openSheet(table);
  }

  static RecordCheckSetup allChecks() { return {"身份证号", "出生日期", "性别", RecordChecks{true, true, true}}; }

  static test::TempFolder* dir_;
  WorkbookSource source_;
  RecordCheckControls controls_;
  Lines lines_;
  CheckListener collect_ = [this](CheckProgress& p) {
    for (auto& l : p.lines) lines_.push_back(std::move(l));
  };
};
test::TempFolder* RecordCheckRunTest::dir_ = nullptr;

TEST_F(RecordCheckRunTest, FaultyRecordsGetOneLineEach) {
  open("学生名单$");
  RecordCheckRun run(source_, allChecks(), controls_, collect_);
  EXPECT_EQ(run.run(), CheckEnd::Finished);
  EXPECT_EQ(lines_, (Lines{"2、身份证号码错误。身份证号码中无性别码。身份证号码中提取不到出生日期信息。",
                           "3、身份证号码错误。身份证号码中无性别码。",
                           "4、身份证号码错误。身份证号码中的出生日期与出生日期字段不一致。",
                           "5、身份证号中的性别码与性别不一致。",
                           "6、出生日期字段数据异常。"}));
  EXPECT_TRUE(run.errorsFound());
  EXPECT_EQ(run.endNotice().title, "恭喜");
  EXPECT_EQ(run.endNotice().text, "检查结束！发现了一些错误。");
  EXPECT_EQ(source_.RecNo(), 1);  // back at the first record
}

TEST_F(RecordCheckRunTest, CompleteLogsCorrectRecordsToo) {
  open("clean$");
  controls_.coding = GenderCoding::Digits;
  controls_.format = BirthDateFormat::Dashed;
  controls_.logComplete = true;
  RecordCheckRun run(source_, allChecks(), controls_, collect_);
  EXPECT_EQ(run.run(), CheckEnd::Finished);
  EXPECT_EQ(lines_, (Lines{"1、完全正确。", "2、完全正确。", "3、完全正确。", "4、完全正确。", "5、完全正确。"}));
  EXPECT_FALSE(run.errorsFound());
  EXPECT_EQ(run.endNotice().text, "检查结束！没有发现错误。");
}

TEST_F(RecordCheckRunTest, CodingFormatAndCompleteAreReadForEveryRecord) {
  open("clean$");
  RecordCheckSetup setup = allChecks();
  RecordCheckRun run(source_, setup, controls_, collect_);
  controls_.coding = GenderCoding::Digits;
  controls_.format = BirthDateFormat::Dashed;
  ASSERT_TRUE(run.advance(2));
  controls_.coding = GenderCoding::Text;  // "2" becomes unreadable from record 3 on
  controls_.logComplete = true;           // has no correct record left to log
  ASSERT_TRUE(run.advance(1));
  controls_.coding = GenderCoding::Digits;
  ASSERT_TRUE(run.advance(1));
  EXPECT_FALSE(run.advance(1));
  EXPECT_EQ(lines_, (Lines{"3、性别字段数据异常。", "4、完全正确。", "5、完全正确。"}));
}

TEST_F(RecordCheckRunTest, StopEndsTheRunAfterTheNextRecord) {
  open("学生名单$");
  controls_.logComplete = true;
  int reports = 0;
  RecordCheckRun run(source_, allChecks(), controls_, [&](CheckProgress& p) {
    collect_(p);
    // A click handled after record 2 stops the run once record 3 is logged.
    if (++reports == 2) controls_.stop = true;
  });
  while (run.advance(1)) {
  }
  EXPECT_EQ(run.end(), CheckEnd::Stopped);
  EXPECT_EQ(lines_, (Lines{"1、完全正确。", "2、身份证号码错误。身份证号码中无性别码。身份证号码中提取不到出生日期信息。",
                           "3、身份证号码错误。身份证号码中无性别码。"}));
  EXPECT_EQ(reports, 3);
  EXPECT_FALSE(controls_.stop);
  EXPECT_EQ(run.endNotice().title, "请注意");
  EXPECT_EQ(run.endNotice().text, "查询停止！");
  EXPECT_EQ(source_.RecNo(), 1);
}

TEST_F(RecordCheckRunTest, StopBeforeTheStartStillChecksTheFirstRecord) {
  open("学生名单$");
  controls_.logComplete = true;
  controls_.stop = true;
  RecordCheckRun run(source_, allChecks(), controls_, collect_);
  EXPECT_EQ(run.run(), CheckEnd::Stopped);
  EXPECT_EQ(lines_, Lines{"1、完全正确。"});
}

TEST_F(RecordCheckRunTest, MissingColumnFailsAtTheFirstRecordOnlyIfItsCheckIsOn) {
  open("学生名单$");
  RecordCheckSetup setup = allChecks();
  setup.genderColumn = "性别码";
  RecordCheckRun failing(source_, setup, controls_, collect_);
  EXPECT_EQ(failing.run(), CheckEnd::Failed);
  EXPECT_TRUE(lines_.empty());
  EXPECT_NE(failing.error().find("性别码"), std::string::npos) << failing.error();
  EXPECT_EQ(failing.endNotice().title, "出错了，关闭后检查下Excel文件吧！");
  EXPECT_EQ(failing.endNotice().text, failing.error());

  setup.checks.gender = false;
  RecordCheckRun fine(source_, setup, controls_, collect_);
  EXPECT_EQ(fine.run(), CheckEnd::Finished);
  EXPECT_EQ(lines_.size(), 4u);
}

TEST_F(RecordCheckRunTest, EmptySheetEndsAtOnceWithoutLookingUpColumns) {
  open("empty$");
  RecordCheckRun run(source_, allChecks(), controls_, collect_);
  EXPECT_EQ(run.run(), CheckEnd::Finished);
  EXPECT_TRUE(lines_.empty());
  EXPECT_EQ(run.endNotice().text, "检查结束！没有发现错误。");
}

TEST_F(RecordCheckRunTest, LinesArriveInBatches) {
  open("学生名单$");
  std::vector<std::size_t> batches;
  RecordCheckRun run(source_, allChecks(), controls_, [&](CheckProgress& p) {
    batches.push_back(p.lines.size());
    EXPECT_EQ(p.count, 7);
  });
  EXPECT_EQ(run.run(std::chrono::hours(1)), CheckEnd::Finished);
  EXPECT_EQ(batches, std::vector<std::size_t>{5});
}

}  // namespace
}  // namespace qm
