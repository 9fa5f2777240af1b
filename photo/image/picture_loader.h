#pragma once
// Opening a picture file: JPEG or BMP, told apart by content.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "photo/image/rgb_image.h"

namespace qm::photo {

// No photo or scan comes near this; a larger file is refused before it is read.
inline constexpr std::uint64_t kMaxPictureFileBytes = 64u << 20;

// Whole file into memory; nullopt when it cannot be read, is not a regular
// file (a folder, a FIFO, a device: none of them is waited on) or is larger
// than kMaxPictureFileBytes.
std::optional<std::string> readFileBytes(const std::string& path);
// The same into buffer, reusing its memory; false when the file cannot be read.
bool readFileInto(const std::string& path, std::string& buffer);

// Decodes a JPEG or BMP at full size; nullopt for anything else or a broken file.
std::optional<RgbImage> decodePicture(std::string_view bytes, const DecodeLimits& limits = {},
                                      std::string* error = nullptr);

}  // namespace qm::photo
