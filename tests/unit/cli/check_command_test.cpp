// "quillmere-batch check": the window's defaults, its options, usage errors,
// unreadable input, exit statuses and the saved log.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/check_command.h"
#include "common/text_encoding.h"
#include "tests/unit/cli/cli_fixture.h"

namespace qm::cli {
namespace {

using Lines = std::vector<std::string>;

class CheckCommandTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempFolder("cli_check");
    test::writeCliWorkbooks(*dir_);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }
  static std::string workbook() { return dir_->file("students.xls"); }

  int check(std::vector<std::string> args) {
    out_.str("");
    err_.str("");
    return runCheckCommand(args, out_, err_);
  }

  static test::TempFolder* dir_;
  std::ostringstream out_, err_;
};
test::TempFolder* CheckCommandTest::dir_ = nullptr;

const Lines kStudentLines{"2、身份证号码错误。身份证号码中无性别码。身份证号码中提取不到出生日期信息。",
                          "3、身份证号码错误。身份证号码中无性别码。",
                          "4、身份证号码错误。身份证号码中的出生日期与出生日期字段不一致。",
                          "5、身份证号中的性别码与性别不一致。"};

TEST_F(CheckCommandTest, DefaultsAreTheWindowsAfterOpening) {
  EXPECT_EQ(check({workbook()}), 1);
  EXPECT_EQ(out_.str(), test::joinLines(kStudentLines));
  EXPECT_EQ(err_.str(), "检查结束！发现了一些错误。\n");
}

TEST_F(CheckCommandTest, CodingFormatAndComplete) {
  EXPECT_EQ(check({workbook(), "--sheet", "clean", "--date-format", "YYYY-MM-DD", "--gender-coding", "digits"}), 0);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(err_.str(), "检查结束！没有发现错误。\n");

  EXPECT_EQ(check({workbook(), "--sheet=clean$", "--date-format=YYYY-MM-DD", "--gender-coding=digits", "--complete"}),
            0);
  EXPECT_EQ(out_.str(), "1、完全正确。\n2、完全正确。\n3、完全正确。\n");

  EXPECT_EQ(check({workbook(), "--sheet", "clean", "--date-format", "YYYY/MM/DD"}), 1);
  EXPECT_EQ(out_.str(), test::joinLines({"1、性别字段数据异常。出生日期字段数据异常。", "2、性别字段数据异常。出生日期字段数据异常。",
                                         "3、性别字段数据异常。出生日期字段数据异常。"}));
}

TEST_F(CheckCommandTest, ChecksCanBeTurnedOff) {
  EXPECT_EQ(check({workbook(), "--no-gender-check"}), 1);
  EXPECT_EQ(out_.str(), test::joinLines({"2、身份证号码错误。身份证号码中提取不到出生日期信息。", "3、身份证号码错误。",
                                         kStudentLines[2]}));
  EXPECT_EQ(check({workbook(), "--no-id-check", "--no-birth-check", "--no-gender-check"}), 0);
  EXPECT_EQ(out_.str(), "");
}

TEST_F(CheckCommandTest, ColumnsNamedOnTheCommandLine) {
  // No column is named like the window looks for: the first one is the ID and only it is checked.
  EXPECT_EQ(check({workbook(), "--sheet", "其它"}), 1);
  EXPECT_EQ(out_.str(), "2、身份证号码错误。\n");
  EXPECT_EQ(check({workbook(), "--sheet", "其它", "--birth", "生日", "--gender", "男女"}), 1);
  EXPECT_EQ(out_.str(), test::joinLines({"1、身份证号中的性别码与性别不一致。身份证号码中的出生日期与出生日期字段不一致。",
                                         "2、身份证号码错误。身份证号码中无性别码。身份证号码中提取不到出生日期信息。"}));
}

TEST_F(CheckCommandTest, UsageErrors) {
  const std::vector<std::vector<std::string>> wrong{{},
                                                    {workbook(), workbook()},
                                                    {workbook(), "--date-format", "YYMMDD"},
                                                    {workbook(), "--gender-coding", "男或女"},
                                                    {workbook(), "--ids", "x"},
                                                    {workbook(), "--id", ""},
                                                    {workbook(), "--save"}};
  for (const auto& args : wrong) {
    EXPECT_EQ(check(args), 2) << testing::PrintToString(args);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("Try 'quillmere-batch check --help'"), std::string::npos) << err_.str();
  }
}

TEST_F(CheckCommandTest, UnreadableInputIsReportedWithStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{dir_->file("missing.xls")}, "无法打开您选择的EXCEL文件！请检查此文件是否被其它程序占用。"},
      {{workbook(), "--sheet", "Sheet9"}, "no sheet named 'Sheet9'"},
      {{workbook(), "--id", "学号"}, "no column named '学号'"},
      {{workbook(), "--gender", "性别码"}, "no column named '性别码'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(check(c.args), 2) << testing::PrintToString(c.args);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
  }
  const std::string notWorkbook = dir_->file("text.xls");
  std::ofstream(notWorkbook) << "not a workbook";
  EXPECT_EQ(check({notWorkbook}), 2);
  EXPECT_NE(err_.str().find("无法打开您选择的EXCEL文件！"), std::string::npos) << err_.str();
}

TEST_F(CheckCommandTest, SaveWritesTheLinesAsTheWindowSavesThem) {
  const std::string saved = dir_->file("结果.txt");
  EXPECT_EQ(check({workbook(), "--save", saved}), 1);
  const std::string bytes = test::readFile(saved);
  EXPECT_EQ(bytes.substr(0, 3), "2\xA1\xA2");  // "2、" in GBK
  EXPECT_EQ(gb18030ToUtf8(bytes), test::joinLines(kStudentLines, "\r\n"));

  EXPECT_EQ(check({workbook(), "--save", dir_->file("no/such/folder.txt")}), 2);
  EXPECT_EQ(out_.str(), test::joinLines(kStudentLines));  // the lines are printed all the same
}

TEST_F(CheckCommandTest, Help) {
  EXPECT_EQ(check({"--help"}), 0);
  EXPECT_EQ(out_.str().rfind("Usage: quillmere-batch check WORKBOOK", 0), 0u);
  EXPECT_NE(out_.str().find("--date-format"), std::string::npos);
  EXPECT_EQ(err_.str(), "");
}

}  // namespace
}  // namespace qm::cli
