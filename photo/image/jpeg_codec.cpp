#include "photo/image/jpeg_codec.h"

#include <algorithm>
#include <cstring>
#include <vector>
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

// An APP14 "Adobe" segment before the first scan. Adobe's programs write
// CMYK with every channel inverted (255 = no ink) and say so by this segment;
// YCCK is only known through it.
bool hasAdobeMarker(std::string_view bytes) {
  const auto* p = bytesOf(bytes);
  std::size_t i = 2, n = bytes.size();
  while (i + 4 <= n) {
    if (p[i] != 0xFF) return false;
    unsigned marker = p[i + 1];
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
      i += 2;
      continue;
    }
    if (marker == 0xDA || marker == 0xD9) return false;
    std::size_t length = (std::size_t(p[i + 2]) << 8) | p[i + 3];
    if (length < 2) return false;
    if (marker == 0xEE && length >= 7 && i + 9 <= n && std::memcmp(p + i + 4, "Adobe", 5) == 0) return true;
    i += 2 + length;
  }
  return false;
}

// CMYK as the decoder gives it to RGB: each colour is what its ink and the
// black leave of the paper's white.
void cmykToRgb(const std::vector<std::uint8_t>& cmyk, bool inverted, RgbImage& out) {
  const std::size_t pixels = static_cast<std::size_t>(out.width) * out.height;
  const std::uint8_t* in = cmyk.data();
  std::uint8_t* rgb = out.pixels.data();
  for (std::size_t i = 0; i < pixels; ++i, in += 4, rgb += 3) {
    unsigned c = in[0], m = in[1], y = in[2], k = in[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    // Now the share of white each channel lets through, 255 for none of its ink.
    rgb[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
    rgb[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
    rgb[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
  }
}

bool isScaleSupported(DctScale s) {
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  for (int i = 0; factors && i < count; ++i)
    if (factors[i].num * s.denom == s.num * factors[i].denom) return true;
  return false;
}

}  // namespace

namespace {

struct JpegHeader {
  JpegSize size;
  int colorspace = TJCS_RGB;
};

std::optional<JpegHeader> readHeader(std::string_view bytes, const DecodeLimits& limits) {
  tjhandle h = decoder();
  if (!h || bytes.empty()) return std::nullopt;
  int w = 0, hgt = 0, subsamp = 0, colorspace = 0;
  if (tjDecompressHeader3(h, bytesOf(bytes), bytes.size(), &w, &hgt, &subsamp, &colorspace) != 0) {
    dropDecoder();
    return std::nullopt;
  }
  if (!withinLimits(w, hgt, limits)) return std::nullopt;
  return JpegHeader{{w, hgt}, colorspace};
}

}  // namespace

std::optional<JpegSize> readJpegSize(std::string_view bytes, const DecodeLimits& limits) {
  auto header = readHeader(bytes, limits);
  if (!header) return std::nullopt;
  return header->size;
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
  auto header = readHeader(bytes, limits);
  if (!header) return fail("not a JPEG picture or too large");
  if (!isScaleSupported(scale)) return fail("unsupported scale");
  out.width = scale.scaled(header->size.width);
  out.height = scale.scaled(header->size.height);
  out.pixels.resize(out.stride() * out.height);
  // The decoder turns only YCbCr, RGB and grey into RGB; four-channel files
  // come out as CMYK (YCCK made CMYK by the decoder) and are converted here.
  const bool fourChannel = header->colorspace == TJCS_CMYK || header->colorspace == TJCS_YCCK;
  thread_local std::vector<std::uint8_t> cmyk;
  if (fourChannel) cmyk.resize(static_cast<std::size_t>(out.width) * out.height * 4);
  // LIMITSCANS refuses progressive files with absurd scan counts, which
  // would otherwise take minutes to decode.
  int rc = tjDecompress2(h, bytesOf(bytes), bytes.size(), fourChannel ? cmyk.data() : out.pixels.data(), out.width,
                         0, out.height, fourChannel ? TJPF_CMYK : TJPF_RGB, TJFLAG_LIMITSCANS | TJFLAG_ACCURATEDCT);
  if (rc != 0) {
    std::string msg = tjGetErrorStr2(h);
    bool warningOnly = tjGetErrorCode(h) == TJERR_WARNING;
    dropDecoder();
    // A cut-off file decodes with grey rows at the bottom: not a usable photo.
    if (!warningOnly || msg.find("Premature end") != std::string::npos) return fail(msg.c_str());
  }
  if (fourChannel) {
    cmykToRgb(cmyk, header->colorspace == TJCS_YCCK || hasAdobeMarker(bytes), out);
    if (cmyk.capacity() > (16u << 20)) std::vector<std::uint8_t>().swap(cmyk);
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
                       std::clamp(quality, 1, 100), TJFLAG_ACCURATEDCT);
  std::string result;
  if (rc == 0 && out) result.assign(reinterpret_cast<const char*>(out), outSize);
  tjFree(out);
  if (rc != 0) encoderSlot().reset();
  return result;
}

}  // namespace qm::photo
