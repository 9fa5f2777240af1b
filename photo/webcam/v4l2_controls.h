#pragma once
// Brightness and contrast of a Linux camera. Qt Multimedia offers neither,
// so they are V4L2 controls on the device node that the camera's id names
// (/dev/videoN). ControlPort is the node's control interface; tests give a
// port without hardware.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "photo/webcam/capture_device.h"

namespace qm::photo {

struct ControlRange {
  int minimum = 0, maximum = 0, step = 1;
  bool usable = true;  // false when the driver marks it disabled, inactive or read-only
};

class ControlPort {
 public:
  virtual ~ControlPort() = default;
  virtual std::optional<ControlRange> query(std::uint32_t id) = 0;
  virtual std::optional<int> get(std::uint32_t id) = 0;
  virtual bool set(std::uint32_t id, int value) = 0;
};

// "/dev/video<N>" when the camera id is such a node, else nothing.
std::optional<std::string> v4l2DevicePath(std::string_view cameraId);

// The node's controls through ioctl; nullptr when it cannot be opened.
std::unique_ptr<ControlPort> openV4l2Port(const std::string& devicePath);

class V4l2PictureControls {
 public:
  explicit V4l2PictureControls(std::unique_ptr<ControlPort> port) : port_(std::move(port)) {}
  // Brightness and contrast, as far as the driver has them and lets them be changed.
  std::vector<PictureSetting> settings();
  // False for a key it does not hold or a value the driver refuses.
  bool set(const std::string& key, int value);

 private:
  std::unique_ptr<ControlPort> port_;
};

}  // namespace qm::photo
