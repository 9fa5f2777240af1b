#pragma once
// What the webcam window needs of a camera. The program's camera sits on Qt
// Multimedia; tests and the demo use FakeCaptureDevice.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "photo/image/rgb_image.h"

namespace qm::photo {

struct CaptureFormat {
  int width = 0;
  int height = 0;
  double framesPerSecond = 0;
  std::string pixelFormat;  // the device's own name for it, for the chooser
  bool operator==(const CaptureFormat&) const = default;
};

// One picture setting the camera offers (brightness, exposure time, ...).
// A setting from 0 to 1 is a switch (automatic exposure, white balance).
struct PictureSetting {
  std::string key;    // the device's name for it
  std::string label;  // shown beside its control
  int minimum = 0, maximum = 0, step = 1, value = 0;
  bool isSwitch() const { return minimum == 0 && maximum == 1; }
  bool operator==(const PictureSetting&) const = default;
};

class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;

  virtual std::string name() const = 0;
  // The formats and resolutions the device reports, best first.
  virtual std::vector<CaptureFormat> formats() const = 0;
  // Takes effect for later frames; false when the device refuses it.
  virtual bool setFormat(const CaptureFormat& format) = 0;
  virtual CaptureFormat format() const = 0;

  // Starts connecting. done(true) once the camera runs, done(false) when it
  // reports an error (a camera another program holds fails only after the
  // start was asked for) or does not come up in time. done may run before
  // start returns, and runs once.
  virtual void start(std::function<void(bool ok)> done) = 0;
  virtual bool isActive() const = 0;
  // The current frame at the device's size; nullopt before the first frame or when stopped.
  virtual std::optional<RgbImage> grabFrame() = 0;
  virtual void stop() = 0;

  // The picture settings of the running camera, with their current values.
  virtual std::vector<PictureSetting> pictureSettings() { return {}; }
  // False when the camera refuses; a value out of range is brought into it.
  virtual bool setPictureSetting(const std::string& key, int value) {
    (void)key, (void)value;
    return false;
  }
};

}  // namespace qm::photo
