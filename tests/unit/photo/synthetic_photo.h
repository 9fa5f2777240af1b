#pragma once
// Deterministic pictures with what camera photos hold: smooth shading, fine
// texture, sharp edges and sensor noise; and the measures to compare them.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "photo/image/area_scaler.h"
#include "photo/image/crop_rules.h"
#include "photo/image/rgb_image.h"

namespace qm::photo::test {

// Small deterministic generator (xorshift64*).
struct Random {
  std::uint64_t state;
  explicit Random(std::uint64_t seed) : state(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t next() {
    state ^= state >> 12, state ^= state << 25, state ^= state >> 27;
    return state * 0x2545F4914F6CDD1Dull;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

inline RgbImage randomImage(int w, int h, std::uint64_t seed) {
  RgbImage img(w, h);
  Random r(seed);
  for (auto& p : img.pixels) p = static_cast<std::uint8_t>(r.next() >> 56);
  return img;
}

inline RgbImage syntheticPhoto(int w, int h, std::uint64_t seed) {
  RgbImage img(w, h);
  Random r(seed);
  const double cx = w * (0.45 + 0.1 * (seed % 3) / 2.0), cy = h * 0.42, rx = w * 0.28, ry = h * 0.3;
  const double fine = 2.0 * M_PI / (3.0 + seed % 4);  // hair-like stripes a few pixels wide
  for (int y = 0; y < h; ++y) {
    std::uint8_t* p = img.row(y);
    for (int x = 0; x < w; ++x, p += 3) {
      double u = double(x) / w, v = double(y) / h;
      double bg[3] = {60 + 120 * v, 90 + 80 * u, 160 - 60 * v};
      double dx = (x - cx) / rx, dy = (y - cy) / ry, d = dx * dx + dy * dy;
      double c[3];
      if (d < 1.0) {  // a shaded face with a striped band across its top
        double shade = 0.75 + 0.25 * std::cos(d * 1.4);
        c[0] = 225 * shade, c[1] = 180 * shade, c[2] = 150 * shade;
        if (dy < -0.45) {
          double s = 0.5 + 0.5 * std::sin(x * fine + 3 * std::sin(y * 0.01));
          c[0] = 40 + 60 * s, c[1] = 30 + 45 * s, c[2] = 20 + 30 * s;
        }
      } else {
        c[0] = bg[0], c[1] = bg[1], c[2] = bg[2];
      }
      if ((x / (w / 7 + 1) + y / (h / 9 + 1)) % 5 == 0 && d >= 1.0) c[1] = 235, c[2] = 40;  // sharp blocks
      double noise = (r.below(17) - 8) * 0.5;
      for (int k = 0; k < 3; ++k) p[k] = static_cast<std::uint8_t>(std::clamp(c[k] + noise, 0.0, 255.0));
    }
  }
  return img;
}

inline double lumaPsnr(const RgbImage& a, const RgbImage& b) {
  double sum = 0;
  std::size_t n = static_cast<std::size_t>(a.width) * a.height;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t *p = &a.pixels[3 * i], *q = &b.pixels[3 * i];
    double ya = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    double yb = 0.299 * q[0] + 0.587 * q[1] + 0.114 * q[2];
    sum += (ya - yb) * (ya - yb);
  }
  double mse = sum / n;
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// The box filter computed directly, in double: each output pixel sums every
// source pixel under it times the overlap area, black outside the picture.
inline RgbImage bruteAreaAverage(const RgbImage& src, SourceRect r, int outW, int outH) {
  RgbImage out(outW, outH);
  const double sx = r.width / outW, sy = r.height / outH;
  for (int oy = 0; oy < outH; ++oy) {
    double y0 = r.y + oy * sy, y1 = y0 + sy;
    for (int ox = 0; ox < outW; ++ox) {
      double x0 = r.x + ox * sx, x1 = x0 + sx, sum[3] = {0, 0, 0};
      for (int y = int(std::floor(y0)); y < y1; ++y) {
        double wy = std::min(y1, y + 1.0) - std::max(y0, double(y));
        if (y < 0 || y >= src.height || wy <= 0) continue;
        for (int x = int(std::floor(x0)); x < x1; ++x) {
          double wx = std::min(x1, x + 1.0) - std::max(x0, double(x));
          if (x < 0 || x >= src.width || wx <= 0) continue;
          for (int k = 0; k < 3; ++k) sum[k] += wx * wy * src.row(y)[3 * x + k];
        }
      }
      for (int k = 0; k < 3; ++k)
        out.row(oy)[3 * ox + k] = static_cast<std::uint8_t>(std::clamp(std::floor(sum[k] / (sx * sy) + 0.5), 0.0, 255.0));
    }
  }
  return out;
}

// The registration photo made the slow exact way: the full picture, the crop
// of batchCropRect, one area average to 154 x 189.
inline RgbImage exactBatchPhoto(const RgbImage& full) {
  PixelRect c = batchCropRect(full.width, full.height);
  return bruteAreaAverage(full, SourceRect{double(c.x), double(c.y), double(c.width), double(c.height)},
                          kBatchPhotoWidth, kBatchPhotoHeight);
}

}  // namespace qm::photo::test
