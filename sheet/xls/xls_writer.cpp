#include "sheet/xls/xls_writer.h"

#include "sheet/xls/xls_builder.h"

namespace qm {

void writeXls(const Sheet& sheet, const std::string& path) { xls::XlsBuilder(sheet).save(path); }

}  // namespace qm
