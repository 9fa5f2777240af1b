#include "workbook/cell_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

namespace qm::cells {
namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civilFromDays(std::int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
}

void appendDigits(std::string& out, unsigned value, int width) {
  char buf[12];
  int n = 0;
  do {
    buf[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0 || n < width);
  while (n > 0) out.push_back(buf[--n]);
}

constexpr std::int64_t kDays1899_12_30 = -25569;  // days from 1970-01-01
constexpr std::int64_t kDays1899_12_31 = -25568;
constexpr std::int64_t kDays1904_01_01 = -24107;
constexpr double kLastSerial1900 = 2958466.0;  // 10000-01-01
constexpr double kLastSerial1904 = kLastSerial1900 - 1462.0;

}  // namespace

void appendNumber(std::string& out, double value) {
  if (!std::isfinite(value)) {
    out += "#NUM!";
    return;
  }
  if (value == 0) {
    out.push_back('0');
    return;
  }
  char buf[40];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
  for (char* p = buf; p != res.ptr; ++p) {
    if (*p == 'e') *p = 'E';
  }
  out.append(buf, res.ptr);
}

void appendInteger(std::string& out, std::int64_t value) {
  char buf[24];
  const auto res = std::to_chars(buf, buf + sizeof buf, value);
  out.append(buf, res.ptr);
}

bool appendSerialDate(std::string& out, double serial, bool date1904, ValueKind kind) {
  if (!std::isfinite(serial) || serial < 0 || serial >= (date1904 ? kLastSerial1904 : kLastSerial1900)) return false;
  // Rounded to the second first, so 0.99999999 of a day is the next midnight.
  const auto seconds = static_cast<std::int64_t>(std::llround(serial * 86400.0));
  const std::int64_t day = seconds / 86400;
  const auto secondOfDay = static_cast<unsigned>(seconds % 86400);
  if (kind != ValueKind::Time) {
    int y = 0;
    unsigned m = 0, d = 0;
    if (date1904) {
      civilFromDays(kDays1904_01_01 + day, y, m, d);
    } else if (day == 0) {
      y = 1900, m = 1, d = 0;  // Excel shows serial 0 as 1900-01-00
    } else if (day == 60) {
      y = 1900, m = 2, d = 29;
    } else {
      civilFromDays((day < 60 ? kDays1899_12_31 : kDays1899_12_30) + day, y, m, d);
    }
    appendDigits(out, static_cast<unsigned>(y), 4);
    out.push_back('-');
    appendDigits(out, m, 2);
    out.push_back('-');
    appendDigits(out, d, 2);
    if (kind == ValueKind::Date) return true;
    out.push_back(' ');
  }
  appendDigits(out, secondOfDay / 3600, 2);
  out.push_back(':');
  appendDigits(out, secondOfDay / 60 % 60, 2);
  out.push_back(':');
  appendDigits(out, secondOfDay % 60, 2);
  return true;
}

std::string_view errorText(unsigned code) {
  switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return {};
  }
}

void capCellText(std::string& text, std::size_t begin) {
  // A UTF-8 byte is at most one UTF-16 unit, so short texts need no count.
  if (text.size() - begin <= kMaxCellUnits) return;
  std::size_t units = 0, i = begin;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::size_t add = len == 4 ? 2 : 1;
    if (units + add > kMaxCellUnits) break;
    units += add;
    i = std::min(text.size(), i + len);
  }
  text.resize(i);
}

}  // namespace qm::cells
