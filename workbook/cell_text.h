#pragma once
// How a cell value becomes the text a caller reads: numbers with up to 15
// significant digits (integers without ".0", Excel's exponent form outside
// 1E-05..1E+15), dates as YYYY-MM-DD from Excel day serials.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qm::cells {

// What a cell's number format makes of its number.
enum class ValueKind { Number, Date, DateTime, Time };

// Appends the text of a number: %.15g, "E+17" style exponents, no "-0".
void appendNumber(std::string& out, double value);
void appendInteger(std::string& out, std::int64_t value);

// Appends the text of an Excel day serial: "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS"
// or "HH:MM:SS". The 1900 system counts the 29 February 1900 that never was
// (serial 60) as Excel does; the 1904 system starts at 1904-01-01. Returns
// false and appends nothing when the serial is no date Excel can show
// (negative, past 9999-12-31, not finite).
bool appendSerialDate(std::string& out, double serial, bool date1904, ValueKind kind);

inline std::string_view booleanText(bool value) { return value ? "TRUE" : "FALSE"; }

// The text Excel shows for an error value (0x07 -> "#DIV/0!"); empty for an
// unknown code.
std::string_view errorText(unsigned code);

// Excel keeps at most this many UTF-16 units in a cell.
constexpr std::size_t kMaxCellUnits = 32767;
// Cuts the text from `begin` on to kMaxCellUnits UTF-16 units, on a character
// boundary.
void capCellText(std::string& text, std::size_t begin);

}  // namespace qm::cells
