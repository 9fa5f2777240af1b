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

namespace {

void tryStart(CaptureDevice& device, Later later, std::function<void(bool)> done, int tries) {
  device.start([&device, later, done, tries](bool ok) {
    if (ok) return done(true);
    device.stop();  // a camera left half open would refuse the next try too
    // The wait follows every failed try, the last one too: about one second in all.
    later(kWebcamRetryWaitMs, [&device, later, done, tries] {
      if (tries + 1 >= kWebcamConnectTries) return done(false);
      tryStart(device, later, done, tries + 1);
    });
  });
}

}  // namespace

void startWithRetries(CaptureDevice& device, Later later, std::function<void(bool ok)> done) {
  tryStart(device, std::move(later), std::move(done), 0);
}

}  // namespace qm::photo
