// The export's walk over a query-service answer, as the page loop does it:
// records read as views, every export column's cell text built, the text cut
// to the sheet limit and put into its .xlsx form. Whatever the answer holds,
// the walk moves forward, cells are UTF-8, and the stored form reads back.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/utf8.h"
#include "server/protocol/student_record.h"
#include "sheet/sheet.h"
#include "sheet/xlsx_text.h"

namespace {

// Names the broken invariant's line before aborting.
void requireAt(bool ok, int line) {
  if (ok) return;
  std::fprintf(stderr, "invariant at line %d broken\n", line);
  std::abort();
}
#define require(ok) requireAt((ok), __LINE__)

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view answer(reinterpret_cast<const char*>(data), size);
  qm::StudentFields fields;
  std::string cell;
  for (int records = 0; records < 200; ++records) {
    const std::string_view before = answer;
    if (!qm::readStudentFields(answer, fields)) break;
    // Each record consumes text from the front.
    require(answer.size() < before.size() && answer.data() + answer.size() == before.data() + before.size());
    for (int column = 0; column < 19; ++column) {
      cell.clear();
      qm::appendStudentCellText(fields, column, cell);
      require(qm::utf8::valid(cell));
      const std::size_t cut = qm::cutToUtf16Units(cell, qm::Sheet::kMaxTextUnits);
      require(cut <= cell.size() && qm::utf8::valid(std::string_view(cell).substr(0, cut)));
      const std::string stored = qm::xlsxStoredText(cell);
      require(qm::xlsxReadText(stored) == cell);
      for (unsigned char c : stored) require(c >= 0x20 || c == '\t' || c == '\n');
      require(stored.find("\xEF\xBF\xBE") == std::string::npos && stored.find("\xEF\xBF\xBF") == std::string::npos);
    }
  }
  // The same stored-form rules on the raw bytes, made well-formed first.
  const std::string text = qm::utf8::sanitized(std::string_view(reinterpret_cast<const char*>(data), size));
  require(qm::xlsxReadText(qm::xlsxStoredText(text)) == text);
  return 0;
}
