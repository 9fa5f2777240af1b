#include "photo/compress/compress_model.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

#include "photo/image/bmp_codec.h"
#include "photo/image/jpeg_codec.h"
#include "photo/image/picture_format.h"
#include "photo/image/size_format.h"
#include "tests/unit/photo/synthetic_photo.h"
#include "tests/support/temp_folder.h"

namespace qm::photo {
namespace {

namespace fs = std::filesystem;

class CompressModelTest : public ::testing::Test {
 protected:
  qm::test::TempFolder tmp{"compress"};
  fs::path dir = tmp.path;
  std::string put(const std::string& name, const std::string& bytes) { return tmp.write(name, bytes); }
  static std::string read(const std::string& path) { return qm::test::readFile(path); }
  std::string jpeg640() { return put("photo.jpg", encodeJpeg(test::syntheticPhoto(640, 480, 1), 90)); }
};

TEST_F(CompressModelTest, OpeningShowsThePicture) {
  std::string path = jpeg640();
  CompressModel m;
  ASSERT_TRUE(m.open(path));
  EXPECT_EQ(m.fileNameText(), "photo.jpg");
  EXPECT_EQ(m.pixelSizeText(), "640*480");
  EXPECT_EQ(m.fileSizeText(), formatKb(fs::file_size(path)));
  EXPECT_EQ(m.widthBox().shown(), 640);
  EXPECT_EQ(m.widthBox().maximum(), 640);
  EXPECT_EQ(m.heightBox().shown(), 480);
  EXPECT_EQ(m.heightBox().maximum(), 480);
  EXPECT_DOUBLE_EQ(m.aspectRatio(), 640.0 / 480);
  EXPECT_EQ(m.quality(), 80);
}

TEST_F(CompressModelTest, KeepingProportionsFollowsEitherBox) {
  CompressModel m;
  ASSERT_TRUE(m.open(jpeg640()));
  m.setWidth(320);
  EXPECT_EQ(m.heightBox().shown(), 240);
  m.setHeight(120);
  EXPECT_EQ(m.widthBox().shown(), 160);
  m.setKeepRatio(false);
  m.setWidth(500);
  EXPECT_EQ(m.heightBox().shown(), 120);  // independent now
  m.setHeight(77);
  EXPECT_EQ(m.widthBox().shown(), 500);
  m.setKeepRatio(true);  // checking it again sets the height from the width
  EXPECT_EQ(m.widthBox().shown(), 500);
  EXPECT_EQ(m.heightBox().shown(), 375);
}

TEST_F(CompressModelTest, BoxesStayInRangeAndRoundHalfToEven) {
  CompressModel m;
  ASSERT_TRUE(m.open(jpeg640()));
  m.setKeepRatio(false);
  const struct {
    double typed;
    int shown;
  } cases[] = {{1000, 640}, {0, 1}, {-5, 1}, {320.5, 320}, {321.5, 322}, {99.4, 99}};
  for (const auto& c : cases) {
    m.setWidth(c.typed);
    EXPECT_EQ(m.widthBox().shown(), c.shown) << c.typed;
  }
  m.setKeepRatio(true);
  m.setWidth(10000);  // both clamped to the picture
  EXPECT_EQ(m.widthBox().shown(), 640);
  EXPECT_EQ(m.heightBox().shown(), 480);
  m.setHeight(0.2);
  EXPECT_EQ(m.heightBox().shown(), 1);
  EXPECT_EQ(m.widthBox().shown(), 1);
}

TEST_F(CompressModelTest, AwkwardRatiosSettleWithoutEndlessBackAndForth) {
  // 7 x 3: every width gives a fractional height and back.
  CompressModel m;
  ASSERT_TRUE(m.open(put("odd.bmp", encodeBmp(test::randomImage(700, 300, 1)))));
  for (int w = 3; w <= 700; w += 37) {
    m.setWidth(w);
    EXPECT_EQ(m.widthBox().shown(), w);
    EXPECT_NEAR(m.heightBox().value(), w * 3.0 / 7.0, 1e-9);
  }
  // A width of 1 needs a height below the box's minimum: the height stays 1
  // and the width follows it to round(7 / 3) = 2, where both settle.
  m.setWidth(1);
  EXPECT_EQ(m.heightBox().shown(), 1);
  EXPECT_EQ(m.widthBox().shown(), 2);
  for (int h = 1; h <= 300; h += 29) {
    m.setHeight(h);
    EXPECT_EQ(m.heightBox().shown(), h);
  }
}

TEST_F(CompressModelTest, OpeningAnotherPictureShowsItsOwnSize) {
  CompressModel m;
  ASSERT_TRUE(m.open(put("tall.jpg", encodeJpeg(test::syntheticPhoto(300, 600, 2), 90))));
  ASSERT_TRUE(m.open(jpeg640()));  // the previous ratio must not bend the new boxes
  EXPECT_EQ(m.widthBox().shown(), 640);
  EXPECT_EQ(m.heightBox().shown(), 480);
}

TEST_F(CompressModelTest, UnreadablePictureResetsTheTool) {
  CompressModel m;
  ASSERT_TRUE(m.open(jpeg640()));
  m.setQuality(35);
  EXPECT_FALSE(m.open(put("fake.jpg", "GIF89a not a jpeg")));
  EXPECT_FALSE(m.hasPicture());
  EXPECT_EQ(m.aspectRatio(), 0);
  EXPECT_EQ(m.quality(), 100);
  EXPECT_EQ(m.widthBox().shown(), 1);
  EXPECT_EQ(m.heightBox().shown(), 1);
  EXPECT_EQ(m.fileNameText(), "");
  EXPECT_EQ(m.pixelSizeText(), "");
  EXPECT_EQ(m.fileSizeText(), "");
  EXPECT_FALSE(m.predictSize());
  EXPECT_FALSE(m.open((dir / "absent.jpg").string()));
  m.setWidth(50);  // no ratio: nothing follows
  EXPECT_EQ(m.heightBox().shown(), 1);
}

TEST_F(CompressModelTest, PredictionMatchesTheSaveAndWritesNothing) {
  CompressModel m;
  ASSERT_TRUE(m.open(jpeg640()));
  m.setWidth(320);
  m.setQuality(1);
  auto small = m.predictSize();
  m.setQuality(100);
  auto large = m.predictSize();
  ASSERT_TRUE(small && large);
  EXPECT_LT(*small, *large);
  EXPECT_EQ(fs::directory_iterator(dir) != fs::directory_iterator(), true);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);  // only photo.jpg

