// Opens a 65,535-record x 19-column .xls (written by xlwt: text, ID numbers,
// integers, decimals and dates, like a school's student list) and reads every
// cell: FreeXL's bare read of every cell value (in this process, where the
// memory of the runs before is reused, and in a forked child, where it is
// fresh), our FreeXL pass in this process (cells turned into the table), and
// WorkbookSource as the tools use it (FreeXL in a forked child, the table sent
// back, then every record and field walked). Prints the best and the median of
// five runs each, wall and CPU time (this process and its children).
//   workbook_read_bench [file.xls]   (default: written once to /tmp)
#include <freexl.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "sheet/isolated_process.h"
#include "workbook/workbook_source.h"
#include "sheet/xls_freexl.h"

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

// The same in a forked child, as WorkbookSource runs FreeXL: the child's
// memory is fresh (or shared with the parent until written) on every run.
std::size_t freexlBareInChild(const std::string& path) {
  qm::ChildProcess child(
      [&path](qm::ChildOutput& out) {
        const std::size_t touched = freexlBare(path);
        out.append(&touched, sizeof touched);
      },
      std::chrono::minutes(5));
  std::size_t touched = 0;
  child.read(&touched, sizeof touched);
  child.finish();
  return touched;
}

std::size_t inProcess(const std::string& path) {
  qm::FreeXlWorkbook book(path);
  const qm::CellTable table = book.readSheet(0);
  return table.text().size() + static_cast<std::size_t>(table.rows());
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

// CPU seconds of this process and its reaped children: on a shared machine
// the wall time says more about the neighbours than about the code.
double cpuSeconds() {
  double total = 0;
  for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage u{};
    getrusage(who, &u);
    total += u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

template <typename F>
void measure(const char* label, F&& run) {
  std::vector<double> wall, cpu;
  std::size_t check = 0;
  for (int i = 0; i < kRuns; ++i) {
    const double cpuStart = cpuSeconds();
    const auto start = bench::Clock::now();
    check += run();
    wall.push_back(bench::seconds(start));
    cpu.push_back(cpuSeconds() - cpuStart);
  }
  std::sort(wall.begin(), wall.end());
  std::sort(cpu.begin(), cpu.end());
  std::printf("%-44s wall best %7.1f median %7.1f ms | cpu best %7.1f median %7.1f ms  (check %zu)\n", label,
              wall.front() * 1e3, wall[kRuns / 2] * 1e3, cpu.front() * 1e3, cpu[kRuns / 2] * 1e3, check % 1000);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string path = ensureWorkbook(argc, argv);
  std::printf("%s (%.1f MB)\n", path.c_str(), std::filesystem::file_size(path) / 1e6);
  measure("FreeXL: open + every cell value", [&] { return freexlBare(path); });
  measure("FreeXL: the same in a forked child", [&] { return freexlBareInChild(path); });
  measure("FreeXL pass into the cell table (1 process)", [&] { return inProcess(path); });
  measure("WorkbookSource: open + sheet + walk all", [&] { return workbookSource(path); });
  return 0;
}
