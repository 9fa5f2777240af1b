#include "photo/webcam/webcam_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "common/atomic_file.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "photo/webcam/format_chooser.h"
#include "photo/webcam/frame_view.h"
#include "photo/webcam/picture_settings_dialog.h"
#include "photo/webcam/webcam_photo.h"

namespace qm {

namespace {

constexpr int kViewWidth = 400, kViewHeight = 300;
constexpr int kPreviewMs = 66;  // about 15 frames a second

QImage toQImage(const photo::RgbImage& image) {
  return QImage(image.pixels.data(), image.width, image.height, int(image.stride()), QImage::Format_RGB888)
      .copy();
}

QPushButton* button(QWidget* parent, const QString& caption, const char* name, int y) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(name);
  b->setGeometry(432, y, 88, 30);
  return b;
}

}  // namespace

TForm5::TForm5(Prompts& prompts, std::unique_ptr<photo::CaptureDevice> device, QWidget* parent, Later later)
    : QDialog(parent), prompts_(prompts), device_(std::move(device)) {
  setObjectName("TForm5");
  setWindowTitle(QStringLiteral("摄像头拍照(测试）"));
  buildControls();
  previewTimer_ = new QTimer(this);
  previewTimer_->setInterval(kPreviewMs);
  connect(previewTimer_, &QTimer::timeout, this, &TForm5::refreshPreview);
  chooseFormat = [this](const std::vector<photo::CaptureFormat>& formats, const photo::CaptureFormat& current) {
    return chooseCaptureFormat(this, QString::fromStdString(device_->name()), formats, current);
  };
  editSettings = [this](const std::vector<photo::PictureSetting>& settings,
                        const std::function<void(const std::string&, int)>& apply) {
    PictureSettingsDialog dialog(this, QString::fromStdString(device_->name()), settings, apply);
    dialog.exec();
  };
  if (!later)
    later = [this](int ms, std::function<void()> then) { QTimer::singleShot(ms, this, std::move(then)); };
  FormCreate(std::move(later));
}

TForm5::~TForm5() { disconnectDevice(); }

void TForm5::buildControls() {
  setFixedSize(534, 628);
  Panel3 = new QLabel(QStringLiteral("摄像头画面预览区"), this);
  Panel3->setObjectName("Panel3");
  Panel3->setGeometry(16, 16, kViewWidth, kViewHeight);
  Panel3->setAlignment(Qt::AlignCenter);
  Panel3->setFrameShape(QFrame::Box);
  Panel1 = new QLabel(QStringLiteral("照片处理区"), this);
  Panel1->setObjectName("Panel1");
  Panel1->setGeometry(16, 320, 401, kViewHeight);
  Image1 = new FrameView(Panel1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(0, 0, kViewWidth, kViewHeight);
  Image1->pressed = [this](int x, int y) { Image1MouseDown(x, y); };
  Image1->moved = [this](int x, int y) { Image1MouseMove(x, y); };
  Image1->released = [this] { Image1MouseUp(); };
  Shape1 = new RectOutline(Panel1);
  Shape1->setObjectName("Shape1");
  Shape1->hide();

  Button3 = button(this, QStringLiteral("调节画质"), "Button3", 40);
  Button5 = button(this, QStringLiteral("调节分辨率"), "Button5", 90);
  Button2 = button(this, QStringLiteral("拍  照"), "Button2", 340);
  Button2->setDefault(true);
  Button4 = button(this, QStringLiteral("保  存"), "Button4", 400);
  Button1 = button(this, QStringLiteral("退  出"), "Button1", 560);
  connect(Button1, &QPushButton::clicked, this, &TForm5::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm5::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm5::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TForm5::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm5::Button5Click);
}

// The tries run while the window is up; the answer comes when the camera gives it.
void TForm5::FormCreate(Later later) {
  if (!device_) return;
  // A retry due after the window closed is not made.
  auto whileOpen = [this, later = std::move(later)](int ms, std::function<void()> then) {
    later(ms, [this, then = std::move(then)] {
      if (!closed_) then();
    });
  };
  photo::startWithRetries(*device_, whileOpen, [this](bool ok) { connected(ok); });
}

void TForm5::connected(bool ok) {
  if (closed_) return;
  if (!ok) {
    prompts_.message(q(photo::kWebcamConnectFailed));
    return;
  }
  connected_ = true;
  previewTimer_->start();
}

void TForm5::refreshPreview() {
  if (!connected_) return;
  if (auto frame = device_->grabFrame())
    Panel3->setPixmap(QPixmap::fromImage(toQImage(*frame).scaled(kViewWidth, kViewHeight, Qt::IgnoreAspectRatio)));
}

// Freezes the current frame at the camera's size; the rectangle stays.
void TForm5::Button2Click() {
  if (!connected_) return;
  auto frame = device_->grabFrame();
  if (!frame) return;  // no frame delivered yet
  frozen_ = std::move(*frame);
  Image1->setFrame(toQImage(frozen_));
}

void TForm5::chooseDeviceFormat() {
  if (!connected_ || !chooseFormat) return;
  if (auto chosen = chooseFormat(device_->formats(), device_->format())) device_->setFormat(*chosen);
}

// The camera's own picture settings; a camera without any says so.
void TForm5::Button3Click() {
  if (!connected_ || !editSettings) return;
  const auto settings = device_->pictureSettings();
  if (settings.empty()) {
    prompts_.message(q(photo::kWebcamNoPictureSettings));
    return;
  }
  editSettings(settings, [this](const std::string& key, int value) {
    if (connected_) device_->setPictureSetting(key, value);
  });
}
void TForm5::Button5Click() { chooseDeviceFormat(); }

void TForm5::Button4Click() {
  if (frozen_.empty()) {
    prompts_.message(q(photo::kWebcamCaptureFirst));
    return;
  }
  const std::string jpeg = photo::encodeWebcamPhoto(frozen_, selection_.forSave());
  const QString path = prompts_.saveFileName(QStringLiteral("JPEG图片文件(.jpg)|*.jpg"));
  if (path.isEmpty()) return;
  if (jpeg.empty() || !saveFileAtomically(withDefaultExtension(path, QStringLiteral(".jpg")).toStdString(), jpeg))
    prompts_.message(q(photo::kWebcamSaveFailed));
}

void TForm5::Image1MouseDown(int x, int y) {
  selection_.press(x, y);
  showSelection();
}

void TForm5::Image1MouseMove(int x, int y) {
  if (!selection_.drawing()) return;
  selection_.move(x, y);
  showSelection();
}

void TForm5::Image1MouseUp() { selection_.release(); }

void TForm5::showSelection() {
  const auto& r = selection_.rect();
  Shape1->setGeometry(r.left, r.top, r.width, r.height);
  Shape1->setVisible(selection_.shown());
  Shape1->update();
}

void TForm5::Button1Click() { close(); }

void TForm5::disconnectDevice() {
  closed_ = true;
  previewTimer_->stop();
  if (device_) device_->stop();  // also a start that is still waiting for its answer
  connected_ = false;
}

void TForm5::closeEvent(QCloseEvent* event) {
  disconnectDevice();
  QDialog::closeEvent(event);  // always allowed; ends a modal exec()
}

void TForm5::reject() {
  disconnectDevice();
  QDialog::reject();
}

}  // namespace qm
