// Seeded random answers and texts: the copy-free walk and decoders must give
// the same results as ReadKeyedRecord with the code tables, DecodeUnicodeEscapesUtf8
// and utf8::sanitized, byte for byte, on every one of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf8.h"
#include "server/protocol/student_record.h"
#include "server/protocol/text_routines.h"
#include "tests/unit/server/protocol/student_answer_parts.h"
#include "tests/unit/server/protocol/student_walk_compare.h"

namespace qm {
namespace {

using testing::RecordParts;

// mt19937 output is fixed by the standard; the distributions are not, so
// draws use plain modulo and the cases are the same on every library.
class Draw {
 public:
  explicit Draw(std::uint32_t seed) : gen_(seed) {}
  std::size_t below(std::size_t n) { return n ? gen_() % n : 0; }
  bool percent(unsigned p) { return gen_() % 100 < p; }
  template <typename T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[below(N)];
  }

 private:
  std::mt19937 gen_;
};

// One piece of value text: escapes of every kind, raw and broken UTF-8, and
// the bytes that markers are made of.
std::string Piece(Draw& d) {
  static const char* const kHex[] = {"5f20", "4e09", "d842", "dfb7", "D800", "DC00", "dbff", "DFFF", "0041",
                                     "0000", "ffff", "00e9", "4E2D", "7ea7", "dc00", "d83d", "de00"};
  static const char kDigitJunk[] = "0123456789abcdefABCDEFgGzZ\\u\"}:, ";
  static const std::string_view kRaw[] = {
      "a", "Z", "1", "-", " ", ",", ":", "}", "{", "\"", "\\", "\\\\", "\\n", "\\\"", "u", "U", "x", "xxbsm",
      "\"xxbsm\":", "xxbsm\":", "\"xxbsm", ",\"xm\":", ",\"lxdh\":", ",\"hkszdm\":", "null", "\xE4\xB8\xAD",
      "\xF0\xA0\xAE\xB7", "\xC3\xA9", "\xff", "\xfe", "\xC3", "\xE4\xB8", "\xED\xA0\x80", "\xC0\xAF",
      "\xF4\x90\x80\x80", "\x80", std::string_view("\0", 1)};
  switch (d.below(6)) {
    case 0:
    case 1:
      return std::string(d.percent(90) ? "\\u" : "\\U") + d.pick(kHex);
    case 2: {  // an escape with odd or too few digits
      std::string s = d.percent(80) ? "\\u" : "\\U";
      const std::size_t n = d.below(5);
      for (std::size_t k = 0; k < n; ++k) s += kDigitJunk[d.below(sizeof kDigitJunk - 1)];
      return s;
    }
    default:
      return std::string(d.pick(kRaw));
  }
}

std::string randomValue(Draw& d) {
  static const char* const kWhole[] = {"null", "\"null\"", "\"\"", "\"", "1", "\"1\"", "\"01\"", "\"31\"", "\"Z\"",
                                       "\"+2\"", "\"-0\"", "\"97\"", "\"99\"", "true", "12", "\"2147483648\""};
  if (d.percent(30)) return d.pick(kWhole);
  std::string body;
  const std::size_t pieces = d.below(8);
  for (std::size_t k = 0; k < pieces; ++k) body += Piece(d);
  return d.percent(85) ? "\"" + body + "\"" : body;
}

std::string randomRecord(Draw& d) {
  RecordParts parts = testing::realisticRecord();
  const std::size_t changes = d.percent(40) ? 0 : 1 + d.below(4);
  for (std::size_t k = 0; k < changes; ++k) {
    const std::size_t at = d.below(parts.size());
    switch (d.below(10)) {
      case 0:
        if (parts.size() > 1) parts.erase(parts.begin() + static_cast<std::ptrdiff_t>(at));
        break;
      case 1:
        parts.insert(parts.begin() + static_cast<std::ptrdiff_t>(d.below(parts.size() + 1)), parts[at]);
        break;
      case 2:
        if (at + 1 < parts.size()) std::swap(parts[at], parts[at + 1]);
        break;
      default:
        parts[at].second = randomValue(d);
    }
  }
  std::string record = testing::Render(parts);
  if (d.percent(5)) record.resize(d.below(record.size()));
  return record;
}

std::string randomAnswer(Draw& d) {
  static const char* const kHeads[] = {
      "", "[", R"({"list":[)", R"(,"xm":"x",)", R"("xxbsm":,"xm":)", "}",
      R"({"result":{"javaClass":"com.inspur.mems.xsxxgl.data.ZxxsXsJbxxPage","list":[)"};
  std::string answer = d.pick(kHeads);
  const std::size_t records = d.below(6);
  for (std::size_t k = 0; k < records; ++k) {
    if (k) answer += d.percent(90) ? "," : Piece(d);
    answer += randomRecord(d);
  }
  answer += R"(]},"total":)" + std::to_string(records) + "}";
  if (d.percent(10)) answer.resize(d.below(answer.size()));
  return answer;
}

TEST(StudentFieldsRandom, PagesWalkAndConvertLikeTheOriginal) {
  Draw d(20240611);
  int records = 0;
  for (int n = 0; n < 30000; ++n) {
    const std::string answer = randomAnswer(d);
    SCOPED_TRACE("answer " + std::to_string(n) + ": " + answer);
    records += testing::expectSameStudentWalk(answer);
    if (HasFailure()) return;
  }
  // The generator must keep producing readable records, or the comparison thins out.
  EXPECT_GT(records, 30000);
}

TEST(StudentFieldsRandom, EscapeDecodingLikeTheUtf16Route) {
  Draw d(7);
  for (int n = 0; n < 100000; ++n) {
    std::string text;
    const std::size_t pieces = d.below(10);
    for (std::size_t k = 0; k < pieces; ++k) text += Piece(d);
    if (d.percent(20) && !text.empty()) text.resize(d.below(text.size()));
    std::string out = "ab";
    AppendUnicodeEscapesUtf8(text, out);
    ASSERT_EQ(out, "ab" + DecodeUnicodeEscapesUtf8(text)) << text;
    out = "ab";
    utf8::appendSanitized(out, text);
    ASSERT_EQ(out, "ab" + utf8::sanitized(text)) << text;
  }
}

}  // namespace
}  // namespace qm
