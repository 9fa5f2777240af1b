#include "photo/batch/batch_list.h"

#include <gtest/gtest.h>

#include "workbook/workbook_source.h"
#include "tests/unit/photo/batch/batch_fixture.h"

namespace qm::photo {
namespace {

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const BatchListError& e) {
    return e.what();
  }
  return "no error";
}

TEST(BatchList, ReadsTrimmedCellsOfSheet1) {
  test::BatchFolders f("list");
  test::writeList(f.root / "list.xls", {{"身份证件号", "备注", "照片号"},
                                        {" 110101200001010011 ", "x", "\t001"},
                                        {"110101200001010022", test::Cell{}, test::Cell{}}});
  WorkbookSource list;
  openBatchList(list, (f.root / "list.xls").string());
  auto students = readBatchList(list);
  ASSERT_EQ(students.size(), 2u);
  EXPECT_EQ(students[0].photoNumber, "001");
  EXPECT_EQ(students[0].idNumber, "110101200001010011");
  EXPECT_EQ(students[1].photoNumber, "");  // an empty cell: the file ".jpg"
}

TEST(BatchList, TheThreeListFailuresGiveTheWindowsMessages) {
  test::BatchFolders f("list_errors");
  test::writeList(f.root / "columns.xls", {{"照片号", "身份证号"}, {"001", "110101200001010011"}});
  test::writeList(f.root / "sheet.xls", {{"照片号", "身份证件号"}}, "学生名单");
  test::writeFile(f.root / "garbage.xls", "not a workbook at all");

  WorkbookSource list;
  EXPECT_EQ(errorOf([&] { openBatchList(list, (f.root / "garbage.xls").string()); }), "选取的对应数据库有问题，不能打开或识别！");
  EXPECT_EQ(errorOf([&] { openBatchList(list, (f.root / "missing.xls").string()); }), "选取的对应数据库有问题，不能打开或识别！");
  EXPECT_EQ(errorOf([&] { openBatchList(list, (f.root / "sheet.xls").string()); }), "选取的对应数据库有问题，不能打开或识别！");
  EXPECT_FALSE(list.isOpen());

  openBatchList(list, (f.root / "columns.xls").string());
  EXPECT_EQ(errorOf([&] { readBatchList(list); }), "    数据库可能没有“照片号”和“身份证件号”\r两个字段或名称有差别，任务不能进行！");

  // The run refuses before logging anything.
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  BatchRunOptions options;
  EXPECT_THROW(runPhotoBatch(list, options, stop, log), BatchListError);
  EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace qm::photo
