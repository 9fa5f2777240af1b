// Opens arbitrary bytes as a workbook and reads every sheet: the reader must
// refuse what it cannot read with WorkbookError, never crash or hang, and
// what it reads must hang together (counts, names, cursor, lookups).
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "workbook/workbook_source.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

const std::string& inputPath() {
  static const std::string path = "/dev/shm/qm_workbook_fuzz_" + std::to_string(::getpid());
  return path;
}

bool writeInput(const std::uint8_t* data, std::size_t size) {
  std::FILE* f = std::fopen(inputPath().c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

void readSheet(qm::WorkbookSource& source, const std::string& table) {
  try {
    source.openSheet(table);
  } catch (const qm::WorkbookError&) {
    require(!source.sheetOpen());
    return;
  }
  const auto names = source.GetFieldNames();
  const int records = source.RecordCount();
  require(records >= 0);
  for (std::size_t i = 0; i < names.size(); ++i) {
    require(!names[i].empty());
    const auto found = source.FindField(names[i]);
    require(found && *found == static_cast<int>(i));  // names are unique
  }
  // A few bytes may claim a cell at the last row and column: the table is
  // then 16 million cells, so the walk reads every field of the first
  // records only and moves over the rest.
  constexpr int kFullRecords = 512;
  int walked = 0;
  std::size_t bytes = 0;
  for (source.First(); !source.eof(); source.Next()) {
    require(source.RecNo() == ++walked);
    const std::size_t fields = walked <= kFullRecords || walked == records ? names.size() : 1;
    for (std::size_t f = 0; f < fields; ++f) {
      const auto text = source.text(static_cast<int>(f));
      require(text == source.text(walked, static_cast<int>(f)));
      require(text.size() <= 4 * 32767);  // the cell cap, in UTF-8 bytes
      bytes += text.size();
    }
  }
  require(walked == records && source.RecNo() == 0);
  require(source.text(static_cast<int>(names.size())).empty());
  (void)bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (!writeInput(data, size)) return 0;
  qm::WorkbookSource source;
  try {
    source.open(inputPath());
  } catch (const qm::WorkbookError&) {
    require(!source.isOpen());
    return 0;
  }
  const auto tables = source.GetTableNames();
  for (const auto& table : tables) {
    require(table.size() >= 1 && table.back() == '$');
    readSheet(source, table);
  }
  source.close();
  return 0;
}
