#pragma once
// JPEG through libjpeg-turbo's TurboJPEG interface: full-size and DCT-scaled
// decoding to RGB (CMYK and YCCK files converted, Adobe's inverted CMYK
// included), encoding with 4:2:0 chroma (the library defaults the desktop
// codec used) at a quality from 1 to 100. Both ways use the accurate DCT:
// TurboJPEG would encode with the fast one below quality 96.
// Every call is safe on any thread (each thread keeps its own handles).
#include <optional>
#include <string>
#include <string_view>

#include "photo/image/rgb_image.h"

namespace qm::photo {

struct JpegSize {
  int width = 0;
  int height = 0;
};

// A fraction num/denom of the full size that the decoder produces directly.
struct DctScale {
  int num = 1;
  int denom = 1;
  int scaled(int full) const { return (full * num + denom - 1) / denom; }
};

// Width and height from the frame header; nullopt when the data are not a JPEG
// or the size breaks the limits.
std::optional<JpegSize> readJpegSize(std::string_view bytes, const DecodeLimits& limits = {});

// The coarsest of 1/8, 1/4 and 1/2 that still leaves the crop at least
// `minFactor` times the output size in both directions; 1/1 when none does.
DctScale chooseDctScale(double cropWidth, double cropHeight, int outWidth, int outHeight, double minFactor);

// Decodes at scale (1/1 for full size). A truncated file (the decoder's
// "Premature end of JPEG file") is rejected like a corrupt one; other warnings
// of the decoder are harmless and accepted. error gets the decoder's text.
std::optional<RgbImage> decodeJpeg(std::string_view bytes, DctScale scale = {}, const DecodeLimits& limits = {},
                                   std::string* error = nullptr);

// The same into out, reusing its memory: a batch decodes picture after
// picture of about one size without new allocations. out is left empty on failure.
bool decodeJpegInto(std::string_view bytes, DctScale scale, const DecodeLimits& limits, RgbImage& out,
                    std::string* error = nullptr);

// Quality is clamped to 1..100. Empty result on failure (an empty image).
std::string encodeJpeg(const RgbImage& image, int quality);

}  // namespace qm::photo
