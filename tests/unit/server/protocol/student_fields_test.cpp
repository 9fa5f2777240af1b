// The copy-free student walk against ReadKeyedRecord on hand-made answers
// that hit each edge of the walk, and the cell texts against the routines
// each column is made of.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/utf8.h"
#include "server/protocol/code_tables.h"
#include "server/protocol/student_record.h"
#include "server/protocol/text_routines.h"
#include "tests/unit/server/protocol/student_answer_parts.h"
#include "tests/unit/server/protocol/student_walk_compare.h"

namespace qm {
namespace {

using testing::expectSameStudentWalk;
using testing::Page;
using testing::realisticRecord;
using testing::RecordParts;
using testing::Render;

std::string Edited(const std::function<void(RecordParts&)>& edit) {
  RecordParts parts = realisticRecord();
  edit(parts);
  return Render(parts);
}

std::string setValue(int field, const std::string& value) {
  return Edited([&](RecordParts& p) { p[static_cast<std::size_t>(field)].second = value; });
}

const std::string kGood = Render(realisticRecord());

struct WalkCase {
  const char* name;
  std::string answer;
  int records;  // how many records the walk reads, skipping past broken ones
};

TEST(readStudentFields, WalksLikeReadKeyedRecord) {
  const std::string withoutPhone = Edited([](RecordParts& p) { p.erase(p.begin() + kLxdh); });
  const std::string withoutFirstKey = Edited([](RecordParts& p) { p.erase(p.begin()); });
  const WalkCase cases[] = {
      {"empty answer", "", 0},
      {"empty list", Page({}), 0},
      {"one record", Page({kGood}), 1},
      {"three records", Page({kGood, kGood, kGood}), 3},
      {"record without a key, then a good one", Page({withoutPhone, kGood}), 1},
      {"good record, then one without a key", Page({kGood, withoutPhone}), 1},
      // The fault fix: a key missing here must not be read from the next record.
      {"missing key present in the next record", Page({withoutPhone, withoutPhone, kGood}), 1},
      {"second key missing, present in the next record",
       Page({Edited([](RecordParts& p) { p.erase(p.begin() + kXm); }), kGood}), 1},
      // Keys are searched from the start of the text: they are read from before the first key.
      {"record without its first key", Page({withoutFirstKey, kGood}), 2},
      {"last key missing", Page({Edited([](RecordParts& p) { p.pop_back(); }), kGood}), 1},
      {"escaped first key inside a name", Page({setValue(kXm, R"("a\"xxbsm\":b")"), kGood}), 2},
      {"first key bare inside an address", Page({setValue(kJtzz, R"(x"xxbsm":y)"), kGood}), 1},
      {"first key right before the closing brace", Page({setValue(kHkszdm, R"(1"xxbsm":)"), kGood}), 1},
      {"first key as a whole value", Page({setValue(kTxdz, R"("xxbsm":)"), kGood}), 1},
      {"near misses of the first key", Page({setValue(kXm, R"("xxbsm" xxbsm": "xxbsm:")"), kGood}), 2},
      {"first key twice in a row", Page({Edited([](RecordParts& p) { p.insert(p.begin(), p.front()); })}), 1},
      {"second key twice", Page({Edited([](RecordParts& p) { p.insert(p.begin() + 1, p[1]); }), kGood}), 2},
      {"two keys swapped", Page({Edited([](RecordParts& p) { std::swap(p[5], p[6]); }), kGood}), 1},
      {"second key before the first", R"(,"xm":"pre")" + Page({kGood}), 1},
      {"later key before the first", R"(,"csrq":"pre",)" + kGood, 1},
      {"every key before the first", Render(realisticRecord()).substr(10) + kGood, 2},
      {"brace inside the last value", Page({setValue(kHkszdm, R"("44}0106")"), kGood}), 2},
      {"brace inside an early value", Page({setValue(kXm, R"("}")"), kGood}), 2},
      {"next key's text inside a value", Page({setValue(kXm, R"("a,\"xsJbxxId\":b")"), kGood}), 2},
      {"key text inside the value before it", Page({setValue(kJg, R"(",\"txdz\":")"), kGood}), 2},
      {"odd values", Page({setValue(kXm, "\""), setValue(kXm, "null"), setValue(kXm, R"("null")"),
                           setValue(kXm, R"("")"), setValue(kXm, "nullx"), setValue(kXm, "\"null")}), 6},
      {"empty values", Page({Edited([](RecordParts& p) { for (auto& part : p) part.second.clear(); })}), 1},
      {"cut in the middle of a record", Page({kGood, kGood}).substr(0, 2 * kGood.size()), 1},
      {"cut right after a record", R"({"list":[)" + kGood, 1},
      {"cut inside the first key", R"({"list":[{"xxbs)", 0},
      {"first key at the very end", R"({"list":[{"xxbsm":)", 0},
      {"records without separators", kGood + kGood + kGood, 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(expectSameStudentWalk(c.answer), c.records);
  }
}

TEST(readStudentFields, ValuesAndRemainingOfARealisticPage) {
  const std::string page = Page({kGood, setValue(kXm, R"("\u674e\u56db")")});
  std::string_view rest = page;
  StudentFields fields;
  ASSERT_TRUE(readStudentFields(rest, fields));
  EXPECT_EQ(fields[kXxbsm], "1144010600");
  EXPECT_EQ(fields[kBh], "");
  EXPECT_EQ(fields[kRownum], "1");
  EXPECT_EQ(fields[kHkszdm], "440106");
  EXPECT_EQ(fields[kRecordEnd], "");
  EXPECT_EQ(rest.substr(0, 3), "},{");
  ASSERT_TRUE(readStudentFields(rest, fields));
  EXPECT_EQ(fields[kXm], R"(\u674e\u56db)");
  EXPECT_FALSE(readStudentFields(rest, fields));
  EXPECT_EQ(rest, R"(}]},"total":2})");
}

TEST(readStudentFields, FailedWalkLeavesTextCutWhereReadKeyedRecordLeavesIt) {
  const std::string withoutPhone = Edited([](RecordParts& p) { p.erase(p.begin() + kLxdh); });
  const std::string page = Page({withoutPhone, kGood});
  std::string_view rest = page;
  StudentFields fields;
  EXPECT_FALSE(readStudentFields(rest, fields));
  EXPECT_TRUE(rest.starts_with(R"(,"txdz":)")) << rest.substr(0, 20);

  // A first key inside a value bounds the record before the eighth key.
  const std::string bounded = setValue(kRownum, R"("xxbsm":)");
  rest = bounded;
  EXPECT_FALSE(readStudentFields(rest, fields));
  EXPECT_TRUE(rest.starts_with(R"(,"rownum":)")) << rest.substr(0, 20);
}

// Each column's text from the routines it is made of, by column title.
std::string expectedCell(int column, const std::string& v) {
  const std::string_view title = kExportColumns[static_cast<std::size_t>(column)].title;
  const auto decoded = [&] { return DecodeUnicodeEscapesUtf8(v); };
  const auto plain = [&] { return utf8::sanitized(v); };
  if (title == "身份证号") return !v.empty() && v.front() == '\\' ? decoded() : plain();
  if (title == "民族") return ethnicityText(plain());
  if (title == "性别") return genderText(plain());
  if (title == "身份证件类型") return idDocumentTypeText(plain());
  if (title == "就读方式") return attendanceModeText(plain());
  if (title == "是否残疾" || title == "是否分班") return yesNoText(plain());
  if (title == "就读状态") return attendanceStatusText(v);
  if (title == "学籍号" || title == "联系电话" || title == "出生日期" || title == "户口所在地") return plain();
  return decoded();  // names, places and addresses come escaped
}

// Values that stress each conversion, put into every field in turn.
TEST(appendStudentCellText, EachColumnAppendsItsConversion) {
  const std::string values[] = {
      "",
      R"(\u5f20\u4e09)",
      R"(\ud842\udfb7)",                 // a pair from two escapes
      R"(\ud842)",                       // lone high
      R"(\udfb7)",                       // lone low
      R"(\udfb7\ud842)",                 // reversed pair
      R"(\ud842\ud842\udfb7)",           // high, then a pair
      R"(\ud842x\udfb7)",                // text between the halves
      "\\ud842\xF0\xA0\xAE\xB7",         // escaped high, raw pair
      "\xF0\xA0\xAE\xB7\\udfb7",         // raw pair, escaped low
      R"(\uD800\uDC00\uDBFF\uDFFF)",
      R"(\u4e)", R"(\u)", R"(\U4E2D)", "\\", R"(\\u0041)", R"(\u\u41)",
      R"(\uZZZZ)", R"(\u00g1\u{}-)", R"(\u0000)", R"(\ud8)", R"(\ud842\udf)",
      "\xff\\u4e2d", "G\xfe", "\xC3", "\xC3\xA9", "\xED\xA0\x80", "\xC0\xAF", "\xF4\x90\x80\x80",
      "\xE4\xB8", "\xE4\xB8\xAD\xE4",
      "1", "01", "+1", "-0", "2", "99", "97", "Z", "z", " 1", "1 ", "31", "031", "2147483648", "-2147483648",
      "1\xff", "\xff", "abc", "44010620110202234X",
  };
  for (const auto& v : values) {
    for (int field = 0; field < 31; ++field) {
      std::vector<std::string> record(31);
      record[static_cast<std::size_t>(field)] = v;
      StudentFields fields;
      for (std::size_t k = 0; k < 31; ++k) fields[k] = record[k];
      for (int c = 0; c < 19; ++c) {
        const bool own = kExportColumns[static_cast<std::size_t>(c)].field == field;
        std::string cell = "prefix";
        appendStudentCellText(fields, c, cell);
        ASSERT_EQ(cell, "prefix" + expectedCell(c, own ? v : std::string()))
            << "value " << v << " field " << field << " column " << c;
        ASSERT_EQ(studentCellText(record, c), cell.substr(6));
      }
    }
  }
}

TEST(appendStudentCellText, DecodesPairsAndReplacesLoneHalves) {
  StudentFields fields{};
  std::string cell;
  const auto xm = [&](std::string_view v) {
    fields[kXm] = v;
    cell.clear();
    appendStudentCellText(fields, 0, cell);
    return cell;
  };
  EXPECT_EQ(xm(R"(\u5f20\ud842\udfb7)"), "张𠮷");
  EXPECT_EQ(xm(R"(\ud842x)"), "\xEF\xBF\xBDx");
  EXPECT_EQ(xm(R"(\udfb7\ud842)"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(xm(R"(\u4e)"), "一");
  EXPECT_EQ(xm("a\xff"), "a\xEF\xBF\xBD");
  cell = "x";
  appendStudentCellText(fields, 19, cell);
  appendStudentCellText(fields, -1, cell);
  EXPECT_EQ(cell, "x");
}

}  // namespace
}  // namespace qm
