#include "sheet/xlsx_check.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <expat.h>
#include <functional>
#include <fcntl.h>
#include <memory>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace qm {
namespace {

std::uint32_t le16(const unsigned char* p) { return p[0] | p[1] << 8; }
std::uint32_t le32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

[[noreturn]] void bad(const std::string& path, const std::string& why) {
  throw std::runtime_error("the written workbook " + path + " is incomplete: " + why);
}

class Reader {
 public:
  explicit Reader(const std::string& path) : path_(path), fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) bad(path, "cannot be read");
    size_ = static_cast<std::uint64_t>(st.st_size);
  }
  ~Reader() {
    if (fd_ >= 0) ::close(fd_);
  }
  std::uint64_t size() const { return size_; }
  void read(std::uint64_t at, void* buf, std::size_t n) const {
    if (at + n > size_) bad(path_, "a part lies past the end of the file");
    auto p = static_cast<char*>(buf);
    while (n > 0) {
      ssize_t got = ::pread(fd_, p, n, static_cast<off_t>(at));
      if (got <= 0) bad(path_, "cannot be read");
      p += got, at += static_cast<std::uint64_t>(got), n -= static_cast<std::size_t>(got);
    }
  }

 private:
  std::string path_;
  int fd_;
  std::uint64_t size_ = 0;
};

struct Entry {
  std::string name;
  std::uint32_t method, crc, packed, size, local;
};

// Inflates (or copies) one part, checking size and CRC; keeps its last bytes.
using Sink = std::function<void(const unsigned char*, std::size_t)>;

void checkEntry(const Reader& in, const std::string& path, const Entry& e, std::uint64_t dataAt, std::string* tail,
                const Sink& sink = {}) {
  z_stream z{};
  if (e.method == 8 && inflateInit2(&z, -MAX_WBITS) != Z_OK) bad(path, "no memory to check it");
  std::vector<unsigned char> src(1 << 16), dst(1 << 16);
  std::uint64_t left = e.packed, produced = 0;
  uLong crc = crc32(0, nullptr, 0);
  auto take = [&](const unsigned char* p, std::size_t n) {
    crc = crc32(crc, p, static_cast<uInt>(n));
    produced += n;
    if (sink) sink(p, n);
    if (tail) {
      tail->append(reinterpret_cast<const char*>(p), n);
      if (tail->size() > 64) tail->erase(0, tail->size() - 64);
    }
  };
  int status = Z_OK;
  while (left > 0 && status != Z_STREAM_END) {
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, src.size()));
    in.read(dataAt, src.data(), n);
    dataAt += n, left -= n;
    if (e.method == 0) {
      take(src.data(), n);
      continue;
    }
    z.next_in = src.data();
    z.avail_in = static_cast<uInt>(n);
    do {
      z.next_out = dst.data();
      z.avail_out = static_cast<uInt>(dst.size());
      status = inflate(&z, Z_NO_FLUSH);
      if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
        inflateEnd(&z);
        bad(path, e.name + " is damaged");
      }
      take(dst.data(), dst.size() - z.avail_out);
    } while (z.avail_out == 0 && status != Z_STREAM_END);
  }
  if (e.method == 8) inflateEnd(&z);
  if ((e.method == 8 && status != Z_STREAM_END) || produced != e.size || crc != e.crc) bad(path, e.name + " is cut short");
}

// Counts the sheet's rows and cells while expat reads it; any XML error fails.
class SheetCounter {
 public:
  explicit SheetCounter(const std::string& path) : path_(path), parser_(XML_ParserCreate(nullptr)) {
    if (!parser_) bad(path, "no memory to check it");
    XML_SetUserData(parser_, this);
    XML_SetStartElementHandler(parser_, [](void* self, const XML_Char* name, const XML_Char**) {
      auto* me = static_cast<SheetCounter*>(self);
      if (std::strcmp(name, "row") == 0) ++me->counts_.rows;
      if (std::strcmp(name, "c") == 0) ++me->counts_.cells;
    });
  }
  ~SheetCounter() { XML_ParserFree(parser_); }
  SheetCounter(const SheetCounter&) = delete;
  SheetCounter& operator=(const SheetCounter&) = delete;

