#pragma once
// splitmix64: the standard distributions are not the same on every library, this is,
// so the same seed gives the same data everywhere.
#include <cstdint>
#include <string>

namespace qm::sim {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
  template <typename T, std::size_t N>
  const T& pick(const T (&items)[N]) { return items[below(static_cast<int>(N))]; }
  std::string hex(int digits) {
    static const char kHex[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < digits; ++i) s += kHex[below(16)];
    return s;
  }

 private:
  std::uint64_t state_;
};

}  // namespace qm::sim
