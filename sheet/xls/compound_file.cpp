#include "sheet/xls/compound_file.h"

#include <stdexcept>
#include <string_view>

namespace qm::xls {
namespace {

constexpr std::uint32_t kSector = 512;
constexpr std::uint32_t kMiniCutoff = 4096;
constexpr std::uint32_t kHeaderFatSlots = 109;
constexpr std::uint32_t kIdsPerSector = kSector / 4;  // 128
constexpr std::uint32_t kDifSect = 0xFFFFFFFC, kFatSect = 0xFFFFFFFD, kEndOfChain = 0xFFFFFFFE,
                        kFreeSect = 0xFFFFFFFF, kNoStream = 0xFFFFFFFF;

void directoryEntry(ByteSink& out, std::u16string_view name, std::uint8_t type, std::uint32_t child,
                    std::uint32_t start, std::uint64_t size) {
  std::size_t written = 0;
  for (char16_t c : name) out.u16(c), written += 2;
  out.zeros(64 - written);
  out.u16(name.empty() ? 0 : static_cast<std::uint16_t>(written + 2));
  out.u8(type);
  out.u8(name.empty() ? 0 : 1);  // black: a one-node tree is trivially balanced
  out.u32(kNoStream);  // left sibling
  out.u32(kNoStream);  // right sibling
  out.u32(child);
  out.zeros(16 + 4 + 8 + 8);  // class id, state bits, creation and modification times
  out.u32(start);
  out.u32(static_cast<std::uint32_t>(size));
  out.u32(0);  // high size, zero for version 3
}

}  // namespace

CompoundLayout layoutCompoundFile(std::uint64_t streamBytes) {
  CompoundLayout l;
  l.streamSize = streamBytes < kMiniCutoff ? kMiniCutoff : streamBytes;
  if (l.streamSize > 0x7FFFFFFFull - 1024 * 1024) throw std::runtime_error("workbook larger than 2 GB");
  l.streamSectors = static_cast<std::uint32_t>((l.streamSize + kSector - 1) / kSector);
  // FAT and DIFAT sectors need FAT entries themselves: iterate to the fixed point.
  std::uint32_t fat = 0, difat = 0;
  for (;;) {
    const std::uint32_t total = l.streamSectors + 1 + fat + difat;
    const std::uint32_t needFat = (total + kIdsPerSector - 1) / kIdsPerSector;
    const std::uint32_t needDifat =
        needFat > kHeaderFatSlots ? (needFat - kHeaderFatSlots + kIdsPerSector - 2) / (kIdsPerSector - 1) : 0;
    if (needFat == fat && needDifat == difat) break;
    fat = needFat;
    difat = needDifat;
  }
  l.fatSectors = fat;
  l.difatSectors = difat;
  return l;
}

void writeCompoundHeader(ByteSink& out, const CompoundLayout& l) {
  static const std::uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  out.put(kSignature, 8);
  out.zeros(16);       // class id
  out.u16(0x003E);     // minor version
  out.u16(0x0003);     // major version 3: 512-byte sectors
  out.u16(0xFFFE);     // little-endian
  out.u16(9);          // sector shift
  out.u16(6);          // mini sector shift
  out.zeros(6);
  out.u32(0);          // directory sectors: not used in version 3
  out.u32(l.fatSectors);
  out.u32(l.directorySector());
  out.u32(0);          // transaction signature
  out.u32(kMiniCutoff);
  out.u32(kEndOfChain);  // no mini FAT
  out.u32(0);
  out.u32(l.difatSectors ? l.firstDifatSector() : kEndOfChain);
  out.u32(l.difatSectors);
  for (std::uint32_t i = 0; i < kHeaderFatSlots; ++i)
    out.u32(i < l.fatSectors ? l.firstFatSector() + i : kFreeSect);
}

void padStream(ByteSink& out, const CompoundLayout& l, std::uint64_t written) {
  out.zeros(static_cast<std::size_t>(std::uint64_t{l.streamSectors} * kSector - written));
}

void writeCompoundTables(ByteSink& out, const CompoundLayout& l) {
  // Directory: root (no mini stream), the workbook, two unused entries.
  directoryEntry(out, u"Root Entry", 5, 1, kEndOfChain, 0);
  directoryEntry(out, u"Workbook", 2, kNoStream, 0, l.streamSize);
  directoryEntry(out, u"", 0, kNoStream, 0, 0);
  directoryEntry(out, u"", 0, kNoStream, 0, 0);

  // FAT: the stream is one chain of consecutive sectors.
  for (std::uint32_t s = 0; s + 1 < l.streamSectors; ++s) out.u32(s + 1);
  out.u32(kEndOfChain);  // last stream sector
  out.u32(kEndOfChain);  // directory
  for (std::uint32_t i = 0; i < l.fatSectors; ++i) out.u32(kFatSect);
  for (std::uint32_t i = 0; i < l.difatSectors; ++i) out.u32(kDifSect);
  for (std::uint32_t i = l.totalSectors(); i < l.fatSectors * kIdsPerSector; ++i) out.u32(kFreeSect);

  // DIFAT: the FAT sector numbers past the header's 109, 127 per sector plus a link.
  std::uint32_t next = kHeaderFatSlots;
  for (std::uint32_t d = 0; d < l.difatSectors; ++d) {
    for (std::uint32_t k = 0; k < kIdsPerSector - 1; ++k, ++next)
      out.u32(next < l.fatSectors ? l.firstFatSector() + next : kFreeSect);
    out.u32(d + 1 < l.difatSectors ? l.firstDifatSector() + d + 1 : kEndOfChain);
  }
}

}  // namespace qm::xls
