#include "server/sheet/xls/shared_strings.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <functional>
#include <string_view>

#include "common/utf8.h"
#include "server/sheet/xls/biff_record.h"

namespace qm::xls {
namespace {

// Fills one SST or CONTINUE record at a time and emits it when full.
class SstRecords {
 public:
  explicit SstRecords(ByteSink& out) : out_(out) { buf_.reserve(kMaxRecordData); }

  std::size_t room() const { return kMaxRecordData - buf_.size(); }
  // Stream position of the next byte, and its offset in its record (header included).
  std::uint64_t streamPos() const { return out_.pos() + 4 + buf_.size(); }
  std::uint16_t recordOffset() const { return static_cast<std::uint16_t>(4 + buf_.size()); }

  void add(const void* p, std::size_t n) { buf_.append(static_cast<const char*>(p), n); }
  void u8(std::uint8_t v) { buf_.push_back(static_cast<char>(v)); }
  void u16(std::uint16_t v) { u8(static_cast<std::uint8_t>(v)), u8(static_cast<std::uint8_t>(v >> 8)); }
  void u32(std::uint32_t v) { u16(static_cast<std::uint16_t>(v)), u16(static_cast<std::uint16_t>(v >> 16)); }

  void next() {
    writeRecord(out_, type_, buf_);
    buf_.clear();
    type_ = rec::kContinue;
  }
  void finish() { writeRecord(out_, type_, buf_); }

 private:
  ByteSink& out_;
  std::string buf_;
  std::uint16_t type_ = rec::kSst;
};

// One string in its record form: 8-bit when every character is below U+0100.
struct EncodedString {
  std::u16string units;
  bool wide = false;

  void assign(std::string_view s) {
    units.clear();
    wide = false;
    for (std::size_t i = 0; i < s.size();) {
      std::uint32_t cp = utf8::next(s, i);
      if (cp >= 0x10000) {
        cp -= 0x10000;
        units.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        units.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        wide = true;
      } else {
        units.push_back(static_cast<char16_t>(cp));
        if (cp >= 0x100) wide = true;
      }
    }
  }
};

// Zeroed slot array; big ones ask for huge pages, since every insert lands
// on a random slot and TLB misses would dominate.
class HashSlots {
 public:
  explicit HashSlots(std::size_t n) : bytes_(n * sizeof(std::uint32_t)) {
    constexpr std::size_t kHuge = 2u << 20;
    const bool big = bytes_ >= kHuge;
    p_ = static_cast<std::uint32_t*>(big ? std::aligned_alloc(kHuge, bytes_) : std::malloc(bytes_));
    if (!p_) throw std::bad_alloc();
    if (big) ::madvise(p_, bytes_, MADV_HUGEPAGE);
    std::memset(p_, 0, bytes_);
  }
  ~HashSlots() { std::free(p_); }
  HashSlots(const HashSlots&) = delete;
  HashSlots& operator=(const HashSlots&) = delete;
  std::uint32_t& operator[](std::size_t i) { return p_[i]; }

 private:
  std::size_t bytes_;
  std::uint32_t* p_;
};

void writeString(SstRecords& r, const EncodedString& s) {
  const std::size_t charBytes = s.wide ? 2 : 1;
  if (r.room() < 3 + charBytes) r.next();  // the header and a first character stay together
  r.u16(static_cast<std::uint16_t>(s.units.size()));
  r.u8(s.wide ? 1 : 0);
  std::size_t done = 0;
  while (done < s.units.size()) {
    std::size_t fit = std::min(r.room() / charBytes, s.units.size() - done);
    // A high surrogate whose partner would land in the next record waits for it.
    if (s.wide && fit > 0 && done + fit < s.units.size() && (s.units[done + fit - 1] & 0xFC00) == 0xD800) --fit;
    if (fit == 0) {
      r.next();
      r.u8(s.wide ? 1 : 0);  // option byte of the continued string
      continue;
    }
    if (s.wide) {
      for (std::size_t k = 0; k < fit; ++k) r.u16(s.units[done + k]);
    } else {
      for (std::size_t k = 0; k < fit; ++k) r.u8(static_cast<std::uint8_t>(s.units[done + k]));
    }
    done += fit;
  }
}

}  // namespace

SharedStrings::SharedStrings(const Sheet& sheet) : sheet_(sheet) {
  cellIndex_.reserve(sheet.usedCells());
  unique_.reserve(sheet.usedCells());
  // Open addressing; a slot holds 7 bits of the hash above a 25-bit string
  // number + 1 (an .xls sheet has at most 2^24 cells), so a probe rarely has
  // to look at the text itself.
  std::size_t slots = 1024;
  while (slots < sheet.usedCells() * 3 / 2) slots *= 2;
  HashSlots table(slots);
  constexpr std::uint32_t kIdMask = (1u << 25) - 1;
  std::hash<std::string_view> hasher;
  for (int r = 1; r <= sheet.rowCount(); ++r) {
    for (const Sheet::Cell& c : sheet.row(r)) {
      const std::string_view text = sheet.text(c);
      if (text.empty()) continue;
      const std::size_t hash = hasher(text);
      const auto tag = static_cast<std::uint32_t>(hash >> 57) << 25;
      std::size_t h = hash & (slots - 1);
      for (;;) {
        const std::uint32_t slot = table[h];
        if (slot == 0) {
          unique_.push_back(c);
          table[h] = tag | static_cast<std::uint32_t>(unique_.size());
          cellIndex_.push_back(static_cast<std::uint32_t>(unique_.size() - 1));
          break;
        }
        const std::uint32_t id = slot & kIdMask;
        if ((slot & ~kIdMask) == tag && sheet.text(unique_[id - 1]) == text) {
          cellIndex_.push_back(id - 1);
          break;
        }
        h = (h + 1) & (slots - 1);
      }
    }
  }
  unique_.shrink_to_fit();
}

void SharedStrings::write(ByteSink& out) const {
  const std::size_t count = unique_.size();
  // EXTSST holds about 128 buckets of at least 8 strings; the bucket size is 16-bit.
  const std::size_t perBucket = std::min<std::size_t>(std::max<std::size_t>(8, (count + 127) / 128), 0xFFFF);
  std::vector<std::pair<std::uint32_t, std::uint16_t>> buckets;
  buckets.reserve((count + perBucket - 1) / perBucket);

  SstRecords r(out);
  r.u32(static_cast<std::uint32_t>(cellIndex_.size()));
  r.u32(static_cast<std::uint32_t>(count));
  EncodedString s;
  for (std::size_t i = 0; i < count; ++i) {
    s.assign(sheet_.text(unique_[i]));
    if (i % perBucket == 0) {
      if (r.room() < 3 + (s.wide ? 2u : 1u)) r.next();  // bucket points where the string really starts
      buckets.emplace_back(static_cast<std::uint32_t>(r.streamPos()), r.recordOffset());
    }
    writeString(r, s);
  }
  r.finish();

  Payload ext;
  ext.u16(static_cast<std::uint16_t>(perBucket));
  for (auto [pos, offset] : buckets) ext.u32(pos).u16(offset).u16(0);
  writeRecord(out, rec::kExtSst, ext);
}

}  // namespace qm::xls
