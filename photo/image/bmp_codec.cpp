#include "photo/image/bmp_codec.h"

#include <array>
#include <cstdint>
#include <limits>
#include <vector>

namespace qm::photo {
namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

std::uint32_t le16(std::string_view b, std::size_t at) {
  return static_cast<unsigned char>(b[at]) | (static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t le32(std::string_view b, std::size_t at) {
  return le16(b, at) | (le16(b, at + 2) << 16);
}

// One colour channel taken out of a pixel word by its mask, widened to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint64_t max = 0;
  explicit Channel(std::uint32_t m = 0) : mask(m) {
    if (!mask) return;
    while (!((mask >> shift) & 1u)) ++shift;
    max = mask >> shift;
  }
  std::uint8_t operator()(std::uint32_t word) const {
    if (!max) return 0;
    std::uint64_t v = (word & mask) >> shift;
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  }
};

struct Layout {
  std::int64_t width = 0, height = 0;
  bool topDown = false;
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::size_t headerEnd = 0;  // file offset after the info header
  std::uint32_t paletteCount = 0;
  int paletteEntry = 4;  // bytes per palette entry (3 in core headers)
  Channel red, green, blue;
  bool rle() const { return compression == kRle8 || compression == kRle4; }
};

std::optional<RgbImage> failWith(std::string* error, const char* what) {
  if (error) *error = what;
  return std::nullopt;
}

// Reads the info header; returns an error text or nullptr.
const char* readLayout(std::string_view b, Layout& l) {
  std::uint32_t headerSize = le32(b, 14);
  if (headerSize > b.size() - 14) return "info header cut off";
  // 16 and 64 bytes: OS/2 2.x, whose fields are those of a 40-byte header as
  // far as they go, a 4-byte palette entry, and compression 3 meaning
  // Huffman, not bit fields.
  const bool os2v2 = headerSize == 16 || headerSize == 64;
  if (headerSize == 12) {
    l.width = le16(b, 18);
    l.height = le16(b, 20);
    l.bits = static_cast<int>(le16(b, 24));
    l.paletteEntry = 3;
  } else if (headerSize == 16) {
    l.width = static_cast<std::int32_t>(le32(b, 18));
    l.height = static_cast<std::int32_t>(le32(b, 22));
    l.bits = static_cast<int>(le16(b, 28));
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 64 || headerSize == 108 ||
             headerSize == 124) {
    l.width = static_cast<std::int32_t>(le32(b, 18));
    l.height = static_cast<std::int32_t>(le32(b, 22));
    l.bits = static_cast<int>(le16(b, 28));
    l.compression = le32(b, 30);
    l.paletteCount = le32(b, 46);
  } else {
    return "unknown info header";
  }
  l.headerEnd = 14 + headerSize;
  if (l.height < 0) {
    l.topDown = true;
    l.height = -l.height;
  }
  if (os2v2 && l.compression != kRgb && !l.rle()) return "compressed bitmaps are not supported";
  if (l.compression != kRgb && !l.rle() && l.compression != kBitFields && l.compression != kAlphaBitFields)
    return "compressed bitmaps are not supported";
  if (l.compression == kRle8 && l.bits != 8) return "RLE8 needs 8 bits";
  if (l.compression == kRle4 && l.bits != 4) return "RLE4 needs 4 bits";
  if (l.rle() && l.topDown) return "run-length bitmaps are bottom-up";
  switch (l.bits) {
    case 1: case 4: case 8: case 24:
      if (l.compression != kRgb && !l.rle()) return "bit fields need 16 or 32 bits";
      break;
    case 16: case 32: break;
    default: return "unsupported bit count";
  }
  if (l.bits <= 8) {
    std::uint32_t full = 1u << l.bits;
    if (l.paletteCount == 0 || l.paletteCount > full) l.paletteCount = full;
  } else {
    l.paletteCount = 0;
  }
  if (l.compression == kRgb || l.rle()) {
    if (l.bits == 16) {
      l.red = Channel(0x7C00), l.green = Channel(0x03E0), l.blue = Channel(0x001F);
    } else if (l.bits == 32) {
      l.red = Channel(0xFF0000), l.green = Channel(0xFF00), l.blue = Channel(0xFF);
    }
  } else {
    // Masks sit inside version 2+ headers, or right after a 40-byte one.
    std::size_t maskAt = 54;
    if (headerSize == 40) {
      l.headerEnd += l.compression == kAlphaBitFields ? 16 : 12;
      if (l.headerEnd > b.size()) return "bit-field masks cut off";
    }
    l.red = Channel(le32(b, maskAt)), l.green = Channel(le32(b, maskAt + 4)), l.blue = Channel(le32(b, maskAt + 8));
  }
  return nullptr;
}

// Palette indices of a run-length bitmap, rows bottom-up as in the file.
// Pixels the stream skips (by a delta or an early end of line) keep index 0;
// pixels past the right edge are dropped. nullptr, or what is wrong.
const char* readRle(std::string_view data, const Layout& l, std::vector<std::uint8_t>& indices) {
  const auto w = static_cast<std::size_t>(l.width), h = static_cast<std::size_t>(l.height);
  indices.assign(w * h, 0);
  const bool four = l.compression == kRle4;
  std::size_t x = 0, y = 0, i = 0;
  auto put = [&](std::uint8_t index) {
    if (x < w && y < h) indices[y * w + x] = index;
    ++x;
  };
  auto byte = [&](std::size_t at) { return static_cast<std::uint8_t>(data[at]); };
  while (y < h) {
    if (i + 2 > data.size()) return "pixel data cut off";
    const std::uint8_t count = byte(i), value = byte(i + 1);
    i += 2;
    if (count > 0) {  // a run; RLE4 alternates the two nibbles
      for (int n = 0; n < count; ++n) put(four ? (n % 2 ? value & 0x0F : value >> 4) : value);
    } else if (value == 0) {  // end of line
      x = 0, ++y;
    } else if (value == 1) {  // end of bitmap
      return nullptr;
    } else if (value == 2) {  // move right and up
      if (i + 2 > data.size()) return "pixel data cut off";
      x += byte(i), y += byte(i + 1);
      i += 2;
    } else {  // value pixels as they are, padded to a 16-bit boundary
      const std::size_t bytes = four ? (value + 1u) / 2 : value;
      if (i + bytes > data.size()) return "pixel data cut off";
      for (int n = 0; n < value; ++n) {
        const std::uint8_t b = byte(i + (four ? n / 2 : n));
        put(four ? (n % 2 ? b & 0x0F : b >> 4) : b);
      }
      i += bytes + (bytes & 1);
    }
  }
  return nullptr;  // every row is there; an end-of-bitmap mark may be left out
}

}  // namespace

std::optional<RgbImage> decodeBmp(std::string_view b, const DecodeLimits& limits, std::string* error) {
  if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') return failWith(error, "not a bitmap file");
  Layout l;
  if (const char* what = readLayout(b, l)) return failWith(error, what);
  if (l.width <= 0 || l.height <= 0 || l.width > limits.maxDimension || l.height > limits.maxDimension ||
      static_cast<std::uint64_t>(l.width * l.height) > limits.maxPixels)
    return failWith(error, "bad or too large picture size");

  std::array<std::array<std::uint8_t, 3>, 256> palette{};
  if (l.paletteCount) {
    std::size_t need = l.headerEnd + static_cast<std::size_t>(l.paletteCount) * l.paletteEntry;
    if (need > b.size()) return failWith(error, "palette cut off");
    for (std::uint32_t i = 0; i < l.paletteCount; ++i) {
      std::size_t at = l.headerEnd + static_cast<std::size_t>(i) * l.paletteEntry;
      palette[i] = {static_cast<std::uint8_t>(b[at + 2]), static_cast<std::uint8_t>(b[at + 1]),
                    static_cast<std::uint8_t>(b[at])};
    }
  }

  std::uint64_t offset = le32(b, 10);
  if (l.rle()) {
    if (offset > b.size()) return failWith(error, "pixel data cut off");
    std::vector<std::uint8_t> indices;
    if (const char* what = readRle(b.substr(offset), l, indices)) return failWith(error, what);
    RgbImage image(static_cast<int>(l.width), static_cast<int>(l.height));
    for (int y = 0; y < image.height; ++y) {
      const std::uint8_t* src = indices.data() + static_cast<std::size_t>(image.height - 1 - y) * image.width;
      std::uint8_t* dst = image.row(y);
      for (int x = 0; x < image.width; ++x, dst += 3) {
        const std::uint8_t index = src[x];
        if (index < l.paletteCount) {
          dst[0] = palette[index][0], dst[1] = palette[index][1], dst[2] = palette[index][2];
        } else {
          dst[0] = dst[1] = dst[2] = 0;
        }
      }
    }
    return image;
  }
  std::uint64_t rowBytes = (static_cast<std::uint64_t>(l.width) * l.bits + 7) / 8;
  std::uint64_t stride = (static_cast<std::uint64_t>(l.width) * l.bits + 31) / 32 * 4;
  // The last row may lack its padding; every pixel must be there.
  if (offset > b.size() || stride * (l.height - 1) + rowBytes > b.size() - offset)
    return failWith(error, "pixel data cut off");

  RgbImage image(static_cast<int>(l.width), static_cast<int>(l.height));
  for (int y = 0; y < image.height; ++y) {
    int fileRow = l.topDown ? y : image.height - 1 - y;
    const auto* src = reinterpret_cast<const unsigned char*>(b.data() + offset + stride * fileRow);
    std::uint8_t* dst = image.row(y);
    for (int x = 0; x < image.width; ++x, dst += 3) {
      switch (l.bits) {
        case 24:
          dst[0] = src[3 * x + 2], dst[1] = src[3 * x + 1], dst[2] = src[3 * x];
          break;
        case 16:
        case 32: {
          std::uint32_t word = l.bits == 16 ? (src[2 * x] | (src[2 * x + 1] << 8))
                                            : (src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                                               (static_cast<std::uint32_t>(src[4 * x + 3]) << 24));
          dst[0] = l.red(word), dst[1] = l.green(word), dst[2] = l.blue(word);
          break;
        }
        default: {
          int perByte = 8 / l.bits;
          int shift = 8 - l.bits * (x % perByte + 1);
          std::uint32_t index = (src[x / perByte] >> shift) & ((1u << l.bits) - 1);
          // An index past the palette shows black rather than reading beyond it.
          if (index < l.paletteCount) {
            dst[0] = palette[index][0], dst[1] = palette[index][1], dst[2] = palette[index][2];
          } else {
            dst[0] = dst[1] = dst[2] = 0;
          }
        }
      }
    }
  }
  return image;
}

std::string encodeBmp(const RgbImage& image) {
  if (image.empty()) return {};
  std::uint64_t stride = (static_cast<std::uint64_t>(image.width) * 3 + 3) / 4 * 4;
  std::uint64_t dataSize = stride * image.height;
  if (dataSize + 54 > std::numeric_limits<std::uint32_t>::max()) return {};
  std::string out(54 + dataSize, '\0');
  auto put16 = [&](std::size_t at, std::uint32_t v) {
    out[at] = static_cast<char>(v & 0xFF);
    out[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  };
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  out[0] = 'B', out[1] = 'M';
  put32(2, static_cast<std::uint32_t>(out.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(image.width));
  put32(22, static_cast<std::uint32_t>(image.height));
  put16(26, 1);
  put16(28, 24);
  put32(34, static_cast<std::uint32_t>(dataSize));
  put32(38, 2835), put32(42, 2835);  // 72 dpi
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* src = image.row(image.height - 1 - y);
    char* dst = out.data() + 54 + stride * y;
    for (int x = 0; x < image.width; ++x) {
      dst[3 * x] = static_cast<char>(src[3 * x + 2]);
      dst[3 * x + 1] = static_cast<char>(src[3 * x + 1]);
      dst[3 * x + 2] = static_cast<char>(src[3 * x]);
    }
  }
  return out;
}

}  // namespace qm::photo
