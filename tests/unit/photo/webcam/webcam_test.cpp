#include <gtest/gtest.h>

#include "photo/image/jpeg_codec.h"
#include "photo/webcam/crop_selection.h"
#include "photo/webcam/fake_capture_device.h"
#include "photo/webcam/webcam_photo.h"

namespace qm::photo {
namespace {

// The pixels of frame inside [x, x + w) x [y, y + h), black outside the frame.
RgbImage cut(const RgbImage& frame, int x, int y, int w, int h) {
  RgbImage out(w, h);
  for (int j = 0; j < h; ++j)
    for (int i = 0; i < w; ++i)
      if (x + i >= 0 && x + i < frame.width && y + j >= 0 && y + j < frame.height)
        for (int k = 0; k < 3; ++k) out.row(j)[3 * i + k] = frame.row(y + j)[3 * (x + i) + k];
  return out;
}

TEST(CropSelection, DrawingInAnyDirectionAndPastThePicture) {
  CropSelection s;
  EXPECT_FALSE(s.forSave());
  s.press(300, 200);
  EXPECT_TRUE(s.shown());
  EXPECT_TRUE(s.drawing());
  EXPECT_EQ(s.rect().width, 0);
  s.move(100, 250);
  EXPECT_EQ(s.rect().left, 100);
  EXPECT_EQ(s.rect().top, 200);
  EXPECT_EQ(s.rect().width, 200);
  EXPECT_EQ(s.rect().height, 50);
  s.move(-40, -10);  // the pointer is captured: beyond the top left
  EXPECT_EQ(s.rect().left, -40);
  EXPECT_EQ(s.rect().top, -10);
  EXPECT_EQ(s.rect().width, 340);
  EXPECT_EQ(s.rect().height, 210);
  s.release();
  EXPECT_FALSE(s.drawing());
  s.move(0, 0);  // moves without a button change nothing
  EXPECT_EQ(s.rect().width, 340);
  ASSERT_TRUE(s.forSave());
}

TEST(CropSelection, PressInsideHidesPressOutsideStartsAgain) {
  CropSelection s;
  s.press(10, 10);
  s.move(110, 60);
  s.release();
  s.press(200, 200);  // outside: a new rectangle
  EXPECT_TRUE(s.drawing());
  EXPECT_EQ(s.rect().left, 200);
  s.move(250, 250);
  s.release();
  s.press(220, 220);  // inside: removed
  EXPECT_FALSE(s.shown());
  EXPECT_FALSE(s.drawing());
  EXPECT_FALSE(s.forSave());
  s.press(5, 5);  // a click without moving leaves an empty rectangle...
  s.release();
  EXPECT_TRUE(s.shown());
  s.press(5, 5);  // ...which no press can hit: it starts a new one
  EXPECT_TRUE(s.shown());
  EXPECT_TRUE(s.drawing());
}

TEST(WebcamOutput, RectangleMappedOntoFramesOfEitherSize) {
  const struct {
    int w, h;
    ShownRect rect;
    int x, y, outW, outH;  // equal source and output sizes: an exact copy
  } cases[] = {{640, 480, {100, 50, 200, 200}, 160, 80, 320, 320},
               {320, 240, {100, 50, 200, 200}, 80, 40, 160, 160},
               {640, 480, {0, 0, 450, 100}, 0, 0, 640, 160},
               {640, 480, {-50, -25, 100, 100}, -80, -40, 160, 160},
               {640, 480, {350, 250, 100, 100}, 560, 400, 160, 160}};
  for (const auto& c : cases) {
    RgbImage frame = FakeCaptureDevice::pattern(c.w, c.h, 3);
    RgbImage out = webcamOutput(frame, &c.rect);
    ASSERT_EQ(out.width, c.outW);
    ASSERT_EQ(out.height, c.outH);
    EXPECT_EQ(out.pixels, cut(frame, c.x, c.y, c.outW, c.outH).pixels) << c.rect.left << "," << c.rect.top;
  }
}

TEST(WebcamOutput, WholeFrameWithoutRectangleOrWithAnEmptyOne) {
  RgbImage frame = FakeCaptureDevice::pattern(640, 480, 1);
  EXPECT_EQ(webcamOutput(frame, nullptr).pixels, frame.pixels);
  ShownRect line{100, 100, 0, 80};
  RgbImage out = webcamOutput(frame, &line);
  EXPECT_EQ(out.width, 640);
  EXPECT_EQ(out.pixels, frame.pixels);
  EXPECT_TRUE(webcamOutput(RgbImage(), nullptr).empty());  // nothing captured: "请先拍照再保存！"
  EXPECT_TRUE(encodeWebcamPhoto(RgbImage(), &line).empty());
}

TEST(WebcamOutput, SavedPhotoIsAJpegOfTheOutputSize) {
  RgbImage frame = FakeCaptureDevice::pattern(320, 240, 2);
  ShownRect r{40, 30, 123, 77};
  std::string jpeg = encodeWebcamPhoto(frame, &r);
  auto back = decodeJpeg(jpeg);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->width, 98);   // round(123 * 0.8) = round(98.4)
  EXPECT_EQ(back->height, 62);  // round(77 * 0.8) = round(61.6)
}

TEST(FakeCamera, FormatsFramesAndConnectionRetries) {
  FakeCaptureDevice cam;
  EXPECT_FALSE(cam.grabFrame());
  ASSERT_TRUE(cam.setFormat({320, 240, 30, "YUYV"}));
  EXPECT_FALSE(cam.setFormat({333, 222, 30, "YUYV"}));
  std::vector<int> waits;
  cam.failNextStarts(4);
  EXPECT_TRUE(startWithRetries(cam, [&](int ms) { waits.push_back(ms); }));
  EXPECT_EQ(cam.startCalls(), 5);
  EXPECT_EQ(waits, (std::vector<int>(4, 200)));
  auto a = cam.grabFrame(), b = cam.grabFrame();
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->width, 320);
  EXPECT_NE(a->pixels, b->pixels);  // a live picture
  cam.stop();
  EXPECT_FALSE(cam.grabFrame());

  FakeCaptureDevice broken;
  broken.failNextStarts(100);
  waits.clear();
  EXPECT_FALSE(startWithRetries(broken, [&](int ms) { waits.push_back(ms); }));
  EXPECT_EQ(broken.startCalls(), 5);
  EXPECT_EQ(waits.size(), 5u);  // about one second in all
}

}  // namespace
}  // namespace qm::photo
