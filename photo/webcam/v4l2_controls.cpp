#include "photo/webcam/v4l2_controls.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qm::photo {
namespace {

struct Known {
  std::uint32_t id;
  const char* key;
  const char* label;
};
constexpr Known kControls[] = {{V4L2_CID_BRIGHTNESS, "brightness", "亮度"}, {V4L2_CID_CONTRAST, "contrast", "对比度"}};

int ioctlRetrying(int fd, unsigned long request, void* arg) {
  int rc;
  do rc = ::ioctl(fd, request, arg);
  while (rc < 0 && errno == EINTR);
  return rc;
}

class DevicePort : public ControlPort {
 public:
  explicit DevicePort(int fd) : fd_(fd) {}
  ~DevicePort() override { ::close(fd_); }

  std::optional<ControlRange> query(std::uint32_t id) override {
    v4l2_queryctrl q{};
    q.id = id;
    if (ioctlRetrying(fd_, VIDIOC_QUERYCTRL, &q) != 0 || q.type != V4L2_CTRL_TYPE_INTEGER) return std::nullopt;
    const bool usable =
        !(q.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_READ_ONLY));
    return ControlRange{q.minimum, q.maximum, std::max(1, q.step), usable};
  }
  std::optional<int> get(std::uint32_t id) override {
    v4l2_control c{};
    c.id = id;
    if (ioctlRetrying(fd_, VIDIOC_G_CTRL, &c) != 0) return std::nullopt;
    return c.value;
  }
  bool set(std::uint32_t id, int value) override {
    v4l2_control c{};
    c.id = id;
    c.value = value;
    return ioctlRetrying(fd_, VIDIOC_S_CTRL, &c) == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::optional<std::string> v4l2DevicePath(std::string_view id) {
  constexpr std::string_view prefix = "/dev/video";
  if (id.size() <= prefix.size() || id.substr(0, prefix.size()) != prefix || id.size() > prefix.size() + 3)
    return std::nullopt;
  for (char c : id.substr(prefix.size()))
    if (c < '0' || c > '9') return std::nullopt;
  return std::string(id);
}

std::unique_ptr<ControlPort> openV4l2Port(const std::string& devicePath) {
  // O_NONBLOCK: controls never wait; the capture itself is Qt's.
  const int fd = ::open(devicePath.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<DevicePort>(fd);
}

std::vector<PictureSetting> V4l2PictureControls::settings() {
  std::vector<PictureSetting> out;
  if (!port_) return out;
  for (const Known& k : kControls) {
    auto range = port_->query(k.id);
    if (!range || !range->usable || range->maximum <= range->minimum) continue;
    auto value = port_->get(k.id);
    if (!value) continue;
    out.push_back({k.key, k.label, range->minimum, range->maximum, range->step,
                   std::clamp(*value, range->minimum, range->maximum)});
  }
  return out;
}

bool V4l2PictureControls::set(const std::string& key, int value) {
  if (!port_) return false;
  for (const Known& k : kControls) {
    if (key != k.key) continue;
    auto range = port_->query(k.id);
    if (!range || !range->usable) return false;
    // Steps count from the minimum, as the driver counts them.
    const long long steps = (static_cast<long long>(std::clamp(value, range->minimum, range->maximum)) -
                             range->minimum + range->step / 2) / range->step;
    const long long snapped = std::min<long long>(range->minimum + steps * range->step, range->maximum);
    return port_->set(k.id, static_cast<int>(snapped));
  }
  return false;
}

}  // namespace qm::photo
