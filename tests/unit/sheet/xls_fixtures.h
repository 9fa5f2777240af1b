#pragma once
// Sheets whose .xls bytes are kept under tests/fixtures/sheet/ as written by
// the first, whole-sheet writer; every later writer must reproduce them.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "sheet/sheet.h"
#include "tests/unit/sheet/sample_sheet.h"

namespace qm::test {

struct XlsFixture {
  const char* name;
  Sheet (*make)();
};

// Every perBucket-th shared string starts an EXTSST bucket (8 up to 1,024
// strings, 9 up to 1,152, ...). Fillers leave a chosen room at the end of a
// record just before a bucket's first string, so that string starts at the
// very end of a record, is split after its first character or moves to the
// next record. Short strings after them bring the count to `total`.
inline Sheet bucketEdgeSheet(int perBucket, int total) {
  struct Edge {
    int room;
    const char* first;  // the bucket's first string
  } edges[] = {{0, "abcdef"}, {1, "abcdef"}, {2, "abcdef"}, {3, "abcdef"}, {4, "abcdef"}, {5, "abcdef"},
               {3, "中文字"},  {4, "中文字"},  {5, "中文字"},  {6, "中文字"},  {7, "a𠀀b"},  {9, "ab𠀀c"}};
  Sheet s;
  int row = 1, serial = 0;
  s.setText(row++, 1, "start");  // string 0 opens the first bucket
  std::size_t used = 8 + 3 + 5;   // the SST's two counts open its first record
  for (const Edge& e : edges) {
    // Fillers of 8-bit text (3 header bytes each) end where room is left.
    const int fillers = perBucket - 1;
    const std::size_t fill = 8224 - used - static_cast<std::size_t>(e.room) - static_cast<std::size_t>(fillers) * 3;
    for (int k = 0; k < fillers; ++k) {
      const std::size_t n = fill / static_cast<std::size_t>(fillers) + (k < static_cast<int>(fill % fillers) ? 1 : 0);
      std::string text = std::to_string(serial++) + ":";
      text += std::string(n - text.size(), static_cast<char>('a' + serial % 26));
      s.setText(row++, 1, text);
    }
    const std::string first = e.first + std::to_string(serial++);
    s.setText(row++, 1, first);
    // Where the next record's data stands after that string: the next
    // fillers are sized from there.
    const bool wide = first.find_first_of("\xE4\xF0") != std::string::npos;
    std::vector<bool> high;  // per UTF-16 unit: a high surrogate?
    for (unsigned char ch : first) {
      if ((ch & 0xC0) == 0x80) continue;
      high.push_back(ch >= 0xF0);
      if (ch >= 0xF0) high.push_back(false);
    }
    const std::size_t charBytes = wide ? 2 : 1;
    const std::size_t room = static_cast<std::size_t>(e.room);
    if (room < 3 + charBytes) {
      used = 3 + high.size() * charBytes;
    } else {
      std::size_t here = std::min((room - 3) / charBytes, high.size());
      if (here > 0 && here < high.size() && high[here - 1]) --here;
      used = 1 + (high.size() - here) * charBytes;
    }
  }
  while (serial < total) s.setText(row++, 1, "z" + std::to_string(serial++));
  return s;
}

// Strings far longer than a record, in 8-bit and UTF-16 form, with surrogate
// pairs at both parities; short strings between them.
inline Sheet longStringSheet() {
  Sheet s;
  for (int i = 0; i < 8; ++i) {
    std::string text;
    if (i % 3 == 0) {
      text = std::string(8300 + i * 977, static_cast<char>('a' + i)) + "é";
    } else {
      for (int k = 0; k < 4200 + i * 311; ++k) text += (k + i) % 7 == 0 ? "𠀀" : (k % 2 ? "䶮" : "中");
      if (i % 2) text = "x" + text;
    }
    s.setText(i + 1, 1 + i % 3, text);
    s.setText(i + 1, 4, "短" + std::to_string(i % 4));
  }
  return s;
}

// A seeded mix like an export: duplicates, 8-bit, Latin-1, Chinese and
// surrogate texts, some long; text formats with and without values; cells
// overwritten or cleared; empty rows; widths; about 1,400 distinct strings
// so that an EXTSST bucket holds 11 of them.
inline Sheet mixedSheet() {
  Sheet s;
  std::uint64_t seed = 7;
  auto next = [&](unsigned n) {
    seed = seed * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<unsigned>(seed >> 33) % n;
  };
  const char* pool[] = {"男", "女", "汉族", "Zoë", "初中一年级", "𠀀", "a"};
  auto text = [&]() -> std::string {
    const unsigned kind = next(100);
    if (kind < 30) return pool[next(7)];
    std::string t;
    const unsigned len = kind < 31 ? 100 + next(1400) : 1 + next(24);
    const char* alphabet[] = {"a", "Z", "7", "é", "ÿ", "中", "䶮", "学", "𠀀", "𪚥"};
    const unsigned span = kind < 55 ? 3 : kind < 70 ? 5 : 10;  // ASCII, Latin-1, anything
    for (unsigned k = 0; k < len; ++k) t += alphabet[next(span)];
    return t;
  };
  for (int r = 1; r <= 240; ++r) {
    if (r % 23 == 0) continue;
    for (int c = 1; c <= 11; ++c) {
      const unsigned what = next(100);
      if (what < 5) {
        s.setTextFormat(r, c);
      } else if (what < 8) {
        s.setText(r, c, text());
        s.setText(r, c, "");
      } else if (what < 12) {
        s.setText(r, c, text());
        s.setText(r, c, text());
      } else if (what < 20) {
        s.setTextFormat(r, c);
        s.setText(r, c, text());
      } else if (what < 92) {
        s.setText(r, c, text());
      }
    }
  }
  s.setColumnWidth(1, "9.75");
  s.setColumnWidth(4, "0.5");
  s.setColumnWidth(11, "30");
  s.setColumnWidth(14, "8");
  return s;
}

inline Sheet formatsOnlySheet() {
  Sheet s;
  s.setTextFormat(2, 3);
  s.setTextFormat(4, 1);
  s.setText(4, 2, "gone");
  s.setText(4, 2, "");
  return s;
}

inline const std::vector<XlsFixture>& xlsFixtures() {
  static const std::vector<XlsFixture> all = {
      {"sample", sampleSheet},           {"empty", [] { return Sheet(); }}, {"formats_only", formatsOnlySheet},
      {"long_strings", longStringSheet}, {"bucket_edges", [] { return bucketEdgeSheet(8, 0); }},
      {"bucket_edges_9", [] { return bucketEdgeSheet(9, 1100); }},
      {"mixed", mixedSheet},
  };
  return all;
}

}  // namespace qm::test
