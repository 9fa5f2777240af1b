#pragma once
// Pictures are recognised by their first bytes, never by the file's extension.
#include <string_view>

namespace qm::photo {

enum class PictureFormat { Unknown, Jpeg, Bmp };

PictureFormat sniffPictureFormat(std::string_view bytes);

}  // namespace qm::photo
