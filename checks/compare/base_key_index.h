#pragma once
// The base workbook's keys, trimmed, each with its base record numbers in
// base order. Finding a key's records this way gives the same matches, in the
// same order, as scanning the whole base sheet for every record to check.
//
// An open-addressing table of small slots (hash, key position, first and last
// record) beside the key bytes and the record chains, all in one block that
// is 2 MB-aligned for transparent huge pages (the distinct keys' bytes in a
// second one): a lookup touches one slot and
// one key, and building the index costs a few page faults, not one per 4 kB
// (dear on the virtual machines schools run).
#include <cstdint>
#include <string_view>

#include "common/big_buffer.h"

namespace qm {

class WorkbookSource;

class BaseKeyIndex {
 public:
  // Reads the trimmed cell of column keyField of every record of the open sheet.
  void build(const WorkbookSource& base, int keyField);

  // Walks the base record numbers (from 1) whose trimmed key equals key.
  class Matches {
   public:
    int front() const { return record_; }
    bool empty() const { return record_ == 0; }
    void pop() { record_ = next_[record_]; }

   private:
    friend class BaseKeyIndex;
    Matches(int record, const int* next) : record_(record), next_(next) {}
    int record_;
    const int* next_;
  };
  Matches find(std::string_view key) const;
  // Bytes of key text held: each distinct trimmed key once.
  std::size_t keyBytes() const { return keyMemory_.size() > 0 ? keyMemory_.size() - 1 : 0; }

 private:
  struct Slot {
    std::uint64_t hash;
    std::uint64_t keyOffset : 40;  // into keys_
    std::uint64_t keyLength : 24;  // a cell holds at most 32,767 characters
    int first;                     // 0: the slot is free
    int last;
  };
  std::string_view keyOf(const Slot& s) const { return {keys_ + s.keyOffset, static_cast<std::size_t>(s.keyLength)}; }

  BigBuffer memory_;
  BigBuffer keyMemory_;
  Slot* slots_ = nullptr;  // a power of two of them, at most half in use
  std::size_t mask_ = 0;
  int* next_ = nullptr;    // next_[record]: the next base record with the same key, 0 at the end
  char* keys_ = nullptr;   // every distinct trimmed key, back to back
};

}  // namespace qm
