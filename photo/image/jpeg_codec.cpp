#include "photo/image/jpeg_codec.h"

#include <algorithm>
#include <memory>
#include <turbojpeg.h>

namespace qm::photo {
namespace {

struct HandleCloser {
  void operator()(void* h) const {
    if (h) tjDestroy(h);
  }
};
using Handle = std::unique_ptr<void, HandleCloser>;

// One handle of each kind per thread. After a failure a handle can be left
// mid-header (the next header read then fails too), so failures replace it.
Handle& decoderSlot() {
  thread_local Handle h;
  if (!h) h.reset(tjInitDecompress());
  return h;
}

tjhandle decoder() { return decoderSlot().get(); }
void dropDecoder() { decoderSlot().reset(); }

Handle& encoderSlot() {
  thread_local Handle h;
  if (!h) h.reset(tjInitCompress());
  return h;
}

const unsigned char* bytesOf(std::string_view s) { return reinterpret_cast<const unsigned char*>(s.data()); }

bool withinLimits(int w, int h, const DecodeLimits& limits) {
  return w > 0 && h > 0 && w <= limits.maxDimension && h <= limits.maxDimension &&
         static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) <= limits.maxPixels;
}

bool isScaleSupported(DctScale s) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  for (int i = 0; factors && i < count; ++i)
    if (factors[i].num * s.denom == s.num * factors[i].denom) return true;
  return false;
}

}  // namespace

std::optional<JpegSize> readJpegSize(std::string_view bytes, const DecodeLimits& limits) {
  tjhandle h = decoder();
  if (!h || bytes.empty()) return std::nullopt;
  int w = 0, hgt = 0, subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(h, bytesOf(bytes), bytes.size(), &w, &hgt, &subsamp, &colorspace) != 0) {
    dropDecoder();
    return std::nullopt;
  }
  if (!withinLimits(w, hgt, limits)) return std::nullopt;
  return JpegSize{w, hgt};
}

DctScale chooseDctScale(double cropWidth, double cropHeight, int outWidth, int outHeight, double minFactor) {
  for (int denom : {8, 4, 2}) {
    DctScale s{1, denom};
    if (cropWidth / denom >= minFactor * outWidth && cropHeight / denom >= minFactor * outHeight &&
        isScaleSupported(s))
      return s;
  }
  return {};
}

bool decodeJpegInto(std::string_view bytes, DctScale scale, const DecodeLimits& limits, RgbImage& out,
                    std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = what;
    out.width = out.height = 0;
    out.pixels.clear();
    return false;
  };
  tjhandle h = decoder();
  if (!h) return fail("no decoder");
  auto size = readJpegSize(bytes, limits);
  if (!size) return fail("not a JPEG picture or too large");
  if (!isScaleSupported(scale)) return fail("unsupported scale");
  out.width = scale.scaled(size->width);
  out.height = scale.scaled(size->height);
  out.pixels.resize(out.stride() * out.height);
  // LIMITSCANS refuses progressive files with absurd scan counts, which
  // would otherwise take minutes to decode.
  int rc = tjDecompress2(h, bytesOf(bytes), bytes.size(), out.pixels.data(), out.width, 0, out.height, TJPF_RGB,
                         TJFLAG_LIMITSCANS);
  if (rc != 0) {
    std::string msg = tjGetErrorStr2(h);
    bool warningOnly = tjGetErrorCode(h) == TJERR_WARNING;
    dropDecoder();
    // A cut-off file decodes with grey rows at the bottom: not a usable photo.
    if (!warningOnly || msg.find("Premature end") != std::string::npos) return fail(msg.c_str());
  }
  return true;
}

std::optional<RgbImage> decodeJpeg(std::string_view bytes, DctScale scale, const DecodeLimits& limits,
                                   std::string* error) {
  RgbImage image;
  if (!decodeJpegInto(bytes, scale, limits, image, error)) return std::nullopt;
  return image;
}

std::string encodeJpeg(const RgbImage& image, int quality) {
  tjhandle h = encoderSlot().get();
  if (!h || image.empty() || image.pixels.size() < image.stride() * image.height) return {};
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  int rc = tjCompress2(h, image.pixels.data(), image.width, 0, image.height, TJPF_RGB, &out, &outSize, TJSAMP_420,
                       std::clamp(quality, 1, 100), 0);
  std::string result;
  if (rc == 0 && out) result.assign(reinterpret_cast<const char*>(out), outSize);
  tjFree(out);
  if (rc != 0) encoderSlot().reset();
  return result;
}

}  // namespace qm::photo
