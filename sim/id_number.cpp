#include "sim/id_number.h"

#include <cstdio>

namespace qm::sim {

char idCheckChar(std::string_view first17) {
  static const int kWeights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (std::size_t i = 0; i < 17 && i < first17.size(); ++i) sum += (first17[i] - '0') * kWeights[i];
  return "10X98765432"[sum % 11];
}

std::string makeIdNumber(std::string_view areaCode, std::string_view birthYmd, int sequence) {
  char seq[8];
  std::snprintf(seq, sizeof seq, "%03d", sequence % 1000);
  std::string id;
  id.append(areaCode).append(birthYmd).append(seq);
  id.push_back(idCheckChar(id));
  return id;
}

}  // namespace qm::sim
