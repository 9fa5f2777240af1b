#include "checks/id/id_number.h"

#include <ctime>
#include <string>

#include "common/text_encoding.h"
#include "common/trim.h"

namespace qm {
namespace {

constexpr int kWeights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
constexpr char kCheckCharTable[11] = {'1', '0', 'X', '9', '8', '7', '6', '5', '4', '3', '2'};

bool isAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int number(std::string_view digits) {
  int n = 0;
  for (const char c : digits) n = n * 10 + (c - '0');
  return n;
}

bool isLeapYear(int year) { return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0); }

}  // namespace

bool IsIdNumberValid(std::string_view text) {
  const std::string_view trimmed = trimLowView(text);
  // ASCII is its own GBK; anything else is measured and read in GBK bytes.
  std::string gbk;
  std::string_view id = trimmed;
  if (!isAscii(trimmed)) {
    gbk = utf8ToGbk(trimmed);
    id = gbk;
  }
  if (id.size() != 18) return false;
  int sum = 0;
  for (int i = 0; i < 17; ++i) {
    if (!isDigit(id[i])) return false;
    sum += (id[i] - '0') * kWeights[i];
  }
  return id[17] == kCheckCharTable[sum % 11];
}

bool IsDateInvalid(std::string_view date, int currentYear) {
  if (date.size() != 8) return true;
  for (const char c : date)
    if (!isDigit(c)) return true;
  const int year = number(date.substr(0, 4));
  const int month = number(date.substr(4, 2));
  const int day = number(date.substr(6, 2));
  if (year < 1800) return true;
  if (year > currentYear) return true;
  if (month < 1 || month > 12) return true;
  if (day < 1 || day > 31) return true;
  if (day == 31 && !(month == 1 || month == 3 || month == 5 || month == 7 || month == 8 || month == 10 || month == 12))
    return true;
  if (day == 30 && month == 2) return true;
  if (day == 29 && month == 2 && !isLeapYear(year)) return true;
  return false;
}

bool IsDateInvalid(std::string_view date) { return IsDateInvalid(date, localYear()); }

int localYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

}  // namespace qm
