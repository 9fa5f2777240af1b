#include "workbook/xlsx_sheet.h"

#include <charconv>
#include <cstdint>
#include <cstring>

#include "workbook/cell_text.h"
#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm::xlsx {
namespace {

constexpr std::uint32_t kMaxRows = 1048576;
constexpr std::uint32_t kMaxColumns = 16384;

std::string_view trimmed(std::string_view s) {
  const auto b = s.find_first_not_of(" \t\r\n");
  if (b == std::string_view::npos) return {};
  return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

bool parseUnsigned(std::string_view s, std::uint32_t& out) {
  const auto res = std::from_chars(s.data(), s.data() + s.size(), out);
  return res.ec == std::errc() && res.ptr == s.data() + s.size();
}

// "B12" -> row 11, column 1 (both from 0).
bool parseReference(const char* ref, std::uint32_t& row, std::uint32_t& column) {
  std::uint32_t col = 0;
  const char* p = ref;
  for (; (*p >= 'A' && *p <= 'Z') || (*p >= 'a' && *p <= 'z'); ++p) {
    if (p - ref == 3) return false;
    col = col * 26 + static_cast<std::uint32_t>((*p | 0x20) - 'a' + 1);
  }
  std::uint32_t r = 0;
  if (p == ref || !parseUnsigned(p, r) || r == 0 || r > kMaxRows || col > kMaxColumns) return false;
  row = r - 1;
  column = col - 1;
  return true;
}

enum class CellType { Number, Shared, Inline, FormulaText, Boolean, Error, IsoDate };

CellType cellType(const char* t) {
  if (t == nullptr || std::strcmp(t, "n") == 0) return CellType::Number;
  if (std::strcmp(t, "s") == 0) return CellType::Shared;
  if (std::strcmp(t, "inlineStr") == 0) return CellType::Inline;
  if (std::strcmp(t, "str") == 0) return CellType::FormulaText;
  if (std::strcmp(t, "b") == 0) return CellType::Boolean;
  if (std::strcmp(t, "e") == 0) return CellType::Error;
  if (std::strcmp(t, "d") == 0) return CellType::IsoDate;
  return CellType::Number;
}

// "2010-01-05T00:00:00" -> "2010-01-05"; a time of day other than midnight is kept.
void appendIsoDate(std::string& out, std::string_view v) {
  if (v.size() < 10) {
    out.append(v);
    return;
  }
  const std::string_view time = v.size() >= 19 && v[10] == 'T' ? v.substr(11, 8) : std::string_view{};
  if (time.empty() || time == "00:00:00") {
    out.append(v.substr(0, 10));
  } else {
    out.append(v.substr(0, 10));
    out.push_back(' ');
    out.append(time);
  }
}

class SheetHandler final : public XmlHandler {
 public:
  SheetHandler(Workbook& workbook, CellTableBuilder& builder)
      : kinds_(workbook.styleKinds()), date1904_(workbook.date1904()), builder_(builder) {}

  void start(std::string_view name, const char** atts) override {
    if (name == "sheetData") {
      inData_ = true;
    } else if (!inData_) {
      return;
    } else if (name == "row") {
      std::uint32_t r = 0;
      const char* attr = attribute(atts, "r");
      row_ = attr != nullptr && parseUnsigned(attr, r) && r >= 1 && r <= kMaxRows ? r - 1 : nextRow_;
      nextRow_ = row_ + 1;
      nextColumn_ = 0;
    } else if (name == "c") {
      inCell_ = true;
      const char* ref = attribute(atts, "r");
      cellRow_ = row_;
      if (ref == nullptr || !parseReference(ref, cellRow_, cellColumn_)) cellColumn_ = nextColumn_;
      nextColumn_ = cellColumn_ + 1;
      type_ = cellType(attribute(atts, "t"));
      std::uint32_t style = 0;
      const char* s = attribute(atts, "s");
      kind_ = s != nullptr && parseUnsigned(s, style) && style < kinds_.size() ? kinds_[style] : cells::ValueKind::Number;
      value_.clear();
      cellBegin_ = builder_.text().size();
    } else if (!inCell_) {
      return;
    } else if (name == "v") {
      inValue_ = true;
    } else if (name == "rPh") {
      ++phonetic_;
    } else if (name == "t" && phonetic_ == 0 && type_ == CellType::Inline) {
      inInlineText_ = true;
    }
  }

  void end(std::string_view name) override {
    if (name == "v") {
      inValue_ = false;
    } else if (name == "t") {
      inInlineText_ = false;
    } else if (name == "rPh") {
      if (phonetic_ > 0) --phonetic_;
    } else if (name == "c" && inCell_) {
      inCell_ = false;
      finishCell();
    } else if (name == "sheetData") {
      inData_ = false;
    }
  }

  void text(std::string_view s) override {
    // Nothing past a cell's longest text is kept, so a hostile part cannot fill memory.
    constexpr std::size_t kKeep = 4 * cells::kMaxCellUnits;
    if (inValue_ && value_.size() < kKeep) value_.append(s.substr(0, kKeep - value_.size()));
    if (inInlineText_) {
      std::string& out = builder_.text();
      out.append(s);
      if (out.size() - cellBegin_ > kKeep) cells::capCellText(out, cellBegin_);
    }
  }

 private:
  void finishCell() {
    std::string& out = builder_.text();
    const std::string_view v = type_ == CellType::FormulaText || type_ == CellType::Error ? std::string_view(value_)
                                                                                          : trimmed(value_);
    switch (type_) {
      case CellType::Inline:
        break;  // appended as it came
      case CellType::Shared: {
        std::uint32_t index = 0;
        if (cellColumn_ < kMaxColumns && parseUnsigned(v, index)) {
          builder_.commitShared(cellRow_, cellColumn_, index);
        } else {
          builder_.discard();
        }
        return;
      }
      case CellType::FormulaText:
      case CellType::Error:
        out.append(v);
        break;
      case CellType::Boolean:
        if (v == "1" || v == "0") {
          out.append(cells::booleanText(v == "1"));
        } else {
          out.append(v);
        }
        break;
      case CellType::IsoDate:
        appendIsoDate(out, v);
        break;
      case CellType::Number: {
        if (v.empty()) break;
        double number = 0;
        const auto res = std::from_chars(v.data(), v.data() + v.size(), number);
        if (res.ec != std::errc() || res.ptr != v.data() + v.size()) {
          out.append(v);
        } else if (kind_ == cells::ValueKind::Number || !cells::appendSerialDate(out, number, date1904_, kind_)) {
          cells::appendNumber(out, number);
        }
        break;
      }
    }
    if (cellColumn_ < kMaxColumns) {
      builder_.commit(cellRow_, cellColumn_);
    } else {
      builder_.discard();
    }
  }

  const std::vector<cells::ValueKind>& kinds_;
  const bool date1904_;
  CellTableBuilder& builder_;
  std::string value_;
  std::size_t cellBegin_ = 0;
  bool inData_ = false, inCell_ = false, inValue_ = false, inInlineText_ = false;
  int phonetic_ = 0;
  std::uint32_t row_ = 0, nextRow_ = 0, nextColumn_ = 0;
  std::uint32_t cellRow_ = 0, cellColumn_ = 0;
  CellType type_ = CellType::Number;
  cells::ValueKind kind_ = cells::ValueKind::Number;
};

}  // namespace

CellTable readWorksheet(const Package& package, Workbook& workbook, const SheetEntry& sheet) {
  const std::shared_ptr<const StringPool>& shared = workbook.sharedStrings();
  const std::size_t sharedBytes = shared->bytesHeld();
  if (sharedBytes >= kWorkbookBudget) throw WorkbookError(workbookTooLargeText());
  CellTableBuilder builder(shared, kWorkbookBudget - sharedBytes);
  SheetHandler handler(workbook, builder);
  package.parse(sheet.part, handler);
  return builder.finish(sheet.name);
}

}  // namespace qm::xlsx
