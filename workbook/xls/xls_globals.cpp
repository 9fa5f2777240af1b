#include "workbook/xls/xls_globals.h"

#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"
#include "workbook/xls/sst_reader.h"

namespace qm::xls {

std::string passwordText(const std::string& path) { return "Excel文件设有密码，无法读取：" + path; }

Globals readGlobals(BiffStream& stream, TextDecoder& text, std::size_t budget) {
  Globals g;
  Record r;
  if (!stream.next(r) || r.type != rec::kBof || r.body().size() < 4) stream.fail("没有工作簿开始记录");
  {
    RecordCursor in(r, stream);
    const std::uint16_t version = in.u16();
    const std::uint16_t kind = in.u16();
    if (kind != 0x0005) stream.fail("第一个子流不是工作簿全局信息");
    if (version == 0x0600) {
      g.biff8 = true;
    } else if (version == 0x0500) {
      g.biff8 = false;
    } else {
      stream.fail("不支持的BIFF版本");
    }
  }
  text.setBiff8(g.biff8);
  bool ended = false;
  while (!ended && stream.next(r)) {
    RecordCursor in(r, stream);
    switch (r.type) {
      case rec::kFilePass:
        throw WorkbookError(passwordText(stream.path()));
      case rec::kCodePage:
        if (!g.biff8) text.setCodePage(in.u16());
        break;
      case rec::kDateMode:
        g.date1904 = in.u16() == 1;
        break;
      case rec::kBoundSheet: {
        SheetInfo sheet;
        sheet.offset = in.u32();
        in.u8();  // visibility: hidden sheets are listed like the others
        const std::uint8_t type = in.u8();
        text.appendString8(in, sheet.name);
        if (type == 0) g.sheets.push_back(std::move(sheet));
        break;
      }
      case rec::kSst:
        if (g.biff8) g.sst = readSst(r, stream, text, budget);
        break;
      case rec::kFormat: {
        const std::uint16_t id = in.u16();
        std::string code;
        if (g.biff8) {
          text.appendString16(in, code);
        } else {
          text.appendString8(in, code);
        }
        g.formats.addFormat(id, code);
        break;
      }
      case rec::kXf:
        in.u16();  // font
        g.formats.addXf(in.u16());
        break;
      case rec::kEof:
        ended = true;
        break;
      default:
        break;
    }
  }
  if (!ended) stream.fail("工作簿全局信息不完整");
  g.formats.resolve();
  return g;
}

}  // namespace qm::xls
