#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <stdexcept>
#include <sys/resource.h>

#include "sheet/sheet.h"
#include "sheet/xls/xls_writer.h"
#include "sheet/xlsx_writer.h"
#include "tests/support/temp_folder.h"

using namespace qm;
using namespace qm::test;

namespace {

// Files may grow only to limit bytes while it lives: a disk that fills up mid-write.
struct fileSizeLimit {
  rlimit old{};
  void (*oldHandler)(int);
  explicit fileSizeLimit(rlim_t limit) {
    oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &old);
    rlimit lim = old;
    lim.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &lim);
  }
  ~fileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
  }
};

Sheet biggish() {
  Sheet s;
  for (int r = 1; r <= 5000; ++r)
    for (int c = 1; c <= 6; ++c) s.setText(r, c, "学生" + std::to_string(r * 7 + c) + "abcdef");
  return s;
}

}  // namespace

TEST(SaveFailure, WriteFailingMidwayLeavesOldFileAndNoTemporaryFile) {
  struct Case {
    const char* name;
    std::function<void(const Sheet&, const std::string&)> write;
  } cases[] = {{"old.xls", writeXls}, {"old.xlsx", writeXlsx}};
  const Sheet sheet = biggish();
  for (const Case& c : cases) {
    TempFolder dir("fail");
    const std::string path = dir.file(c.name);
    std::ofstream(path) << "previous workbook";
    {
      fileSizeLimit limit(16 * 1024);
      EXPECT_THROW(c.write(sheet, path), std::runtime_error) << c.name;
    }
    EXPECT_EQ(readFile(path), "previous workbook") << c.name;
    EXPECT_EQ(dir.entries(), 1u) << c.name << ": temporary file left";
  }
}

TEST(SaveFailure, MissingFolderThrows) {
  TempFolder dir("gone");
  Sheet sheet;
  sheet.setText(1, 1, "x");
  // The folder is a plain file now.
  std::ofstream(dir.file("folder")) << "not a folder";
  EXPECT_THROW(writeXls(sheet, dir.file("folder/a.xls")), std::runtime_error);
  EXPECT_THROW(writeXlsx(sheet, dir.file("folder/a.xlsx")), std::runtime_error);
  EXPECT_THROW(writeXls(sheet, dir.file("missing/a.xls")), std::runtime_error);
  EXPECT_EQ(dir.entries(), 1u);
}
