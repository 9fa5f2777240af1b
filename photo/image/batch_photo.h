#pragma once
// The registration photo made from one picture file: the crop of
// batchCropRect scaled by area averaging to 154 x 189, JPEG quality 100.
// Big JPEGs are decoded at a reduced DCT scale first, which libjpeg-turbo
// does much faster than a full decode; the crop keeps its exact position
// (in fractions of the reduced pixels) and the area average does the rest.
#include <optional>
#include <string>
#include <string_view>

#include "photo/image/rgb_image.h"

namespace qm::photo {

struct BatchPhotoOptions {
  // The reduced decode must leave at least this many source pixels per
  // output pixel in each direction.
  double minDctFactor = 2.0;
  DecodeLimits limits;
};

// The 154 x 189 picture before encoding; nullopt when the bytes are no JPEG or
// BMP picture or cannot be decoded.
std::optional<RgbImage> renderBatchPhoto(std::string_view pictureBytes, const BatchPhotoOptions& options = {},
                                         std::string* error = nullptr);

// The encoded photo, ready to be written; nullopt on failure.
std::optional<std::string> makeBatchPhoto(std::string_view pictureBytes, const BatchPhotoOptions& options = {},
                                          std::string* error = nullptr);

}  // namespace qm::photo
