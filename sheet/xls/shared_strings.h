#pragma once
// Interning of cell texts into the shared string table (SST): every text
// cell refers to its string by number, equal texts share one entry, numbered
// in order of first appearance. Rows are interned as they become final, so
// the table grows without knowing its final size.
#include <cstdint>
#include <string_view>

#include "sheet/sheet.h"
#include "common/big_buffer.h"
#include "sheet/xls/sst_records.h"

namespace qm::xls {

class SharedStrings {
 public:
  explicit SharedStrings(const Sheet& sheet);

  static std::uint32_t hash(std::string_view text);
  // Starts loading the table slot a text with this hash probes first, so
  // that the probes of a row's cells wait for memory together, not in turn.
  void prefetch(std::uint32_t hash) const { __builtin_prefetch(slots_.data() + (hash & mask_) * 4); }
  // Number of the cell's text (not empty, with the hash above), adding it
  // on its first appearance.
  std::uint32_t intern(const Sheet::Cell& cell, std::string_view text, std::uint32_t hash);

  std::size_t uniqueCount() const { return unique_.size(); }
  std::size_t referenceCount() const { return references_; }
  SstRecords& records() { return sst_; }

 private:
  void grow();

  struct Entry {
    Sheet::Cell cell;     // where the text lives in the sheet
    std::uint32_t hash;   // low bits of its hash, for growing the table
  };
  const Sheet& sheet_;
  // Open addressing; a slot holds 7 bits of the hash above a 25-bit string
  // number + 1 (an .xls sheet has at most 2^24 cells), so a probe rarely has
  // to look at the text itself.
  BigBuffer slots_;
  std::size_t mask_ = 0;
  BigArray<Entry> unique_;
  std::size_t references_ = 0;
  SstRecords sst_;
};

}  // namespace qm::xls
