#include "photo/image/bmp_codec.h"

#include <gtest/gtest.h>

#include "photo/image/picture_loader.h"
#include "tests/unit/photo/synthetic_photo.h"

namespace qm::photo {
namespace {

// Writes bitmap files field by field, as other programs lay them out.
struct BmpBuilder {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0, height = 0;
  std::uint16_t bits = 24;
  std::uint32_t compression = 0, colorsUsed = 0;
  std::string palette;  // raw entries
  std::string masks;    // after a 40-byte header, or inside a longer one
  std::string pixels;   // rows as stored in the file
  std::string build() const {
    std::string info;
    auto u16 = [](std::string& s, std::uint32_t v) { s += char(v & 0xFF), s += char((v >> 8) & 0xFF); };
    auto u32 = [&](std::string& s, std::uint32_t v) { u16(s, v & 0xFFFF), u16(s, v >> 16); };
    u32(info, headerSize);
    if (headerSize == 12) {
      u16(info, width), u16(info, height), u16(info, 1), u16(info, bits);
    } else if (headerSize == 16) {  // OS/2 2.x, short form
      u32(info, width), u32(info, height), u16(info, 1), u16(info, bits);
    } else {
      u32(info, width), u32(info, height), u16(info, 1), u16(info, bits), u32(info, compression), u32(info, 0);
      u32(info, 2835), u32(info, 2835), u32(info, colorsUsed), u32(info, 0);
      if (headerSize > 40) info += masks;
      info.resize(headerSize, '\0');
      if (headerSize == 40) info += masks;
    }
    std::string file = "BM";
    std::uint32_t offset = 14 + info.size() + palette.size();
    u32(file, offset + pixels.size()), u32(file, 0), u32(file, offset);
    return file + info + palette + pixels;
  }
};

std::string le32(std::uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

void expectPixel(const RgbImage& img, int x, int y, int r, int g, int b) {
  const std::uint8_t* p = img.row(y) + 3 * x;
  EXPECT_EQ(p[0], r) << x << "," << y;
  EXPECT_EQ(p[1], g) << x << "," << y;
  EXPECT_EQ(p[2], b) << x << "," << y;
}

TEST(BmpCodec, RoundTripIsExact) {
  for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {154, 189}}) {
    RgbImage src = test::randomImage(w, h, w);
    auto back = decodeBmp(encodeBmp(src));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width, w);
    EXPECT_EQ(back->pixels, src.pixels);
  }
}

TEST(BmpCodec, PalettedBitmapsBottomUpAndTopDown) {
  BmpBuilder b;
  b.width = 3, b.height = 2, b.bits = 8, b.colorsUsed = 3;
  b.palette = std::string("\x00\x00\xFF\x00" "\x00\xFF\x00\x00" "\xFF\x00\x00\x00", 12);  // red, green, blue (BGRx)
  b.pixels = std::string("\x00\x01\x02\x00" "\x02\x02\x01\x00", 8);  // file row 0 is the bottom row
  auto up = decodeBmp(b.build());
  ASSERT_TRUE(up);
  expectPixel(*up, 0, 1, 255, 0, 0);
  expectPixel(*up, 2, 1, 0, 0, 255);
  expectPixel(*up, 0, 0, 0, 0, 255);
  expectPixel(*up, 2, 0, 0, 255, 0);
  b.height = -2;  // top-down: file row 0 is the top row
  auto down = decodeBmp(b.build());
  ASSERT_TRUE(down);
  expectPixel(*down, 0, 0, 255, 0, 0);
  expectPixel(*down, 0, 1, 0, 0, 255);
}

