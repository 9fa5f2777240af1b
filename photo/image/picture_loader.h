#pragma once
// Opening a picture file: JPEG or BMP, told apart by content.
#include <optional>
#include <string>
#include <string_view>

#include "photo/image/rgb_image.h"

namespace qm::photo {

// Whole file into memory; nullopt when it cannot be read (or is a folder).
std::optional<std::string> readFileBytes(const std::string& path);
// The same into buffer, reusing its memory; false when the file cannot be read.
bool readFileInto(const std::string& path, std::string& buffer);

// Decodes a JPEG or BMP at full size; nullopt for anything else or a broken file.
std::optional<RgbImage> decodePicture(std::string_view bytes, const DecodeLimits& limits = {},
                                      std::string* error = nullptr);

}  // namespace qm::photo
