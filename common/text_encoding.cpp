#include "common/text_encoding.h"

#include "common/utf8.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace qm {
namespace {

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts in; on an invalid or unconvertible input sequence appends replacement
  // and skips skip(remaining input) bytes.
  template <typename Skip>
  std::string run(std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    out.reserve(in.size() * 2 + 8);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[4096];
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
      char* dst = buf;
      std::size_t dstLeft = sizeof buf;
      std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf, dst - buf);
      if (r != static_cast<std::size_t>(-1)) continue;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (truncated sequence at the end).
      out.append(replacement);
      std::size_t n = std::min(srcLeft, skip(std::string_view(src, srcLeft)));
      src += n;
      srcLeft -= n;
    }
    return out;
  }

 private:
  iconv_t cd_;
};

std::string fromUtf8(const char* to, std::string_view utf8) {
  Converter c(to, "UTF-8");
  return c.run(utf8, "?", [](std::string_view rest) { return utf8::leadLength(static_cast<unsigned char>(rest[0])); });
}

std::string toUtf8(const char* from, std::string_view bytes, bool fourByteForms) {
  Converter c("UTF-8", from);
  return c.run(bytes, "\xEF\xBF\xBD", [fourByteForms](std::string_view rest) -> std::size_t {
    auto b = static_cast<unsigned char>(rest[0]);
    if (b < 0x81 || b == 0xFF || rest.size() < 2) return 1;
    auto b2 = static_cast<unsigned char>(rest[1]);
    if (fourByteForms && b2 >= 0x30 && b2 <= 0x39) return rest.size() >= 4 ? 4 : rest.size();
    return (b2 >= 0x40 && b2 != 0x7F && b2 != 0xFF) ? 2 : 1;
  });
}

}  // namespace

std::string utf8ToGbk(std::string_view utf8) { return fromUtf8("CP936", utf8); }
std::string gbkToUtf8(std::string_view gbk) { return toUtf8("CP936", gbk, false); }
std::string utf8ToGb18030(std::string_view utf8) { return fromUtf8("GB18030", utf8); }
std::string gb18030ToUtf8(std::string_view gb18030) { return toUtf8("GB18030", gb18030, true); }
std::size_t gbkByteLength(std::string_view utf8) { return utf8ToGbk(utf8).size(); }

std::string utf16ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  auto put = [&out](char32_t cp) { utf8::append(out, cp); };
  for (std::size_t i = 0; i < s.size(); ++i) {
    char16_t u = s[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      put(0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      put(0xFFFD);
    } else {
      put(u);
    }
  }
  return out;
}

}  // namespace qm
