#include "sim/captcha_image.h"

#include <turbojpeg.h>

#include <cstdint>
#include <vector>

#include "sim/rng.h"

namespace qm::sim {
namespace {

// 5 by 7 digits, one byte per row, bit 4 the leftmost pixel.
const std::uint8_t kDigits[10][7] = {
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}};

constexpr int kScale = 2;  // each font pixel as 2 by 2

class Canvas {
 public:
  Canvas() : pixels_(static_cast<std::size_t>(kCaptchaWidth * kCaptchaHeight * 3)) {}
  void set(int x, int y, const std::uint8_t rgb[3]) {
    if (x < 0 || y < 0 || x >= kCaptchaWidth || y >= kCaptchaHeight) return;
    std::uint8_t* p = &pixels_[static_cast<std::size_t>((y * kCaptchaWidth + x) * 3)];
    p[0] = rgb[0], p[1] = rgb[1], p[2] = rgb[2];
  }
  void glyph(int digit, int left, int top, const std::uint8_t rgb[3]) {
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (kDigits[digit][row] & (0x10 >> col))
          for (int dy = 0; dy < kScale; ++dy)
            for (int dx = 0; dx < kScale; ++dx) set(left + col * kScale + dx, top + row * kScale + dy, rgb);
  }
  std::uint8_t* data() { return pixels_.data(); }

 private:
  std::vector<std::uint8_t> pixels_;
};

std::string encode(Canvas& canvas) {
  tjhandle handle = tjInitCompress();
  if (!handle) return {};
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int rc = tjCompress2(handle, canvas.data(), kCaptchaWidth, 0, kCaptchaHeight, TJPF_RGB, &jpeg, &size,
                             TJSAMP_444, 90, 0);
  std::string out = rc == 0 ? std::string(reinterpret_cast<const char*>(jpeg), size) : std::string();
  tjFree(jpeg);
  tjDestroy(handle);
  return out;
}

}  // namespace

std::string captchaJpeg(const std::string& code) {
  std::uint64_t seed = 1469598103934665603ull;
  for (const char c : code) seed = (seed ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  Rng rng(seed);
  Canvas canvas;
  for (int y = 0; y < kCaptchaHeight; ++y) {
    for (int x = 0; x < kCaptchaWidth; ++x) {
      const std::uint8_t shade = static_cast<std::uint8_t>(225 + rng.below(30));
      const std::uint8_t rgb[3] = {shade, shade, static_cast<std::uint8_t>(shade - 12)};
      canvas.set(x, y, rgb);
    }
  }
  // Two faint lines behind the digits.
  for (int line = 0; line < 2; ++line) {
    const std::uint8_t rgb[3] = {180, 190, 205};
    const int y0 = 3 + rng.below(19), y1 = 3 + rng.below(19);
    for (int x = 0; x < kCaptchaWidth; ++x) canvas.set(x, y0 + (y1 - y0) * x / kCaptchaWidth, rgb);
  }
  int left = 8;
  for (const char c : code) {
    if (c < '0' || c > '9') continue;
    const std::uint8_t rgb[3] = {static_cast<std::uint8_t>(rng.below(90)), static_cast<std::uint8_t>(rng.below(90)),
                                 static_cast<std::uint8_t>(60 + rng.below(90))};
    canvas.glyph(c - '0', left + rng.below(4), 4 + rng.below(4), rgb);
    left += 19;
  }
  return encode(canvas);
}

}  // namespace qm::sim
