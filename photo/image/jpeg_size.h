#pragma once
// Sizes of re-encoded pictures, found in memory without writing a file.
#include <cstddef>
#include <optional>
#include <string>

#include "photo/image/rgb_image.h"

namespace qm::photo {

// The picture area-averaged onto width x height (proportions as given) and
// encoded at quality: the bytes the compression tool writes. Empty on failure.
std::string encodeResized(const RgbImage& picture, int width, int height, int quality);

// The highest quality (1..100) whose encoding of image takes at most maxBytes;
// nullopt when even quality 1 is larger. Sizes grow with the quality almost
// everywhere, so a binary search finds it in seven encodings.
std::optional<int> qualityForSize(const RgbImage& image, std::size_t maxBytes);

}  // namespace qm::photo
