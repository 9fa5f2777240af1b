#pragma once
// ID numbers for the tests, with their check character worked out here from
// the national standard's weights, independently of the code under test.
#include <string>

namespace qm::test {

inline std::string withCheckChar(const std::string& first17) {
  static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  static const char table[] = "10X98765432";
  int sum = 0;
  for (int i = 0; i < 17; ++i) sum += (first17[static_cast<std::size_t>(i)] - '0') * weights[i];
  return first17 + table[sum % 11];
}

// A wrong check character for the same 17 digits.
inline std::string withWrongCheckChar(const std::string& first17) {
  const std::string good = withCheckChar(first17);
  return first17 + (good.back() == '0' ? '1' : '0');
}

}  // namespace qm::test
