#include "common/profile_file.h"

#include "common/ascii.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/atomic_file.h"
#include "common/text_encoding.h"
#include "common/utf8.h"

namespace qm {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";
constexpr std::string_view kCrLf = "\r\n";
// GetPrivateProfileString is called with a 2048-byte buffer: one byte is the terminator.
constexpr std::size_t kValueBytes = 2047;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// One line of the file as it lies on disk, with what it means.
struct Line {
  std::string_view raw;  // without the line end
  std::string_view end;  // "\r\n", "\n" or empty for a last line without one
  enum Kind { Other, Section, Key } kind = Other;
  std::string name;        // section or key name, UTF-8, trimmed
  std::string value;       // key lines: the UTF-8 text after "="
  std::string text;        // the line decoded to UTF-8
};

// UTF-16 text (either byte order) as UTF-8; an unpaired surrogate gives U+FFFD
// and an odd last byte is dropped.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](std::size_t i) -> char16_t {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
  };
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
      const char16_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (cp >= 0xD800 && cp <= 0xDFFF) cp = 0xFFFD;
    utf8::append(out, cp);
  }
  return out;
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
  std::u16string units;
  utf8::appendAsUtf16(units, text);
  std::string out;
  out.reserve(units.size() * 2);
  for (char16_t u : units) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

// The file split into lines. A file with a UTF-8 byte order mark is UTF-8 text
// (Notepad writes it so) and is written back the same way; so is UTF-16 with
// its mark (Notepad's "Unicode"), held here as UTF-8 and turned back on
// writing; any other file is GB18030.
struct Document {
  enum Encoding { Ansi, Utf8, Utf16Le, Utf16Be };
  std::string bytes;  // the file, or for UTF-16 its text as UTF-8 after the mark
  std::string bom;
  Encoding encoding = Ansi;
  std::vector<Line> lines;

  bool unicode() const { return encoding != Ansi; }
  std::string decode(std::string_view s) const { return unicode() ? std::string(s) : gb18030ToUtf8(s); }
  std::string encode(std::string_view s) const { return unicode() ? std::string(s) : utf8ToGb18030(s); }
  // The file bytes of text built from the lines' raw bytes and encode().
  std::string finish(std::string_view text) const {
    if (encoding == Utf16Le || encoding == Utf16Be) return bom + utf8ToUtf16(text, encoding == Utf16Be);
    return bom + std::string(text);
  }

  void parse() {
    std::string_view rest(bytes);
    if (rest.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
      encoding = Utf8;
      bom = kUtf8Bom;
      rest.remove_prefix(kUtf8Bom.size());
    } else if (rest.substr(0, 2) == kUtf16LeBom || rest.substr(0, 2) == kUtf16BeBom) {
      encoding = rest.substr(0, 2) == kUtf16BeBom ? Utf16Be : Utf16Le;
      bom = rest.substr(0, 2);
      bytes = utf16ToUtf8(rest.substr(2), encoding == Utf16Be);
      rest = bytes;
    }
    while (!rest.empty()) {
      Line line;
      std::size_t nl = rest.find('\n');
      std::size_t len = nl == std::string_view::npos ? rest.size() : nl;
      std::size_t endLen = nl == std::string_view::npos ? 0 : 1;
      if (len > 0 && rest[len - 1] == '\r' && endLen) {
        --len;
        ++endLen;
      }
      line.raw = rest.substr(0, len);
      line.end = rest.substr(len, endLen);
      rest.remove_prefix(len + endLen);
      classify(line);
      lines.push_back(std::move(line));
    }
  }

  // Decoding first keeps "[", "]" and "=" from matching GBK trail bytes.
  void classify(Line& line) const {
    line.text = decode(line.raw);
    std::string_view t = trimBlanks(line.text);
    if (!t.empty() && t.front() == '[') {
      t.remove_prefix(1);
      std::size_t close = t.find(']');
      line.kind = Line::Section;
      line.name = std::string(trimBlanks(t.substr(0, close)));
      return;
    }
    if (t.empty() || t.front() == ';') return;
    std::size_t eq = t.find('=');
    if (eq == std::string_view::npos || eq == 0) return;
    line.kind = Line::Key;
    line.name = std::string(trimBlanks(t.substr(0, eq)));
    line.value = std::string(t.substr(eq + 1));
  }

  // Index of the first section line named section.
  std::optional<std::size_t> findSection(std::string_view section) const {
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i].kind == Line::Section && ascii::sameIgnoringCase(lines[i].name, section)) return i;
    return std::nullopt;
  }

  // One past the last line of the section that starts at header.
  std::size_t sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::Section) ++i;
    return i;
  }

  std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const {
    for (std::size_t i = header + 1, e = sectionEnd(header); i < e; ++i)
      if (lines[i].kind == Line::Key && ascii::sameIgnoringCase(lines[i].name, key)) return i;
    return std::nullopt;
  }
};

enum class Load { Ok, Missing, Failed };

