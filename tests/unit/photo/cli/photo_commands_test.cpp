#include "cli/photo_commands.h"

#include <gtest/gtest.h>
#include <sstream>

#include "photo/image/bmp_codec.h"
#include "photo/image/picture_format.h"
#include "photo/image/size_format.h"
#include "workbook/workbook_source.h"
#include "tests/unit/photo/batch/batch_fixture.h"

namespace qm::photo {
namespace {

struct Result {
  int status;
  std::string out, err;
};

Result photos(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = runPhotosCommand(args, out, err);
  return {status, out.str(), err.str()};
}

Result compress(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  int status = runCompressCommand(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(PhotosCommand, PrintsTheRunsLogAndWritesTheSameFiles) {
  test::BatchFolders f("cli_photos");
  test::writeFile(f.source / "1.jpg", test::cameraJpeg(1));
  test::writeFile(f.source / "3.JPG", test::cameraJpeg(3, 400, 400));
  test::writeFile(f.source / "4.jpg", "broken");
  const std::string list = (f.root / "list.xls").string();
  test::writeList(list, {{"照片号", "身份证件号"}, {"1", "A1"}, {"2", "A2"}, {"3", "A3"}, {"4", "A4"}, {"../1", "A5"}});

  Result r = photos({list, f.source.string(), f.target.string(), "--threads", "2"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");

  // The same run as the window makes it.
  std::filesystem::path windowTarget = f.root / "window";
  std::filesystem::create_directory(windowTarget);
  WorkbookSource source;
  openBatchList(source, list);
  test::RecordingListener log;
  std::atomic<bool> stop{false};
  BatchRunOptions options{f.source.string(), windowTarget.string(), 1, {}};
  runPhotoBatch(source, options, stop, log);
  EXPECT_EQ(splitLines(r.out), log.lines);
  EXPECT_EQ(log.lines.back(), "此次任务共有5张相片需要处理，其中2张处理成功，3张处理失败。");
  for (const char* name : {"A1.jpg", "A3.jpg"})
    EXPECT_EQ(test::readFile(f.target / name), test::readFile(windowTarget / name)) << name;
  EXPECT_EQ(test::listFolder(f.target).size(), 2u);

  Result inPlace = photos({list, f.source.string(), "--in-place", "--threads=1"});
  EXPECT_EQ(inPlace.status, 0);
  EXPECT_TRUE(std::filesystem::exists(f.source / "A1.jpg"));
}

TEST(PhotosCommand, UsageAndListErrorsEndWithStatusTwo) {
  test::BatchFolders f("cli_photos_errors");
  const std::string src = f.source.string(), dst = f.target.string();
  const std::string good = (f.root / "good.xls").string(), columns = (f.root / "columns.xls").string();
  test::writeList(good, {{"照片号", "身份证件号"}});
  test::writeList(columns, {{"照片号", "学籍号"}});
  test::writeFile(f.root / "junk.xls", "junk");

  const std::vector<std::vector<std::string>> usage = {
      {},
      {good, src},
      {good, src, dst, "--in-place"},
      {good, src, dst, "--threads", "0"},
      {good, src, dst, "--threads", "two"},
      {good, src, dst, "--threads", "1.5"},
      {good, src, dst, "--colour"},
      {good, (f.root / "nowhere").string(), dst},
      {good, src, (f.root / "nowhere").string()},
  };
  for (const auto& args : usage) {
    Result r = photos(args);
    EXPECT_EQ(r.status, 2) << (args.empty() ? "" : args.back());
    EXPECT_NE(r.err.find("--help"), std::string::npos);
    EXPECT_EQ(r.out, "");
  }

  Result junk = photos({(f.root / "junk.xls").string(), src, dst});
  EXPECT_EQ(junk.status, 2);
  EXPECT_NE(junk.err.find("选取的对应数据库有问题，不能打开或识别！"), std::string::npos);
  Result missing = photos({columns, src, dst});
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.err.find("    数据库可能没有“照片号”和“身份证件号”\n两个字段或名称有差别，任务不能进行！"),
            std::string::npos);
  EXPECT_EQ(missing.out, "");

  Result help = photos({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: quillmere-batch photos"), std::string::npos);
}

class CompressCommand : public ::testing::Test {
 protected:
  test::BatchFolders f{"cli_compress"};
  std::string picture = (f.source / "p.jpg").string();
  void SetUp() override { test::writeFile(picture, test::cameraJpeg(4)); }
  RgbImage writtenImage(const std::string& path) { return decodeJpeg(test::readFile(path)).value(); }
};

TEST_F(CompressCommand, PrintsPredictedAndWrittenSize) {
  std::string out = (f.target / "o.jpg").string();
  Result r = compress({picture, "--keep-ratio", "--width", "320", "--quality", "60", "--output", out});
  ASSERT_EQ(r.status, 0) << r.err;
  auto size = std::filesystem::file_size(out);
  EXPECT_EQ(r.out, formatKb(size) + "\n" + formatKb(size) + "\n");
  RgbImage img = writtenImage(out);
  EXPECT_EQ(img.width, 320);
  EXPECT_EQ(img.height, 240);

  Result tall = compress({picture, "--keep-ratio", "--height=120", "--output", out});
  ASSERT_EQ(tall.status, 0);
  EXPECT_EQ(writtenImage(out).width, 160);
}

TEST_F(CompressCommand, ValuesAreClampedAsTheWindowClampsThem) {
  std::string a = (f.target / "a.jpg").string(), b = (f.target / "b.jpg").string();
  ASSERT_EQ(compress({picture, "--width", "5000", "--height", "0", "--quality", "0", "--output", a}).status, 0);
  RgbImage img = writtenImage(a);
  EXPECT_EQ(img.width, 640);
  EXPECT_EQ(img.height, 1);
  ASSERT_EQ(compress({picture, "--width", "640", "--height", "1", "--quality", "1", "--output", b}).status, 0);
  EXPECT_EQ(test::readFile(a), test::readFile(b));
  // Defaults: the picture's size at quality 100.
  ASSERT_EQ(compress({picture, "--output", a}).status, 0);
  EXPECT_EQ(writtenImage(a).width, 640);
  ASSERT_EQ(compress({picture, "--quality", "100", "--width", "640", "--output", b}).status, 0);
  EXPECT_EQ(test::readFile(a), test::readFile(b));
}

TEST_F(CompressCommand, InPlaceOverABitmapAndTheFailures) {
  std::string bmp = (f.source / "scan.bmp").string();
  test::writeFile(bmp, encodeBmp(test::syntheticPhoto(300, 200, 5)));
  ASSERT_EQ(compress({bmp, "--width", "150", "--height", "100", "--in-place"}).status, 0);
  EXPECT_EQ(sniffPictureFormat(test::readFile(bmp)), PictureFormat::Jpeg);
  EXPECT_EQ(compress({bmp, "--in-place"}).status, 0);  // opens again by its content

  std::string out = (f.target / "o.jpg").string();
  const std::vector<std::vector<std::string>> usage = {
      {},
      {picture},
      {picture, "--output", out, "--in-place"},
      {picture, "--keep-ratio", "--output", out},
      {picture, "--keep-ratio", "--width", "10", "--height", "10", "--output", out},
      {picture, "--width", "12px", "--output", out},
      {picture, picture, "--output", out},
  };
  for (const auto& args : usage) {
    Result r = compress(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--help"), std::string::npos);
  }
  test::writeFile(f.source / "x.jpg", "not a picture");
  Result unreadable = compress({(f.source / "x.jpg").string(), "--output", out});
  EXPECT_EQ(unreadable.status, 2);
  EXPECT_NE(unreadable.err.find("对不起，您选择的图片文件的格式无法识别！"), std::string::npos);
  Result unwritable = compress({picture, "--output", (f.root / "none" / "o.jpg").string()});
  EXPECT_EQ(unwritable.status, 2);
  EXPECT_NE(unwritable.err.find("保存失败，请重试或检查磁盘权限！"), std::string::npos);
  EXPECT_EQ(unwritable.out, "");
}

}  // namespace
}  // namespace qm::photo
