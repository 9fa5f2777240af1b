// The indexed comparison against the comparison as its steps describe it (the
// whole base sheet scanned for every record to check), on random pairs of
// sheets with repeated keys, blanks around keys, letter case, number cells
// and empty sheets: the logs must be identical byte for byte.
#include <gtest/gtest.h>

#include <atomic>
#include <random>

#include "checks/compare/base_key_index.h"
#include "checks/compare/compare_run.h"
#include "common/trim.h"
#include "workbook/workbook_source.h"
#include "tests/support/xls_maker.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

using Lines = std::vector<std::string>;

Lines fullScan(WorkbookSource& base, WorkbookSource& probe, const CompareSetup& s) {
  Lines out;
  probe.First();
  while (!probe.eof()) {
    const int r = probe.RecNo();
    const std::string key = trimLow(probe.text(probe.FieldByName(s.key.probe)));
    base.First();
    std::string detail;
    bool prefixWritten = false;
    int n = 0;
    while (!base.eof()) {
      if (trimLow(base.text(base.FieldByName(s.key.base))) == key) {
        ++n;
        for (std::size_t i = 0; i < 3; ++i) {
          const ComparePair& p = s.pairs[i];
          if (trimLow(p.base).empty() || trimLow(p.probe).empty()) continue;
          const std::string a = trimLow(probe.text(probe.FieldByName(p.probe)));
          const std::string b = trimLow(base.text(base.FieldByName(p.base)));
          std::string finding;
          if (a == b && s.logging.same)
            finding = trimLow(p.probe) + "相同。";
          else if (a != b && s.logging.different)
            finding = trimLow(p.probe) + "不同，分别是：" + a + "," + b + "。";
          else
            continue;
          const std::string number = "(" + std::to_string(n) + ")";
          if (i == 0) {
            detail += number + finding;
            prefixWritten = true;
          } else if (i == 1) {
            detail += (prefixWritten ? "" : number) + finding;
            prefixWritten = true;
          } else {
            detail += (prefixWritten ? "" : number) + finding;
          }
        }
      }
      base.Next();
    }
    const std::string head = std::to_string(r) + "、" + key;
    if (n == 0 && s.logging.notFound)
      out.push_back(head + ":在基准库未找到相应数据。");
    else if (n > 0 && s.logging.found)
      out.push_back(head + ":共找到" + std::to_string(n) + "条数据。" + detail);
    else if (n > 0 && !detail.empty())
      out.push_back(head + ":" + detail);
    probe.Next();
  }
  return out;
}

test::XlsCell pick(std::mt19937& rng, const std::vector<test::XlsCell>& pool) {
  return pool[std::uniform_int_distribution<std::size_t>(0, pool.size() - 1)(rng)];
}

TEST(CompareIndex, KeyTextIsHeldOncePerDistinctKey) {
  test::TempFolder dir("compare_index_keys");
  test::XlsFile file;
  file.path = dir.file("base.xls");
  test::XlsSheet sheet{"s", {{"学号"}}};
  const std::string longKey(5000, 'k');
  for (int r = 0; r < 2000; ++r) sheet.rows.push_back({r % 2 == 0 ? longKey : " " + longKey + " "});
  sheet.rows.push_back({"K2"});
  file.sheets.push_back(sheet);
  test::writeXlsFiles({file}, dir.path.string());
  WorkbookSource base;
  base.open(file.path);
  base.openSheet("s$");
  BaseKeyIndex index;
  index.build(base, 0);
  EXPECT_EQ(index.keyBytes(), 5000u + 2u);
  int matches = 0;
  for (auto m = index.find(longKey); !m.empty(); m.pop()) ++matches;
  EXPECT_EQ(matches, 2000);
  EXPECT_EQ(index.find("K2").front(), 2001);
  EXPECT_TRUE(index.find("k2").empty());
}

TEST(CompareIndex, SameLogAsAFullScanOnRandomSheets) {
  std::mt19937 rng(20240611);
  const std::vector<test::XlsCell> keys{"K1", "K2", "k1", " K1", "K1 ", "0012", 12, 12.5, "",
                                        " ", "中文", "中文 ", "A\tB", test::XlsCell()};
  const std::vector<test::XlsCell> values{"x", "X", " x", "", "1", 1, "男", "女", "中文", test::XlsCell()};
  const std::vector<std::string> baseNames{"学号", "姓名", "性别", "班级"};
  const std::vector<std::string> probeNames{"学号", "姓名", "性别", "年级"};

  constexpr int kSheets = 16;
  test::XlsFile baseFile, probeFile;
  test::TempFolder dir("compare_index");
  baseFile.path = dir.file("base.xls");
  probeFile.path = dir.file("probe.xls");
  auto randomSheet = [&](const std::string& name, const std::vector<std::string>& header, int maxRows) {
    test::XlsSheet sheet{name, {}};
    sheet.rows.push_back(test::XlsRow(header.begin(), header.end()));
    const int rows = std::uniform_int_distribution<int>(0, maxRows)(rng);
    for (int r = 0; r < rows; ++r)
      sheet.rows.push_back({pick(rng, keys), pick(rng, values), pick(rng, values), pick(rng, values)});
    return sheet;
  };
  for (int i = 0; i < kSheets; ++i) {
    baseFile.sheets.push_back(randomSheet("s" + std::to_string(i), baseNames, i == 0 ? 0 : 60));
    probeFile.sheets.push_back(randomSheet("s" + std::to_string(i), probeNames, i == 1 ? 0 : 60));
  }
  test::writeXlsFiles({baseFile, probeFile}, dir.path.string());

  WorkbookSource base, probe;
  base.open(baseFile.path);
  probe.open(probeFile.path);
  std::atomic<bool> stop{false};
  std::bernoulli_distribution coin(0.6);
  std::uniform_int_distribution<std::size_t> column(0, 3);
  int linesCompared = 0;
  for (int i = 0; i < kSheets; ++i) {
    base.openSheet("s" + std::to_string(i) + "$");
    probe.openSheet("s" + std::to_string(i) + "$");
    for (int round = 0; round < 6; ++round) {
      CompareSetup s;
      s.key = {"学号", "学号"};
      for (ComparePair& p : s.pairs)
        if (coin(rng)) p = {baseNames[column(rng)], probeNames[column(rng)]};
      s.logging = {coin(rng), coin(rng), coin(rng), coin(rng)};

      Lines indexed;
      CompareRun run(base, probe, s, stop, [&](CheckProgress& p) {
        for (auto& l : p.lines) indexed.push_back(std::move(l));
      });
      // Small slices, so that slice boundaries fall everywhere.
      while (run.advance(3)) {
      }
      ASSERT_EQ(run.end(), CheckEnd::Finished) << run.error();
      const Lines scanned = fullScan(base, probe, s);
      ASSERT_EQ(indexed, scanned) << "sheet s" << i << ", round " << round;
      linesCompared += static_cast<int>(scanned.size());
    }
  }
  EXPECT_GT(linesCompared, 500);  // the sheets were not all trivially empty
}

}  // namespace
}  // namespace qm
