#include "server/sheet/xls/xls_writer.h"

#include <stdexcept>

#include "common/atomic_file.h"
#include "server/sheet/xls/compound_file.h"
#include "server/sheet/xls/shared_strings.h"
#include "server/sheet/xls/workbook_globals.h"
#include "server/sheet/xls/worksheet_records.h"

namespace qm {

using namespace xls;

void writeXls(const Sheet& sheet, const std::string& path) {
  checkXlsBounds(sheet);
  const SharedStrings strings(sheet);

  // Counting pass: where the worksheet starts and how long the stream is.
  ByteSink counter;
  writeWorkbookGlobals(counter, strings, 0);
  const auto sheetOffset = static_cast<std::uint32_t>(counter.pos());
  writeWorksheet(counter, sheet, strings);
  const CompoundLayout layout = layoutCompoundFile(counter.pos());

  AtomicFile file(path);
  if (!file.ok()) throw std::runtime_error(file.error());
  ByteSink out(file.fd());
  writeCompoundHeader(out, layout);
  out.setOrigin();
  writeWorkbookGlobals(out, strings, sheetOffset);
  writeWorksheet(out, sheet, strings);
  padStream(out, layout, out.pos());
  writeCompoundTables(out, layout);
  out.flush();
  if (!file.commit()) throw std::runtime_error(file.error());
}

}  // namespace qm
