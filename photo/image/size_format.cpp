#include "photo/image/size_format.h"

#include <cstdio>

namespace qm::photo {

std::string formatKb(std::uint64_t bytes) {
  // Hundredths of a thousand bytes, in integers so no binary fraction rounds wrong.
  std::uint64_t hundredths = bytes / 10 + (bytes % 10 >= 5 ? 1 : 0);
  char text[48];
  std::snprintf(text, sizeof text, "%llu.%02lluKb", static_cast<unsigned long long>(hundredths / 100),
                static_cast<unsigned long long>(hundredths % 100));
  return text;
}

}  // namespace qm::photo
