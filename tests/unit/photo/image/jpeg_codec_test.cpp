#include "photo/image/jpeg_codec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "photo/image/picture_format.h"
#include "photo/image/picture_loader.h"
#include "tests/unit/photo/synthetic_photo.h"
#include "tests/support/temp_folder.h"

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

std::string fixture(const char* name) {
  std::ifstream in(std::string(std::getenv("QM_FIXTURES")) + "/photo/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Rgb {
  int r, g, b;
};

// Every pixel within 3 of the colour its half of the picture should have
// (quality 100 still moves a value or two).
void expectHalves(const RgbImage& img, Rgb left, Rgb right, const char* what) {
  int wrong = 0;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const Rgb want = x < img.width / 2 ? left : right;
      const std::uint8_t* p = img.row(y) + 3 * x;
      if (std::abs(p[0] - want.r) > 3 || std::abs(p[1] - want.g) > 3 || std::abs(p[2] - want.b) > 3) ++wrong;
    }
  EXPECT_EQ(wrong, 0) << what;
}

// Four-channel JPEGs: Pillow's CMYK (inverted, with Adobe's APP14 segment, as
// Adobe's programs write it), the same data without that segment (plain
// CMYK), and libjpeg-turbo's own YCCK. Left half cyan ink; right half cyan,
// magenta and black, which in plain reading is yellow.
TEST(JpegCodec, CmykAndYcckPicturesComeOutAsRgb) {
  const std::string adobe = fixture("cmyk_adobe.jpg"), plain = fixture("cmyk_plain.jpg");
  ASSERT_FALSE(adobe.empty());
  ASSERT_FALSE(plain.empty());

  // The YCCK file: 16 x 8, in the inverted form Adobe stores ink.
  std::vector<unsigned char> ink(16 * 8 * 4);
  for (int i = 0; i < 16 * 8; ++i) {
    const bool left = i % 16 < 8;
    const unsigned char c = 255, m = left ? 0 : 255, y = 0, k = left ? 0 : 255;
    unsigned char* p = ink.data() + 4 * i;
    p[0] = 255 - c, p[1] = 255 - m, p[2] = 255 - y, p[3] = 255 - k;
  }
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  ASSERT_EQ(tjCompress2(tj, ink.data(), 16, 0, 8, TJPF_CMYK, &out, &outSize, TJSAMP_444, 100, TJFLAG_ACCURATEDCT), 0);
  const std::string ycck(reinterpret_cast<const char*>(out), outSize);
  tjFree(out);
  tjDestroy(tj);

  const struct {
    const char* name;
    const std::string& bytes;
    Rgb left, right;
  } cases[] = {{"cmyk adobe", adobe, {0, 255, 255}, {0, 0, 0}},
               {"cmyk plain", plain, {0, 0, 0}, {255, 255, 0}},
               {"ycck", ycck, {0, 255, 255}, {0, 0, 0}}};
  for (const auto& c : cases) {
    std::string error;
    auto img = decodeJpeg(c.bytes, {}, {}, &error);
    ASSERT_TRUE(img) << c.name << ": " << error;
    EXPECT_EQ(img->width, 16) << c.name;
    EXPECT_EQ(img->height, 8) << c.name;
    expectHalves(*img, c.left, c.right, c.name);
    auto half = decodeJpeg(c.bytes, DctScale{1, 2});
    ASSERT_TRUE(half) << c.name;
    EXPECT_EQ(half->width, 8) << c.name;
    expectHalves(*half, c.left, c.right, c.name);
    EXPECT_TRUE(decodePicture(c.bytes)) << c.name;
  }
}

// TurboJPEG would use the fast DCT below quality 96.
TEST(JpegCodec, EncodesWithTheAccurateDct) {
  RgbImage src = test::syntheticPhoto(96, 64, 7);
  tjhandle tj = tjInitCompress();
  auto encodeWith = [&](int quality, int flags) {
    unsigned char* out = nullptr;
    unsigned long size = 0;
    tjCompress2(tj, src.pixels.data(), src.width, 0, src.height, TJPF_RGB, &out, &size, TJSAMP_420, quality, flags);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    tjFree(out);
    return bytes;
  };
  for (int quality : {30, 80, 95}) {
    const std::string ours = encodeJpeg(src, quality);
    EXPECT_EQ(ours, encodeWith(quality, TJFLAG_ACCURATEDCT)) << quality;
    EXPECT_NE(ours, encodeWith(quality, TJFLAG_FASTDCT)) << quality;
  }
  tjDestroy(tj);
}

TEST(PictureLoader, ReadsOnlyRegularFilesUpTo64Megabytes) {
  namespace fs = std::filesystem;
  const qm::test::TempFolder tmp("loader");
  const fs::path dir = tmp.path;
  ASSERT_EQ(::mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
  // Sparse files: the size is what counts, no disk space is taken.
  auto sized = [&](const char* name, std::uint64_t bytes) {
    std::ofstream(dir / name, std::ios::binary).close();
    fs::resize_file(dir / name, bytes);
    return (dir / name).string();
  };
  EXPECT_FALSE(readFileBytes((dir / "pipe.jpg").string())) << "a FIFO is not waited on";
  EXPECT_FALSE(readFileBytes(dir.string()));
  EXPECT_FALSE(readFileBytes(sized("over.jpg", kMaxPictureFileBytes + 1)));
  auto atCap = readFileBytes(sized("cap.jpg", kMaxPictureFileBytes));
  ASSERT_TRUE(atCap);
  EXPECT_EQ(atCap->size(), kMaxPictureFileBytes);
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