  std::string out = (dir / "out.jpg").string();
  CompressSaveResult r = m.saveAs(out);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.size, *large);
  EXPECT_EQ(fs::file_size(out), *large);
  EXPECT_EQ(r.message, std::string("压缩另存为成功！新的文件大小为") + formatKb(*large));
  auto written = decodeJpeg(read(out));
  ASSERT_TRUE(written);
  EXPECT_EQ(written->width, 320);
  EXPECT_EQ(written->height, 240);
  EXPECT_EQ(m.pixelSizeText(), "640*480");  // still the opened picture
}

TEST_F(CompressModelTest, SavingOverABitmapWritesJpegThatOpensAgain) {
  std::string path = put("scan.bmp", encodeBmp(test::syntheticPhoto(400, 300, 3)));
  CompressModel m;
  ASSERT_TRUE(m.open(path));
  m.setWidth(200);
  m.setQuality(70);
  CompressSaveResult first = m.saveInPlace();
  ASSERT_TRUE(first.ok) << first.message;
  EXPECT_EQ(first.message, std::string("压缩保存成功！新的文件大小为") + formatKb(first.size));
  EXPECT_EQ(sniffPictureFormat(read(path)), PictureFormat::Jpeg);
  EXPECT_EQ(m.pixelSizeText(), "200*150");  // reopened from the written file
  EXPECT_EQ(m.widthBox().maximum(), 200);
  EXPECT_EQ(m.fileNameText(), "scan.bmp");
  EXPECT_EQ(m.quality(), 70);
  std::string once = read(path);
  CompressSaveResult second = m.saveInPlace();  // compresses the compressed picture again
  ASSERT_TRUE(second.ok);
  EXPECT_NE(read(path), once);
}

TEST_F(CompressModelTest, WriteFailureKeepsEverything) {
  CompressModel m;
  ASSERT_TRUE(m.open(jpeg640()));
  CompressSaveResult r = m.saveAs((dir / "no such folder" / "x.jpg").string());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "保存失败，请重试或检查磁盘权限！");
  EXPECT_TRUE(m.hasPicture());
  EXPECT_EQ(m.widthBox().shown(), 640);
}

}  // namespace
}  // namespace qm::photo
