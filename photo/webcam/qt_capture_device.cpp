#include "photo/webcam/qt_capture_device.h"

#include <QCamera>
#include <QImage>
#include <QMediaDevices>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace qm::photo {

namespace {

// Long enough for a camera that is slow to open, short enough that five
// tries of a camera that never answers do not look like a hang.
constexpr int kStartTimeoutMs = 3000;
constexpr int kMinColorTemperature = 2000, kMaxColorTemperature = 10000;

CaptureFormat fromQt(const QCameraFormat& f) {
  return {f.resolution().width(), f.resolution().height(), double(f.maxFrameRate()),
          QVideoFrameFormat::pixelFormatToString(f.pixelFormat()).toStdString()};
}

bool canSetExposure(const QCamera& c) {
  return c.supportedFeatures().testFlag(QCamera::Feature::ManualExposureTime) &&
         c.isExposureModeSupported(QCamera::ExposureManual) && c.maximumExposureTime() > c.minimumExposureTime();
}

bool canSetColorTemperature(const QCamera& c) {
  return c.supportedFeatures().testFlag(QCamera::Feature::ColorTemperature) &&
         c.isWhiteBalanceModeSupported(QCamera::WhiteBalanceManual);
}

int microseconds(float seconds) { return int(std::lround(double(seconds) * 1e6)); }

}  // namespace

QtCaptureDevice::QtCaptureDevice() : device_(QMediaDevices::defaultVideoInput()) {
  QObject::connect(&sink_, &QVideoSink::videoFrameChanged, &sink_, [this](const QVideoFrame& frame) {
    std::lock_guard lock(frameMutex_);
    lastFrame_ = frame;
  }, Qt::DirectConnection);
  startTimeout_.setSingleShot(true);
  QObject::connect(&startTimeout_, &QTimer::timeout, &startTimeout_, [this] { answer(false); });
  session_.setVideoSink(&sink_);
}

QtCaptureDevice::~QtCaptureDevice() {
  stop();
}

std::string QtCaptureDevice::name() const { return device_.description().toStdString(); }

std::vector<CaptureFormat> QtCaptureDevice::formats() const {
  std::vector<CaptureFormat> out;
  for (const auto& f : device_.videoFormats()) {
    CaptureFormat c = fromQt(f);
    if (std::find(out.begin(), out.end(), c) == out.end()) out.push_back(c);
  }
  std::stable_sort(out.begin(), out.end(), [](const CaptureFormat& a, const CaptureFormat& b) {
    if (a.width * a.height != b.width * b.height) return a.width * a.height > b.width * b.height;
    return a.framesPerSecond > b.framesPerSecond;
  });
  return out;
}

bool QtCaptureDevice::setFormat(const CaptureFormat& format) {
  for (const auto& f : device_.videoFormats()) {
    if (!(fromQt(f) == format)) continue;
    chosen_ = format;
    if (camera_) camera_->setCameraFormat(f);
    return true;
  }
  return false;
}

CaptureFormat QtCaptureDevice::format() const {
  if (camera_ && !camera_->cameraFormat().isNull()) return fromQt(camera_->cameraFormat());
  return chosen_;
}

void QtCaptureDevice::start(std::function<void(bool ok)> done) {
  if (device_.isNull()) return done(false);
  stop();
  pending_ = std::move(done);
  failed_ = false;
  camera_ = new QCamera(device_);
  QObject::connect(camera_, &QCamera::errorOccurred, camera_, [this](QCamera::Error error, const QString&) {
    if (error == QCamera::NoError) return;
    failed_ = true;
    answer(false);
  });
  QObject::connect(camera_, &QCamera::activeChanged, camera_, [this](bool active) {
    if (active && !failed_) answer(true);
    if (!active) answer(false);  // went down before it ever came up
  });
  session_.setCamera(camera_);
  if (chosen_.width > 0) setFormat(chosen_);
  startTimeout_.start(kStartTimeoutMs);
  camera_->start();
  // Some back ends refuse at once, inside start() (the answer may already
  // have stopped the camera).
  if (camera_ && camera_->error() != QCamera::NoError) {
    failed_ = true;
    answer(false);
  }
}

