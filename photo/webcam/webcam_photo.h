#pragma once
// Saving a frozen webcam frame: the rectangle drawn over the 400 x 300 view,
// mapped onto the frame, or the whole frame; JPEG quality 100.
#include <functional>
#include <optional>
#include <string>

#include "photo/image/crop_rules.h"
#include "photo/image/rgb_image.h"

namespace qm::photo {

class CaptureDevice;

inline constexpr const char* kWebcamConnectFailed = "连接摄像头失败";
inline constexpr const char* kWebcamCaptureFirst = "请先拍照再保存！";
inline constexpr const char* kWebcamSaveFailed = "保存失败，请检查权限！";
// "调节画质" on a camera that offers no picture settings.
inline constexpr const char* kWebcamNoPictureSettings = "此摄像头没有可调节的画质设置。";
inline constexpr int kWebcamQuality = 100;
inline constexpr int kWebcamConnectTries = 5;
inline constexpr int kWebcamRetryWaitMs = 200;

// The picture a save writes. The part of the rectangle outside the frame is
// black. An empty frame gives an empty image (nothing captured yet).
RgbImage webcamOutput(const RgbImage& frame, const ShownRect* rect);

// webcamOutput encoded; empty when the frame is empty.
std::string encodeWebcamPhoto(const RgbImage& frame, const ShownRect* rect);

// Runs then after ms milliseconds (a timer of the window; tests run it at once).
using Later = std::function<void(int ms, std::function<void()> then)>;

// Starts the device, up to kWebcamConnectTries times, waiting 200 ms after
// each failed try; a try has failed when the device says so, not when its
// start returns. done(true) at the first success, done(false) after the
// last failure.
void startWithRetries(CaptureDevice& device, Later later, std::function<void(bool ok)> done);

}  // namespace qm::photo