  void feed(const unsigned char* p, std::size_t n, bool last = false) {
    while (n > 0 || last) {
      const int chunk = static_cast<int>(std::min<std::size_t>(n, 1 << 20));
      if (XML_Parse(parser_, reinterpret_cast<const char*>(p), chunk, last && chunk == static_cast<int>(n)) ==
          XML_STATUS_ERROR) {
        bad(path_, std::string("the sheet is not well-formed XML (") + XML_ErrorString(XML_GetErrorCode(parser_)) +
                       " at line " + std::to_string(XML_GetCurrentLineNumber(parser_)) + ")");
      }
      p += chunk, n -= static_cast<std::size_t>(chunk);
      if (n == 0) break;
    }
  }
  const XlsxExpected& counts() const { return counts_; }

 private:
  std::string path_;
  XML_Parser parser_;
  XlsxExpected counts_;
};

}  // namespace

XlsxExpected verifyXlsx(const std::string& path, std::optional<XlsxExpected> expected) {
  Reader in(path);
  unsigned char end[22];
  if (in.size() < sizeof end) bad(path, "too short");
  in.read(in.size() - sizeof end, end, sizeof end);
  if (le32(end) != 0x06054b50) bad(path, "no zip directory at its end");
  const std::uint32_t count = le16(end + 10), dirSize = le32(end + 12), dirAt = le32(end + 16);
  if (std::uint64_t{dirAt} + dirSize != in.size() - sizeof end) bad(path, "the zip directory does not fit");

  std::vector<unsigned char> dir(dirSize);
  in.read(dirAt, dir.data(), dir.size());
  std::vector<Entry> entries;
  for (std::size_t p = 0, k = 0; k < count; ++k) {
    if (p + 46 > dir.size() || le32(&dir[p]) != 0x02014b50) bad(path, "the zip directory is damaged");
    const std::uint32_t nameLen = le16(&dir[p + 28]), extra = le16(&dir[p + 30]), comment = le16(&dir[p + 32]);
    if (p + 46 + nameLen > dir.size()) bad(path, "the zip directory is damaged");
    entries.push_back({std::string(reinterpret_cast<const char*>(&dir[p + 46]), nameLen), le16(&dir[p + 10]),
                       le32(&dir[p + 16]), le32(&dir[p + 20]), le32(&dir[p + 24]), le32(&dir[p + 42])});
    if (entries.back().method != 0 && entries.back().method != 8) bad(path, "unexpected compression");
    p += 46 + nameLen + extra + comment;
  }

  bool sheetSeen = false;
  SheetCounter counter(path);
  for (const Entry& e : entries) {
    unsigned char local[30];
    in.read(e.local, local, sizeof local);
    if (le32(local) != 0x04034b50) bad(path, e.name + " has no header");
    const std::uint64_t dataAt = std::uint64_t{e.local} + 30 + le16(local + 26) + le16(local + 28);
    if (dataAt + e.packed > dirAt) bad(path, e.name + " runs into the zip directory");
    const bool isSheet = e.name == "xl/worksheets/sheet1.xml";
    std::string tail;
    if (isSheet) {
      checkEntry(in, path, e, dataAt, &tail, [&counter](const unsigned char* p, std::size_t n) { counter.feed(p, n); });
      counter.feed(nullptr, 0, true);
    } else {
      checkEntry(in, path, e, dataAt, nullptr);
    }
    if (isSheet) {
      sheetSeen = true;
      while (!tail.empty() && (tail.back() == '\n' || tail.back() == '\r')) tail.pop_back();
      if (tail.size() < 12 || tail.compare(tail.size() - 12, 12, "</worksheet>") != 0) bad(path, "the sheet is cut short");
    }
  }
  if (!sheetSeen) bad(path, "it has no sheet");
  const XlsxExpected& got = counter.counts();
  if (expected && (got.rows != expected->rows || got.cells != expected->cells))
    bad(path, "the sheet holds " + std::to_string(got.rows) + " rows and " + std::to_string(got.cells) +
                  " cells instead of " + std::to_string(expected->rows) + " and " + std::to_string(expected->cells));
  return got;
}

}  // namespace qm
