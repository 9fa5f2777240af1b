// Writes 65,536 rows x 19 text cells (Chinese and ASCII, about 10 characters,
// 15 columns distinct, 4 from small pools) with our .xls writer, our .xlsx path and libxlsxwriter on
// its own (constant-memory and normal mode), each in a child process, and
// prints wall time and peak memory growth; then times FreeXL reading the .xls.
// The export's way is measured too: rows written 50 at a time, each page's
// rows prepared for .xls as soon as they are final, then save() alone.
//   sheet_write_bench [folder]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <freexl.h>
#include <functional>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unordered_set>
#include <unistd.h>
#include <xlsxwriter.h>

#include "bench/bench_support.h"
#include "sheet/sheet.h"
#include "sheet/xls/xls_builder.h"
#include "sheet/xls/xls_writer.h"
#include "sheet/xlsx_writer.h"

using bench::Clock;
using bench::resetPeak;
using bench::seconds;
using bench::statusKb;

namespace {

constexpr int kRows = 65536, kCols = 19;

void appendUtf8(std::string& s, unsigned cp) {
  s += static_cast<char>(0xE0 | (cp >> 12));
  s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  s += static_cast<char>(0x80 | (cp & 0x3F));
}

qm::Sheet makeCells() {
  qm::Sheet sheet;
  std::uint64_t seed = 20240901;
  auto next = [&] { return static_cast<unsigned>((seed = seed * 6364136223846793005ull + 1442695040888963407ull) >> 33); };
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kCols; ++c) {
      std::string text;
      if (c > 15) {
        // Like gender, nation or grade columns: a few values repeated. This also keeps
        // the distinct strings under 2^20, the most FreeXL 1.0.6 will open.
        static const char* kPool[] = {"男", "女", "汉族", "回族", "初中一年级", "初中二年级", "走读", "住校"};
        text = kPool[(next() % 8)];
        text += std::to_string(c);
      } else if (c % 2) {
        for (int k = 0; k < 10; ++k) appendUtf8(text, 0x4E00 + next() % 3000);
      } else {
        static const char kAlnum[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        for (int k = 0; k < 10; ++k) text += kAlnum[next() % 62];
      }
      sheet.setText(r, c, text);
    }
  }
  for (int c = 1; c <= kCols; ++c) sheet.setColumnWidth(c, c % 2 ? "20.5" : "12");
  return sheet;
}

void writeWithLibxlsxwriter(const qm::Sheet& sheet, const std::string& path, bool constantMemory) {
  lxw_workbook_options options{};
  options.constant_memory = constantMemory;
  lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
  lxw_worksheet* ws = workbook_add_worksheet(book, nullptr);
  std::string value;
  for (int r = 1; r <= sheet.rowCount(); ++r) {
    const auto& cells = sheet.row(r);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      value.assign(sheet.text(cells[c]));
      worksheet_write_string(ws, static_cast<lxw_row_t>(r - 1), static_cast<lxw_col_t>(c), value.c_str(), nullptr);
    }
  }
  if (workbook_close(book) != LXW_NO_ERROR) throw std::runtime_error("libxlsxwriter failed");
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Result {
  double seconds = -1;
  long growthKb = -1;
  double prepareSeconds = -1, saveSeconds = -1;  // the export's way only
};

// As the export fills the sheet: a page of 50 rows, then those rows are final.
void writeInPages(const qm::Sheet& cells, const std::string& path, Result& r) {
  constexpr int kPage = 50;
  qm::Sheet sheet;
  qm::xls::XlsBuilder xls(sheet);
  for (int c = 1; c <= kCols; ++c) sheet.setColumnWidth(c, c % 2 ? "20.5" : "12");
  double prepare = 0;
  for (int r = 1; r <= cells.rowCount(); ++r) {
    const auto& row = cells.row(r);
    for (std::size_t c = 0; c < row.size(); ++c) sheet.setText(r, static_cast<int>(c) + 1, cells.text(row[c]));
    if (r % kPage == 0 || r == cells.rowCount()) {
      const auto start = Clock::now();
      sheet.finishRows(r + 1);
      xls.prepareRows(r + 1);
      prepare += seconds(start);
    }
  }
  const auto start = Clock::now();
  xls.save(path);
  r.saveSeconds = seconds(start);
  r.prepareSeconds = prepare;
}

