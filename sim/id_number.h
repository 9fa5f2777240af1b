#pragma once
// Resident ID numbers for the generated students.
#include <string>
#include <string_view>

namespace qm::sim {

// Check character of an 18-character resident ID (ISO 7064 MOD 11-2) from its first 17 digits.
char idCheckChar(std::string_view first17);

// 18-character ID: area code (6), birth date YYYYMMDD (8), sequence (3, odd for male), check.
std::string makeIdNumber(std::string_view areaCode, std::string_view birthYmd, int sequence);

}  // namespace qm::sim
