#pragma once
// OLE2 compound file (version 3, 512-byte sectors) holding one stream,
// "Workbook". Layout: header, the stream's sectors, one directory sector, the
// FAT sectors, then DIFAT sectors when the FAT outgrows the header's 109
// slots (a stream of about 6.8 MB or more). Everything is computed from the
// stream size, so the file is written front to back in one pass.
#include <cstdint>

#include "sheet/xls/byte_sink.h"

namespace qm::xls {

struct CompoundLayout {
  std::uint64_t streamSize = 0;  // as recorded; at least the mini-stream cutoff
  std::uint32_t streamSectors = 0;
  std::uint32_t fatSectors = 0;
  std::uint32_t difatSectors = 0;
  std::uint32_t directorySector() const { return streamSectors; }
  std::uint32_t firstFatSector() const { return streamSectors + 1; }
  std::uint32_t firstDifatSector() const { return streamSectors + 1 + fatSectors; }
  std::uint32_t totalSectors() const { return streamSectors + 1 + fatSectors + difatSectors; }
};

// Streams under 4096 bytes would belong in the mini stream; the workbook is
// padded to 4096 instead (readers stop at its EOF record), as Excel writers do.
CompoundLayout layoutCompoundFile(std::uint64_t streamBytes);

void writeCompoundHeader(ByteSink& out, const CompoundLayout& layout);
// Pads the stream that was written after the header to whole sectors.
void padStream(ByteSink& out, const CompoundLayout& layout, std::uint64_t written);
// Directory, FAT and DIFAT sectors, after the stream.
void writeCompoundTables(ByteSink& out, const CompoundLayout& layout);

}  // namespace qm::xls
