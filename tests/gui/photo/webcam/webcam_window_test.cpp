// TForm5 on a fake camera: the retries, the preview, freezing a frame at the
// camera's size, the crop rectangle drawn with the mouse, and what a save writes.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSlider>
#include <QMouseEvent>
#include <QPushButton>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

#include "common/ui/scripted_prompts.h"
#include "photo/image/jpeg_codec.h"
#include "photo/webcam/fake_capture_device.h"
#include "photo/webcam/frame_view.h"
#include "photo/webcam/picture_settings_dialog.h"
#include "photo/webcam/webcam_window.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using photo::FakeCaptureDevice;
using photo::RgbImage;

struct WebcamWindow : ::testing::Test {
  const test::TempFolder tmp{"webcam_window"};
  const fs::path dir = tmp.path;
  ScriptedPrompts prompts;
  FakeCaptureDevice* camera = nullptr;
  std::vector<int> waits;
  std::unique_ptr<TForm5> form;

  void TearDown() override { form.reset(); }

  // Retries run at once unless held: then they wait in `due` until run.
  bool holdRetries = false;
  std::vector<std::function<void()>> due;

  void open(int failingStarts = 0, bool answerLater = false) {
    auto device = std::make_unique<FakeCaptureDevice>();
    device->failNextStarts(failingStarts);
    if (answerLater) device->answerStartsLater();
    camera = device.get();
    form = std::make_unique<TForm5>(prompts, std::move(device), nullptr, [this](int ms, std::function<void()> then) {
      waits.push_back(ms);
      if (holdRetries) {
        due.push_back(std::move(then));
      } else {
        then();
      }
    });
  }

  void mouse(QEvent::Type type, int x, int y) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(x, y), form->Image1->mapToGlobal(QPointF(x, y)), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(form->Image1, &event);
  }
  void drag(int x0, int y0, int x1, int y1) {
    mouse(QEvent::MouseButtonPress, x0, y0);
    mouse(QEvent::MouseMove, (x0 + x1) / 2, (y0 + y1) / 2);
    mouse(QEvent::MouseMove, x1, y1);
    mouse(QEvent::MouseButtonRelease, x1, y1);
  }

  // Saves through the window and decodes what it wrote.
  std::optional<RgbImage> save(const std::string& name) {
    const fs::path path = dir / name;
    prompts.fileNames.push_back(QString::fromStdString(path.string()));
    form->Button4->click();
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return photo::decodeJpeg(bytes);
  }
};

// Mean absolute difference of out against the frame's pixels at (x0, y0).
double differenceFrom(const RgbImage& out, const RgbImage& frame, int x0, int y0) {
  double sum = 0;
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width * 3; ++x) sum += std::abs(int(out.row(y)[x]) - int(frame.row(y + y0)[x + x0 * 3]));
  return sum / (double(out.width) * out.height * 3);
}

TEST_F(WebcamWindow, FiveFailedStartsShowTheMessageAndLeaveNoPreview) {
  open(5);
  EXPECT_EQ(camera->startCalls(), 5);
  EXPECT_EQ(waits, std::vector<int>(5, 200));
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("连接摄像头失败")});
  EXPECT_FALSE(form->connected());
  form->Button2->click();
  EXPECT_TRUE(form->frozenFrame().empty());
  EXPECT_EQ(camera->framesGrabbed(), 0);
}

TEST_F(WebcamWindow, FourthFailureStillConnects) {
  open(4);
  EXPECT_EQ(camera->startCalls(), 5);
  EXPECT_EQ(waits.size(), 4u);
  EXPECT_TRUE(prompts.messages().isEmpty());
  EXPECT_TRUE(form->connected());
}

// A busy camera takes the start and reports its error later: the window
// waits for each answer, and the message comes after the fifth.
TEST_F(WebcamWindow, ABusyCameraFailsByItsAnswersNotByItsStart) {
  holdRetries = true;
  open(5, true);
  EXPECT_EQ(camera->startCalls(), 1);
  EXPECT_FALSE(form->connected());
  for (int i = 1; i <= 5; ++i) {
    EXPECT_TRUE(prompts.messages().isEmpty()) << i;
    ASSERT_TRUE(camera->startPending()) << i;
    camera->finishStart(true);  // answered with the error the fake holds
    ASSERT_EQ(due.size(), size_t(i));
    due.back()();
    EXPECT_EQ(camera->startCalls(), std::min(i + 1, 5));
  }
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("连接摄像头失败")});
  EXPECT_EQ(waits, std::vector<int>(5, 200));
  EXPECT_FALSE(form->connected());
}