TEST(BmpCodec, OneAndFourBitAndCoreHeader) {
  BmpBuilder one;
  one.width = 10, one.height = 1, one.bits = 1;
  one.palette = std::string("\x00\x00\x00\x00" "\xFF\xFF\xFF\x00", 8);
  one.pixels = std::string("\xA0\x40\x00\x00", 4);  // 1010 0000 01...
  auto img = decodeBmp(one.build());
  ASSERT_TRUE(img);
  expectPixel(*img, 0, 0, 255, 255, 255);
  expectPixel(*img, 1, 0, 0, 0, 0);
  expectPixel(*img, 2, 0, 255, 255, 255);
  expectPixel(*img, 9, 0, 255, 255, 255);

  BmpBuilder four;
  four.headerSize = 12, four.width = 3, four.height = 1, four.bits = 4;
  std::string entries(16 * 3, '\0');
  entries[5 * 3 + 2] = '\x10', entries[5 * 3 + 1] = '\x20', entries[5 * 3] = '\x30';  // entry 5, BGR
  four.palette = entries;
  four.pixels = std::string("\x05\x50\x00\x00", 4);
  auto core = decodeBmp(four.build());
  ASSERT_TRUE(core);
  expectPixel(*core, 0, 0, 0, 0, 0);
  expectPixel(*core, 1, 0, 0x10, 0x20, 0x30);
  expectPixel(*core, 2, 0, 0x10, 0x20, 0x30);
}

TEST(BmpCodec, ThirtyTwoAndSixteenBitsPlainAndWithMasks) {
  BmpBuilder plain;
  plain.width = 2, plain.height = 1, plain.bits = 32;
  plain.pixels = std::string("\x10\x20\x30\x00" "\x01\x02\x03\xFF", 8);  // BGRx
  auto p = decodeBmp(plain.build());
  ASSERT_TRUE(p);
  expectPixel(*p, 0, 0, 0x30, 0x20, 0x10);
  expectPixel(*p, 1, 0, 3, 2, 1);

  BmpBuilder v4;  // version 4 header, RGBA byte order through its masks
  v4.headerSize = 108, v4.width = 1, v4.height = -1, v4.bits = 32, v4.compression = 3;
  v4.masks = le32(0x000000FF) + le32(0x0000FF00) + le32(0x00FF0000) + le32(0xFF000000);
  v4.pixels = std::string("\x11\x22\x33\x44", 4);
  auto q = decodeBmp(v4.build());
  ASSERT_TRUE(q);
  expectPixel(*q, 0, 0, 0x11, 0x22, 0x33);

  BmpBuilder rgb565;  // 40-byte header with the masks after it
  rgb565.width = 2, rgb565.height = 1, rgb565.bits = 16, rgb565.compression = 3;
  rgb565.masks = le32(0xF800) + le32(0x07E0) + le32(0x001F);
  rgb565.pixels = std::string("\x00\xF8\x1F\x00", 4);  // pure red, pure blue
  auto r = decodeBmp(rgb565.build());
  ASSERT_TRUE(r);
  expectPixel(*r, 0, 0, 255, 0, 0);
  expectPixel(*r, 1, 0, 0, 0, 255);

  BmpBuilder rgb555;
  rgb555.width = 1, rgb555.height = 1, rgb555.bits = 16;
  rgb555.pixels = std::string("\xE0\x03\x00\x00", 4);  // green 31 of 31
  auto g = decodeBmp(rgb555.build());
  ASSERT_TRUE(g);
  expectPixel(*g, 0, 0, 0, 255, 0);
}

