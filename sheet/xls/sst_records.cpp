#include "sheet/xls/sst_records.h"

#include <algorithm>
#include <cstring>

#include "common/utf8.h"
#include "sheet/xls/biff_record.h"

namespace qm::xls {
namespace {

inline void put16(char* p, std::uint32_t v) {
  p[0] = static_cast<char>(v);
  p[1] = static_cast<char>(v >> 8);
}
inline void put32(char* p, std::uint32_t v) { put16(p, v), put16(p + 2, v >> 16); }
inline std::size_t get16(const char* p) {
  return static_cast<unsigned char>(p[0]) | static_cast<std::size_t>(static_cast<unsigned char>(p[1])) << 8;
}

}  // namespace

SstRecords::SstRecords() {
  rec_ = buf_.claim(4 + kMaxRecordData);
  records_.push_back(0);
  put16(rec_, rec::kSst);
  p_ = rec_ + 4;
  end_ = p_ + kMaxRecordData;
  counts_ = p_;  // the two counts, known at seal()
  std::memset(counts_, 0, 8);
  p_ += 8;
}

void SstRecords::closeRecord() {
  put16(rec_ + 2, static_cast<std::uint32_t>(p_ - rec_ - 4));
  buf_.filled(p_);
}

void SstRecords::nextRecord() {
  closeRecord();
  rec_ = buf_.claim(4 + kMaxRecordData);
  records_.push_back(buf_.offsetOf(rec_));
  put16(rec_, rec::kContinue);
  p_ = rec_ + 4;
  end_ = p_ + kMaxRecordData;
}

void SstRecords::add(std::string_view s) {
  const auto* b = reinterpret_cast<const unsigned char*>(s.data());
  const std::size_t n = s.size();
  // Form and length in UTF-16 units: 8-bit when every character is below U+0100.
  std::size_t i = 0;
  for (std::uint64_t w; i + 8 <= n; i += 8) {
    std::memcpy(&w, b + i, 8);
    if (w & 0x8080808080808080ull) break;
  }
  while (i < n && b[i] < 0x80) ++i;
  const bool ascii = i == n;
  bool wide = false;
  std::size_t units = i;
  for (; i < n; ++i) {
    const unsigned c = b[i];
    if ((c & 0xC0) == 0x80) continue;
    ++units;
    if (c >= 0xC4) wide = true;  // lead bytes C2 and C3 carry U+0080..U+00FF
    if (c >= 0xF0) ++units;      // a surrogate pair
  }

  if (room() < 3 + (wide ? 2u : 1u)) nextRecord();  // the header and a first character stay together
  if (count_ % 8 == 0) every8_.push_back(buf_.offsetOf(p_));
  ++count_;
  put16(p_, static_cast<std::uint32_t>(units));
  p_[2] = wide ? 1 : 0;
  p_ += 3;

  if (ascii) {
    for (std::size_t done = 0;;) {
      const std::size_t k = std::min(room(), n - done);
      std::memcpy(p_, b + done, k);
      p_ += k;
      done += k;
      if (done == n) break;
      nextRecord();
      *p_++ = 0;  // option byte of the continued string
    }
  } else if (!wide) {
    for (i = 0; i < n;) {
      if (p_ == end_) {
        nextRecord();
        *p_++ = 0;
      }
      const unsigned c = b[i];
      if (c < 0x80) {
        *p_++ = static_cast<char>(c);
        ++i;
      } else {
        *p_++ = static_cast<char>(((c & 0x1F) << 6) | (b[i + 1] & 0x3F));
        i += 2;
      }
    }
  } else {
    for (i = 0; i < n;) {
      std::uint32_t cp = utf8::next(s, i);
      if (cp < 0x10000) {
        if (room() < 2) {
          nextRecord();
          *p_++ = 1;
        }
        put16(p_, cp);
        p_ += 2;
      } else {
        // Both halves of a pair go to the same record.
        if (room() < 4) {
          nextRecord();
          *p_++ = 1;
        }
        cp -= 0x10000;
        put16(p_, 0xD800 + (cp >> 10));
        put16(p_ + 2, 0xDC00 + (cp & 0x3FF));
        p_ += 4;
      }
    }
  }
}

void SstRecords::seal(std::uint32_t references) {
  put32(counts_, references);
  put32(counts_ + 4, static_cast<std::uint32_t>(count_));
  closeRecord();
}

std::size_t SstRecords::recordOf(std::uint64_t offset) const {
  return static_cast<std::size_t>(std::upper_bound(records_.begin(), records_.end(), offset) - records_.begin()) - 1;
}

std::uint64_t SstRecords::recordEnd(std::size_t record) const {
  return records_[record] + 4 + get16(buf_.at(records_[record]) + 2);
}

std::pair<std::uint64_t, std::uint16_t> SstRecords::locate(std::size_t n) const {
  std::uint64_t pos = every8_[n / 8];
  std::size_t record = recordOf(pos);
  for (std::size_t k = n % 8; k > 0; --k) {
    // Step over one string, following it into CONTINUE records.
    const char* head = buf_.at(pos);
    std::size_t units = get16(head);
    const std::size_t charBytes = (head[2] & 1) ? 2 : 1;
    pos += 3;
    for (;;) {
      const std::size_t here = std::min<std::uint64_t>(units, (recordEnd(record) - pos) / charBytes);
      units -= here;
      pos += here * charBytes;
      if (units == 0) break;
      pos = records_[++record] + 4 + 1;
    }
    // A record that ends here was closed early: the next string opens the next one.
    if (pos == recordEnd(record)) pos = records_[++record] + 4;
  }
  return {pos, static_cast<std::uint16_t>(pos - records_[record])};
}

void SstRecords::writeExtSst(ByteSink& out, std::uint64_t sstPos) const {
  // About 128 buckets of at least 8 strings; the bucket size is 16-bit.
  const std::size_t perBucket = std::min<std::size_t>(std::max<std::size_t>(8, (count_ + 127) / 128), 0xFFFF);
  Payload ext;
  ext.u16(static_cast<std::uint16_t>(perBucket));
  for (std::size_t n = 0; n < count_; n += perBucket) {
    const auto [pos, offset] = locate(n);
    ext.u32(static_cast<std::uint32_t>(sstPos + pos)).u16(offset).u16(0);
  }
  writeRecord(out, rec::kExtSst, ext);
}

}  // namespace qm::xls
