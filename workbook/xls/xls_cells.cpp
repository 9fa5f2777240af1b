#include "workbook/xls/xls_cells.h"

#include <cmath>
#include <cstring>
#include <algorithm>
#include <optional>

#include "workbook/cell_text.h"
#include "workbook/workbook_source.h"

namespace qm::xls {
namespace {

constexpr std::uint32_t kColumns = 256;

double rkValue(std::uint32_t rk) {
  double v = 0;
  if ((rk & 0x02) != 0) {
    v = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
  } else {
    const std::uint64_t bits = std::uint64_t{rk & 0xFFFFFFFCu} << 32;
    std::memcpy(&v, &bits, 8);
  }
  return (rk & 0x01) != 0 ? v / 100 : v;
}

class SheetCells {
 public:
  SheetCells(BiffStream& stream, const Globals& globals, TextDecoder& text, std::size_t budget)
      : stream_(stream), g_(globals), text_(text), builder_(globals.sst, budget),
        maxRows_(globals.biff8 ? 65536u : 16384u) {}

  CellTable run(const SheetInfo& sheet, std::size_t sheetBytes) {
    // A cell record takes at least 10 bytes, a number's text about 8.
    builder_.reserve(sheetBytes / 12, sheetBytes / 2);
    stream_.seek(sheet.offset);
    Record r;
    if (!stream_.next(r) || r.type != rec::kBof) stream_.fail("工作表“" + sheet.name + "”没有开始记录");
    bool ended = false;
    while (!ended && stream_.next(r)) {
      if (r.type == rec::kEof) {
        ended = true;
      } else if (r.type == rec::kBof) {
        skipSubstream();  // a chart embedded in the sheet
      } else {
        cell(r);
      }
    }
    if (!ended) stream_.fail("工作表“" + sheet.name + "”不完整");
    return builder_.finish(sheet.name);
  }

 private:
  void skipSubstream() {
    Record r;
    int depth = 1;
    while (depth > 0 && stream_.next(r)) {
      if (r.type == rec::kBof) ++depth;
      if (r.type == rec::kEof) --depth;
    }
  }

  bool inside(std::uint32_t row, std::uint32_t column) const { return row < maxRows_ && column < kColumns; }

  void number(std::uint32_t row, std::uint32_t column, std::uint16_t xf, double value) {
    if (!inside(row, column)) return;
    std::string& out = builder_.text();
    const cells::ValueKind kind = g_.formats.kind(xf);
    if (kind == cells::ValueKind::Number || !cells::appendSerialDate(out, value, g_.date1904, kind))
      cells::appendNumber(out, value);
    builder_.commit(row, column);
  }

  void plain(std::uint32_t row, std::uint32_t column, std::string_view text) {
    if (!inside(row, column)) return;
    builder_.text().append(text);
    builder_.commit(row, column);
  }

  void cell(const Record& r) {
    RecordCursor in(r, stream_);
    switch (r.type) {
      case rec::kLabelSst: {
        const std::uint16_t row = in.u16(), column = in.u16();
        in.u16();
        const std::uint32_t index = in.u32();
        pending_.reset();
        if (inside(row, column)) builder_.commitShared(row, column, index);
        break;
      }
      case rec::kLabel:
      case rec::kRString: {
        const std::uint16_t row = in.u16(), column = in.u16();
        in.u16();
        pending_.reset();
        text_.appendString16(in, builder_.text());
        if (inside(row, column)) {
          builder_.commit(row, column);
        } else {
          builder_.discard();
        }
        break;
      }
      case rec::kNumber: {
        const std::uint16_t row = in.u16(), column = in.u16(), xf = in.u16();
        pending_.reset();
        number(row, column, xf, in.f64());
        break;
      }
      case rec::kRk: {
        const std::uint16_t row = in.u16(), column = in.u16(), xf = in.u16();
        pending_.reset();
        number(row, column, xf, rkValue(in.u32()));
        break;
      }
      case rec::kMulRk: {
        if (r.body().size() < 6 || (r.body().size() - 6) % 6 != 0) in.fail();
        const std::uint16_t row = in.u16(), first = in.u16();
        const std::size_t count = (r.body().size() - 6) / 6;
        pending_.reset();
        for (std::size_t i = 0; i < count; ++i) {
          const std::uint16_t xf = in.u16();
          number(row, static_cast<std::uint32_t>(first + i), xf, rkValue(in.u32()));
        }
        break;
      }
      case rec::kBoolErr: {
        const std::uint16_t row = in.u16(), column = in.u16();
        in.u16();
        const std::uint8_t value = in.u8(), isError = in.u8();
        pending_.reset();
        plain(row, column, isError != 0 ? cells::errorText(value) : cells::booleanText(value != 0));
        break;
      }
      case rec::kFormula:
        formula(in);
        break;
      case rec::kString:
        if (pending_) {
          text_.appendString16(in, builder_.text());
          if (inside(pending_->row, pending_->column)) {
            builder_.commit(pending_->row, pending_->column);
          } else {
            builder_.discard();
          }
          pending_.reset();
        }
        break;
      case rec::kShrFmla:
      case rec::kArray:
      case rec::kTable:
        break;  // may stand between a FORMULA and its STRING
      case rec::kBlank:
      case rec::kMulBlank:
        pending_.reset();
        break;
      default:
        break;
    }
  }

  // The cached result: a number, or in the last two bytes 0xFFFF and a type
  // in the first: 0 text (in the next STRING record), 1 boolean, 2 error,
  // 3 empty text.
  void formula(RecordCursor& in) {
    const std::uint16_t row = in.u16(), column = in.u16(), xf = in.u16();
    unsigned char result[8];
    for (unsigned char& b : result) b = in.u8();
    pending_.reset();
    if (result[6] != 0xFF || result[7] != 0xFF) {
      std::uint64_t bits = 0;
      for (int i = 7; i >= 0; --i) bits = bits << 8 | result[i];
      double v = 0;
      std::memcpy(&v, &bits, 8);
      number(row, column, xf, v);
      return;
    }
    switch (result[0]) {
      case 0:
        pending_ = Pending{row, column};
        break;
      case 1:
        plain(row, column, cells::booleanText(result[2] != 0));
        break;
      case 2:
        plain(row, column, cells::errorText(result[2]));
        break;
      default:
        break;  // empty text
    }
  }

  struct Pending {
    std::uint32_t row, column;
  };

  BiffStream& stream_;
  const Globals& g_;
  TextDecoder& text_;
  CellTableBuilder builder_;
  const std::uint32_t maxRows_;
  std::optional<Pending> pending_;
};

}  // namespace

CellTable readCells(BiffStream& stream, const Globals& globals, TextDecoder& text, const SheetInfo& sheet,
                    std::size_t budget) {
  std::size_t end = stream.size();
  for (const SheetInfo& other : globals.sheets)
    if (other.offset > sheet.offset) end = std::min(end, other.offset);
  return SheetCells(stream, globals, text, budget).run(sheet, end > sheet.offset ? end - sheet.offset : 0);
}

}  // namespace qm::xls
