#pragma once
// A decoded picture: 8-bit RGB, rows top to bottom, no padding between rows.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm::photo {

struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}

  bool empty() const { return width <= 0 || height <= 0; }
  std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
  std::uint8_t* row(int y) { return pixels.data() + stride() * y; }
  const std::uint8_t* row(int y) const { return pixels.data() + stride() * y; }
};

// Bounds every decoder applies before it allocates: a header may claim any size.
struct DecodeLimits {
  int maxDimension = 65535;
  std::uint64_t maxPixels = 250'000'000;  // the largest phone cameras, about 200 MP
};

}  // namespace qm::photo
