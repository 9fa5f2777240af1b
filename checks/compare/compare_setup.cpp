#include "checks/compare/compare_setup.h"

#include "common/trim.h"

namespace qm {

bool ComparePair::inUse() const { return !trimLowView(base).empty() && !trimLowView(probe).empty(); }

std::optional<std::size_t> matchProbeColumn(std::string_view baseText, const std::vector<std::string>& probeNames) {
  const std::string_view wanted = trimLowView(baseText);
  std::optional<std::size_t> chosen;
  for (std::size_t i = 0; i < probeNames.size(); ++i)
    if (trimLowView(probeNames[i]) == wanted) chosen = i;
  return chosen;
}

}  // namespace qm
