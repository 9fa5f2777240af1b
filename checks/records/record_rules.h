#pragma once
// One record of the record checker: the gender codings, the birth date
// formats and the messages of a record's line, in their order. Positions and
// lengths count GBK bytes, as the ANSI code page did.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

enum class GenderCoding { Text, Digits };                // "男或女", "1或2"
enum class BirthDateFormat { Compact, Dashed, Slashed };  // "YYYYMMDD", "YYYY-MM-DD", "YYYY/MM/DD"

inline constexpr int kGenderFemale = 0;
inline constexpr int kGenderMale = 1;
inline constexpr int kGenderUnreadable = 3;

// Code of a (trimmed) gender cell: "男"/"女" with Text, "1"/"2" with Digits;
// anything else is unreadable.
int genderCode(std::string_view cell, GenderCoding coding);
// Code of the gender digit, character 17 (GBK bytes) of the trimmed ID: odd
// male, even female; missing, blank or not a digit is unreadable.
int idGenderCode(std::string_view id);

// The birth date cell (trimmed, GBK bytes) as the 8 characters YYYYMMDD the
// format gives, before the digits are looked at; nullopt when the cell does
// not have the format's shape ("出生日期字段数据异常。").
std::optional<std::string> birthDateChars(std::string_view gbkCell, BirthDateFormat format);

// Which checks run (CheckBox2, CheckBox4, CheckBox1).
struct RecordChecks {
  bool id = true;
  bool gender = false;
  bool birth = false;
};

// Appends the messages of one record to out, in the line's order. Cells are
// UTF-8 as read; they are trimmed here. Cells of checks that are off are not
// looked at. Dates after currentYear are invalid.
void appendRecordMessages(std::string& out, std::string_view idCell, std::string_view genderCell,
                          std::string_view birthCell, const RecordChecks& checks, GenderCoding coding,
                          BirthDateFormat format, int currentYear);

}  // namespace qm
