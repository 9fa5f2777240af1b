// The spreadsheet checks on 65,535-record .xls files written by python3-xlwt:
// FreeXL's bare read of every cell, the record check (open, read, check, log
// lines) and the comparison of two such sheets (every key found, three pairs
// in use), each in a child process so that its peak memory is its own.
// Rounds interleave the measurements; ratios are taken within each round.
//   checks_bench [folder]
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <freexl.h>
#include <functional>
#include <random>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "bench/bench_support.h"
#include "checks/compare/compare_run.h"
#include "common/log_file.h"
#include "checks/records/record_check_run.h"
#include "checks/records/record_columns.h"
#include "workbook/workbook_source.h"
#include "tests/support/xls_maker.h"

using bench::Clock;
using bench::seconds;
using bench::statusKb;

namespace {

constexpr int kRecords = 65535;
constexpr int kRounds = 5;

std::string idNumber(int serial, int year, int month, int day, bool male) {
  static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  char first17[18];
  std::snprintf(first17, sizeof first17, "%06d%04d%02d%02d%02d%d", 110101 + serial % 900, year, month, day,
                serial / 900 % 100, (serial % 5) * 2 + (male ? 1 : 0));
  int sum = 0;
  for (int i = 0; i < 17; ++i) sum += (first17[i] - '0') * weights[i];
  return std::string(first17) + "10X98765432"[sum % 11];
}

// Base: 身份证号, 姓名, 出生日期, 性别, about 1% of the records faulty. Probe:
// the same IDs in reverse order, a few names and genders changed.
void writeWorkbooks(const std::string& base, const std::string& probe, const std::string& scratch) {
  std::mt19937 rng(20240611);
  qm::test::XlsSheet b{"学生", {{"身份证号", "姓名", "出生日期", "性别"}}}, p{"学生", {b.rows[0]}};
  static const char* kSurnames[] = {"张", "王", "李", "赵", "刘", "陈", "杨", "黄"};
  static const char* kGiven[] = {"伟", "芳", "娜", "敏", "静", "丽", "强", "磊", "军", "洋"};
  for (int i = 0; i < kRecords; ++i) {
    const int year = 2005 + static_cast<int>(rng() % 10), month = 1 + static_cast<int>(rng() % 12),
              day = 1 + static_cast<int>(rng() % 28);
    const bool male = rng() % 2;
    char birth[9];
    std::snprintf(birth, sizeof birth, "%04d%02d%02d", year, month, day);
    std::string id = idNumber(i, year, month, day, male);
    std::string gender = male ? "男" : "女";
    std::string birthText = birth;
    switch (rng() % 300) {
      case 0: id.back() = id.back() == '1' ? '2' : '1'; break;
      case 1: gender = male ? "女" : "男"; break;
      case 2: birthText[7] = birthText[7] == '1' ? '2' : '1'; break;
      default: break;
    }
    const std::string name = std::string(kSurnames[rng() % 8]) + kGiven[rng() % 10] + kGiven[rng() % 10];
    b.rows.push_back({id, name, birthText, gender});
  }
  for (int i = kRecords; i >= 1; --i) {
    qm::test::XlsRow row = b.rows[static_cast<std::size_t>(i)];
    if (rng() % 50 == 0) row[1] = row[1].text + "二";
    if (rng() % 80 == 0) row[3] = row[3].text == "男" ? "女" : "男";
    p.rows.push_back(row);
  }
  qm::test::writeXlsFiles({{base, {b}}, {probe, {p}}}, scratch);
}

struct Result {
  double seconds = -1;
  double runSeconds = 0;  // the check or comparison alone, sheets already open
  long growthKb = 0;
  long lines = 0;
};

// Runs work in a child process, so that its peak memory is its own.
Result measure(const std::function<long(Result&)>& work) {
  return bench::inChild<Result>([&] {
    bench::resetPeak();
    const long before = statusKb("VmRSS:");
    Result r;
    try {
      const auto start = Clock::now();
      r.lines = work(r);
      r.seconds = seconds(start);
      r.growthKb = statusKb("VmHWM:") - before;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "failed: %s\n", e.what());
    }
    return r;
  });
}

// FreeXL alone: open, then every cell's value of the first sheet.
long bareRead(const std::string& path) {
  const void* h = nullptr;
  if (freexl_open(path.c_str(), &h) != FREEXL_OK) throw std::runtime_error("FreeXL cannot open " + path);
  unsigned rows = 0;
  unsigned short cols = 0;
  freexl_select_active_worksheet(h, 0);
  freexl_worksheet_dimensions(h, &rows, &cols);
  long text = 0;
  FreeXL_CellValue v;
  for (unsigned r = 0; r < rows; ++r)
    for (unsigned short c = 0; c < cols; ++c)
      if (freexl_get_cell_value(h, r, c, &v) == FREEXL_OK && v.type == FREEXL_CELL_SST_TEXT) ++text;
  freexl_close(h);
  if (text < kRecords) throw std::runtime_error("FreeXL read too few texts");
  return 0;
}

// The reader alone: open the workbook and its sheet, read every cell as text.
long readerOnly(const std::string& path) {
  qm::WorkbookSource source;
  source.open(path);
  source.openSheet(source.GetTableNames().front());
  const int fields = static_cast<int>(source.GetFieldNames().size());
  long bytes = 0;
  for (source.First(); !source.eof(); source.Next())
    for (int f = 0; f < fields; ++f) bytes += static_cast<long>(source.text(f).size());
  return bytes > 0 ? 0 : -1;
}

