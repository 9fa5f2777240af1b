// Files that are no readable workbook end in WorkbookError, never a crash,
// and leave the source closed.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures.h"
#include "tests/support/temp_folder.h"
#include "workbook/workbook_source.h"

namespace qm {
namespace {

std::string openError(const std::string& path) {
  WorkbookSource source;
  try {
    source.open(path);
  } catch (const WorkbookError& e) {
    EXPECT_FALSE(source.isOpen()) << path;
    return e.what();
  }
  ADD_FAILURE() << "opened " << path;
  return {};
}

TEST(WorkbookErrors, BrokenFilesAreRefusedWithTheirReason) {
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {
      {"missing.xls", "找不到文件："},
      {"text.xls", "不是Excel工作簿（.xls或.xlsx）："},
      {"truncated.xls", "Excel文件已损坏或不完整："},
      {"truncated.xlsx", "Excel文件已损坏或不完整："},
      {"damaged_directory.xls", "Excel文件已损坏或不完整："},
      {"not_workbook.xlsx", "不是Excel工作簿（.xls或.xlsx）："},
  };
  for (const auto& c : cases) {
    const std::string path = workbookFixture(c.file);
    const std::string message = openError(path);
    EXPECT_EQ(message.rfind(c.reason, 0), 0u) << c.file << ": " << message;
    EXPECT_NE(message.find(path), std::string::npos) << message;
  }
}

TEST(WorkbookErrors, FolderAndEmptyPath) {
  EXPECT_EQ(openError(workbookFixture("")).rfind("不是一个文件：", 0), 0u);
  EXPECT_EQ(openError("   ").rfind("找不到文件：", 0), 0u);
}

TEST(WorkbookErrors, EmptyFile) {
  const qm::test::TempFolder dir("workbook_errors");
  const std::string file = dir.file("empty.xls");
  std::ofstream(file).close();
  EXPECT_EQ(openError(file).rfind("不是Excel工作簿", 0), 0u);
}

TEST(WorkbookErrors, UnreadableFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const qm::test::TempFolder dir("workbook_errors");
  const std::string file = dir.file("locked.xls");
  std::filesystem::copy_file(workbookFixture("students.xls"), file);
  ::chmod(file.c_str(), 0);
  EXPECT_EQ(openError(file).rfind("没有读取权限，无法打开文件：", 0), 0u);
}

TEST(WorkbookErrors, FormatIsToldByContentNotName) {
  const qm::test::TempFolder dir("workbook_errors");
  const std::string file = dir.file("really_xlsx.xls");
  std::filesystem::copy_file(workbookFixture("students.xlsx"), file);
  WorkbookSource source;
  source.open(file);
  EXPECT_EQ(source.GetTableNames().size(), 4u);
}

TEST(WorkbookErrors, DamagedSheetFailsWhenOpened) {
  WorkbookSource source;
  source.open(workbookFixture("bad_xml.xlsx"));
  try {
    source.openSheet("Sheet1$");
    FAIL() << "no error";
  } catch (const WorkbookError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Excel文件已损坏或不完整：", 0), 0u) << e.what();
  }
  EXPECT_FALSE(source.sheetOpen());
}

TEST(WorkbookErrors, ExtentPastTheCellLimitIsRefused) {
  WorkbookSource source;
  source.open(workbookFixture("huge_extent.xlsx"));
  try {
    source.openSheet("Sheet1$");
    FAIL() << "no error";
  } catch (const WorkbookError& e) {
    EXPECT_NE(std::string(e.what()).find("范围太大"), std::string::npos) << e.what();
  }
}

TEST(WorkbookErrors, FailedOpenClosesThePreviousWorkbook) {
  WorkbookSource source;
  source.open(workbookFixture("students.xls"));
  source.openSheet("Sheet1$");
  EXPECT_THROW(source.open(workbookFixture("text.xls")), WorkbookError);
  EXPECT_FALSE(source.isOpen());
  EXPECT_FALSE(source.sheetOpen());
}

}  // namespace
}  // namespace qm
