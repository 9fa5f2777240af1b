#include "photo/image/area_scaler.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qm::photo {
namespace {

// For each output position along one axis: the first source index and the
// weights of the consecutive source pixels it covers (inside the picture only).
struct AxisTaps {
  std::vector<int> first, count, offset;
  std::vector<float> weight;
  int lo = 0, hi = 0;  // source indices used overall: [lo, hi)
};

AxisTaps makeTaps(double start, double length, int outSize, int srcSize) {
  AxisTaps t;
  t.first.resize(outSize), t.count.resize(outSize), t.offset.resize(outSize);
  t.lo = srcSize, t.hi = 0;
  double step = std::max(length, 0.0) / outSize;
  for (int j = 0; j < outSize; ++j) {
    double a = start + length * j / outSize;
    double b = start + length * (j + 1) / outSize;
    t.offset[j] = static_cast<int>(t.weight.size());
    int first = -1;
    auto add = [&](long i, double w) {
      if (i < 0 || i >= srcSize || w <= 0) return;  // outside: black
      if (first < 0) first = static_cast<int>(i);
      t.weight.push_back(static_cast<float>(w));
    };
    if (step <= 0) {
      double f = std::floor(a);
      if (f >= 0 && f < srcSize) add(static_cast<long>(f), 1.0);
    } else {
      double from = std::max(std::floor(a), 0.0), to = std::min(std::ceil(b), double(srcSize));
      for (long i = static_cast<long>(from); i < to; ++i)
        add(i, (std::min(b, double(i + 1)) - std::max(a, double(i))) / step);
    }
    t.first[j] = std::max(first, 0);
    t.count[j] = static_cast<int>(t.weight.size()) - t.offset[j];
    if (t.count[j]) {
      t.lo = std::min(t.lo, t.first[j]);
      t.hi = std::max(t.hi, t.first[j] + t.count[j]);
    }
  }
  if (t.lo > t.hi) t.lo = t.hi = 0;
  return t;
}

}  // namespace

RgbImage scaleArea(const RgbImage& src, SourceRect rect, int outWidth, int outHeight) {
  if (outWidth <= 0 || outHeight <= 0) return {};
  RgbImage out(outWidth, outHeight);
  if (src.empty()) return out;
  AxisTaps tx = makeTaps(rect.x, rect.width, outWidth, src.width);
  AxisTaps ty = makeTaps(rect.y, rect.height, outHeight, src.height);
  // Columns first reduced row by row, so only one row of sums is kept.
  const int span = (tx.hi - tx.lo) * 3;
  std::vector<float> acc(static_cast<std::size_t>(span));
  for (int oy = 0; oy < outHeight; ++oy) {
    std::fill(acc.begin(), acc.end(), 0.0f);
    for (int k = 0; k < ty.count[oy]; ++k) {
      const float w = ty.weight[ty.offset[oy] + k];
      const std::uint8_t* s = src.row(ty.first[oy] + k) + tx.lo * 3;
      for (int i = 0; i < span; ++i) acc[i] += w * s[i];
    }
    std::uint8_t* d = out.row(oy);
    for (int ox = 0; ox < outWidth; ++ox, d += 3) {
      float r = 0, g = 0, b = 0;
      const float* a = acc.data() + (tx.first[ox] - tx.lo) * 3;
      const float* w = tx.weight.data() + tx.offset[ox];
      for (int k = 0; k < tx.count[ox]; ++k, a += 3) {
        r += w[k] * a[0], g += w[k] * a[1], b += w[k] * a[2];
      }
      d[0] = static_cast<std::uint8_t>(std::clamp(r + 0.5f, 0.0f, 255.0f));
      d[1] = static_cast<std::uint8_t>(std::clamp(g + 0.5f, 0.0f, 255.0f));
      d[2] = static_cast<std::uint8_t>(std::clamp(b + 0.5f, 0.0f, 255.0f));
    }
  }
  return out;
}

}  // namespace qm::photo
