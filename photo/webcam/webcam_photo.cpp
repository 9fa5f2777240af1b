#include "photo/webcam/webcam_photo.h"

#include "photo/image/area_scaler.h"
#include "photo/image/jpeg_codec.h"
#include "photo/webcam/capture_device.h"

namespace qm::photo {

RgbImage webcamOutput(const RgbImage& frame, const ShownRect* rect) {
  if (frame.empty()) return {};
  WebcamCrop crop = webcamCrop(frame.width, frame.height, rect);
  if (crop.wholeFrame) return frame;
  const PixelRect& s = crop.source;
  return scaleArea(frame, SourceRect{double(s.x), double(s.y), double(s.width), double(s.height)}, crop.outWidth,
                   crop.outHeight);
}

std::string encodeWebcamPhoto(const RgbImage& frame, const ShownRect* rect) {
  RgbImage out = webcamOutput(frame, rect);
  if (out.empty()) return {};
  return encodeJpeg(out, kWebcamQuality);
}

bool startWithRetries(CaptureDevice& device, const std::function<void(int ms)>& wait) {
  for (int attempt = 0; attempt < kWebcamConnectTries; ++attempt) {
    if (device.start()) return true;
    if (wait) wait(kWebcamRetryWaitMs);
  }
  return false;
}

}  // namespace qm::photo
