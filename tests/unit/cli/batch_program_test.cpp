// The quillmere-batch program itself: the command table, exit statuses, and
// lines on standard output kept apart from messages on standard error.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include "tests/unit/cli/cli_fixture.h"

namespace qm::test {
namespace {

struct Result {
  int status = -1;
  std::string out, err;
};

std::string quoted(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class BatchProgramTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempFolder("cli_program");
    writeCliWorkbooks(*dir_);
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  static Result batch(const std::vector<std::string>& args) {
    std::string command = quoted(QM_BATCH_PROGRAM);
    for (const auto& a : args) command += " " + quoted(a);
    const std::string out = dir_->file("stdout"), err = dir_->file("stderr");
    command += " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
    const int raw = std::system(command.c_str());
    Result r;
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = readFile(out);
    r.err = readFile(err);
    return r;
  }

  static TempFolder* dir_;
};
TempFolder* BatchProgramTest::dir_ = nullptr;

TEST_F(BatchProgramTest, ExitStatuses) {
  const Result errors = batch({"check", dir_->file("students.xls")});
  EXPECT_EQ(errors.status, 1);
  EXPECT_EQ(errors.out.rfind("2、身份证号码错误。", 0), 0u) << errors.out;
  EXPECT_EQ(errors.err, "检查结束！发现了一些错误。\n");

  const Result clean = batch({"check", dir_->file("students.xls"), "--sheet", "clean", "--date-format", "YYYY-MM-DD",
                              "--gender-coding", "digits"});
  EXPECT_EQ(clean.status, 0);
  EXPECT_EQ(clean.out, "");
  EXPECT_EQ(clean.err, "检查结束！没有发现错误。\n");

  const Result compared = batch({"compare", dir_->file("base.xls"), dir_->file("probe.xls")});
  EXPECT_EQ(compared.status, 1);  // K3 is not found
  EXPECT_EQ(compared.out, "1、K1:共找到2条数据。\n2、K3:在基准库未找到相应数据。\n");
  EXPECT_EQ(compared.err, "比对结束！\n");

  EXPECT_EQ(batch({"check", dir_->file("missing.xls")}).status, 2);
  EXPECT_EQ(batch({"compare", dir_->file("base.xls")}).status, 2);
}

TEST_F(BatchProgramTest, CommandTableAndHelp) {
  const Result none = batch({});
  EXPECT_EQ(none.status, 2);
  EXPECT_NE(none.err.find("Usage: quillmere-batch COMMAND"), std::string::npos);
  EXPECT_EQ(none.out, "");

  const Result unknown = batch({"frobnicate"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_NE(unknown.err.find("unknown command 'frobnicate'"), std::string::npos);

  const Result help = batch({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("  check "), std::string::npos);
  EXPECT_NE(help.out.find("  compare "), std::string::npos);

  for (const char* command : {"check", "compare"}) {
    const Result r = batch({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_EQ(r.out.rfind(std::string("Usage: quillmere-batch ") + command, 0), 0u) << r.out;
  }
}

}  // namespace
}  // namespace qm::test
