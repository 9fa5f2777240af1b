// Reads a 65,535-record x 19-column .xls (written by xlwt: text, ID numbers,
// integers, decimals and dates, like a school's student list) and the .xlsx
// LibreOffice makes of it, each way in a forked child so that its time and
// peak memory are its own, in five interleaved rounds:
// - FreeXL's bare read of every cell value (the baseline of the .xls read);
// - WorkbookSource on the .xls (our reader: open, sheet, every cell walked);
// - a bare inflate-and-expat pass over the .xlsx's sheet and shared-strings
//   parts (the baseline of the .xlsx read);
// - WorkbookSource on the .xlsx.
// Prints the medians, the ratios within each round and the peak memory.
//   workbook_read_bench [file.xls]   (default: written once to /tmp)
#include <expat.h>
#include <freexl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "workbook/workbook_source.h"

namespace {

constexpr int kRuns = 5;

// Written by the independent tool the tests' fixtures come from.
const char* kMakeScript = R"PY(
import datetime, sys, xlwt
wb = xlwt.Workbook(encoding="utf-8")
ws = wb.add_sheet("学生名单")
head = ["姓名", "身份证号", "性别", "出生日期", "民族", "年级", "班级", "学号", "入学日期", "家庭住址",
        "联系电话", "身高", "体重", "视力", "户口性质", "监护人", "备注", "座号", "成绩"]
for c, h in enumerate(head):
    ws.write(0, c, h)
date = xlwt.easyxf(num_format_str="YYYY-MM-DD")
names = "赵钱孙李周吴郑王冯陈褚卫蒋沈韩杨朱秦尤许何吕施张孔曹严华金魏陶姜"
n = len(names)
for r in range(1, 65536):
    ws.write(r, 0, names[r % n] + names[(r // n) % n] + names[(r // (n * n)) % n])
    ws.write(r, 1, "110105%04d%02d%02d%03d%d" % (2005 + r % 12, 1 + r % 12, 1 + r % 28, r % 1000, r % 10))
    ws.write(r, 2, "男" if r % 2 else "女")
    ws.write(r, 3, datetime.date(2005 + r % 12, 1 + r % 12, 1 + r % 28), date)
    ws.write(r, 4, "汉族")
    ws.write(r, 5, 1 + r % 9)
    ws.write(r, 6, 1 + r % 12)
    ws.write(r, 7, 20230000 + r)
    ws.write(r, 8, datetime.date(2023, 9, 1), date)
    ws.write(r, 9, "北京市西城区某某街道%d号" % (r % 500))
    ws.write(r, 10, "138%08d" % r)
    ws.write(r, 11, 1.2 + (r % 60) / 100.0)
    ws.write(r, 12, 30.5 + r % 40)
    ws.write(r, 13, 4.0 + (r % 10) / 10.0)
    ws.write(r, 14, "城镇" if r % 3 else "农村")
    ws.write(r, 15, names[(r + 7) % n] + "某")
    ws.write(r, 16, "" if r % 5 else "转入")
    ws.write(r, 17, r % 50)
    ws.write(r, 18, (r % 1000) / 10.0)
wb.save(sys.argv[1])
)PY";

std::string ensureWorkbook(int argc, char** argv) {
  if (argc > 1) return argv[1];
  const std::string path = (std::filesystem::temp_directory_path() / "qm_bench_65535x19.xls").string();
  if (!std::filesystem::exists(path)) {
    const std::string script = (std::filesystem::temp_directory_path() / "qm_bench_make.py").string();
    if (FILE* f = std::fopen(script.c_str(), "w")) {
      std::fputs(kMakeScript, f);
      std::fclose(f);
    }
    std::printf("writing %s with xlwt...\n", path.c_str());
    const std::string command = "/usr/bin/python3 " + script + " " + path;
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "could not write the workbook (python3-xlwt)\n");
      std::exit(1);
    }
  }
  return path;
}

// Every cell's value fetched, its text touched.
std::size_t freexlBare(const std::string& path) {
  const void* handle = nullptr;
  std::size_t touched = 0;
  if (freexl_open(path.c_str(), &handle) == FREEXL_OK && freexl_select_active_worksheet(handle, 0) == FREEXL_OK) {
    unsigned int rows = 0;
    unsigned short columns = 0;
    freexl_worksheet_dimensions(handle, &rows, &columns);
    FreeXL_CellValue value;
    for (unsigned int r = 0; r < rows; ++r)
      for (unsigned short c = 0; c < columns; ++c)
        if (freexl_get_cell_value(handle, r, c, &value) == FREEXL_OK) {
          touched += value.type;
          if (value.type >= FREEXL_CELL_TEXT && value.value.text_value != nullptr) touched += value.value.text_value[0];
        }
  }
  freexl_close(handle);
  return touched;
}

std::size_t workbookSource(const std::string& path) {
  qm::WorkbookSource source;
  source.open(path);
  source.openSheet(source.GetTableNames().front());
  const int fields = static_cast<int>(source.GetFieldNames().size());
  std::size_t bytes = 0;
  for (source.First(); !source.eof(); source.Next())
    for (int f = 0; f < fields; ++f) bytes += source.text(f).size();
  return bytes + static_cast<std::size_t>(source.RecordCount());
}

// Inflates a part in 64 KB pieces into expat with handlers that only count.
std::size_t expatPass(zip_t* z, const char* part) {
  zip_file_t* f = zip_fopen(z, part, 0);
  if (f == nullptr) return 0;
  XML_Parser p = XML_ParserCreate(nullptr);
  std::size_t events = 0;
  XML_SetUserData(p, &events);
  XML_SetElementHandler(
      p, [](void* d, const XML_Char*, const XML_Char**) { ++*static_cast<std::size_t*>(d); },
      [](void*, const XML_Char*) {});
  XML_SetCharacterDataHandler(p, [](void* d, const XML_Char*, int n) { *static_cast<std::size_t*>(d) += n; });
  std::vector<char> buf(65536);
  for (;;) {
    const zip_int64_t n = zip_fread(f, buf.data(), buf.size());
    if (n < 0) break;
    XML_Parse(p, buf.data(), static_cast<int>(n), n == 0);
    if (n == 0) break;
  }
  XML_ParserFree(p);
  zip_fclose(f);
  return events;
}

std::size_t xlsxBare(const std::string& path) {
  int err = 0;
  zip_t* z = zip_open(path.c_str(), ZIP_RDONLY, &err);
  if (z == nullptr) return 0;
  const std::size_t n = expatPass(z, "xl/worksheets/sheet1.xml") + expatPass(z, "xl/sharedStrings.xml");
  zip_close(z);
  return n;
}

struct Result {
  double seconds = -1;
  long peakKb = 0;
};

// In a child: its memory is fresh, its peak its own.
Result inChild(const std::function<std::size_t()>& work) {
  return bench::inChild<Result>([&] {
    Result r;
    const auto start = bench::Clock::now();
    volatile std::size_t sink = work();
    (void)sink;
    r.seconds = bench::seconds(start);
    r.peakKb = bench::statusKb("VmHWM:");
    return r;
  });
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

std::string xlsxOf(const std::string& xls) {
  namespace fs = std::filesystem;
  const fs::path out = fs::path(xls).replace_extension(".xlsx");
  if (!fs::exists(out)) {
    const std::string command = "soffice --headless --convert-to xlsx --outdir '" + out.parent_path().string() +
                                "' '" + xls + "' > /dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || !fs::exists(out)) return {};
  }
  return out.string();
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = ensureWorkbook(argc, argv);
  const std::string xlsx = xlsxOf(path);
  std::printf("%s (%.1f MB); %s\n", path.c_str(), std::filesystem::file_size(path) / 1e6,
              xlsx.empty() ? "no .xlsx (soffice missing)" : xlsx.c_str());
  struct Way {
    const char* label;
    std::function<std::size_t()> work;
    std::vector<double> times;
    long peakKb = 0;
  };
  std::vector<Way> ways{{"FreeXL bare read, every cell (.xls)", [&] { return freexlBare(path); }, {}},
                        {"WorkbookSource, every cell (.xls)", [&] { return workbookSource(path); }, {}}};
  if (!xlsx.empty()) {
    ways.push_back({"inflate + expat, sheet and strings (.xlsx)", [&] { return xlsxBare(xlsx); }, {}});
    ways.push_back({"WorkbookSource, every cell (.xlsx)", [&] { return workbookSource(xlsx); }, {}});
  }
  std::vector<double> xlsRatio, xlsxRatio;
  for (int round = 0; round < kRuns; ++round) {
    std::vector<double> t;
    for (Way& w : ways) {
      const Result r = inChild(w.work);
      w.times.push_back(r.seconds);
      w.peakKb = std::max(w.peakKb, r.peakKb);
      t.push_back(r.seconds);
    }
    xlsRatio.push_back(t[1] / t[0]);
    if (t.size() == 4) xlsxRatio.push_back(t[3] / t[2]);
  }
  std::printf("medians of %d interleaved rounds, each run a fresh process:\n", kRuns);
  for (const Way& w : ways)
    std::printf("  %-44s %8.1f ms   peak %7.1f MB\n", w.label, median(w.times) * 1e3, w.peakKb / 1024.0);
  std::printf("ratio our .xls read / FreeXL:            %.2f\n", median(xlsRatio));
  if (!xlsxRatio.empty()) std::printf("ratio our .xlsx read / inflate + expat:   %.2f (target <= 1.5)\n", median(xlsxRatio));
  return 0;
}