TEST(BmpCodec, RefusesMalformedFiles) {
  BmpBuilder good;
  good.width = 4, good.height = 4;
  good.pixels = std::string(4 * 12, '\x7F');
  ASSERT_TRUE(decodeBmp(good.build()));

  std::vector<std::pair<const char*, std::string>> bad;
  std::string full = good.build();
  bad.push_back({"pixel data cut off", full.substr(0, full.size() - 13)});
  bad.push_back({"info header cut off", full.substr(0, 30)});
  auto variant = [&](const char* what, auto change) {
    BmpBuilder b = good;
    change(b);
    bad.push_back({what, b.build()});
  };
  variant("zero width", [](BmpBuilder& b) { b.width = 0; });
  variant("negative width", [](BmpBuilder& b) { b.width = -4; });
  variant("zero height", [](BmpBuilder& b) { b.height = 0; });
  variant("most negative height", [](BmpBuilder& b) { b.height = INT32_MIN; });
  variant("huge size", [](BmpBuilder& b) { b.width = 60000, b.height = 60000; });
  variant("RLE8 on 24 bits", [](BmpBuilder& b) { b.compression = 1; });
  variant("RLE4 on 8 bits", [](BmpBuilder& b) { b.bits = 8, b.compression = 2; });
  variant("RLE24", [](BmpBuilder& b) { b.headerSize = 64, b.compression = 4; });
  variant("OS/2 Huffman", [](BmpBuilder& b) { b.headerSize = 64, b.bits = 1, b.compression = 3; });
  variant("embedded JPEG", [](BmpBuilder& b) { b.compression = 4; });
  variant("top-down RLE8", [](BmpBuilder& b) {
    b.bits = 8, b.compression = 1, b.height = -4, b.palette = std::string(1024, '\0');
    b.pixels = std::string("\x04\x01\x00\x00\x04\x01\x00\x00\x04\x01\x00\x00\x04\x01\x00\x01", 16);
  });
  variant("RLE8 cut off", [](BmpBuilder& b) {
    b.bits = 8, b.compression = 1, b.palette = std::string(1024, '\0');
    b.pixels = std::string("\x04\x01\x00\x00\x00\x05\x01\x02", 8);  // absolute run of 5 with 2 bytes
  });
  variant("unknown header", [](BmpBuilder& b) { b.headerSize = 20; });
  variant("odd bit count", [](BmpBuilder& b) { b.bits = 7; });
  variant("bit fields on 24 bits", [](BmpBuilder& b) { b.compression = 3, b.masks = std::string(12, '\xFF'); });
  variant("palette cut off", [](BmpBuilder& b) { b.bits = 8, b.colorsUsed = 200, b.pixels.clear(); });
  std::string farOffset = full;
  farOffset[10] = '\xFF', farOffset[11] = '\xFF', farOffset[12] = '\xFF', farOffset[13] = '\x7F';
  bad.push_back({"offset past the end", farOffset});
  bad.push_back({"no bitmap", "BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"});
  for (const auto& [what, bytes] : bad) {
    std::string error;
    EXPECT_FALSE(decodeBmp(bytes, {}, &error)) << what;
    EXPECT_FALSE(decodePicture(bytes)) << what;
  }
}

// Palette of 16: index i is (16 i, 255 - 16 i, i).
std::string rampPalette() {
  std::string p;
  for (int i = 0; i < 16; ++i) p += std::string{char(i), char(255 - 16 * i), char(16 * i), '\0'};  // BGRx
  return p + std::string(240 * 4, '\0');
}

