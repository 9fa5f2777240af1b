#include "photo/image/picture_format.h"

namespace qm::photo {

PictureFormat sniffPictureFormat(std::string_view bytes) {
  // JPEG: start-of-image marker followed by the first marker's 0xFF.
  if (bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF)
    return PictureFormat::Jpeg;
  // BMP: "BM" and room for the file header and the smallest info header.
  if (bytes.size() >= 26 && bytes[0] == 'B' && bytes[1] == 'M') return PictureFormat::Bmp;
  return PictureFormat::Unknown;
}

}  // namespace qm::photo
