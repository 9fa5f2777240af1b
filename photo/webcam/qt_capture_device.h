#pragma once
// The first camera of the system through Qt Multimedia: a QCamera in a
// capture session whose video sink keeps the latest frame; a grab converts
// that frame to RGB at the camera's own size. A start is answered by the
// camera's activeChanged or errorOccurred (a busy camera fails only then),
// or fails after a few seconds of neither. Picture settings: exposure time
// and colour temperature where QCamera::supportedFeatures() has them,
// brightness and contrast as V4L2 controls of the camera's /dev/videoN.
#include <QCameraDevice>
#include <QMediaCaptureSession>
#include <QTimer>
#include <QVideoFrame>
#include <QVideoSink>
#include <memory>
#include <mutex>

#include "photo/webcam/capture_device.h"
#include "photo/webcam/v4l2_controls.h"

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
  void start(std::function<void(bool ok)> done) override;
  bool isActive() const override;
  std::optional<RgbImage> grabFrame() override;
  void stop() override;
  std::vector<PictureSetting> pictureSettings() override;
  bool setPictureSetting(const std::string& key, int value) override;

 private:
  void answer(bool ok);
  V4l2PictureControls* controls();

  QCameraDevice device_;
  QCamera* camera_ = nullptr;  // deleted later: it may be stopped from inside its own signal
  QMediaCaptureSession session_;
  QVideoSink sink_;
  QTimer startTimeout_;
  std::function<void(bool)> pending_;
  bool failed_ = false;
  mutable std::mutex frameMutex_;
  QVideoFrame lastFrame_;  // the sink may deliver on another thread
  CaptureFormat chosen_;
  std::unique_ptr<V4l2PictureControls> controls_;
};

}  // namespace qm::photo