long recordCheck(const std::string& path, const std::string* logPath, Result& r) {
  qm::WorkbookSource source;
  source.open(path);
  source.openSheet(source.GetTableNames().front());
  const std::vector<std::string> names = source.GetFieldNames();
  const qm::RecordColumnChoice c = qm::matchRecordColumns(names);
  qm::RecordCheckSetup setup{names[*c.id], names[*c.birth], names[*c.gender], {}};
  setup.checks = qm::checksAfterOpening(setup.idColumn, setup.birthColumn, setup.genderColumn);
  qm::RecordCheckControls controls;
  std::vector<std::string> log;
  qm::RecordCheckRun run(source, setup, controls, [&](qm::CheckProgress& p) {
    for (auto& l : p.lines) log.push_back(std::move(l));
  });
  const auto start = Clock::now();
  if (run.run() != qm::CheckEnd::Finished) throw std::runtime_error("check failed: " + run.error());
  r.runSeconds = seconds(start);
  if (logPath && !qm::saveLogLines(*logPath, log)) throw std::runtime_error("log not saved");
  return static_cast<long>(log.size());
}

long comparison(const std::string& basePath, const std::string& probePath, Result& r) {
  qm::WorkbookSource base, probe;
  base.open(basePath);
  base.openSheet(base.GetTableNames().front());
  probe.open(probePath);
  probe.openSheet(probe.GetTableNames().front());
  qm::CompareSetup setup{{"身份证号", "身份证号"}, {{{"姓名", "姓名"}, {"出生日期", "出生日期"}, {"性别", "性别"}}}, {}};
  std::atomic<bool> stop{false};
  long lines = 0, found = 0;
  qm::CompareRun run(base, probe, setup, stop, [&](qm::CheckProgress& p) {
    lines += static_cast<long>(p.lines.size());
    for (const auto& l : p.lines) found += l.find("共找到1条数据") != std::string::npos;
  });
  const auto start = Clock::now();
  if (run.run() != qm::CheckEnd::Finished) throw std::runtime_error("compare failed: " + run.error());
  r.runSeconds = seconds(start);
  if (found != kRecords) throw std::runtime_error("not every key was found");
  return lines;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "qm_checks_bench";
  fs::create_directories(dir);
  const std::string base = (dir / "base.xls").string(), probe = (dir / "probe.xls").string(),
                    log = (dir / "log.txt").string();
  auto start = Clock::now();
  // In a child, so that the measurements do not reuse the memory it frees.
  if (measure([&](Result&) {
        writeWorkbooks(base, probe, dir.string());
        return 0L;
      }).seconds < 0)
    return 1;
  std::printf("two workbooks of %d records x 4 columns written by python3-xlwt in %.1f s (%.1f MB, %.1f MB)\n",
              kRecords, seconds(start), fs::file_size(base) / 1048576.0, fs::file_size(probe) / 1048576.0);

  std::vector<double> checkRun, compareRun;
  std::vector<double> bare, bareBoth, reader, check, checkSaved, compare, checkRatio, compareRatio;
  Result last[6];
  for (int round = 0; round < kRounds; ++round) {
    last[0] = measure([&](Result&) { return bareRead(base); });
    last[1] = measure([&](Result&) { return bareRead(probe); });
    last[2] = measure([&](Result& r) { return recordCheck(base, nullptr, r); });
    last[3] = measure([&](Result& r) { return recordCheck(base, &log, r); });
    last[4] = measure([&](Result& r) { return comparison(base, probe, r); });
    last[5] = measure([&](Result&) { return readerOnly(base); });
    for (const Result& r : last)
      if (r.seconds < 0) return 1;
    bare.push_back(last[0].seconds);
    bareBoth.push_back(last[0].seconds + last[1].seconds);
    check.push_back(last[2].seconds);
    checkRun.push_back(last[2].runSeconds);
    compareRun.push_back(last[4].runSeconds);
    checkSaved.push_back(last[3].seconds);
    compare.push_back(last[4].seconds);
    reader.push_back(last[5].seconds);
    checkRatio.push_back(last[2].seconds / last[0].seconds);
    compareRatio.push_back(last[4].seconds / (last[0].seconds + last[1].seconds));
  }
  std::printf("medians of %d rounds:\n", kRounds);
  std::printf("  FreeXL bare read, every cell, one file   %7.1f ms   peak growth %6.1f MB\n", median(bare) * 1e3,
              last[0].growthKb / 1024.0);
  std::printf("  FreeXL bare read, both files             %7.1f ms\n", median(bareBoth) * 1e3);
  std::printf("  WorkbookSource open + every cell as text %7.1f ms   peak growth %6.1f MB\n",
              median(reader) * 1e3, last[5].growthKb / 1024.0);
  std::printf("  record check (open, read, check, lines)  %7.1f ms   peak growth %6.1f MB   %ld lines\n",
              median(check) * 1e3, last[2].growthKb / 1024.0, last[2].lines);
  std::printf("  the same and the log saved (GB18030)     %7.1f ms   peak growth %6.1f MB\n", median(checkSaved) * 1e3,
              last[3].growthKb / 1024.0);
  std::printf("  comparison, 3 pairs, every key found     %7.1f ms   peak growth %6.1f MB   %ld lines\n",
              median(compare) * 1e3, last[4].growthKb / 1024.0, last[4].lines);
  std::printf("  of which the check's own walk (sheet open) %5.1f ms; the comparison's own walk %5.1f ms\n",
              median(checkRun) * 1e3, median(compareRun) * 1e3);
  std::printf("ratio check / bare read:            %.2f (target <= 1.0)\n", median(checkRatio));
  std::printf("ratio comparison / bare read both:  %.2f (target <= 1.5)\n", median(compareRatio));
  for (const std::string& f : {base, probe, log}) fs::remove(f);
  return 0;
}
