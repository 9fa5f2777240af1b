#include "photo/image/crop_rules.h"

#include <algorithm>
#include <cmath>

namespace qm::photo {

int roundHalfEven(double v) {
  double r = std::round(v);  // halves away from zero
  if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
  return static_cast<int>(r);
}

PixelRect batchCropRect(int w, int h) {
  const double t = double(kBatchPhotoWidth) / kBatchPhotoHeight;
  const double r = double(w) / h;
  if (r > t) return {roundHalfEven((w - h * t) / 2.0), 0, roundHalfEven(h * t), h};
  if (r < t) return {0, 0, w, roundHalfEven(w / t)};
  return {0, 0, w, h};
}

WebcamCrop webcamCrop(int frameWidth, int frameHeight, const ShownRect* rect) {
  WebcamCrop crop;
  crop.outWidth = frameWidth, crop.outHeight = frameHeight;
  crop.source = {0, 0, frameWidth, frameHeight};
  if (!rect) return crop;
  const int sw = std::min(rect->width, kPreviewWidth), sh = std::min(rect->height, kPreviewHeight);
  const double rx = double(frameWidth) / kPreviewWidth, ry = double(frameHeight) / kPreviewHeight;
  const int outW = roundHalfEven(sw * rx), outH = roundHalfEven(sh * ry);
  if (sw <= 0 || sh <= 0 || outW <= 0 || outH <= 0) return crop;
  const int x0 = roundHalfEven(rect->left * rx), y0 = roundHalfEven(rect->top * ry);
  const int x1 = roundHalfEven(rx * (rect->left + sw)), y1 = roundHalfEven(ry * (rect->top + sh));
  crop.wholeFrame = false;
  crop.outWidth = outW, crop.outHeight = outH;
  crop.source = {x0, y0, x1 - x0, y1 - y0};
  return crop;
}

}  // namespace qm::photo
