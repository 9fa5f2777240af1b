#include "photo/image/batch_photo.h"

#include <gtest/gtest.h>

#include "photo/image/bmp_codec.h"
#include "photo/image/jpeg_codec.h"
#include "photo/image/jpeg_size.h"
#include "tests/unit/photo/synthetic_photo.h"

namespace qm::photo {
namespace {

// The written photo against the exact area average of the crop of the full
// decoded picture: luma PSNR of at least 45 dB, on the reduced-decode paths
// (1/8, 1/4, 1/2) and the full decode.
TEST(BatchPhoto, WrittenPhotoMatchesTheExactAreaAverage) {
  const struct {
    int w, h;
  } sizes[] = {{3000, 4000}, {4000, 3000}, {1200, 1600}, {640, 480}, {400, 400}, {300, 600}, {77, 100}};
  for (const auto& s : sizes) {
    std::string source = encodeJpeg(test::syntheticPhoto(s.w, s.h, 11), 92);
    auto full = decodeJpeg(source);
    ASSERT_TRUE(full);
    RgbImage reference = test::exactBatchPhoto(*full);
    auto jpeg = makeBatchPhoto(source);
    ASSERT_TRUE(jpeg) << s.w << "x" << s.h;
    auto written = decodeJpeg(*jpeg);
    ASSERT_TRUE(written);
    ASSERT_EQ(written->width, kBatchPhotoWidth);
    ASSERT_EQ(written->height, kBatchPhotoHeight);
    double psnr = test::lumaPsnr(*written, reference);
    EXPECT_GE(psnr, 45.0) << s.w << "x" << s.h;
    RecordProperty("psnr_" + std::to_string(s.w) + "x" + std::to_string(s.h), std::to_string(psnr));
  }
}

TEST(BatchPhoto, TheMeasureCatchesACropOffByAFewPixels) {
  // So the bar above means something: the same picture cut 3 pixels to the side
  // is far from the reference.
  RgbImage full = test::syntheticPhoto(640, 480, 11);
  RgbImage reference = test::exactBatchPhoto(full);
  PixelRect c = batchCropRect(640, 480);
  RgbImage shifted = test::bruteAreaAverage(
      full, SourceRect{double(c.x + 3), double(c.y), double(c.width), double(c.height)}, 154, 189);
  EXPECT_LT(test::lumaPsnr(shifted, reference), 40.0);
}

TEST(BatchPhoto, BitmapSourcesAndRefusals) {
  RgbImage picture = test::syntheticPhoto(200, 300, 2);
  auto fromBmp = renderBatchPhoto(encodeBmp(picture));
  ASSERT_TRUE(fromBmp);
  EXPECT_GE(test::lumaPsnr(*fromBmp, test::exactBatchPhoto(picture)), 50.0);
  std::string error;
  EXPECT_FALSE(makeBatchPhoto("not a picture", {}, &error));
  EXPECT_FALSE(error.empty());
  std::string jpeg = encodeJpeg(picture, 90);
  EXPECT_FALSE(makeBatchPhoto(jpeg.substr(0, jpeg.size() / 3)));
}

TEST(JpegSize, QualityForSizeIsTheHighestThatFits) {
  RgbImage photo = test::syntheticPhoto(154, 189, 8);
  std::size_t limit = encodeJpeg(photo, 60).size() + 1;
  auto q = qualityForSize(photo, limit);
  ASSERT_TRUE(q);
  EXPECT_LE(encodeJpeg(photo, *q).size(), limit);
  if (*q < 100) {
    EXPECT_GT(encodeJpeg(photo, *q + 1).size(), limit);
  }
  EXPECT_GE(*q, 60);
  EXPECT_FALSE(qualityForSize(photo, 10));
  EXPECT_EQ(encodeResized(photo, 77, 40, 80).size(), encodeJpeg(scaleArea(photo, 77, 40), 80).size());
}

}  // namespace
}  // namespace qm::photo
