#pragma once
// File sizes as the photo tools show them: bytes / 1000 with two decimals
// (rounded half up, as the decimal display does) and "Kb" without a space.
#include <cstdint>
#include <string>

namespace qm::photo {

std::string formatKb(std::uint64_t bytes);

}  // namespace qm::photo
