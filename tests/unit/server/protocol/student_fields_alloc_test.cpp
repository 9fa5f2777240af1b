// The export reads tens of thousands of records: walking a page and writing
// every cell into a buffer the caller reuses must not touch the heap.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

#include "server/protocol/student_record.h"
#include "tests/unit/server/protocol/student_answer_parts.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// Counts the allocations of this test program.
void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace qm {
namespace {

TEST(ReadStudentFields, PageWalkAndCellsMakeNoAllocation) {
  std::vector<std::string> records;
  for (int i = 0; i < 50; ++i) {
    auto parts = testing::realisticRecord();
    parts[kXm].second = i % 2 ? R"("\u674e\u56db")" : R"("\u5f20\ud842\udfb7\u4e09")";
    parts[kMzm].second = i % 3 ? R"("98")" : R"("01")";
    parts[kSfzjlxm].second = i % 5 ? R"("8")" : R"("Z")";
    parts[kSfzjh].second = i % 2 ? R"("44010620110202234X")" : parts[kSfzjh].second;
    records.push_back(testing::Render(parts));
  }
  const std::string page = testing::Page(records);
  std::string cell;
  cell.reserve(4096);
  StudentFields fields;
  std::string_view rest = page;

  const long before = g_allocations.load();
  int read = 0;
  std::size_t bytes = 0;
  while (readStudentFields(rest, fields)) {
    ++read;
    for (int c = 0; c < 19; ++c) {
      cell.clear();
      appendStudentCellText(fields, c, cell);
      bytes += cell.size();
    }
  }
  const long allocations = g_allocations.load() - before;

  EXPECT_EQ(read, 50);
  EXPECT_GT(bytes, 50u * 100u);
  EXPECT_EQ(allocations, 0);
}

}  // namespace
}  // namespace qm
