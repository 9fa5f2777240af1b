// How the record checker's and the comparison's runs end when something
// throws inside them: a programming error (std::logic_error) shows as the
// internal error, any other failure keeps the run's own box, and the run
// goes back to the first records before either is shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "checks/compare/compare_run.h"
#include "checks/records/record_check_run.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

using Thrower = std::function<void()>;

// Each run as it is, except that its second record throws.
class FailingRecordCheck : public RecordCheckRun {
 public:
  FailingRecordCheck(WorkbookSource& sheet, RecordCheckControls& controls, Thrower fail)
      : RecordCheckRun(sheet, {"编号", "", "", {}}, controls), fail_(std::move(fail)) {}

 private:
  Visit visit(int record, std::vector<std::string>&, StopRequest&) override {
    if (record == 2) fail_();
    return Visit::Next;
  }
  Thrower fail_;
};

class FailingComparison : public CompareRun {
 public:
  FailingComparison(WorkbookSource& base, WorkbookSource& probe, std::atomic<bool>& stop, Thrower fail)
      : CompareRun(base, probe, {}, stop), fail_(std::move(fail)) {}

 private:
  Visit visit(int record, std::vector<std::string>&, StopRequest&) override {
    if (record == 2) fail_();
    return Visit::Next;
  }
  Thrower fail_;
};

std::string studentsXls() { return std::string(std::getenv("QM_FIXTURES")) + "/workbooks/students.xls"; }

struct ErrorCase {
  const char* name;
  Thrower fail;
  Notice expected;
};

const ErrorCase kCases[] = {
    {"logic_error", [] { throw std::logic_error("a request of this client is still out"); },
     {"程序内部错误，运行已停止：a request of this client is still out", "Quillmere", NoticeIcon::Error}},
    {"out_of_range", [] { throw std::out_of_range("basic_string::substr"); },
     {"程序内部错误，运行已停止：basic_string::substr", "Quillmere", NoticeIcon::Error}},
    {"runtime_error", [] { throw std::runtime_error("第2行读不出来"); },
     {"第2行读不出来", "出错了，关闭后检查下Excel文件吧！", NoticeIcon::None}},
    {"not_std", [] { throw 42; }, {"unknown exception", "出错了，关闭后检查下Excel文件吧！", NoticeIcon::None}},
};

TEST(CheckRunErrors, RecordCheckerShowsInternalErrorOnlyForProgrammingErrors) {
  for (const ErrorCase& c : kCases) {
    WorkbookSource sheet;
    sheet.open(studentsXls());
    sheet.openSheet("Sheet1$");
    RecordCheckControls controls;
    FailingRecordCheck run(sheet, controls, c.fail);
    EXPECT_EQ(run.run(), CheckEnd::Failed) << c.name;
    EXPECT_EQ(run.endNotice(), c.expected) << c.name;
    EXPECT_EQ(sheet.RecNo(), 1) << c.name << ": the run goes back to the first record";
  }
}

TEST(CheckRunErrors, ComparisonShowsInternalErrorOnlyForProgrammingErrors) {
  for (const ErrorCase& c : kCases) {
    WorkbookSource base, probe;
    base.open(studentsXls());
    base.openSheet("Sheet1$");
    probe.open(studentsXls());
    probe.openSheet("Sheet1$");
    std::atomic<bool> stop = false;
    FailingComparison run(base, probe, stop, c.fail);
    EXPECT_EQ(run.run(), CheckEnd::Failed) << c.name;
    EXPECT_EQ(run.endNotice(), c.expected) << c.name;
    EXPECT_EQ(probe.RecNo(), 1) << c.name << ": the run goes back to the first record";
  }
}

}  // namespace
}  // namespace qm
