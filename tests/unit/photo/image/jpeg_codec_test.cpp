#include "photo/image/jpeg_codec.h"

#include <gtest/gtest.h>

#include "photo/image/picture_format.h"
#include "photo/image/picture_loader.h"
#include "tests/unit/photo/synthetic_photo.h"

namespace qm::photo {
namespace {

TEST(JpegCodec, RoundTripKeepsSizeAndPicture) {
  RgbImage src = test::syntheticPhoto(160, 120, 3);
  std::string jpeg = encodeJpeg(src, 100);
  ASSERT_FALSE(jpeg.empty());
  EXPECT_EQ(sniffPictureFormat(jpeg), PictureFormat::Jpeg);
  auto size = readJpegSize(jpeg);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, 160);
  EXPECT_EQ(size->height, 120);
  auto back = decodeJpeg(jpeg);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->width, 160);
  ASSERT_EQ(back->height, 120);
  EXPECT_GT(test::lumaPsnr(*back, src), 40.0);
}

TEST(JpegCodec, LowerQualityGivesSmallerFiles) {
  RgbImage src = test::syntheticPhoto(200, 150, 4);
  std::size_t q1 = encodeJpeg(src, 1).size(), q50 = encodeJpeg(src, 50).size(), q100 = encodeJpeg(src, 100).size();
  EXPECT_LT(q1, q50);
  EXPECT_LT(q50, q100);
  // Out-of-range qualities are brought into 1..100.
  EXPECT_EQ(encodeJpeg(src, 0).size(), q1);
  EXPECT_EQ(encodeJpeg(src, 250).size(), q100);
  EXPECT_TRUE(encodeJpeg(RgbImage(), 90).empty());
}

TEST(JpegCodec, ScaledDecodeGivesTheReducedSize) {
  std::string jpeg = encodeJpeg(test::syntheticPhoto(803, 601, 5), 90);
  const struct {
    DctScale scale;
    int w, h;
  } cases[] = {{{1, 1}, 803, 601}, {{1, 2}, 402, 301}, {{1, 4}, 201, 151}, {{1, 8}, 101, 76}};
  for (const auto& c : cases) {
    auto img = decodeJpeg(jpeg, c.scale);
    ASSERT_TRUE(img) << c.scale.denom;
    EXPECT_EQ(img->width, c.w);
    EXPECT_EQ(img->height, c.h);
  }
  EXPECT_FALSE(decodeJpeg(jpeg, DctScale{1, 3}));  // not a scale the decoder offers
}

TEST(JpegCodec, ChoosesTheCoarsestScaleThatKeepsDetail) {
  const struct {
    double cw, ch;
    int denom;
  } cases[] = {{3000, 3682, 8}, {2444, 3000, 4}, {1200, 1473, 2}, {391, 480, 1}, {77, 94, 1}};
  for (const auto& c : cases) EXPECT_EQ(chooseDctScale(c.cw, c.ch, 154, 189, 2.0).denom, c.denom) << c.cw;
}

TEST(JpegCodec, RefusesGarbageTruncatedAndOversizedData) {
  std::string jpeg = encodeJpeg(test::syntheticPhoto(120, 90, 6), 90);
  std::string error;
  EXPECT_FALSE(decodeJpeg("", {}, {}, &error));
  EXPECT_FALSE(decodeJpeg("\xFF\xD8\xFF garbage that is no JPEG at all", {}, {}, &error));
  EXPECT_FALSE(decodeJpeg(std::string(jpeg.data(), jpeg.size() / 2), {}, {}, &error)) << "cut in the middle";
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(decodeJpeg(std::string(jpeg.data(), 200)));  // headers only
  DecodeLimits small;
  small.maxPixels = 100 * 80;
  EXPECT_FALSE(decodeJpeg(jpeg, {}, small));
  EXPECT_FALSE(readJpegSize(jpeg, small));
  // Bytes after the end-of-image marker are harmless.
  EXPECT_TRUE(decodeJpeg(jpeg + std::string(100, 'x')));
}

TEST(PictureLoader, TellsPicturesByContentNotByName) {
  RgbImage src = test::randomImage(10, 6, 2);
  EXPECT_EQ(sniffPictureFormat(encodeJpeg(src, 90)), PictureFormat::Jpeg);
  EXPECT_EQ(sniffPictureFormat("\x89PNG\r\n\x1a\n0000000000000000000000"), PictureFormat::Unknown);
  EXPECT_EQ(sniffPictureFormat("BM"), PictureFormat::Unknown);
  EXPECT_FALSE(decodePicture("\x89PNG\r\n\x1a\n0000000000000000000000"));
  auto fromJpeg = decodePicture(encodeJpeg(src, 90));
  ASSERT_TRUE(fromJpeg);
  EXPECT_EQ(fromJpeg->width, 10);
}

}  // namespace
}  // namespace qm::photo
