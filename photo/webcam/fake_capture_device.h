#pragma once
// A camera without hardware: frames are a test pattern that changes with
// every grab (colour bars, a moving square, the frame number in the corner
// pixel), at any of a few resolutions. It can be told to refuse starting a
// number of times, for the connection retries, and to answer a start only
// when told (as a real camera reports a busy device after the start). It
// offers brightness, contrast and automatic exposure as picture settings.
#include "photo/webcam/capture_device.h"

namespace qm::photo {

class FakeCaptureDevice : public CaptureDevice {
 public:
  explicit FakeCaptureDevice(std::vector<CaptureFormat> formats = defaultFormats());

  static std::vector<CaptureFormat> defaultFormats();  // 640x480, 1280x720, 320x240
  // The next `count` calls of start() fail.
  void failNextStarts(int count) { failStarts_ = count; }
  int startCalls() const { return startCalls_; }
  // From now on start() waits for finishStart().
  void answerStartsLater() { later_ = true; }
  bool startPending() const { return bool(pending_); }
  void finishStart(bool ok);
  int framesGrabbed() const { return frame_; }

  std::string name() const override { return "Fake camera"; }
  std::vector<CaptureFormat> formats() const override { return formats_; }
  bool setFormat(const CaptureFormat& format) override;
  CaptureFormat format() const override { return current_; }
  void start(std::function<void(bool ok)> done) override;
  bool isActive() const override { return active_; }
  std::optional<RgbImage> grabFrame() override;
  void stop() override { active_ = false; }
  std::vector<PictureSetting> pictureSettings() override;
  bool setPictureSetting(const std::string& key, int value) override;

  // The pattern of frame number n at a size, so tests can compare pixels.
  static RgbImage pattern(int width, int height, int n);

 private:
  std::vector<CaptureFormat> formats_;
  CaptureFormat current_;
  bool active_ = false, later_ = false;
  std::function<void(bool)> pending_;
  int failStarts_ = 0, startCalls_ = 0, frame_ = 0;
  std::vector<PictureSetting> settings_;
};

}  // namespace qm::photo
