// The student walk and cell texts of the in-school export on answer pages as
// the substitute server writes them (50 students a page, Chinese as \u
// escapes): ReadKeyedRecord + studentCellText against readStudentFields +
// appendStudentCellText. Checks first that both give the same bytes for every
// cell, then prints the best of several rounds in processor time per cell
// (walk and 19 conversions per record) and the heap allocations each way.
//   student_record_bench [students] [rounds] [new: only the new path, for a profiler]
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "server/protocol/student_record.h"
#include "server/protocol/text_routines.h"
#include "sim/query_service.h"
#include "sim/student_data.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// Counts every allocation of the program, to show that the new path makes none.
void* operator new(std::size_t n) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

constexpr int kColumns = 19;

struct Pass {
  double seconds = 1e9;
  long allocations = 0;
  long long cells = 0, bytes = 0;
};

// Pages of the query service's answer to a school account paging through all grades.
std::vector<std::string> makePages(int students) {
  const qm::sim::SchoolData school = qm::sim::makeSchoolData(20240611u, students);
  const qm::sim::QueryAccount account{school.xxJbxxId, "04", -1};
  std::vector<std::string> pages;
  for (long long start = 0; start < students; start += 50) {
    const qm::sim::QueryRequest query{school.xxJbxxId, "", "04", start, 50};
    pages.push_back(qm::sim::queryAnswer(school, query, account));
  }
  return pages;
}

// Processor time rather than wall time: the figures should not depend on what
// else the machine runs meanwhile.
double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

template <typename Walk>
Pass timePasses(const std::vector<std::string>& pages, int rounds, Walk walk) {
  Pass best;
  for (int r = 0; r < rounds; ++r) {
    Pass p;
    const long before = g_allocations.load();
    const double t0 = cpuSeconds();
    for (const std::string& page : pages) walk(std::string_view(page), p);
    p.seconds = cpuSeconds() - t0;
    p.allocations = g_allocations.load() - before;
    if (p.seconds < best.seconds) best = p;
  }
  return best;
}

void oldWalk(std::string_view rest, Pass& p) {
  while (const auto record = qm::ReadKeyedRecord(rest, qm::kStudentMarkers)) {
    for (int c = 0; c < kColumns; ++c) p.bytes += static_cast<long long>(qm::studentCellText(*record, c).size());
    p.cells += kColumns;
  }
}

// The caller's buffer, reused for every cell as an export would.
std::string g_cell;

void newWalk(std::string_view rest, Pass& p) {
  qm::StudentFields fields;
  while (qm::readStudentFields(rest, fields)) {
    for (int c = 0; c < kColumns; ++c) {
      g_cell.clear();
      qm::appendStudentCellText(fields, c, g_cell);
      p.bytes += static_cast<long long>(g_cell.size());
    }
    p.cells += kColumns;
  }
}

void oldWalkOnly(std::string_view rest, Pass& p) {
  while (const auto record = qm::ReadKeyedRecord(rest, qm::kStudentMarkers)) p.cells += kColumns;
}

void newWalkOnly(std::string_view rest, Pass& p) {
  qm::StudentFields fields;
  while (qm::readStudentFields(rest, fields)) p.cells += kColumns;
}

// Every cell of every record, both ways; returns the number of differences.
long Compare(const std::vector<std::string>& pages) {
  long differences = 0;
  std::string cell;
  for (const std::string& page : pages) {
    std::string_view a = page, b = page;
    qm::StudentFields fields;
    for (;;) {
      const auto record = qm::ReadKeyedRecord(a, qm::kStudentMarkers);
      const bool found = qm::readStudentFields(b, fields);
      if (found != record.has_value() || a.data() != b.data()) ++differences;
      if (!found || !record) break;
      for (int c = 0; c < kColumns; ++c) {
        cell.clear();
        qm::appendStudentCellText(fields, c, cell);
        if (cell != qm::studentCellText(*record, c)) ++differences;
      }
    }
  }
  return differences;
}

void printPass(const char* name, const Pass& p) {
  const double records = static_cast<double>(p.cells) / kColumns;
  std::printf("  %-34s %7.3f s  %6.1f ns/cell  %8.2f allocations/record\n", name, p.seconds,
              p.seconds * 1e9 / static_cast<double>(p.cells), static_cast<double>(p.allocations) / records);
}

}  // namespace

int main(int argc, char** argv) {
  const int students = argc > 1 ? std::atoi(argv[1]) : 65534;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const std::vector<std::string> pages = makePages(students);
  std::size_t bytes = 0;
  for (const auto& page : pages) bytes += page.size();
  std::printf("%d students, %zu pages, %.1f MB of answers, %d columns, best of %d rounds\n", students, pages.size(),
              static_cast<double>(bytes) / 1e6, kColumns, rounds);

  if (argc > 3 && std::string_view(argv[3]) == "new") {
    g_cell.reserve(4096);
    printPass("readStudentFields + Append...", timePasses(pages, rounds, newWalk));
    return 0;
  }
  const long differences = Compare(pages);
  std::printf("  cells that differ between the two ways: %ld\n", differences);

  g_cell.reserve(4096);
  const Pass oldAll = timePasses(pages, rounds, oldWalk);
  const Pass newAll = timePasses(pages, rounds, newWalk);
  const Pass oldWalk = timePasses(pages, rounds, oldWalkOnly);
  const Pass newWalk = timePasses(pages, rounds, newWalkOnly);
  printPass("ReadKeyedRecord + studentCellText", oldAll);
  printPass("readStudentFields + Append...", newAll);
  printPass("ReadKeyedRecord alone", oldWalk);
  printPass("readStudentFields alone", newWalk);
  std::printf("  speed-up, walk + conversions: %.1fx (%lld cell bytes each way: %s)\n", oldAll.seconds / newAll.seconds,
              newAll.bytes, oldAll.bytes == newAll.bytes ? "same" : "DIFFERENT");
  return differences == 0 && oldAll.bytes == newAll.bytes ? 0 : 1;
}
