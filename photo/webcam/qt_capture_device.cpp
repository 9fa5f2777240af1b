#include "photo/webcam/qt_capture_device.h"

#include <QCamera>
#include <QImage>
#include <QMediaDevices>
#include <algorithm>
#include <cstring>

namespace qm::photo {

namespace {

CaptureFormat fromQt(const QCameraFormat& f) {
  return {f.resolution().width(), f.resolution().height(), double(f.maxFrameRate()),
          QVideoFrameFormat::pixelFormatToString(f.pixelFormat()).toStdString()};
}

}  // namespace

QtCaptureDevice::QtCaptureDevice() : device_(QMediaDevices::defaultVideoInput()) {
  QObject::connect(&sink_, &QVideoSink::videoFrameChanged, &sink_, [this](const QVideoFrame& frame) {
    std::lock_guard lock(frameMutex_);
    lastFrame_ = frame;
  }, Qt::DirectConnection);
}

QtCaptureDevice::~QtCaptureDevice() { stop(); }

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

bool QtCaptureDevice::start() {
  if (device_.isNull()) return false;
  if (!camera_) {
    camera_ = std::make_unique<QCamera>(device_);
    session_.setCamera(camera_.get());
    session_.setVideoSink(&sink_);
    if (chosen_.width > 0) setFormat(chosen_);
  }
  camera_->start();
  started_ = camera_->error() == QCamera::NoError;
  return started_;
}

std::optional<RgbImage> QtCaptureDevice::grabFrame() {
  if (!started_) return std::nullopt;
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
  if (camera_) camera_->stop();
  started_ = false;
  std::lock_guard lock(frameMutex_);
  lastFrame_ = QVideoFrame();
}

}  // namespace qm::photo
