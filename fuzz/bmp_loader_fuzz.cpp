// libFuzzer target: the BMP loader on any bytes. A decoded bitmap has the
// size it reports and survives a round trip through the 24-bit writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "photo/image/bmp_codec.h"
#include "photo/image/picture_loader.h"

using namespace qm::photo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  DecodeLimits limits;
  limits.maxPixels = 1'000'000;
  auto image = decodeBmp(bytes, limits);
  if (!image) return 0;
  if (image->width <= 0 || image->height <= 0 || image->pixels.size() != image->stride() * image->height)
    std::abort();
  auto again = decodeBmp(encodeBmp(*image), limits);
  if (!again || again->pixels != image->pixels) std::abort();
  if (!decodePicture(bytes, limits)) std::abort();
  return 0;
}
