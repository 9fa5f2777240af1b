// The copy-free student walk against ReadKeyedRecord on hand-made answers
// that hit each edge of the walk, and the cell texts against literal
// expectations.
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

TEST(ReadStudentFields, WalksLikeReadKeyedRecord) {
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

TEST(ReadStudentFields, ValuesAndRemainingOfARealisticPage) {
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

TEST(ReadStudentFields, FailedWalkLeavesTextCutWhereReadKeyedRecordLeavesIt) {
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

int columnTitled(std::string_view title) {
  for (std::size_t c = 0; c < kExportColumns.size(); ++c)
    if (kExportColumns[c].title == title) return static_cast<int>(c);
  ADD_FAILURE() << "no column " << title;
  return -1;
}

// What the spreadsheet shows for a value, written out by hand.
TEST(AppendStudentCellText, EachColumnShowsItsValueAsTheSheetShould) {
  const struct Case {
    const char* column;
    std::string value;
    std::string cell;
  } cases[] = {
      {"姓名", R"(\u5f20\u4e09)", "张三"},
      {"姓名", R"(\ud842\udfb7)", "𠮷"},
      {"姓名", R"(\ud842)", "\xEF\xBF\xBD"},
      {"姓名", "", ""},
      {"籍贯", R"(\u5e7f\u4e1c)", "广东"},
      {"家庭住址", R"(\u4e2d1\u53f7)", "中1号"},
      {"学校名称", R"(\u4e00\u4e2d)", "一中"},
      {"学籍号", R"(G44\u0031)", R"(G44\u0031)"},  // not decoded
      {"学籍号", "G\xfe", "G\xEF\xBF\xBD"},
      {"身份证号", R"(\u0034\u0034)", "44"},  // escaped digits decode
      {"身份证号", "44010620110202234X", "44010620110202234X"},
      {"性别", "1", "男"},
      {"性别", "2", "女"},
      {"性别", "02", "女"},
      {"性别", "9", "未知"},
      {"性别", "x", "x"},
      {"性别", "", ""},
      {"民族", "1", "汉族"},
      {"民族", "81", "穿青人族"},
      {"民族", "57", "未知"},
      {"身份证件类型", "1", "居民身份证"},
      {"身份证件类型", "Z", "其他"},
      {"身份证件类型", "5", "5"},
      {"就读方式", "2", "住校"},
      {"就读方式", "3", "未知"},
      {"是否残疾", "0", "否"},
      {"是否分班", "1", "是"},
      {"是否分班", "-0", "否"},
      {"是否残疾", "2147483648", "2147483648"},
      {"就读状态", "31", "休学"},
      {"就读状态", "031", "在校"},
      {"就读状态", "", "在校"},
      {"出生日期", "20110202", "20110202"},
      {"联系电话", "1\xff", "1\xEF\xBF\xBD"},
      {"户口所在地", "440106", "440106"},
  };
  for (const Case& c : cases) {
    const int column = columnTitled(c.column);
    ASSERT_GE(column, 0);
    StudentFields fields{};
    fields[static_cast<std::size_t>(kExportColumns[static_cast<std::size_t>(column)].field)] = c.value;
    std::string cell = "prefix";  // appends, never replaces
    appendStudentCellText(fields, column, cell);
    EXPECT_EQ(cell, "prefix" + c.cell) << c.column << " " << c.value;
  }
}

// A value reaches its own column only: every other column shows what it
// shows for an empty record.
TEST(AppendStudentCellText, AValueReachesItsOwnColumnOnly) {
  const StudentFields empty{};
  std::string emptyCells[19];
  for (int c = 0; c < 19; ++c) appendStudentCellText(empty, c, emptyCells[c]);
  for (int field = 0; field < 31; ++field) {
    StudentFields fields{};
    fields[static_cast<std::size_t>(field)] = R"(\u4e2d9)";
    for (int c = 0; c < 19; ++c) {
      if (kExportColumns[static_cast<std::size_t>(c)].field == field) continue;
      std::string cell;
      appendStudentCellText(fields, c, cell);
      EXPECT_EQ(cell, emptyCells[c]) << "field " << field << " column " << c;
    }
  }
}

TEST(AppendStudentCellText, DecodesPairsAndReplacesLoneHalves) {
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
