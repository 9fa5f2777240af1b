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
  auto atOnce = [&](int ms, std::function<void()> then) {
    waits.push_back(ms);
    then();
  };
  std::vector<bool> outcomes;
  auto outcome = [&](bool ok) { outcomes.push_back(ok); };
  cam.failNextStarts(4);
  startWithRetries(cam, atOnce, outcome);
  EXPECT_EQ(outcomes, std::vector<bool>{true});
  EXPECT_EQ(cam.startCalls(), 5);
  EXPECT_EQ(waits, (std::vector<int>(4, 200)));
  EXPECT_EQ(cam.pictureSettings().size(), 3u);
  auto a = cam.grabFrame(), b = cam.grabFrame();
  ASSERT_TRUE(a && b);
  EXPECT_EQ(a->width, 320);
  EXPECT_NE(a->pixels, b->pixels);  // a live picture
  cam.stop();
  EXPECT_FALSE(cam.grabFrame());

  FakeCaptureDevice broken;
  broken.failNextStarts(100);
  waits.clear();
  outcomes.clear();
  startWithRetries(broken, atOnce, outcome);
  EXPECT_EQ(outcomes, std::vector<bool>{false});
  EXPECT_EQ(broken.startCalls(), 5);
  EXPECT_EQ(waits.size(), 5u);  // about one second in all
}

// A camera that another program holds takes the start and reports its error
// afterwards: each try waits for that answer, and only the answer counts.
TEST(FakeCamera, RetriesFollowTheAnswerNotTheStartCall) {
  FakeCaptureDevice cam;
  cam.answerStartsLater();
  cam.failNextStarts(2);
  std::vector<std::function<void()>> timers;
  std::vector<bool> outcomes;
  startWithRetries(
      cam,
      [&](int ms, std::function<void()> then) {
        EXPECT_EQ(ms, 200);
        timers.push_back(then);
      },
      [&](bool ok) { outcomes.push_back(ok); });
  EXPECT_EQ(cam.startCalls(), 1);
  EXPECT_TRUE(cam.startPending());
  EXPECT_TRUE(outcomes.empty());  // no answer yet: neither success nor a retry
  EXPECT_TRUE(timers.empty());
  for (int i = 0; i < 2; ++i) {
    cam.finishStart(true);  // the error the fake was told to give
    ASSERT_EQ(timers.size(), size_t(i + 1));
    EXPECT_FALSE(cam.isActive());
    timers.back()();
    EXPECT_EQ(cam.startCalls(), i + 2);
  }
  EXPECT_TRUE(outcomes.empty());
  cam.finishStart(true);
  EXPECT_EQ(outcomes, std::vector<bool>{true});
  EXPECT_TRUE(cam.isActive());
  EXPECT_EQ(timers.size(), 2u);
}

}  // namespace
}  // namespace qm::photo

#include <linux/videodev2.h>

#include <map>

#include "photo/webcam/v4l2_controls.h"

namespace qm::photo {
namespace {

// The control interface of a V4L2 node, without hardware.
struct FakePort : ControlPort {
  struct Control {
    ControlRange range;
    int value;
  };
  std::map<std::uint32_t, Control> controls;
  std::vector<std::pair<std::uint32_t, int>> sets;
  bool refuseSets = false;
  std::optional<ControlRange> query(std::uint32_t id) override {
    auto it = controls.find(id);
    if (it == controls.end()) return std::nullopt;
    return it->second.range;
  }
  std::optional<int> get(std::uint32_t id) override {
    auto it = controls.find(id);
    if (it == controls.end()) return std::nullopt;
    return it->second.value;
  }
  bool set(std::uint32_t id, int value) override {
    sets.push_back({id, value});
    if (refuseSets || !controls.count(id)) return false;
    controls[id].value = value;
    return true;
  }
};

TEST(V4l2Controls, DevicePathFromTheCameraId) {
  const struct {
    const char* id;
    std::optional<std::string> path;
  } cases[] = {{"/dev/video0", "/dev/video0"}, {"/dev/video12", "/dev/video12"}, {"/dev/video", std::nullopt},
               {"/dev/video0/../../etc/passwd", std::nullopt}, {"/dev/videox", std::nullopt},
               {"v4l2:/dev/video0", std::nullopt}, {"", std::nullopt}, {"/dev/video12345", std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(v4l2DevicePath(c.id), c.path) << c.id;
}

TEST(V4l2Controls, BrightnessAndContrastAsTheDriverHasThem) {
  auto port = std::make_unique<FakePort>();
  FakePort* p = port.get();
  p->controls[V4L2_CID_BRIGHTNESS] = {{-64, 64, 1, true}, 0};
  p->controls[V4L2_CID_CONTRAST] = {{0, 100, 10, true}, 40};
  V4l2PictureControls controls(std::move(port));
  EXPECT_EQ(controls.settings(), (std::vector<PictureSetting>{{"brightness", "亮度", -64, 64, 1, 0},
                                                              {"contrast", "对比度", 0, 100, 10, 40}}));
  const struct {
    const char* key;
    int value;
    bool ok;
    std::uint32_t id;
    int sent;
  } cases[] = {{"brightness", 12, true, V4L2_CID_BRIGHTNESS, 12},
               {"brightness", 500, true, V4L2_CID_BRIGHTNESS, 64},  // brought into the range
               {"contrast", 44, true, V4L2_CID_CONTRAST, 40},       // to the driver's step
               {"contrast", 46, true, V4L2_CID_CONTRAST, 50},
               {"contrast", -5, true, V4L2_CID_CONTRAST, 0}};
  for (const auto& c : cases) {
    p->sets.clear();
    EXPECT_EQ(controls.set(c.key, c.value), c.ok) << c.key << " " << c.value;
    EXPECT_EQ(p->sets, (std::vector<std::pair<std::uint32_t, int>>{{c.id, c.sent}})) << c.key << " " << c.value;
  }
  p->sets.clear();
  EXPECT_FALSE(controls.set("exposureTime", 5));  // not a V4L2 setting of ours
  EXPECT_TRUE(p->sets.empty());
  p->refuseSets = true;
  EXPECT_FALSE(controls.set("brightness", 1));
}

TEST(V4l2Controls, MissingOrLockedControlsAreLeftOut) {
  auto port = std::make_unique<FakePort>();
  FakePort* p = port.get();
  p->controls[V4L2_CID_CONTRAST] = {{0, 100, 1, false}, 50};  // inactive
  V4l2PictureControls controls(std::move(port));
  EXPECT_TRUE(controls.settings().empty());
  EXPECT_FALSE(controls.set("contrast", 10));
  EXPECT_FALSE(controls.set("brightness", 10));
  EXPECT_TRUE(p->sets.empty());

  V4l2PictureControls none(nullptr);  // the node could not be opened
  EXPECT_TRUE(none.settings().empty());
  EXPECT_FALSE(none.set("brightness", 1));
  EXPECT_FALSE(openV4l2Port("/dev/video-none"));
  // A device node that is no camera answers no control query.
  auto notACamera = openV4l2Port("/dev/null");
  ASSERT_TRUE(notACamera);
  EXPECT_FALSE(notACamera->query(V4L2_CID_BRIGHTNESS));
  EXPECT_TRUE(V4l2PictureControls(std::move(notACamera)).settings().empty());
}

}  // namespace
}  // namespace qm::photo
