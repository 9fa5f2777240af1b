#pragma once
// Hand-made BIFF8 workbooks for the cases no spreadsheet program writes on
// request: huge shared strings, long STRING results, encrypted or broken
// records. Records are laid out here byte by byte; the compound file around
// them is the .xls writer's.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "sheet/xls/byte_sink.h"
#include "sheet/xls/compound_file.h"

namespace qm::test {

class BiffBuilder {
 public:
  static std::string record(std::uint16_t type, const std::string& body) {
    std::string r;
    r.push_back(static_cast<char>(type & 0xFF));
    r.push_back(static_cast<char>(type >> 8));
    r.push_back(static_cast<char>(body.size() & 0xFF));
    r.push_back(static_cast<char>(body.size() >> 8));
    return r + body;
  }
  static std::string u16(std::uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
  static std::string u32(std::uint32_t v) { return u16(static_cast<std::uint16_t>(v)) + u16(static_cast<std::uint16_t>(v >> 16)); }
  static std::string f64(double d) {
    std::string s(8, '\0');
    std::memcpy(s.data(), &d, 8);
    return s;
  }
  // Bytes of a record body cut into the record and CONTINUE records of at
  // most 8224 bytes each, at the given cut points (offsets in `body`).
  static std::string split(std::uint16_t type, const std::string& body, const std::vector<std::size_t>& cuts) {
    std::string out;
    std::size_t from = 0;
    std::uint16_t t = type;
    for (const std::size_t cut : cuts) {
      out += record(t, body.substr(from, cut - from));
      from = cut;
      t = 0x003C;
    }
    return out + record(t, body.substr(from));
  }

  // Workbook globals: BOF, the given records, one BOUNDSHEET, EOF; then the sheet.
  static std::string workbook(const std::string& globals, const std::string& cells, const std::string& sheetName = "S") {
    const std::string bof = record(0x0809, u16(0x0600) + u16(0x0005) + std::string(12, '\0'));
    const std::string name = std::string(1, static_cast<char>(sheetName.size())) + '\0' + sheetName;
    const std::size_t boundLength = 4 + 6 + name.size();
    const std::size_t offset = bof.size() + globals.size() + boundLength + 4;
    std::string stream = bof + globals + record(0x0085, u32(static_cast<std::uint32_t>(offset)) + '\0' + '\0' + name) +
                         record(0x000A, "");
    stream += record(0x0809, u16(0x0600) + u16(0x0010) + std::string(12, '\0')) + cells + record(0x000A, "");
    return stream;
  }

  static void writeXls(const std::string& path, const std::string& stream) {
    const xls::CompoundLayout layout = xls::layoutCompoundFile(stream.size());
    xls::ByteSink out;
    xls::writeCompoundHeader(out, layout);
    out.put(stream.data(), stream.size());
    xls::padStream(out, layout, stream.size());
    xls::writeCompoundTables(out, layout);
    std::ofstream(path, std::ios::binary) << out.bytes();
  }
};

}  // namespace qm::test