TEST_F(WebcamWindow, ClosedBeforeTheCameraAnswersNothingMoreHappens) {
  holdRetries = true;
  open(1, true);
  camera->finishStart(true);  // the first try fails; a retry is due
  ASSERT_EQ(due.size(), 1u);
  form->Button1->click();
  due.back()();
  EXPECT_EQ(camera->startCalls(), 1);
  EXPECT_TRUE(prompts.messages().isEmpty());
  EXPECT_FALSE(form->connected());
}

// "调节画质" opens the camera's picture settings, "调节分辨率" its formats.
TEST_F(WebcamWindow, PictureSettingsAndFormatsAreTwoDialogs) {
  open();
  std::vector<photo::PictureSetting> shown;
  int formatLists = 0;
  form->chooseFormat = [&](const std::vector<photo::CaptureFormat>&, const photo::CaptureFormat&) {
    ++formatLists;
    return std::optional<photo::CaptureFormat>();
  };
  form->editSettings = [&](const std::vector<photo::PictureSetting>& settings,
                           const std::function<void(const std::string&, int)>& apply) {
    shown = settings;
    apply("brightness", 20);
    apply("contrast", 500);  // past the range: the camera brings it in
  };
  form->Button3->click();
  EXPECT_EQ(formatLists, 0);
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].key, "brightness");
  EXPECT_EQ(shown[0].label, "亮度");
  const auto now = camera->pictureSettings();
  EXPECT_EQ(now[0].value, 20);
  EXPECT_EQ(now[1].value, 95);
  shown.clear();
  form->Button5->click();
  EXPECT_EQ(formatLists, 1);
  EXPECT_TRUE(shown.empty());
}

TEST_F(WebcamWindow, PictureSettingsDialogSendsEachChange) {
  open();
  std::vector<std::pair<std::string, int>> sent;
  PictureSettingsDialog dialog(form.get(), QStringLiteral("Fake camera"), camera->pictureSettings(),
                               [&](const std::string& key, int value) { sent.push_back({key, value}); });
  auto* brightness = dialog.findChild<QSlider*>("brightness");
  auto* contrast = dialog.findChild<QSlider*>("contrast");
  auto* autoExposure = dialog.findChild<QCheckBox*>("autoExposure");
  ASSERT_TRUE(brightness && contrast && autoExposure);
  EXPECT_EQ(brightness->minimum(), -64);
  EXPECT_EQ(brightness->maximum(), 64);
  EXPECT_EQ(contrast->value(), 30);
  EXPECT_TRUE(autoExposure->isChecked());
  EXPECT_EQ(autoExposure->text(), QStringLiteral("自动曝光"));
  brightness->setValue(-10);
  autoExposure->click();
  EXPECT_EQ(sent, (std::vector<std::pair<std::string, int>>{{"brightness", -10}, {"autoExposure", 0}}));
  EXPECT_EQ(dialog.findChild<QPushButton*>("closeButton")->text(), QStringLiteral("关闭"));
}

TEST_F(WebcamWindow, ACameraWithoutPictureSettingsSaysSo) {
  struct Plain : FakeCaptureDevice {
    std::vector<photo::PictureSetting> pictureSettings() override { return {}; }
  };
  form = std::make_unique<TForm5>(prompts, std::make_unique<Plain>(), nullptr,
                                  [](int, std::function<void()> then) { then(); });
  bool edited = false;
  form->editSettings = [&](const auto&, const auto&) { edited = true; };
  form->Button3->click();
  EXPECT_FALSE(edited);
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("此摄像头没有可调节的画质设置。")});
}

TEST_F(WebcamWindow, PreviewShowsLiveFramesInTheFourHundredByThreeHundredArea) {
  open();
  EXPECT_EQ(form->Panel3->geometry(), QRect(16, 16, 400, 300));
  form->refreshPreview();
  const int grabbed = camera->framesGrabbed();
  ASSERT_GT(grabbed, 0);
  EXPECT_EQ(form->Panel3->pixmap().size(), QSize(400, 300));
  form->refreshPreview();
  EXPECT_GT(camera->framesGrabbed(), grabbed);  // live: every refresh takes a new frame
}

TEST_F(WebcamWindow, SaveBeforeCaptureAsksNothingAndWritesNothing) {
  open();
  EXPECT_FALSE(save("none.jpg"));
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("请先拍照再保存！")});
  for (const auto& p : prompts.log) EXPECT_NE(p.kind, RecordedPrompt::SaveFile);
}

