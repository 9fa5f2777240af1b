#include "photo/image/jpeg_size.h"

#include "photo/image/area_scaler.h"
#include "photo/image/jpeg_codec.h"

namespace qm::photo {

std::string encodeResized(const RgbImage& picture, int width, int height, int quality) {
  if (picture.empty() || width <= 0 || height <= 0) return {};
  if (width == picture.width && height == picture.height) return encodeJpeg(picture, quality);
  return encodeJpeg(scaleArea(picture, width, height), quality);
}

std::optional<int> qualityForSize(const RgbImage& image, std::size_t maxBytes) {
  int lo = 1, hi = 100;
  std::optional<int> best;
  while (lo <= hi) {
    int q = (lo + hi) / 2;
    std::string jpeg = encodeJpeg(image, q);
    if (!jpeg.empty() && jpeg.size() <= maxBytes) {
      best = q;
      lo = q + 1;
    } else {
      hi = q - 1;
    }
  }
  return best;
}

}  // namespace qm::photo
