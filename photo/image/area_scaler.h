#pragma once
// Area-averaging resampling, the stand-in for the desktop's HALFTONE stretch:
// an exact box filter. Every output pixel is the mean of the source area it
// covers, each source pixel weighted by the part of that area it occupies,
// when enlarging as well as when reducing.
#include "photo/image/rgb_image.h"

namespace qm::photo {

// A rectangle in source pixel coordinates; fractions are allowed (a crop
// carried over to a DCT-scaled decode falls between pixels).
struct SourceRect {
  double x = 0, y = 0, width = 0, height = 0;
};

// Scales rect of src onto an outWidth x outHeight image. The parts of rect
// outside src count as black and no pixel outside src is read. A rect of zero
// width (or height) samples the one column (row) at its position.
RgbImage scaleArea(const RgbImage& src, SourceRect rect, int outWidth, int outHeight);

inline RgbImage scaleArea(const RgbImage& src, int outWidth, int outHeight) {
  return scaleArea(src, SourceRect{0, 0, double(src.width), double(src.height)}, outWidth, outHeight);
}

}  // namespace qm::photo
