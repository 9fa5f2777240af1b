#include "sheet/xls/xls_builder.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "common/atomic_file.h"
#include "sheet/xls/biff_record.h"
#include "sheet/xls/compound_file.h"
#include "sheet/xls/file_output.h"
#include "sheet/xls/workbook_globals.h"
#include "sheet/xls/worksheet_records.h"

namespace qm::xls {
namespace {

iovec part(const ByteSink& s) { return {const_cast<char*>(s.bytes().data()), s.bytes().size()}; }

}  // namespace

XlsBuilder::XlsBuilder(const Sheet& sheet) : sheet_(sheet), strings_(sheet) {}

void XlsBuilder::prepareRows(int row) {
  const int last = std::min({row - 1, sheet_.rowCount(), kMaxRows});
  for (; nextRow_ <= last; ++nextRow_) appendRowCells(cells_, sheet_, nextRow_, strings_);
  nextRow_ = std::max(nextRow_, std::min(row, kMaxRows + 1));
}

void XlsBuilder::save(const std::string& path) {
  checkXlsBounds(sheet_);
  prepareRows(sheet_.rowCount() + 1);
  SstRecords& sst = strings_.records();
  sst.seal(static_cast<std::uint32_t>(strings_.referenceCount()));

  // Stream layout: globals head, SST, EXTSST, EOF | worksheet head, cells, tail.
  ByteSink globals;
  writeGlobalsHead(globals, 0);
  const std::uint64_t sstPos = globals.pos();
  ByteSink middle;
  sst.writeExtSst(middle, sstPos);
  writeRecord(middle, rec::kEof, std::string_view());
  const std::uint64_t sheetOffset = sstPos + sst.bytes().size() + middle.pos();
  writeWorksheetHead(middle, sheet_);
  ByteSink tail;
  writeWorksheetTail(tail);
  const std::uint64_t streamBytes = sstPos + sst.bytes().size() + middle.pos() + cells_.size() + tail.pos();
  const CompoundLayout layout = layoutCompoundFile(streamBytes);
  padStream(tail, layout, streamBytes);
  writeCompoundTables(tail, layout);

  ByteSink head;
  writeCompoundHeader(head, layout);
  writeGlobalsHead(head, static_cast<std::uint32_t>(sheetOffset));

  std::vector<iovec> parts{part(head)};
  sst.bytes().appendParts(parts);
  parts.push_back(part(middle));
  cells_.appendParts(parts);
  parts.push_back(part(tail));

  AtomicFile file(path);
  if (!file.ok()) throw std::runtime_error(file.error());
  writeParts(file.fd(), parts);
  if (!file.commit()) throw std::runtime_error(file.error());
}

}  // namespace qm::xls