TEST_F(WebcamWindow, CropDraggedWithTheMouseIsSavedWithTheFramesScale) {
  open();
  form->Button2->click();
  const RgbImage frame = form->frozenFrame();
  ASSERT_EQ(frame.width, 640);
  ASSERT_EQ(frame.height, 480);

  drag(100, 50, 300, 250);
  const auto& r = form->selection().rect();
  EXPECT_EQ((std::array{r.left, r.top, r.width, r.height}), (std::array{100, 50, 200, 200}));
  EXPECT_FALSE(form->Shape1->isHidden());
  EXPECT_EQ(form->Shape1->geometry(), QRect(100, 50, 200, 200));

  auto out = save("crop.jpg");
  ASSERT_TRUE(out);
  EXPECT_EQ(out->width, 320);  // rx = ry = 1.6: from (160, 80) to (480, 400)
  EXPECT_EQ(out->height, 320);
  EXPECT_LT(differenceFrom(*out, frame, 160, 80), 2.0);
  EXPECT_GT(differenceFrom(*out, frame, 150, 80), 5.0);  // a crop off by ten pixels is told apart
  EXPECT_TRUE(prompts.messages().isEmpty());

  // A press inside the rectangle removes it: the whole frame at its own size.
  mouse(QEvent::MouseButtonPress, 150, 100);
  mouse(QEvent::MouseButtonRelease, 150, 100);
  EXPECT_TRUE(form->Shape1->isHidden());
  out = save("whole.jpg");
  ASSERT_TRUE(out);
  EXPECT_EQ(out->width, 640);
  EXPECT_EQ(out->height, 480);
  EXPECT_LT(differenceFrom(*out, frame, 0, 0), 2.0);
}

TEST_F(WebcamWindow, RectanglePastTheRightEdgeIsSavedFourHundredWide) {
  open();
  form->Button2->click();
  drag(0, 0, 450, 100);
  EXPECT_EQ(form->selection().rect().width, 450);
  const auto out = save("wide.jpg");
  ASSERT_TRUE(out);
  EXPECT_EQ(out->width, 640);
  EXPECT_EQ(out->height, 160);
}

TEST_F(WebcamWindow, ChosenFormatSetsTheSizeOfLaterFrames) {
  open();
  std::vector<photo::CaptureFormat> offered;
  form->chooseFormat = [&](const std::vector<photo::CaptureFormat>& formats, const photo::CaptureFormat&) {
    offered = formats;
    return std::optional(photo::CaptureFormat{320, 240, formats.back().framesPerSecond, formats.back().pixelFormat});
  };
  form->Button5->click();
  EXPECT_EQ(offered, camera->formats());
  form->Button2->click();
  const RgbImage frame = form->frozenFrame();
  ASSERT_EQ(frame.width, 320);
  ASSERT_EQ(frame.height, 240);

  drag(100, 50, 300, 250);
  const auto out = save("small.jpg");
  ASSERT_TRUE(out);
  EXPECT_EQ(out->width, 160);  // rx = ry = 0.8: from (80, 40) to (240, 200)
  EXPECT_EQ(out->height, 160);
}

TEST_F(WebcamWindow, UnwritableTargetShowsTheWriteFailure) {
  open();
  form->Button2->click();
  prompts.fileNames.push_back(QString::fromStdString((dir / "missing" / "x.jpg").string()));
  form->Button4->click();
  EXPECT_EQ(prompts.messages(), QStringList{QStringLiteral("保存失败，请检查权限！")});
}

TEST_F(WebcamWindow, ClosingStopsTheCamera) {
  open();
  ASSERT_TRUE(camera->isActive());
  form->Button1->click();
  EXPECT_FALSE(camera->isActive());
}

}  // namespace
}  // namespace qm

#include <QTimer>

#include "photo/webcam/webcam_controller.h"
#include "tests/gui/app/window_host_stub.h"

namespace qm {
namespace {

// "拍照" and F3 open a new modal TForm5 on the system's camera; where there
// is none, the window says so after its tries and stays open.
TEST(WebcamController, ButtonOpensANewModalWindowEachTime) {
  test::WindowHostStub host;
  auto* controller = new WebcamController(host);
  QPushButton* button = host.button("FlatButton17");
  ASSERT_TRUE(button);
  EXPECT_EQ(button->text(), QStringLiteral("拍照"));
  EXPECT_EQ(host.keys["FlatButton17"], QKeySequence(Qt::Key_F3));
  QWidget* seen = nullptr;
  QTimer::singleShot(0, [&] {
    seen = QApplication::activeModalWidget();
    EXPECT_EQ(seen, controller->form());
    if (controller->form()) controller->form()->Button1->click();
  });
  button->click();
  EXPECT_TRUE(seen);
  EXPECT_EQ(controller->form(), nullptr);
  for (const QString& m : host.scripted.messages()) EXPECT_EQ(m, QStringLiteral("连接摄像头失败"));
}

}  // namespace
}  // namespace qm