// Only a regular file is read: a FIFO or a device would block or never end.
Load loadBytes(const std::string& path, std::string& bytes) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR ? Load::Missing : Load::Failed;
  if (!S_ISREG(st.st_mode)) return Load::Failed;
  // Non-blocking: something swapped in after the test must not hang us either.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? Load::Missing : Load::Failed;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char buf[8192];
  while (ok) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return ok ? Load::Ok : Load::Failed;
}

// Windows hands out one pair of matching quotes' contents.
std::string_view unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) return v.substr(1, v.size() - 2);
  return v;
}

// Length of the longest prefix of GB18030 bytes within limit that ends on a character boundary.
std::size_t gb18030Boundary(std::string_view s, std::size_t limit) {
  std::size_t i = 0;
  while (i < s.size()) {
    auto b = static_cast<unsigned char>(s[i]);
    std::size_t n = 1;
    if (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) {
      auto b2 = static_cast<unsigned char>(s[i + 1]);
      n = (b2 >= 0x30 && b2 <= 0x39) ? 4 : 2;
    }
    if (i + n > limit) break;
    i += n;
  }
  return std::min(i, limit);
}

// The part of value the 2047-byte buffer holds, counted in the ANSI encoding.
std::string cutToBuffer(std::string_view utf8) {
  std::string ansi = utf8ToGb18030(utf8);
  if (ansi.size() <= kValueBytes) return std::string(utf8);
  return gb18030ToUtf8(std::string_view(ansi).substr(0, gb18030Boundary(ansi, kValueBytes)));
}

// A line break inside a value would split the line and smuggle other keys into the file.
std::string singleLine(std::string_view value) {
  std::string out(value);
  for (char& c : out)
    if (c == '\r' || c == '\n') c = ' ';
  return out;
}

}  // namespace

std::string profileRead(std::string_view fileBytes, const std::string& section, const std::string& key,
                        const std::string& def) {
  Document doc;
  doc.bytes.assign(fileBytes);
  doc.parse();
  auto header = doc.findSection(section);
  if (!header) return def;
  auto line = doc.findKey(*header, key);
  if (!line) return def;
  return cutToBuffer(unquote(trimBlanks(doc.lines[*line].value)));
}

std::string profileWritten(std::string_view fileBytes, const std::string& section, const std::string& key,
                           const std::string& value) {
  Document doc;
  doc.bytes.assign(fileBytes);
  doc.parse();
  const std::string entry = doc.encode(key + "=" + singleLine(value));
  std::string out;
  // terminate: the line gets a line end even when it had none (the file's last line).
  auto emit = [&out](const Line& l, bool terminate = false) {
    out += l.raw;
    out += terminate && l.end.empty() ? kCrLf : l.end;
  };

  auto header = doc.findSection(section);
  if (!header) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) emit(doc.lines[i], i + 1 == doc.lines.size());
    out += doc.encode("[" + section + "]");
    out += kCrLf;
    out += entry;
    out += kCrLf;
  } else if (auto keyLine = doc.findKey(*header, key)) {
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
      const Line& l = doc.lines[i];
      if (i != *keyLine) {
        emit(l);
        continue;
      }
      // Keep the key as the file spells it; only the value changes.
      std::string name = doc.encode(std::string(trimBlanks(l.text.substr(0, l.text.find('=')))));
      out += name;
      out += "=";
      out += doc.encode(singleLine(value));
      out += l.end.empty() ? kCrLf : l.end;
    }
  } else {
    // New keys go after the section's last non-blank line, before the blank lines that part it from the next.
    std::size_t insertAfter = *header;
    for (std::size_t i = *header + 1, e = doc.sectionEnd(*header); i < e; ++i)
      if (!trimBlanks(doc.lines[i].text).empty()) insertAfter = i;
    for (std::size_t i = 0; i < doc.lines.size(); ++i) {
      if (i == insertAfter) {
        emit(doc.lines[i], true);
        out += entry;
        out += kCrLf;
      } else {
        emit(doc.lines[i]);
      }
    }
  }
  return doc.finish(out);
}

std::string ProfileFile::read(const std::string& section, const std::string& key, const std::string& def) const {
  std::string bytes;
  if (loadBytes(path_, bytes) != Load::Ok) return def;
  return profileRead(bytes, section, key, def);
}

bool ProfileFile::write(const std::string& section, const std::string& key, const std::string& value) {
  error_.clear();
  auto fail = [this] {
    error_ = "Unable to write to " + path_;
    return false;
  };
  std::string bytes;
  Load load = loadBytes(path_, bytes);
  if (load == Load::Failed) return fail();
  // A read-only file refuses the write, as it does on Windows, although a
  // rename could replace it; the save keeps the file's mode and writes
  // through a symbolic link to its target.
  if (load == Load::Ok && ::access(path_.c_str(), W_OK) != 0) return fail();
  if (!saveFileAtomically(path_, profileWritten(bytes, section, key, value))) return fail();
  return true;
}

}  // namespace qm
