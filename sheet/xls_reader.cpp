// Excel 97-2003 workbooks. FreeXL parses them in a forked child (FreeXL 1.0.6
// reads past its buffers on some damaged files); the child sends the sheet
// names and every sheet's table back through a pipe, and a fault or a hang
// inside the library becomes a WorkbookError here.
#include <chrono>

#include "sheet/huge_pages.h"
#include "sheet/isolated_process.h"
#include "sheet/workbook_reader.h"
#include "sheet/workbook_source.h"
#include "sheet/xls_freexl.h"

namespace qm {
namespace {

// FreeXL turns each date cell into text one day at a time: a big sheet full
// of dates takes many seconds on a slow machine.
constexpr auto kIdleLimit = std::chrono::minutes(3);
constexpr char kNames = 'N', kTable = 'T', kError = 'E';

void put(ChildOutput& out, char c) { out.append(&c, 1); }
void put(ChildOutput& out, std::uint64_t v) { out.append(&v, sizeof v); }
void put(ChildOutput& out, const std::string& s) {
  put(out, std::uint64_t{s.size()});
  out.append(s.data(), s.size());
}

void putTable(ChildOutput& out, const CellTable& t) {
  put(out, kTable);
  put(out, std::uint64_t(t.rows()));
  put(out, std::uint64_t(t.columns()));
  put(out, t.text());
  out.append(t.offsets().data(), t.offsets().size() * sizeof(std::uint32_t));
}

void readInChild(const std::string& path, ChildOutput& out) {
  // Never freed: the child ends right after, and FreeXL's own clean-up of a
  // large sheet would only delay the answer.
  FreeXlWorkbook* book = nullptr;
  try {
    book = new FreeXlWorkbook(path);
  } catch (const WorkbookError& e) {
    put(out, kError);
    put(out, std::string(e.what()));
    return;
  }
  put(out, kNames);
  put(out, std::uint64_t{book->sheetNames().size()});
  for (const auto& name : book->sheetNames()) put(out, name);
  out.flush();  // the names arrive even if a sheet brings the child down
  for (std::size_t i = 0; i < book->sheetNames().size(); ++i) {
    try {
      putTable(out, book->readSheet(i));
    } catch (const WorkbookError& e) {
      put(out, kError);
      put(out, std::string(e.what()));
    }
    out.flush();
  }
}

// What the parent reads; every size is checked before anything is allocated.
class Input {
 public:
  explicit Input(ChildProcess& child) : child_(child) {}
  bool get(char& c) { return child_.read(&c, 1); }
  bool get(std::uint64_t& v, std::uint64_t limit) { return child_.read(&v, sizeof v) && v <= limit; }
  bool get(std::string& s, std::uint64_t limit) {
    std::uint64_t n = 0;
    if (!get(n, limit)) return false;
    s.reserve(n);
    adviseHugePages(s.data(), n);
    s.resize(n);
    return child_.read(s.data(), n);
  }
  std::shared_ptr<const CellTable> table() {
    std::uint64_t rows = 0, columns = 0;
    std::string text;
    if (!get(rows, CellTableBuilder::kMaxCells) || !get(columns, CellTableBuilder::kMaxCells) ||
        rows * columns > CellTableBuilder::kMaxCells || !get(text, 0xFFFFFFFFull))
      return nullptr;
    std::vector<std::uint32_t> offsets;
    offsets.reserve(rows * columns + 1);
    adviseHugePages(offsets.data(), (rows * columns + 1) * sizeof(std::uint32_t));
    offsets.resize(rows * columns + 1);
    if (!child_.read(offsets.data(), offsets.size() * sizeof(std::uint32_t))) return nullptr;
    auto table = CellTable::fromParts(static_cast<int>(rows), static_cast<int>(columns), std::move(text),
                                      std::move(offsets));
    return table ? std::make_shared<const CellTable>(std::move(*table)) : nullptr;
  }

 private:
  ChildProcess& child_;
};

class XlsReader final : public WorkbookReader {
 public:
  explicit XlsReader(const std::string& path) : path_(path) {
    ChildProcess child([&path](ChildOutput& out) { readInChild(path, out); }, kIdleLimit);
    Input in(child);
    auto failure = [&] { return damagedWorkbookText(path, child.timedOut() ? "读取超时" : "读取时程序库出错"); };
    char kind = 0;
    std::uint64_t count = 0;
    if (!in.get(kind)) throw WorkbookError(failure());
    if (kind == kError) {
      std::string message;
      throw WorkbookError(in.get(message, 1 << 16) ? message : failure());
    }
    if (kind != kNames || !in.get(count, 0xFFFF)) throw WorkbookError(failure());
    names_.resize(count);
    for (auto& name : names_)
      if (!in.get(name, 1 << 16)) throw WorkbookError(failure());
    tables_.resize(count);
    errors_.resize(count);
    std::size_t received = 0;
    for (; received < count && in.get(kind); ++received) {
      if (kind == kTable) {
        tables_[received] = in.table();
        if (!tables_[received]) break;
      } else if (kind != kError || !in.get(errors_[received], 1 << 16)) {
        break;
      }
    }
    if (received < count || !child.finish()) {
      // Sheets that did not arrive whole, or from a child that did not end well.
      for (std::size_t i = 0; i < count; ++i) {
        if (i >= received) tables_[i] = nullptr;
        if (!tables_[i] && errors_[i].empty()) errors_[i] = failure();
      }
    }
  }

  const std::vector<std::string>& sheetNames() const override { return names_; }

  std::shared_ptr<const CellTable> readSheet(std::size_t index) override {
    if (index >= tables_.size()) throw WorkbookError(damagedWorkbookText(path_, "没有这个工作表"));
    if (!tables_[index]) throw WorkbookError(errors_[index]);
    return tables_[index];
  }

 private:
  std::string path_;
  std::vector<std::string> names_;
  std::vector<std::shared_ptr<const CellTable>> tables_;
  std::vector<std::string> errors_;
};

}  // namespace

std::unique_ptr<WorkbookReader> openXlsReader(const std::string& path) { return std::make_unique<XlsReader>(path); }

}  // namespace qm
