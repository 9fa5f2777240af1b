#include "workbook/xls/xls_strings.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "common/text_encoding.h"
#include "common/utf8.h"
#include "workbook/cell_text.h"

namespace qm::xls {
namespace {

void appendCodePoint(std::string& out, char32_t cp) { utf8::append(out, cp); }

const char* iconvName(int codePage, std::string& buf) {
  switch (codePage) {
    case 367: return "ASCII";
    case 1200: return "UTF-16LE";
    case 10000: return "MACINTOSH";
    case 32768: return "MACINTOSH";
    default:
      buf = "CP" + std::to_string(codePage);
      return buf.c_str();
  }
}

}  // namespace

void appendUtf16(std::string& out, const unsigned char* le, std::size_t units, std::size_t& unitsWritten) {
  for (std::size_t i = 0; i < units; ++i) {
    char32_t u = le[2 * i] | (le[2 * i + 1] << 8);
    std::size_t cost = 1;
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units) {
      const char32_t low = le[2 * i + 2] | (le[2 * i + 3] << 8);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
        cost = 2;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) u = 0xFFFD;
    if (unitsWritten + cost > cells::kMaxCellUnits) {
      unitsWritten = cells::kMaxCellUnits;
      return;
    }
    unitsWritten += cost;
    if (cost == 2) ++i;
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
    } else {
      appendCodePoint(out, u);
    }
  }
}

TextDecoder::~TextDecoder() {
  if (iconv_ != nullptr) iconv_close(static_cast<iconv_t>(iconv_));
}

void TextDecoder::setCodePage(int codePage) {
  if (iconv_ != nullptr) iconv_close(static_cast<iconv_t>(iconv_));
  iconv_ = nullptr;
  codePage_ = codePage;
  if (codePage == 936 || codePage == 1252 || codePage == 1200) return;
  std::string buf;
  const iconv_t cd = iconv_open("UTF-8", iconvName(codePage, buf));
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    codePage_ = 936;  // an unknown code page: the Chinese default
  } else {
    iconv_ = cd;
  }
}

void TextDecoder::appendCodePage(std::string_view bytes, std::string& out) {
  const std::size_t begin = out.size();
  bool ascii = true;
  for (const char c : bytes) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) {
    out.append(bytes);
  } else if (codePage_ == 936) {
    out += gbkToUtf8(bytes);
  } else if (codePage_ == 1252 || iconv_ == nullptr) {
    for (const char c : bytes) appendCodePoint(out, static_cast<unsigned char>(c));
  } else {
    auto cd = static_cast<iconv_t>(iconv_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(bytes.data());
    std::size_t left = bytes.size();
    char buf[1024];
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      const std::size_t r = iconv(cd, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
        out += "\xEF\xBF\xBD";
        ++src;
        --left;
      }
    }
  }
  cells::capCellText(out, begin);
}

void TextDecoder::appendCharacters(RecordCursor& in, std::size_t count, std::uint8_t flags, std::string& out) const {
  std::size_t units = 0;
  std::size_t got = 0;
  while (got < count) {
    if (in.available(false) == 0) {
      // The characters go on in the next piece, after a flags byte of their own.
      if (!in.nextPiece()) in.fail();
      flags = in.u8();
    }
    const std::size_t width = (flags & 0x01) != 0 ? 2 : 1;
    const std::size_t have = in.available(false) / width;
    if (have == 0) in.fail();
    const std::size_t n = std::min(have, count - got);
    const std::string_view part = in.take(n * width);
    const auto* p = reinterpret_cast<const unsigned char*>(part.data());
    if (width == 2) {
      if (units < cells::kMaxCellUnits) appendUtf16(out, p, n, units);
    } else {
      for (std::size_t i = 0; i < n && units < cells::kMaxCellUnits; ++i, ++units) {
        if (p[i] < 0x80) {
          out.push_back(static_cast<char>(p[i]));
        } else {
          appendCodePoint(out, p[i]);
        }
      }
    }
    got += n;
  }
}

void TextDecoder::appendBiff8(RecordCursor& in, std::size_t count, std::string& out) const {
  const std::uint8_t flags = in.u8();
  std::size_t runs = 0, phonetic = 0;
  if ((flags & 0x08) != 0) runs = in.u16();
  if ((flags & 0x04) != 0) phonetic = in.u32();
  appendCharacters(in, count, flags, out);
  in.skip(runs * 4);
  in.skip(phonetic);
}

void TextDecoder::appendBytes(RecordCursor& in, std::size_t count, std::string& out) {
  std::string raw;
  while (raw.size() < count) raw.append(in.take(count - raw.size()));
  appendCodePage(raw, out);
}

void TextDecoder::appendString16(RecordCursor& in, std::string& out) {
  const std::size_t count = in.u16();
  if (biff8_) {
    appendBiff8(in, count, out);
  } else {
    appendBytes(in, count, out);
  }
}

void TextDecoder::appendString8(RecordCursor& in, std::string& out) {
  const std::size_t count = in.u8();
  if (biff8_) {
    appendBiff8(in, count, out);
  } else {
    appendBytes(in, count, out);
  }
}

}  // namespace qm::xls
