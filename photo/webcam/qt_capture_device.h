#pragma once
// The first camera of the system through Qt Multimedia: a QCamera in a
// capture session whose video sink keeps the latest frame; a grab converts
// that frame to RGB at the camera's own size.
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QVideoFrame>
#include <QVideoSink>
#include <memory>
#include <mutex>

#include "photo/webcam/capture_device.h"

class QCamera;

namespace qm::photo {

class QtCaptureDevice : public CaptureDevice {
 public:
  QtCaptureDevice();
  ~QtCaptureDevice() override;

  std::string name() const override;
  std::vector<CaptureFormat> formats() const override;
  bool setFormat(const CaptureFormat& format) override;
  CaptureFormat format() const override;
  bool start() override;
  bool isActive() const override { return started_; }
  std::optional<RgbImage> grabFrame() override;
  void stop() override;

 private:
  QCameraDevice device_;
  std::unique_ptr<QCamera> camera_;
  QMediaCaptureSession session_;
  QVideoSink sink_;
  mutable std::mutex frameMutex_;
  QVideoFrame lastFrame_;  // the sink may deliver on another thread
  CaptureFormat chosen_;
  bool started_ = false;
};

}  // namespace qm::photo