// Runs work in a child so that each mode's peak memory is its own.
Result measure(const std::function<void(Result&)>& work) {
  return bench::inChild<Result>([&] {
    bench::resetPeak();
    const long base = statusKb("VmRSS:");
    const auto start = std::chrono::steady_clock::now();
    Result r;
    try {
      work(r);
      r.seconds = seconds(start);
      r.growthKb = statusKb("VmHWM:") - base;
    } catch (const std::exception& e) {
      std::fprintf(stderr, "failed: %s\n", e.what());
    }
    return r;
  });
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "qm_sheet_bench";
  fs::create_directories(dir);

  const long before = statusKb("VmRSS:");
  auto start = std::chrono::steady_clock::now();
  const qm::Sheet sheet = makeCells();
  const double built = seconds(start);
  const double cellsMb = (statusKb("VmRSS:") - before) / 1024.0;
  std::unordered_set<std::string_view> distinct;
  for (int r = 1; r <= sheet.rowCount(); ++r)
    for (const auto& c : sheet.row(r)) distinct.insert(sheet.text(c));
  std::printf("cells: %d x %d built in %.2f s, in memory %.1f MB, %zu distinct texts\n", kRows, kCols, built, cellsMb,
              distinct.size());

  const std::string xls = (dir / "bench.xls").string(), xlsx = (dir / "bench.xlsx").string();
  struct Mode {
    const char* name;
    std::function<void(Result&)> work;
    Result result;
  } modes[] = {
      {"our .xls writer, whole sheet at save", [&](Result&) { qm::writeXls(sheet, xls); }, {}},
      {"our .xlsx (libxlsxwriter constant memory + check)", [&](Result&) { qm::writeXlsx(sheet, xlsx); }, {}},
      {"libxlsxwriter constant memory, direct",
       [&](Result&) { writeWithLibxlsxwriter(sheet, (dir / "c.xlsx").string(), true); }, {}},
      {"libxlsxwriter normal mode, direct",
       [&](Result&) { writeWithLibxlsxwriter(sheet, (dir / "n.xlsx").string(), false); }, {}},
      {"our .xls, rows prepared per 50-row page (with cells)",
       [&](Result& r) { writeInPages(sheet, (dir / "p.xls").string(), r); }, {}},
  };
  for (Mode& m : modes) {
    m.result = measure(m.work);
    std::printf("%-52s %6.2f s   peak growth %7.1f MB\n", m.name, m.result.seconds, m.result.growthKb / 1024.0);
  }
  const Result& pages = modes[4].result;
  const double cellCount = double(kRows) * kCols;
  std::printf(".xls per page: preparing %.1f ms in all, %.0f ns per cell; then save() alone %.1f ms (target well "
              "under 60 ms; whole-sheet save %.1f ms); peak growth beyond the cells %.1f MB\n",
              pages.prepareSeconds * 1e3, pages.prepareSeconds * 1e9 / cellCount, pages.saveSeconds * 1e3,
              modes[0].result.seconds * 1e3, pages.growthKb / 1024.0 - cellsMb);
  if (readFile(xls) != readFile((dir / "p.xls").string())) std::printf("FAULT: the two .xls files differ\n");
  std::printf("file sizes: .xls %.1f MB, .xlsx %.1f MB\n", fs::file_size(xls) / 1048576.0, fs::file_size(xlsx) / 1048576.0);

  const Result read = measure([&](Result&) {
    const void* h = nullptr;
    if (freexl_open(xls.c_str(), &h) != FREEXL_OK) throw std::runtime_error("FreeXL cannot open the .xls");
    unsigned rows = 0;
    unsigned short cols = 0;
    freexl_select_active_worksheet(h, 0);
    freexl_worksheet_dimensions(h, &rows, &cols);
    freexl_close(h);
    if (rows != kRows || cols != kCols) throw std::runtime_error("FreeXL sees a different sheet size");
  });
  std::printf("FreeXL reads the .xls in %.2f s (peak growth %.1f MB)\n", read.seconds, read.growthKb / 1024.0);

  std::printf("ratio .xls time / libxlsxwriter constant-memory time: %.2f (target <= 0.25)\n",
              modes[0].result.seconds / modes[2].result.seconds);
  std::printf(".xlsx peak growth beyond the cells: %.1f MB (target < 50 MB)\n", modes[1].result.growthKb / 1024.0);
  for (const char* f : {"bench.xls", "bench.xlsx", "c.xlsx", "n.xlsx", "p.xls"}) fs::remove(dir / f);
  return 0;
}
