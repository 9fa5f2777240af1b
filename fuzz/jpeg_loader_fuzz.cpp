// libFuzzer target: the JPEG loader and the batch photo pipeline on any bytes.
// Decoding either refuses or yields a picture of the size it reports.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "photo/image/batch_photo.h"
#include "photo/image/jpeg_codec.h"
#include "photo/image/picture_loader.h"

using namespace qm::photo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DecodeLimits limits;
  limits.maxPixels = 1'000'000;  // keeps each input fast; the checks are the same
  auto header = readJpegSize(bytes, limits);
  auto full = decodeJpeg(bytes, {}, limits);
  if (full) {
    if (!header || full->width != header->width || full->height != header->height) std::abort();
    if (full->pixels.size() != full->stride() * full->height) std::abort();
  }
  auto eighth = decodeJpeg(bytes, DctScale{1, 8}, limits);
  if (eighth && header && (eighth->width != (header->width + 7) / 8 || eighth->height != (header->height + 7) / 8))
    std::abort();
  BatchPhotoOptions options;
  options.limits = limits;
  auto photo = renderBatchPhoto(bytes, options);
  if (photo && (photo->width != 154 || photo->height != 189)) std::abort();
  decodePicture(bytes, limits);
  return 0;
}
