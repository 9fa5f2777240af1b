#pragma once
// Windows bitmap files. Decoding reads the core (OS/2 1.x), the OS/2 2.x
// (16- and 64-byte) and the BITMAPINFOHEADER family up to version 5: 1, 4
// and 8 bits with a palette, RLE4 and RLE8, 16 and 32 bits plain or with
// bit-field masks, 24 bits; bottom-up and top-down rows. Huffman, RLE24 and
// embedded JPEG/PNG bitmaps are refused. Every size and offset is checked
// against the data before use.
#include <optional>
#include <string>
#include <string_view>

#include "photo/image/rgb_image.h"

namespace qm::photo {

std::optional<RgbImage> decodeBmp(std::string_view bytes, const DecodeLimits& limits = {},
                                  std::string* error = nullptr);

// A 24-bit bottom-up bitmap file of the image.
std::string encodeBmp(const RgbImage& image);

}  // namespace qm::photo
