// "quillmere-batch compare": the window's column choices, pairs named on the
// command line, logging options, usage errors and unreadable input.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/compare_command.h"
#include "common/text_encoding.h"
#include "tests/unit/cli/cli_fixture.h"

namespace qm::cli {
namespace {

class CompareCommandTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempFolder("cli_compare");
    test::writeCliWorkbooks(*dir_);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  int compare(std::vector<std::string> options) {
    std::vector<std::string> args{dir_->file("base.xls"), dir_->file("probe.xls")};
    args.insert(args.end(), options.begin(), options.end());
    out_.str("");
    err_.str("");
    return runCompareCommand(args, out_, err_);
  }

  static test::TempFolder* dir_;
  std::ostringstream out_, err_;
};
test::TempFolder* CompareCommandTest::dir_ = nullptr;

TEST_F(CompareCommandTest, KeyBoxesFollowTheWindow) {
  // The probe's key box starts on its first column (编号) and then follows the base's 学号 by name.
  EXPECT_EQ(compare({}), 1);
  EXPECT_EQ(out_.str(), "1、K1:共找到2条数据。\n2、K3:在基准库未找到相应数据。\n");
  EXPECT_EQ(err_.str(), "比对结束！\n");

  EXPECT_EQ(compare({"--key", "学号=编号"}), 1);
  EXPECT_EQ(out_.str(), "1、1:在基准库未找到相应数据。\n2、2:在基准库未找到相应数据。\n");
}

TEST_F(CompareCommandTest, PairsFollowByTrimmedNameOrAreNamed) {
  EXPECT_EQ(compare({"--pair1", "姓名"}), 1);  // the probe's column is "姓名 "
  EXPECT_EQ(out_.str(),
            "1、K1:共找到2条数据。(1)姓名相同。(2)姓名不同，分别是：张三,张叁。\n2、K3:在基准库未找到相应数据。\n");

  EXPECT_EQ(compare({"--pair1", "姓名", "--pair2", "班级=年级", "--no-not-found"}), 1);
  EXPECT_EQ(out_.str(), "1、K1:共找到2条数据。(1)姓名相同。年级相同。(2)姓名不同，分别是：张三,张叁。年级相同。\n");

  EXPECT_EQ(compare({"--pair3", "班级=年级", "--no-found", "--no-same"}), 1);
  EXPECT_EQ(out_.str(), "2、K3:在基准库未找到相应数据。\n");
  EXPECT_EQ(compare({"--pair1", "姓名", "--no-found", "--no-different", "--no-not-found"}), 1);
  EXPECT_EQ(out_.str(), "1、K1:(1)姓名相同。\n");
}

TEST_F(CompareCommandTest, ExitsOneOnAnyFindingWhateverTheLogShows) {
  // Every record found and no pair in use: nothing to report.
  std::ostringstream out, err;
  EXPECT_EQ(runCompareCommand({dir_->file("base.xls"), dir_->file("base.xls")}, out, err), 0);
  EXPECT_EQ(err.str(), "比对结束！\n");
  // K3 is not in the base, and the second K1 differs in 姓名, even with both
  // left out of the log.
  EXPECT_EQ(compare({"--no-not-found", "--no-found"}), 1);
  EXPECT_EQ(out_.str(), "");
  EXPECT_EQ(compare({"--pair1", "姓名", "--no-not-found", "--no-different", "--no-found"}), 1);
  EXPECT_EQ(out_.str(), "1、K1:(1)姓名相同。\n");
}

TEST_F(CompareCommandTest, UsageErrors) {
  const std::vector<std::vector<std::string>> wrong{
      {"--pair2", "班级"},  // no probe column of that name
      {"--pair1", "姓名="},
      {"--key"},
      {"--no-same=1"},
      {"--frobnicate"},
      {dir_->file("third.xls")},
  };
  for (const auto& args : wrong) {
    EXPECT_EQ(compare(args), 2) << testing::PrintToString(args);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("Try 'quillmere-batch compare --help'"), std::string::npos) << err_.str();
  }
  std::ostringstream out, err;
  EXPECT_EQ(runCompareCommand({dir_->file("base.xls")}, out, err), 2);
}

TEST_F(CompareCommandTest, UnreadableInputIsReportedWithStatusTwo) {
  struct Case {
    std::vector<std::string> args;
    std::string says;
  } cases[] = {
      {{"--key", "编号"}, "no column named '编号'"},
      {{"--pair1", "姓名=名字"}, "no column named '名字'"},
      {{"--base-sheet", "待查"}, "no sheet named '待查'"},
      {{"--probe-sheet", "基准$"}, "no sheet named '基准$'"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(compare(c.args), 2) << testing::PrintToString(c.args);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find(c.says), std::string::npos) << err_.str();
  }
  std::ostringstream out, err;
  EXPECT_EQ(runCompareCommand({dir_->file("base.xls"), dir_->file("none.xls")}, out, err), 2);
  EXPECT_NE(err.str().find("none.xls"), std::string::npos) << err.str();
}

TEST_F(CompareCommandTest, SaveAndHelp) {
  const std::string saved = dir_->file("比对.txt");
  EXPECT_EQ(compare({"--save", saved, "--base-sheet", "基准", "--probe-sheet", "待查$"}), 1);
  EXPECT_EQ(gb18030ToUtf8(test::readFile(saved)), "1、K1:共找到2条数据。\r\n2、K3:在基准库未找到相应数据。\r\n");

  std::ostringstream out, err;
  EXPECT_EQ(runCompareCommand({"--help"}, out, err), 0);
  EXPECT_EQ(out.str().rfind("Usage: quillmere-batch compare BASE PROBE", 0), 0u);
  EXPECT_NE(out.str().find("--pair3"), std::string::npos);
}

}  // namespace
}  // namespace qm::cli
