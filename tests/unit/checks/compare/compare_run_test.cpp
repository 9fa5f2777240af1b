// The comparison over workbooks written by python3-xlwt: numbered findings of
// keys found several times for pairs 1, 2 and 3, key trimming and letter
// case, the logging options, stop and errors.
#include <gtest/gtest.h>

#include <atomic>

#include "checks/compare/compare_run.h"
#include "workbook/workbook_source.h"
#include "tests/support/xls_maker.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using Lines = std::vector<std::string>;

class CompareRunTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new test::TempFolder("compare");
    test::XlsSheet base{"基准",
                        {{"学号", "姓名", "性别", "班级"},
                         {"K1", "张三", "男", "1班"},
                         {"K2", "李四", "女", "2班"},
                         {"K1", "张三", "女", "1班"},
                         {" K3 ", "王五", "男", "3班"},
                         {"K1", "张叁", "男", "1班"},
                         {"0012", "赵六", "男", "4班"},
                         {"abc", "钱七", "女", "5班"},
                         {"", "空", "男", "6班"},
                         {test::XlsCell(), "空二", "女", "6班"}}};
    test::XlsSheet emptyBase{"空表", {{"学号", "姓名", "性别", "班级"}}};
    test::XlsSheet probe{"待查",
                         {{"学号", "姓名", "性别", "年级"},
                          {"K1", "张三", "男", "1班"},
                          {"K3", "王五", "女", "3班"},
                          {12, "赵六", "男", "4班"},
                          {"ABC", "钱七", "女", "5班"},
                          {"  ", "", "男", "6班"},
                          {"K9", "无", "男", "9班"}}};
    test::XlsSheet probe2{"待查2", {{"学号", "姓名"}, {"K9", "无"}, {"K1", "张三"}}};
    test::writeXlsFiles({{dir_->file("base.xls"), {base, emptyBase}}, {dir_->file("probe.xls"), {probe, probe2}}},
                        dir_->path.string());
  }
  static void TearDownTestSuite() {
    delete dir_;
    dir_ = nullptr;
  }

  void open(const std::string& baseTable = "基准$", const std::string& probeTable = "待查$") {
    base_.open(dir_->file("base.xls"));
    base_.openSheet(baseTable);
    probe_.open(dir_->file("probe.xls"));
    probe_.openSheet(probeTable);
  }

  static CompareSetup setup(std::array<ComparePair, 3> pairs, CompareLogging logging = {}) {
    return CompareSetup{{"学号", "学号"}, std::move(pairs), logging};
  }

  Lines compare(const CompareSetup& s, CheckEnd expected = CheckEnd::Finished) {
    Lines lines;
    CompareRun run(base_, probe_, s, stop_, [&](CheckProgress& p) {
      for (auto& l : p.lines) lines.push_back(std::move(l));
    });
    EXPECT_EQ(run.run(), expected) << run.error();
    return lines;
  }

  static test::TempFolder* dir_;
  WorkbookSource base_, probe_;
  std::atomic<bool> stop_{false};
};
test::TempFolder* CompareRunTest::dir_ = nullptr;

const ComparePair kName{"姓名", "姓名"}, kGender{"性别", "性别"}, kClass{"班级", "年级"}, kNone{};

TEST_F(CompareRunTest, PairOneNumbersEveryMatch) {
  open();
  EXPECT_EQ(compare(setup({kName, kNone, kNone})),
            (Lines{"1、K1:共找到3条数据。(1)姓名相同。(2)姓名相同。(3)姓名不同，分别是：张三,张叁。",
                   "2、K3:共找到1条数据。(1)姓名相同。",
                   "3、12:在基准库未找到相应数据。",   // 0012 is another key
                   "4、ABC:在基准库未找到相应数据。",  // and abc too
                   "5、:共找到2条数据。(1)姓名不同，分别是：,空。(2)姓名不同，分别是：,空二。",
                   "6、K9:在基准库未找到相应数据。"}));
}

TEST_F(CompareRunTest, PairTwoNumbersOnlyTheFirstFinding) {
  open();
  const Lines lines = compare(setup({kNone, kGender, kNone}));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "1、K1:共找到3条数据。(1)性别相同。性别不同，分别是：男,女。性别相同。");
  EXPECT_EQ(lines[1], "2、K3:共找到1条数据。(1)性别不同，分别是：女,男。");
}

TEST_F(CompareRunTest, PairThreeNumbersEveryFindingAndNamesTheProbeColumn) {
  open();
  const Lines lines = compare(setup({kNone, kNone, kClass}));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "1、K1:共找到3条数据。(1)年级相同。(2)年级相同。(3)年级相同。");
}

