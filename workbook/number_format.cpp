#include "workbook/number_format.h"

#include "common/ascii.h"

namespace qm::cells {
namespace {

ValueKind kindOf(bool date, bool time) {
  if (date && time) return ValueKind::DateTime;
  if (date) return ValueKind::Date;
  if (time) return ValueKind::Time;
  return ValueKind::Number;
}

}  // namespace

ValueKind builtInFormatKind(int id) {
  if ((id >= 14 && id <= 17) || (id >= 27 && id <= 31) || id == 36 || (id >= 50 && id <= 54) || id == 57 || id == 58)
    return ValueKind::Date;
  if (id == 22) return ValueKind::DateTime;
  if ((id >= 18 && id <= 21) || (id >= 32 && id <= 35) || (id >= 45 && id <= 47) || id == 55 || id == 56)
    return ValueKind::Time;
  return ValueKind::Number;
}

ValueKind formatCodeKind(std::string_view code) {
  bool yearOrDay = false, month = false, time = false;
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = ascii::lower(code[i]);
    if (c == ';') break;  // later sections are for negatives, zero and text
    if (c == '"') {
      const auto close = code.find('"', i + 1);
      if (close == std::string_view::npos) break;
      i = close;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++i;  // escaped, spacing or fill character
    } else if (c == '[') {
      const auto close = code.find(']', i + 1);
      if (close == std::string_view::npos) break;
      // [h], [mm], [ss]: elapsed time; anything else is a colour, locale or condition.
      const std::string_view inner = code.substr(i + 1, close - i - 1);
      if (!inner.empty() && inner.find_first_not_of("hHmMsS") == std::string_view::npos) time = true;
      i = close;
    } else if (c == 'g' && i + 1 < code.size() && ascii::lower(code[i + 1]) == 'e') {
      i += 6;  // "General"
    } else if (c == 'y' || c == 'd') {
      yearOrDay = true;
    } else if (c == 'm') {
      month = true;  // or minutes: told apart below
    } else if (c == 'h' || c == 's') {
      time = true;
    } else if (c == 'a' && i + 2 < code.size() && code[i + 1] == '/' ) {
      time = true;  // A/P
      i += 2;
    } else if (c == 'a' && i + 4 < code.size() && ascii::lower(code[i + 1]) == 'm' && code[i + 2] == '/') {
      time = true;  // AM/PM
      i += 4;
    }
  }
  // "h:mm" and "mm:ss" use m for minutes; a month needs a year or day beside a time.
  return kindOf(yearOrDay || (month && !time), time);
}

}  // namespace qm::cells
