#pragma once
// The shared string table in record form, built string by string as rows
// arrive. Records hold at most 8224 bytes, so the table runs on in CONTINUE
// records; a string split there resumes after a fresh option byte in its own
// 8-bit or UTF-16 form, its header never parts from its first character, and
// a surrogate pair is never torn apart. EXTSST, the lookup index, needs the
// final string count for its bucket size, so it is made at save time from
// the start of every 8th string.
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "sheet/xls/byte_sink.h"
#include "sheet/xls/chunked_bytes.h"

namespace qm::xls {

class SstRecords {
 public:
  SstRecords();

  // Appends one string (well-formed UTF-8, not empty).
  void add(std::string_view utf8);
  std::size_t count() const { return count_; }

  // Writes the two counts and closes the open record so that bytes() is a
  // complete SST; strings may still be added afterwards.
  void seal(std::uint32_t references);
  const ChunkedBytes& bytes() const { return buf_; }

  // EXTSST for the strings so far; sstPos is the SST's position in the stream.
  void writeExtSst(ByteSink& out, std::uint64_t sstPos) const;

 private:
  void nextRecord();
  void closeRecord();
  std::size_t room() const { return static_cast<std::size_t>(end_ - p_); }
  // Logical offset of string n's first byte and that byte's offset in its record.
  std::pair<std::uint64_t, std::uint16_t> locate(std::size_t n) const;
  std::size_t recordOf(std::uint64_t offset) const;
  std::uint64_t recordEnd(std::size_t record) const;

  ChunkedBytes buf_;
  char* counts_ = nullptr;
  char* rec_ = nullptr;  // header of the open record
  char* p_ = nullptr;    // next byte
  char* end_ = nullptr;  // end of the open record's room
  std::vector<std::uint64_t> records_;  // logical offset of each record's header
  std::vector<std::uint64_t> every8_;   // logical offset of strings 0, 8, 16, ...
  std::size_t count_ = 0;
};

}  // namespace qm::xls