TEST_F(CompareRunTest, PairThreeNeitherNumbersAfterPairTwoNorMarksItsOwn) {
  open();
  const Lines lines = compare(setup({kNone, kGender, kClass}));
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0],
            "1、K1:共找到3条数据。(1)性别相同。年级相同。性别不同，分别是：男,女。年级相同。性别相同。年级相同。");
  const Lines all = compare(setup({kName, kGender, kClass}));
  EXPECT_EQ(all[1], "2、K3:共找到1条数据。(1)姓名相同。性别不同，分别是：女,男。年级相同。");
}

TEST_F(CompareRunTest, LoggingOptions) {
  open();
  struct Case {
    CompareLogging logging;
    Lines expected;
  } cases[] = {
      {{false, true, true, true},
       {"1、K1:共找到3条数据。(3)姓名不同，分别是：张三,张叁。", "2、K3:共找到1条数据。",
        "3、12:在基准库未找到相应数据。", "4、ABC:在基准库未找到相应数据。",
        "5、:共找到2条数据。(1)姓名不同，分别是：,空。(2)姓名不同，分别是：,空二。",
        "6、K9:在基准库未找到相应数据。"}},
      // Without "记录找到的情况" a found record is logged only for its findings.
      {{false, true, false, false},
       {"1、K1:(3)姓名不同，分别是：张三,张叁。", "5、:(1)姓名不同，分别是：,空。(2)姓名不同，分别是：,空二。"}},
      {{true, false, false, true},
       {"1、K1:(1)姓名相同。年级相同。(2)姓名相同。年级相同。年级相同。", "2、K3:(1)姓名相同。年级相同。",
        "3、12:在基准库未找到相应数据。", "4、ABC:在基准库未找到相应数据。", "5、:(1)年级相同。(2)年级相同。",
        "6、K9:在基准库未找到相应数据。"}},
      {{false, false, false, false}, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(compare(setup({kName, kNone, kClass}, c.logging)), c.expected);
}

TEST_F(CompareRunTest, StopEndsTheRunBeforeTheNextRecordsLine) {
  open();
  Lines lines;
  int reports = 0;
  CompareRun run(base_, probe_, setup({kName, kNone, kNone}), stop_, [&](CheckProgress& p) {
    for (auto& l : p.lines) lines.push_back(std::move(l));
    if (++reports == 1) stop_ = true;
  });
  while (run.advance(1)) {
  }
  EXPECT_EQ(run.end(), CheckEnd::Stopped);
  EXPECT_EQ(lines, Lines{"1、K1:共找到3条数据。(1)姓名相同。(2)姓名相同。(3)姓名不同，分别是：张三,张叁。"});
  EXPECT_FALSE(stop_);
  EXPECT_EQ(run.endNotice().title, "请注意");
  EXPECT_EQ(run.endNotice().text, "查询停止！");
  EXPECT_EQ(probe_.RecNo(), 1);
}

TEST_F(CompareRunTest, StopWorksAgainstAnEmptyBaseToo) {
  open("空表$");
  stop_ = true;
  EXPECT_EQ(compare(setup({kName, kNone, kNone}), CheckEnd::Stopped), Lines{});
  EXPECT_EQ(compare(setup({kName, kNone, kNone})).size(), 6u);  // nothing found, all logged
}

TEST_F(CompareRunTest, MissingColumnFailsAtItsFirstUseKeepingEarlierLines) {
  open("基准$", "待查2$");
  Lines lines;
  CompareRun run(base_, probe_, setup({ComparePair{"不存在", "姓名"}, kNone, kNone}), stop_, [&](CheckProgress& p) {
    for (auto& l : p.lines) lines.push_back(std::move(l));
  });
  EXPECT_EQ(run.run(), CheckEnd::Failed);
  EXPECT_EQ(lines, Lines{"1、K9:在基准库未找到相应数据。"});
  EXPECT_NE(run.error().find("不存在"), std::string::npos) << run.error();
  EXPECT_EQ(run.endNotice().title, "出错了，关闭后检查下Excel文件吧！");
}

TEST_F(CompareRunTest, FinishedNotice) {
  open();
  CompareRun run(base_, probe_, setup({kNone, kNone, kNone}), stop_);
  EXPECT_EQ(run.run(), CheckEnd::Finished);
  EXPECT_EQ(run.endNotice().title, "恭喜");
  EXPECT_EQ(run.endNotice().text, "比对结束！");
}

}  // namespace
}  // namespace qm
