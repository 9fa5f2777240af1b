#include "photo/image/crop_rules.h"

#include <gtest/gtest.h>

namespace qm::photo {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const struct {
    double v;
    int expected;
  } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {94.5, 94}, {95.5, 96}, {-0.5, 0}, {-1.5, -2},
               {325.9259, 326}, {368.18, 368}, {37.037, 37}, {2.4999999, 2}, {2.5000001, 3}};
  for (const auto& c : cases) EXPECT_EQ(roundHalfEven(c.v), c.expected) << c.v;
}

TEST(BatchCropRect, KeepsTheRegistrationProportions) {
  const struct {
    int w, h;
    PixelRect expected;
  } cases[] = {
      {308, 378, {0, 0, 308, 378}},   // the photo's own ratio: nothing cut
      {154, 189, {0, 0, 154, 189}},
      {400, 400, {37, 0, 326, 400}},  // too wide: centred strip
      {300, 600, {0, 0, 300, 368}},   // too tall: the top, 232 rows dropped
      {77, 100, {0, 0, 77, 94}},      // 77 / t is exactly 94.5: the even neighbour
      {4000, 3000, {778, 0, 2444, 3000}},
      {3000, 4000, {0, 0, 3000, 3682}},
      {1, 1, {0, 0, 1, 1}},
  };
  for (const auto& c : cases) {
    PixelRect r = batchCropRect(c.w, c.h);
    EXPECT_EQ(r, c.expected) << c.w << "x" << c.h << " gave " << r.x << "," << r.y << " " << r.width << "x"
                             << r.height;
    EXPECT_LE(r.x + r.width, c.w);
    EXPECT_LE(r.y + r.height, c.h);
  }
}

TEST(WebcamCrop, MapsTheShownRectangleOntoTheFrame) {
  const struct {
    int w, h;
    ShownRect rect;
    int outW, outH;
    PixelRect source;
  } cases[] = {
      {640, 480, {100, 50, 200, 200}, 320, 320, {160, 80, 320, 320}},  // rx = ry = 1.6
      {320, 240, {100, 50, 200, 200}, 160, 160, {80, 40, 160, 160}},   // rx = ry = 0.8
      {640, 480, {0, 10, 450, 100}, 640, 160, {0, 16, 640, 160}},      // dragged past the edge: 400 wide
      {640, 480, {20, 20, 100, 350}, 160, 480, {32, 32, 160, 480}},    // and 300 high
      {640, 480, {-50, -25, 100, 100}, 160, 160, {-80, -40, 160, 160}},  // starts left of and above the frame
      {1280, 720, {1, 1, 3, 3}, 10, 7, {3, 2, 10, 8}},  // 3.2 and 2.4 per shown pixel
  };
  for (const auto& c : cases) {
    WebcamCrop crop = webcamCrop(c.w, c.h, &c.rect);
    EXPECT_FALSE(crop.wholeFrame);
    EXPECT_EQ(crop.outWidth, c.outW);
    EXPECT_EQ(crop.outHeight, c.outH);
    EXPECT_EQ(crop.source, c.source) << crop.source.x << "," << crop.source.y << " " << crop.source.width << "x"
                                     << crop.source.height;
  }
}

TEST(WebcamCrop, WholeFrameWithoutARectangleOrWithAnEmptyOne) {
  const ShownRect empties[] = {{100, 100, 0, 50}, {100, 100, 50, 0}, {0, 0, 0, 0}, {10, 10, 1, 1}};
  WebcamCrop none = webcamCrop(640, 480, nullptr);
  EXPECT_TRUE(none.wholeFrame);
  EXPECT_EQ(none.outWidth, 640);
  EXPECT_EQ(none.outHeight, 480);
  for (const auto& r : empties) {
    // The last one is 1 x 1 shown but rounds to no pixel of a 160 x 120 frame.
    WebcamCrop crop = webcamCrop(160, 120, &r);
    EXPECT_TRUE(crop.wholeFrame) << r.width << "x" << r.height;
    EXPECT_EQ(crop.outWidth, 160);
    EXPECT_EQ(crop.outHeight, 120);
  }
}

}  // namespace
}  // namespace qm::photo
