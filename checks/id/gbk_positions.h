#pragma once
// Cutting texts by GBK byte positions, as the checks count them: character n
// of a text is its n-th byte in GBK, so a Chinese character is two positions.
#include <cstddef>
#include <string>
#include <string_view>

namespace qm {

// Bytes start .. start+count-1 (from 1) of the text's GBK form, back in UTF-8.
// Clipped to the text like Copy: a start before 1 counts from 1, a start past
// the end gives "". Half of a Chinese character cut at either end becomes "?"
// (one position, as the ANSI code page would show it).
std::string gbkCopy(std::string_view utf8, std::size_t start, std::size_t count);

// Characters 7-14 of an ID number (the birth date YYYYMMDD), trimmed.
// Its length in positions is gbkByteLength() of the result.
std::string idBirthDatePart(std::string_view id);
// Character 17 of an ID number (the gender digit), trimmed: "" when the ID is
// shorter or the character is a blank or control character.
std::string idGenderPart(std::string_view id);

}  // namespace qm
