#pragma once
// BIFF8 record framing: a 2-byte type, a 2-byte length, at most 8224 bytes of
// data. Small records are assembled in a Payload and emitted whole.
#include <cstdint>
#include <string>
#include <string_view>

#include "sheet/xls/byte_sink.h"

namespace qm::xls {

constexpr std::size_t kMaxRecordData = 8224;

namespace rec {
constexpr std::uint16_t kBof = 0x0809, kEof = 0x000A, kInterfaceHdr = 0x00E1, kMms = 0x00C1,
                        kInterfaceEnd = 0x00E2, kWriteAccess = 0x005C, kCodepage = 0x0042, kDsf = 0x0161,
                        kTabId = 0x013D, kWindowProtect = 0x0019, kProtect = 0x0012, kPassword = 0x0013,
                        kBackup = 0x0040, kHideObj = 0x008D, kWindow1 = 0x003D, kDateMode = 0x0022,
                        kPrecision = 0x000E, kBookBool = 0x00DA, kFont = 0x0031, kXf = 0x00E0, kStyle = 0x0293,
                        kBoundSheet = 0x0085, kCountry = 0x008C, kSst = 0x00FC, kContinue = 0x003C,
                        kExtSst = 0x00FF, kDefColWidth = 0x0055, kColInfo = 0x007D, kDimensions = 0x0200,
                        kLabelSst = 0x00FD, kBlank = 0x0201, kWindow2 = 0x023E;
}  // namespace rec

class Payload {
 public:
  Payload& u8(std::uint8_t v) { return add(&v, 1); }
  Payload& u16(std::uint16_t v) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)};
    return add(b, 2);
  }
  Payload& u32(std::uint32_t v) { return u16(static_cast<std::uint16_t>(v)).u16(static_cast<std::uint16_t>(v >> 16)); }
  Payload& bytes(std::string_view s) { return add(s.data(), s.size()); }
  Payload& zeros(std::size_t n) { data_.append(n, '\0'); return *this; }
  const std::string& data() const { return data_; }

 private:
  Payload& add(const void* p, std::size_t n) {
    data_.append(static_cast<const char*>(p), n);
    return *this;
  }
  std::string data_;
};

inline void writeRecord(ByteSink& out, std::uint16_t type, std::string_view data) {
  out.u16(type);
  out.u16(static_cast<std::uint16_t>(data.size()));
  out.put(data.data(), data.size());
}
inline void writeRecord(ByteSink& out, std::uint16_t type, const Payload& p) { writeRecord(out, type, p.data()); }

// BOF of the workbook globals (0x0005) or of a worksheet (0x0010).
void writeBof(ByteSink& out, std::uint16_t substreamType);

}  // namespace qm::xls