// Run-length bitmaps: expected indices, rows top to bottom.
TEST(BmpCodec, RunLengthBitmaps) {
  const struct {
    const char* what;
    int bits, width, height;
    std::string stream;
    std::vector<std::string> rows;  // hex digits of the indices, top row first; '0' for skipped pixels
  } cases[] = {
      {"RLE8 runs and lines", 8, 4, 2, std::string("\x04\x03\x00\x00\x02\x05\x02\x06\x00\x01", 10), {"5566", "3333"}},
      {"RLE8 absolute, odd count padded", 8, 4, 1, std::string("\x00\x03\x01\x02\x03\x00\x01\x07\x00\x01", 10), {"1237"}},
      {"RLE8 delta skips pixels", 8, 4, 3,
       std::string("\x01\x09\x00\x02\x02\x01\x01\x0A\x00\x00\x01\x0B\x00\x01", 14), {"B000", "000A", "9000"}},
      {"RLE8 early end of bitmap", 8, 3, 2, std::string("\x03\x04\x00\x01", 4), {"000", "444"}},
      {"RLE8 run past the right edge", 8, 2, 2, std::string("\x05\x08\x00\x00\x02\x09\x00\x01", 8), {"99", "88"}},
      {"RLE4 runs alternate nibbles", 4, 5, 1, std::string("\x05\x12\x00\x01", 4), {"12121"}},
      {"RLE4 absolute", 4, 5, 1, std::string("\x00\x05\x34\x56\x70\x00\x00\x01", 8), {"34567"}},
      {"RLE4 absolute of four, no padding needed", 4, 4, 1, std::string("\x00\x04\xAB\xCD\x00\x01", 6), {"ABCD"}},
  };
  for (const auto& c : cases) {
    BmpBuilder b;
    b.width = c.width, b.height = c.height, b.bits = c.bits, b.compression = c.bits == 8 ? 1 : 2;
    b.palette = rampPalette().substr(0, (c.bits == 8 ? 256 : 16) * 4);
    b.pixels = c.stream;
    std::string error;
    auto img = decodeBmp(b.build(), {}, &error);
    ASSERT_TRUE(img) << c.what << ": " << error;
    ASSERT_EQ(img->width, c.width) << c.what;
    ASSERT_EQ(img->height, c.height) << c.what;
    for (int y = 0; y < c.height; ++y)
      for (int x = 0; x < c.width; ++x) {
        const int i = std::stoi(std::string(1, c.rows[y][x]), nullptr, 16);
        SCOPED_TRACE(std::string(c.what) + " at " + std::to_string(x) + "," + std::to_string(y));
        expectPixel(*img, x, y, 16 * i, 255 - 16 * i, i);
      }
  }
}

// OS/2 2.x headers: the short 16-byte form (no compression field) and the
// 64-byte one, with 4-byte palette entries; the 64-byte one run-length too.
TEST(BmpCodec, Os2VersionTwoHeaders) {
  for (std::uint32_t size : {16u, 64u}) {
    BmpBuilder b;
    b.headerSize = size, b.width = 3, b.height = 1, b.bits = 8;
    b.palette = rampPalette();
    b.pixels = std::string("\x01\x02\x0F\x00", 4);
    auto img = decodeBmp(b.build());
    ASSERT_TRUE(img) << size;
    expectPixel(*img, 0, 0, 16, 239, 1);
    expectPixel(*img, 2, 0, 240, 15, 15);

    BmpBuilder rgb;
    rgb.headerSize = size, rgb.width = 1, rgb.height = 1;
    rgb.pixels = std::string("\x10\x20\x30\x00", 4);
    auto px = decodeBmp(rgb.build());
    ASSERT_TRUE(px) << size;
    expectPixel(*px, 0, 0, 0x30, 0x20, 0x10);
  }
  BmpBuilder rle;
  rle.headerSize = 64, rle.width = 2, rle.height = 1, rle.bits = 4, rle.compression = 2;
  rle.palette = rampPalette().substr(0, 64);
  rle.pixels = std::string("\x02\x3C\x00\x01", 4);
  auto img = decodeBmp(rle.build());
  ASSERT_TRUE(img);
  expectPixel(*img, 0, 0, 48, 207, 3);
  expectPixel(*img, 1, 0, 192, 63, 12);
}

TEST(BmpCodec, IndexPastThePaletteIsBlack) {
  BmpBuilder b;
  b.width = 2, b.height = 1, b.bits = 8, b.colorsUsed = 1;
  b.palette = std::string("\xFF\xFF\xFF\x00", 4);
  b.pixels = std::string("\x00\xC8\x00\x00", 4);
  auto img = decodeBmp(b.build());
  ASSERT_TRUE(img);
  expectPixel(*img, 0, 0, 255, 255, 255);
  expectPixel(*img, 1, 0, 0, 0, 0);
}

}  // namespace
}  // namespace qm::photo
