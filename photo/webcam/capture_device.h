#pragma once
// What the webcam window needs of a camera. The program's camera sits on Qt
// Multimedia; tests and the demo use FakeCaptureDevice.
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

class CaptureDevice {
 public:
  virtual ~CaptureDevice() = default;

  virtual std::string name() const = 0;
  // The formats and resolutions the device reports, best first.
  virtual std::vector<CaptureFormat> formats() const = 0;
  // Takes effect for later frames; false when the device refuses it.
  virtual bool setFormat(const CaptureFormat& format) = 0;
  virtual CaptureFormat format() const = 0;

  // Connects and starts delivering frames; false when the device cannot be used.
  virtual bool start() = 0;
  virtual bool isActive() const = 0;
  // The current frame at the device's size; nullopt before the first frame or when stopped.
  virtual std::optional<RgbImage> grabFrame() = 0;
  virtual void stop() = 0;
};

}  // namespace qm::photo
