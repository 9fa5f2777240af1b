#include "photo/webcam/fake_capture_device.h"

#include <algorithm>

namespace qm::photo {

FakeCaptureDevice::FakeCaptureDevice(std::vector<CaptureFormat> formats)
    : formats_(std::move(formats)),
      settings_{{"brightness", "亮度", -64, 64, 1, 0}, {"contrast", "对比度", 0, 95, 5, 30}, {"autoExposure", "自动曝光", 0, 1, 1, 1}} {
  if (!formats_.empty()) current_ = formats_.front();
}

std::vector<CaptureFormat> FakeCaptureDevice::defaultFormats() {
  return {{640, 480, 30, "YUYV"}, {1280, 720, 15, "MJPG"}, {320, 240, 30, "YUYV"}};
}

bool FakeCaptureDevice::setFormat(const CaptureFormat& format) {
  if (std::find(formats_.begin(), formats_.end(), format) == formats_.end()) return false;
  current_ = format;
  return true;
}

void FakeCaptureDevice::start(std::function<void(bool ok)> done) {
  ++startCalls_;
  pending_ = std::move(done);
  if (!later_) finishStart(true);
}

void FakeCaptureDevice::finishStart(bool ok) {
  if (!pending_) return;
  if (failStarts_ > 0) {
    --failStarts_;
    ok = false;
  }
  active_ = ok && current_.width > 0 && current_.height > 0;
  auto done = std::move(pending_);
  pending_ = nullptr;
  done(active_);
}

std::vector<PictureSetting> FakeCaptureDevice::pictureSettings() {
  if (!active_) return {};
  return settings_;
}

bool FakeCaptureDevice::setPictureSetting(const std::string& key, int value) {
  for (auto& s : settings_)
    if (active_ && s.key == key) {
      s.value = std::clamp(value, s.minimum, s.maximum);
      return true;
    }
  return false;
}

std::optional<RgbImage> FakeCaptureDevice::grabFrame() {
  if (!active_) return std::nullopt;
  return pattern(current_.width, current_.height, frame_++);
}

RgbImage FakeCaptureDevice::pattern(int width, int height, int n) {
  static const std::uint8_t bars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                          {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
  RgbImage image(width, height);
  const int side = std::max(1, height / 4);
  const int sx = (n * 8) % std::max(1, width - side), sy = height / 2 - side / 2;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* p = image.row(y);
    for (int x = 0; x < width; ++x, p += 3) {
      const std::uint8_t* c = bars[x * 8 / width];
      bool inSquare = x >= sx && x < sx + side && y >= sy && y < sy + side;
      p[0] = inSquare ? 128 : c[0];
      p[1] = inSquare ? static_cast<std::uint8_t>(y * 255 / std::max(1, height - 1)) : c[1];
      p[2] = inSquare ? 128 : c[2];
    }
  }
  image.row(0)[0] = static_cast<std::uint8_t>(n & 0xFF);
  return image;
}

}  // namespace qm::photo
