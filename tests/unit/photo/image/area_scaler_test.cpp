#include "photo/image/area_scaler.h"

#include <cstdlib>
#include <gtest/gtest.h>

#include "tests/unit/photo/synthetic_photo.h"

namespace qm::photo {
namespace {

// Largest difference of any channel; the scaler sums in float, the
// reference in double, so a value may round to the other neighbour.
int maxDifference(const RgbImage& a, const RgbImage& b) {
  int worst = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i) worst = std::max(worst, std::abs(a.pixels[i] - b.pixels[i]));
  return worst;
}

TEST(AreaScaler, MatchesTheBruteForceBoxFilter) {
  const struct {
    int srcW, srcH;
    SourceRect rect;
    int outW, outH;
  } cases[] = {
      {37, 23, {0, 0, 37, 23}, 10, 7},          // reduce by 3.7 and 3.29
      {40, 40, {3, 5, 31, 29}, 13, 11},         // a crop, reduced by non-integer ratios
      {7, 5, {0, 0, 7, 5}, 23, 17},             // enlarge by 3.29 and 3.4
      {9, 9, {2, 1, 5, 6}, 11, 14},             // enlarge part of the picture
      {30, 20, {1.3, 0.7, 20.6, 11.2}, 9, 8},   // fractional rectangle (a DCT-scaled crop)
      {16, 12, {0, 0, 16, 12}, 16, 12},         // same size: a copy
      {25, 25, {0, 0, 25, 25}, 1, 1},           // one pixel: the mean of all
      {12, 10, {-4, -3, 16, 14}, 8, 7},         // reaches past the top left: black there
      {12, 10, {5, 6, 12, 9}, 7, 9},            // reaches past the bottom right
  };
  for (const auto& c : cases) {
    for (std::uint64_t seed = 1; seed <= 3; ++seed) {
      RgbImage src = test::randomImage(c.srcW, c.srcH, seed);
      RgbImage got = scaleArea(src, c.rect, c.outW, c.outH);
      RgbImage want = test::bruteAreaAverage(src, c.rect, c.outW, c.outH);
      ASSERT_EQ(got.width, c.outW);
      ASSERT_EQ(got.height, c.outH);
      EXPECT_LE(maxDifference(got, want), 1) << c.srcW << "x" << c.srcH << " -> " << c.outW << "x" << c.outH;
    }
  }
}

TEST(AreaScaler, SameSizeIsAnExactCopyAndFlatStaysFlat) {
  RgbImage src = test::randomImage(16, 12, 9);
  EXPECT_EQ(scaleArea(src, 16, 12).pixels, src.pixels);

  RgbImage flat(13, 7);
  for (std::size_t i = 0; i < flat.pixels.size(); i += 3) flat.pixels[i] = 200, flat.pixels[i + 1] = 17, flat.pixels[i + 2] = 255;
  for (auto [w, h] : {std::pair{5, 3}, {29, 31}, {154, 189}}) {
    RgbImage out = scaleArea(flat, w, h);
    for (std::size_t i = 0; i < out.pixels.size(); i += 3) {
      ASSERT_EQ(out.pixels[i], 200);
      ASSERT_EQ(out.pixels[i + 1], 17);
      ASSERT_EQ(out.pixels[i + 2], 255);
    }
  }
}

TEST(AreaScaler, AveragesInsteadOfPicking) {
  // A 1-pixel checkerboard reduced by 2 is uniform grey; picking pixels would keep black or white.
  RgbImage board(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      for (int k = 0; k < 3; ++k) board.row(y)[3 * x + k] = (x + y) % 2 ? 255 : 0;
  RgbImage out = scaleArea(board, 4, 4);
  for (auto v : out.pixels) EXPECT_EQ(v, 128);
}

TEST(AreaScaler, OutsideThePictureIsBlack) {
  RgbImage white(4, 4);
  std::fill(white.pixels.begin(), white.pixels.end(), 255);
  // The left half of the rectangle lies left of the picture.
  RgbImage out = scaleArea(white, SourceRect{-4, 0, 8, 4}, 2, 1);
  EXPECT_EQ(out.row(0)[0], 0);
  EXPECT_EQ(out.row(0)[3], 255);
  // Wholly outside: all black, nothing read.
  RgbImage away = scaleArea(white, SourceRect{100, 100, 8, 8}, 3, 3);
  for (auto v : away.pixels) EXPECT_EQ(v, 0);
}

TEST(AreaScaler, ZeroWidthRectangleSamplesOneColumn) {
  RgbImage src = test::randomImage(6, 4, 5);
  RgbImage out = scaleArea(src, SourceRect{2, 0, 0, 4}, 3, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 3; ++x)
      for (int k = 0; k < 3; ++k) EXPECT_EQ(out.row(y)[3 * x + k], src.row(y)[6 + k]);
}

}  // namespace
}  // namespace qm::photo