void QtCaptureDevice::answer(bool ok) {
  startTimeout_.stop();
  if (!pending_) return;
  auto done = std::move(pending_);
  pending_ = nullptr;
  done(ok);
}

bool QtCaptureDevice::isActive() const { return camera_ && camera_->isActive() && !failed_; }

std::optional<RgbImage> QtCaptureDevice::grabFrame() {
  if (!isActive()) return std::nullopt;
  QVideoFrame frame;
  {
    std::lock_guard lock(frameMutex_);
    frame = lastFrame_;
  }
  if (!frame.isValid()) return std::nullopt;
  const QImage image = frame.toImage().convertToFormat(QImage::Format_RGB888);
  if (image.isNull()) return std::nullopt;
  RgbImage out(image.width(), image.height());
  for (int y = 0; y < out.height; ++y) std::memcpy(out.row(y), image.constScanLine(y), out.stride());
  return out;
}

void QtCaptureDevice::stop() {
  startTimeout_.stop();
  pending_ = nullptr;
  controls_.reset();
  if (camera_) {
    QCamera* old = camera_;
    camera_ = nullptr;
    QObject::disconnect(old, nullptr, nullptr, nullptr);
    session_.setCamera(nullptr);
    old->stop();
    old->deleteLater();
  }
  std::lock_guard lock(frameMutex_);
  lastFrame_ = QVideoFrame();
}

V4l2PictureControls* QtCaptureDevice::controls() {
  if (!controls_) {
    auto path = v4l2DevicePath(device_.id().toStdString());
    controls_ = std::make_unique<V4l2PictureControls>(path ? openV4l2Port(*path) : nullptr);
  }
  return controls_.get();
}

std::vector<PictureSetting> QtCaptureDevice::pictureSettings() {
  if (!isActive()) return {};
  std::vector<PictureSetting> out = controls()->settings();
  if (canSetExposure(*camera_)) {
    const bool automatic = camera_->exposureMode() != QCamera::ExposureManual;
    const int lo = std::max(1, microseconds(camera_->minimumExposureTime()));
    const int hi = std::max(lo + 1, microseconds(camera_->maximumExposureTime()));
    out.push_back({"autoExposure", "自动曝光", 0, 1, 1, automatic ? 1 : 0});
    out.push_back({"exposureTime", "曝光时间(微秒)", lo, hi, 1, std::clamp(microseconds(camera_->exposureTime()), lo, hi)});
  }
  if (canSetColorTemperature(*camera_)) {
    const bool automatic = camera_->whiteBalanceMode() != QCamera::WhiteBalanceManual;
    const int kelvin = camera_->colorTemperature() > 0 ? camera_->colorTemperature() : 6500;
    out.push_back({"autoWhiteBalance", "自动白平衡", 0, 1, 1, automatic ? 1 : 0});
    out.push_back({"colorTemperature", "色温(K)", kMinColorTemperature, kMaxColorTemperature, 100,
                   std::clamp(kelvin, kMinColorTemperature, kMaxColorTemperature)});
  }
  return out;
}

bool QtCaptureDevice::setPictureSetting(const std::string& key, int value) {
  if (!isActive()) return false;
  if (key == "autoExposure" && canSetExposure(*camera_)) {
    camera_->setExposureMode(value ? QCamera::ExposureAuto : QCamera::ExposureManual);
  } else if (key == "exposureTime" && canSetExposure(*camera_)) {
    camera_->setExposureMode(QCamera::ExposureManual);
    const float lo = camera_->minimumExposureTime(), hi = camera_->maximumExposureTime();
    camera_->setManualExposureTime(std::clamp(float(value) / 1e6f, lo, hi));
  } else if (key == "autoWhiteBalance" && canSetColorTemperature(*camera_)) {
    camera_->setWhiteBalanceMode(value ? QCamera::WhiteBalanceAuto : QCamera::WhiteBalanceManual);
  } else if (key == "colorTemperature" && canSetColorTemperature(*camera_)) {
    camera_->setWhiteBalanceMode(QCamera::WhiteBalanceManual);
    camera_->setColorTemperature(std::clamp(value, kMinColorTemperature, kMaxColorTemperature));
  } else {
    return controls()->set(key, value);
  }
  return true;
}

}  // namespace qm::photo
