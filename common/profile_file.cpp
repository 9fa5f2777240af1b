#include "common/profile_file.h"

#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "common/atomic_file.h"
#include "common/text_encoding.h"

namespace qm {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kCrLf = "\r\n";
// GetPrivateProfileString is called with a 2048-byte buffer: one byte is the terminator.
constexpr std::size_t kValueBytes = 2047;

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && (isBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// ASCII letters only: the Chinese names compare byte for byte.
bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
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

// The file split into lines. A file with a UTF-8 byte order mark is UTF-8 text
// (Notepad writes it so) and is written back the same way; any other file is GB18030.
struct Document {
  std::string bytes;
  std::string_view bom;
  std::vector<Line> lines;

  bool utf8() const { return !bom.empty(); }
  std::string decode(std::string_view s) const { return utf8() ? std::string(s) : gb18030ToUtf8(s); }
  std::string encode(std::string_view s) const { return utf8() ? std::string(s) : utf8ToGb18030(s); }

  void parse() {
    std::string_view rest(bytes);
    if (rest.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
      bom = rest.substr(0, kUtf8Bom.size());
      rest.remove_prefix(kUtf8Bom.size());
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
      if (lines[i].kind == Line::Section && sameName(lines[i].name, section)) return i;
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
      if (lines[i].kind == Line::Key && sameName(lines[i].name, key)) return i;
    return std::nullopt;
  }
};

enum class Load { Ok, Missing, Failed };

Load loadDocument(const std::string& path, Document& doc) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? Load::Missing : Load::Failed;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  char buf[8192];
  while (ok) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = n == 0;
      break;
    }
    doc.bytes.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  if (!ok) return Load::Failed;
  doc.parse();
  return Load::Ok;
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

std::string ProfileFile::read(const std::string& section, const std::string& key, const std::string& def) const {
  Document doc;
  if (loadDocument(path_, doc) != Load::Ok) return def;
  auto header = doc.findSection(section);
  if (!header) return def;
  auto line = doc.findKey(*header, key);
  if (!line) return def;
  return cutToBuffer(unquote(trimBlanks(doc.lines[*line].value)));
}

bool ProfileFile::write(const std::string& section, const std::string& key, const std::string& value) {
  error_.clear();
  auto fail = [this] {
    error_ = "Unable to write to " + path_;
    return false;
  };
  Document doc;
  Load load = loadDocument(path_, doc);
  if (load == Load::Failed) return fail();
  // A read-only file refuses the write, as it does on Windows, although a rename could replace it.
  if (load == Load::Ok && ::access(path_.c_str(), W_OK) != 0) return fail();

  const std::string entry = doc.encode(key + "=" + singleLine(value));
  std::string out(doc.bom);
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
  if (!saveFileAtomically(path_, out)) return fail();
  return true;
}

}  // namespace qm
