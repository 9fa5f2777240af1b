#include "workbook/xls/biff_stream.h"

#include <cstring>

#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"

namespace qm::xls {

BiffStream::BiffStream(std::string_view stream, const std::string& path) : stream_(stream), path_(path) {}

void BiffStream::fail(const std::string& detail) const { throw WorkbookError(damagedWorkbookText(path_, detail)); }

void BiffStream::seek(std::size_t offset) {
  if (offset >= stream_.size()) fail("工作表的位置超出工作簿流");
  at_ = offset;
}

bool BiffStream::next(Record& record) {
  record.pieces.clear();
  auto header = [&](std::uint16_t& type, std::uint16_t& length) {
    if (stream_.size() - at_ < 4) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(stream_.data() + at_);
    type = static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    length = static_cast<std::uint16_t>(p[2] | (p[3] << 8));
    return true;
  };
  std::uint16_t type = 0, length = 0;
  if (!header(type, length)) return false;
  // Zero padding after the last record (a stream rounded up to whole sectors).
  if (type == 0 && length == 0) return false;
  if (stream_.size() - at_ - 4 < length) fail("记录超出工作簿流");
  record.type = type;
  record.offset = at_;
  record.pieces.push_back(stream_.substr(at_ + 4, length));
  at_ += 4 + std::size_t{length};
  std::uint16_t nextType = 0;
  while (header(nextType, length) && nextType == rec::kContinue) {
    if (stream_.size() - at_ - 4 < length) fail("记录超出工作簿流");
    record.pieces.push_back(stream_.substr(at_ + 4, length));
    at_ += 4 + std::size_t{length};
  }
  return true;
}

void RecordCursor::fail() const {
  stream_.fail("记录 0x" + [this] {
    static const char kHex[] = "0123456789ABCDEF";
    std::string s;
    for (int shift = 12; shift >= 0; shift -= 4) s.push_back(kHex[(record_.type >> shift) & 0xF]);
    return s;
  }() + " 的长度不对");
}

bool RecordCursor::nextPiece() {
  if (piece_ + 1 >= record_.pieces.size()) return false;
  ++piece_;
  at_ = 0;
  return true;
}

std::size_t RecordCursor::available(bool advance) {
  if (advance) {
    while (atPieceEnd() && nextPiece()) {
    }
  }
  return record_.pieces[piece_].size() - std::min(at_, record_.pieces[piece_].size());
}

std::string_view RecordCursor::take(std::size_t n) {
  const std::size_t have = available();
  if (have == 0 && n > 0) fail();
  const std::size_t got = std::min(n, have);
  const std::string_view out = record_.pieces[piece_].substr(at_, got);
  at_ += got;
  return out;
}

void RecordCursor::bytes(void* out, std::size_t n) {
  auto* dst = static_cast<char*>(out);
  while (n > 0) {
    const std::string_view part = take(n);
    std::memcpy(dst, part.data(), part.size());
    dst += part.size();
    n -= part.size();
  }
}

void RecordCursor::skip(std::size_t n) {
  while (n > 0) n -= take(n).size();
}

std::uint8_t RecordCursor::u8() {
  std::uint8_t v = 0;
  bytes(&v, 1);
  return v;
}

std::uint16_t RecordCursor::u16() {
  unsigned char b[2];
  bytes(b, 2);
  return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint32_t RecordCursor::u32() {
  unsigned char b[4];
  bytes(b, 4);
  return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
}

double RecordCursor::f64() {
  unsigned char b[8];
  bytes(b, 8);
  std::uint64_t bits = 0;
  for (int i = 7; i >= 0; --i) bits = bits << 8 | b[i];
  double v = 0;
  std::memcpy(&v, &bits, 8);
  return v;
}

}  // namespace qm::xls
