#include "photo/image/batch_photo.h"

#include "photo/image/area_scaler.h"
#include "photo/image/bmp_codec.h"
#include "photo/image/crop_rules.h"
#include "photo/image/jpeg_codec.h"
#include "photo/image/picture_format.h"

namespace qm::photo {
namespace {

// A buffer this large (a picture decoded at full size) is not kept for the next photo.
constexpr std::size_t kKeptBufferBytes = 64u << 20;

}  // namespace

std::optional<RgbImage> renderBatchPhoto(std::string_view bytes, const BatchPhotoOptions& options,
                                         std::string* error) {
  // Decoded pictures are only passed through: each thread keeps one buffer.
  thread_local RgbImage decoded;
  PixelRect crop;
  double scale = 1.0;
  switch (sniffPictureFormat(bytes)) {
    case PictureFormat::Jpeg: {
      auto size = readJpegSize(bytes, options.limits);
      if (!size) {
        if (error) *error = "not a JPEG picture or too large";
        return std::nullopt;
      }
      crop = batchCropRect(size->width, size->height);
      DctScale dct = chooseDctScale(crop.width, crop.height, kBatchPhotoWidth, kBatchPhotoHeight,
                                    options.minDctFactor);
      if (!decodeJpegInto(bytes, dct, options.limits, decoded, error)) return std::nullopt;
      scale = double(dct.num) / dct.denom;
      break;
    }
    case PictureFormat::Bmp: {
      auto picture = decodeBmp(bytes, options.limits, error);
      if (!picture) return std::nullopt;
      decoded = std::move(*picture);
      crop = batchCropRect(decoded.width, decoded.height);
      break;
    }
    case PictureFormat::Unknown:
      if (error) *error = "not a JPEG or BMP picture";
      return std::nullopt;
  }
  SourceRect rect{crop.x * scale, crop.y * scale, crop.width * scale, crop.height * scale};
  RgbImage photo = scaleArea(decoded, rect, kBatchPhotoWidth, kBatchPhotoHeight);
  if (decoded.pixels.capacity() > kKeptBufferBytes) decoded = RgbImage();
  return photo;
}

std::optional<std::string> makeBatchPhoto(std::string_view bytes, const BatchPhotoOptions& options,
                                          std::string* error) {
  auto photo = renderBatchPhoto(bytes, options, error);
  if (!photo) return std::nullopt;
  std::string jpeg = encodeJpeg(*photo, kBatchPhotoQuality);
  if (jpeg.empty()) {
    if (error) *error = "encoding failed";
    return std::nullopt;
  }
  return jpeg;
}

}  // namespace qm::photo
