// Runs every text routine on arbitrary bytes and checks what must hold for any
// answer a server could send: no crash, sizes bounded, cuts taken from the text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/cell_reference.h"
#include "server/protocol/code_tables.h"
#include "server/protocol/query_page_info.h"
#include "server/protocol/student_record.h"
#include "server/protocol/text_routines.h"
#include "common/utf8.h"

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

bool isSubstring(std::string_view part, std::string_view whole) {
  return part.empty() || whole.find(part) != std::string_view::npos;
}

bool isValidUtf8(const std::string& s) { return qm::utf8::sanitized(s) == s; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // Two leading bytes give skip and length; the rest, split at 0x01, is the
  // text followed by markers.
  const int skip = static_cast<std::int8_t>(data[0]);
  const int length = data[1];
  const std::string_view input(reinterpret_cast<const char*>(data + 2), size - 2);
  std::vector<std::string_view> parts;
  for (std::size_t from = 0;;) {
    const auto at = input.find('\x01', from);
    parts.push_back(input.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos || parts.size() == 40) break;
    from = at + 1;
  }
  const std::string_view text = parts[0];
  const std::vector<std::string_view> markers(parts.begin() + 1, parts.end());

  (void)qm::HexTextToInt(text);
  require(qm::DecodeHexEscapes(text).size() == text.size() / 4);

  const std::u16string wide = qm::DecodeUnicodeEscapes(text);
  require(wide.size() <= text.size());
  require(isValidUtf8(qm::DecodeUnicodeEscapesUtf8(text)));
  require(isValidUtf8(qm::utf8::sanitized(text)));

  const std::string_view marker = markers.empty() ? std::string_view{} : markers[0];
  const std::string after = qm::CutAfter(text, marker, skip, length);
  require(after.size() <= static_cast<std::size_t>(length) && isSubstring(after, text));
  const std::string between = qm::CutBetween(text, marker, markers.size() > 1 ? markers[1] : std::string_view{});
  require(isSubstring(between, text));
  const std::string normal = qm::NormalizeFieldValue(text);
  require(normal.size() <= text.size());

  std::string_view rest = text;
  for (int n = 0; n < 60; ++n) {
    const std::string_view before = rest;
    const auto rec = qm::ReadKeyedRecord(rest, markers);
    // The remaining text only ever loses a prefix.
    require(rest.data() >= before.data() && rest.data() + rest.size() == before.data() + before.size());
    if (!rec) break;
    require(rec->size() == markers.size());
  }

  // The real marker list on the same text, and every cell conversion; the
  // copy-free walk and cell texts must agree with them byte for byte.
  rest = text;
  std::string_view fast = text;
  qm::StudentFields fields;
  std::string cell;
  for (int n = 0; n < 60; ++n) {
    const auto rec = qm::ReadKeyedRecord(rest, qm::kStudentMarkers);
    const bool found = qm::readStudentFields(fast, fields);
    require(found == rec.has_value() && fast.data() == rest.data() && fast.size() == rest.size());
    if (!rec) break;
    for (std::size_t k = 0; k < fields.size(); ++k) require(fields[k] == (*rec)[k]);
    for (int c = 0; c < 19; ++c) {
      cell.clear();
      qm::appendStudentCellText(fields, c, cell);
      require(isValidUtf8(cell));
      require(cell == qm::testing::cellFromRoutines(*rec, c));
    }
  }
  std::string decoded = "x";
  qm::AppendUnicodeEscapesUtf8(text, decoded);
  require(decoded == "x" + qm::DecodeUnicodeEscapesUtf8(text));

  const qm::QueryPageInfo info = qm::ReadQueryPageInfo(text);
  require(info.userType.size() <= 1 && info.organCode.size() <= 32 && info.token.size() <= 36);

  for (auto fn : {qm::ethnicityText, qm::genderText, qm::idDocumentTypeText, qm::attendanceModeText, qm::yesNoText,
                  qm::attendanceStatusText, qm::householdTypeText}) {
    (void)fn(text);
  }
  return 0;
}
