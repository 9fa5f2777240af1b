#include "checks/records/record_rules.h"

#include "checks/id/gbk_positions.h"
#include "checks/id/id_number.h"
#include "checks/records/gbk_text.h"
#include "checks/records/record_check_texts.h"
#include "common/text_encoding.h"
#include "common/trim.h"

namespace qm {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool allDigits(std::string_view s) {
  for (char c : s)
    if (!isDigit(c)) return false;
  return true;
}

bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

}  // namespace

int genderCode(std::string_view cell, GenderCoding coding) {
  if (coding == GenderCoding::Text) {
    if (cell == "男") return kGenderMale;
    if (cell == "女") return kGenderFemale;
  } else {
    if (cell == "1") return kGenderMale;
    if (cell == "2") return kGenderFemale;
  }
  return kGenderUnreadable;
}

int idGenderCode(std::string_view id) {
  const std::string digit = idGenderPart(id);
  if (digit.size() != 1 || !isDigit(digit[0])) return kGenderUnreadable;
  return (digit[0] - '0') % 2 == 1 ? kGenderMale : kGenderFemale;
}

std::optional<std::string> birthDateChars(std::string_view b, BirthDateFormat format) {
  if (format == BirthDateFormat::Compact) {
    if (b.size() != 8) return std::nullopt;
    return std::string(b);
  }
  const char sep = format == BirthDateFormat::Dashed ? '-' : '/';
  if (b.size() < 8 || b.size() > 10) return std::nullopt;
  // A missing separator leaves an empty part, which fails its length test.
  const std::size_t p = b.find(sep);
  if (p == std::string_view::npos || p != 4) return std::nullopt;
  const std::string_view rest = b.substr(p + 1);
  const std::size_t q = rest.find(sep);
  if (q == std::string_view::npos) return std::nullopt;
  const std::string_view month = rest.substr(0, q), day = rest.substr(q + 1);
  if (month.empty() || month.size() > 2 || day.empty() || day.size() > 2) return std::nullopt;
  std::string out(b.substr(0, 4));
  if (month.size() == 1) out += '0';
  out += month;
  if (day.size() == 1) out += '0';
  out += day;
  return out;
}

void appendRecordMessages(std::string& out, std::string_view idCell, std::string_view genderCell,
                          std::string_view birthCell, const RecordChecks& checks, GenderCoding coding,
                          BirthDateFormat format, int currentYear) {
  using namespace record_texts;
  const std::string_view id = trimLowView(idCell);
  if (checks.id && !IsIdNumberValid(id)) out += kIdWrong;
  if (!checks.gender && !checks.birth) return;

  if (checks.gender) {
    const int g = genderCode(trimLowView(genderCell), coding);
    if (g == kGenderUnreadable) out += kGenderFieldBad;
    const int c = idGenderCode(id);
    if (c == kGenderUnreadable)
      out += kIdNoGender;
    else if (g != kGenderUnreadable && g != c)
      out += kGenderMismatch;
  }
  if (checks.birth) {
    const GbkText cell(trimLowView(birthCell));
    const std::optional<std::string> b = birthDateChars(cell.bytes(), format);
    bool fieldBad = true;
    if (!b)
      out += kBirthFieldBad;
    else if (!allDigits(*b))
      out += kBirthFieldNotDigits;
    else if (IsDateInvalid(*b, currentYear))
      out += kBirthFieldWrong;
    else
      fieldBad = false;

    const std::string e = idBirthDatePart(id);
    // Only the length is measured in GBK; a text that is not ASCII has a
    // non-digit anyway.
    const std::size_t positions = isAscii(e) ? e.size() : gbkByteLength(e);
    if (positions != 8)
      out += kIdNoBirth;
    else if (!allDigits(e))
      out += kIdBirthBad;
    else if (IsDateInvalid(e, currentYear))
      out += kIdBirthWrong;
    else if (!fieldBad && e != *b)
      out += kBirthMismatch;
  }
}

}  // namespace qm
