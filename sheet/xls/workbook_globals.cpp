#include "sheet/xls/workbook_globals.h"

#include "sheet/xls/biff_record.h"

namespace qm::xls {
namespace {

constexpr std::uint16_t kTextNumberFormat = 49;  // built-in "@"

void writeFont(ByteSink& out) {
  Payload p;
  p.u16(200);       // 10 pt in twips
  p.u16(0);         // no bold/italic flags
  p.u16(0x7FFF);    // automatic colour
  p.u16(400);       // normal weight
  p.u16(0);         // no super/subscript
  p.u8(0).u8(0).u8(0).u8(0);  // underline, family, character set, reserved
  p.u8(5).u8(0).bytes("Arial");
  writeRecord(out, rec::kFont, p);
}

void writeXf(ByteSink& out, bool style, std::uint16_t numberFormat) {
  Payload p;
  p.u16(0);                         // font 0
  p.u16(numberFormat);
  p.u16(style ? 0xFFF5 : 0x0001);   // style XF without parent / locked cell XF of style 0
  p.u8(0x20);                       // general alignment, bottom
  p.u8(0);                          // no rotation
  p.u8(0);                          // no indent
  p.u8(style ? 0xF4 : (numberFormat ? 0xFC : 0xF8));  // attribute groups set here
  p.u32(0);                         // no borders
  p.u32(0);
  p.u16(0x20C0);                    // pattern colours: system foreground/background
  writeRecord(out, rec::kXf, p);
}

}  // namespace

void writeBof(ByteSink& out, std::uint16_t substreamType) {
  Payload p;
  p.u16(0x0600).u16(substreamType).u16(0x0DBB).u16(0x07CC).u32(0).u32(0x06);
  writeRecord(out, rec::kBof, p);
}

void writeGlobalsHead(ByteSink& out, std::uint32_t sheetOffset) {
  writeBof(out, 0x0005);
  writeRecord(out, rec::kInterfaceHdr, Payload().u16(1200));
  writeRecord(out, rec::kMms, Payload().u16(0));
  writeRecord(out, rec::kInterfaceEnd, std::string_view());
  Payload access;
  access.u16(9).u8(0).bytes("Quillmere");
  access.bytes(std::string(112 - access.data().size(), ' '));
  writeRecord(out, rec::kWriteAccess, access);
  writeRecord(out, rec::kCodepage, Payload().u16(1200));
  writeRecord(out, rec::kDsf, Payload().u16(0));
  writeRecord(out, rec::kTabId, Payload().u16(1));
  writeRecord(out, rec::kWindowProtect, Payload().u16(0));
  writeRecord(out, rec::kProtect, Payload().u16(0));
  writeRecord(out, rec::kPassword, Payload().u16(0));
  writeRecord(out, rec::kBackup, Payload().u16(0));
  writeRecord(out, rec::kHideObj, Payload().u16(0));
  Payload window;
  window.u16(0x01E0).u16(0x005A).u16(0x3FCF).u16(0x2A4E);  // position and size in twips
  window.u16(0x0038);                                     // horizontal/vertical scroll bars, tabs
  window.u16(0).u16(0).u16(1).u16(0x0258);                // active sheet, first tab, selected, tab ratio
  writeRecord(out, rec::kWindow1, window);
  writeRecord(out, rec::kDateMode, Payload().u16(0));
  writeRecord(out, rec::kPrecision, Payload().u16(1));
  writeRecord(out, rec::kBookBool, Payload().u16(0));
  for (int i = 0; i < 5; ++i) writeFont(out);  // font 4 is skipped by readers; Excel wants five
  for (int i = 0; i < 15; ++i) writeXf(out, true, 0);
  writeXf(out, false, 0);
  writeXf(out, false, kTextNumberFormat);
  writeRecord(out, rec::kStyle, Payload().u16(0x8000).u8(0).u8(0xFF));  // built-in Normal on XF 0
  Payload sheet;
  sheet.u32(sheetOffset).u8(0).u8(0).u8(6).u8(0).bytes("Sheet1");
  writeRecord(out, rec::kBoundSheet, sheet);
  writeRecord(out, rec::kCountry, Payload().u16(86).u16(86));
}

}  // namespace qm::xls
