#pragma once
// Walks one answer with both student readers side by side and checks that they
// agree call for call: found or not, the remaining text, every value and every
// cell text. After a failed call both move on to the next first key (at least
// one byte on), so the records after a broken one are compared too.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "server/protocol/student_record.h"
#include "server/protocol/text_routines.h"
#include "tests/support/cell_reference.h"

namespace qm::testing {

// Returns the number of records both read.
inline int expectSameStudentWalk(std::string_view answer) {
  std::string_view a = answer;
  std::string_view b = answer;
  StudentFields fields;
  std::string cell;
  int records = 0;
  for (int call = 0; call < 400; ++call) {
    const auto old = ReadKeyedRecord(a, kStudentMarkers);
    const bool found = readStudentFields(b, fields);
    EXPECT_EQ(found, old.has_value()) << "call " << call;
    EXPECT_EQ(a.data() - answer.data(), b.data() - answer.data()) << "call " << call;
    EXPECT_EQ(a.size(), b.size()) << "call " << call;
    if (found != old.has_value() || a.data() != b.data() || a.size() != b.size()) return records;
    if (!found) {
      if (a.empty()) return records;
      a.remove_prefix(1);
      const auto next = a.find(kStudentMarkers[0]);
      if (next == std::string_view::npos) return records;
      a.remove_prefix(next);
      b = a;
      continue;
    }
    ++records;
    for (std::size_t k = 0; k < fields.size(); ++k) {
      EXPECT_EQ(fields[k], (*old)[k]) << "call " << call << " value " << k;
    }
    for (int c = 0; c < 19; ++c) {
      cell = "|";  // appends, never replaces
      appendStudentCellText(fields, c, cell);
      EXPECT_EQ(cell, "|" + cellFromRoutines(*old, c)) << "call " << call << " column " << c;
    }
  }
  ADD_FAILURE() << "walk did not end";
  return records;
}

}  // namespace qm::testing
