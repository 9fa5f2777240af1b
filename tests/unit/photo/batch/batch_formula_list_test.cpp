// Batch photos over a list LibreOffice saved, whose 照片号 column is the
// formula =TEXT(序号,"000"): the photos are found by the formula's value.
#include <gtest/gtest.h>

#include <cstdlib>

#include "photo/batch/batch_run.h"
#include "photo/image/batch_photo.h"
#include "workbook/workbook_source.h"
#include "tests/unit/photo/batch/batch_fixture.h"

namespace qm::photo {
namespace {

using test::BatchFolders;

std::string officeList(const char* name) {
  const char* root = std::getenv("QM_FIXTURES");
  return std::string(root != nullptr ? root : "QM_FIXTURES-not-set") + "/workbooks/" + name;
}

class FormulaList : public ::testing::TestWithParam<const char*> {};

TEST_P(FormulaList, PhotoNumbersAreTheFormulasValues) {
  BatchFolders f(std::string("formula_list_") + (std::string(GetParam()).back() == 'x' ? "x" : "s"));
  const std::string p1 = test::cameraJpeg(21), p2 = test::cameraJpeg(22, 400, 500);
  test::writeFile(f.source / "001.jpg", p1);
  test::writeFile(f.source / "002.jpg", p2);  // no 003.jpg
  WorkbookSource list;
  openBatchList(list, officeList(GetParam()));
  BatchRunOptions o;
  o.sourceFolder = f.source.string();
  o.targetFolder = f.target.string();
  o.threads = 2;
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  const BatchSummary summary = runPhotoBatch(list, o, stop, log);

  std::vector<std::string> expected{"任务日志："};
  const char* outcomes[] = {"照片处理成功！进行下一个学生的处理。", "照片处理成功！进行下一个学生的处理。", "原图未找到，放弃！进行下一个学生的处理。"};
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), {"第" + std::to_string(i + 1) + "名学生:正在查找原图；", outcomes[i]});
  expected.insert(expected.end(), {" ", "任务完成！", "此次任务共有3张相片需要处理，其中2张处理成功，1张处理失败。"});
  EXPECT_EQ(log.lines, expected);
  EXPECT_EQ(summary.ok, 2);
  EXPECT_EQ(test::listFolder(f.target),
            (std::set<std::string>{"110101201001051239.jpg", "110101200912310022.jpg"}));
  EXPECT_EQ(test::readFile(f.target / "110101200912310022.jpg"), makeBatchPhoto(p2).value());
}

INSTANTIATE_TEST_SUITE_P(SavedByLibreOffice, FormulaList,
                         ::testing::Values("office_photo_list.xls", "office_photo_list.xlsx"));

}  // namespace
}  // namespace qm::photo
