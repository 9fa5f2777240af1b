#pragma once
// The workbook globals substream: BOF, code page 1200 (UTF-16), window,
// fonts, cell formats (XF), the Normal style, the one sheet's BOUNDSHEET;
// then the shared strings (SST, EXTSST) and EOF, which the writer adds.
#include <cstdint>

#include "sheet/xls/byte_sink.h"

namespace qm::xls {

// Cell formats: 0-14 are the style XFs Excel requires, 15 the default cell
// format, 16 the cell format with the built-in text number format "@".
constexpr std::uint16_t kDefaultXf = 15;
constexpr std::uint16_t kTextXf = 16;

// The globals up to the shared strings; their size does not depend on
// sheetOffset, the stream position of the worksheet's BOF.
void writeGlobalsHead(ByteSink& out, std::uint32_t sheetOffset);

}  // namespace qm::xls
