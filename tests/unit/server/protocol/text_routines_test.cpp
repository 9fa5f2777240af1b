#include "server/protocol/text_routines.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace qm {
namespace {

struct HexIntCase {
  std::string text;
  std::int32_t expected;
};

TEST(HexTextToInt, Cases) {
  const HexIntCase cases[] = {
      {" ff ", 255},
      {"", 0},
      {" \t\r\n", 0},
      {"G1", 1},            // a non-hex character weighs 0 but keeps its place
      {"1G", 16},
      {"zz", 0},
      {"aB", 171},          // case does not matter
      {std::string("\x01" "7f\x1f", 4), 127},
      {"7FFFFFFF", INT_MAX},
      {"80000000", INT_MIN},
      {"123456789", 0x23456789},  // nine digits: the top one wraps away
      {"FFFFFFFFF", -1},
      {"10000000000000001", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(HexTextToInt(c.text), c.expected) << '"' << c.text << '"';
}

struct BytesCase {
  std::string text;
  std::string expected;
};

TEST(DecodeHexEscapes, Cases) {
  const BytesCase cases[] = {
      {R"(\x74\x6f\x6b\x65\x6e\x27\x3a\x27\x61\x62)", "token':'ab"},
      {R"(\x7)", ""},               // a group without its fourth character is dropped
      {R"(\x41\x4)", "A"},
      {"ab41", "A"},                // the first two characters are not examined
      {R"(\xZZ)", std::string(1, '\0')},
      {R"(\xff\x00)", std::string("\xff\0", 2)},
      {R"(\x 9)", "\t"},             // the digit pair is trimmed like any hex text
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeHexEscapes(c.text), c.expected) << c.text;
}

TEST(DecodeHexEscapes, OneBytePerFullGroup) {
  std::string run;
  for (int i = 0; i < 36; ++i) run += R"(\x2d)";
  for (std::size_t len = 0; len <= run.size(); ++len) {
    EXPECT_EQ(DecodeHexEscapes(run.substr(0, len)), std::string(len / 4, '-')) << len;
  }
}

struct UnicodeCase {
  std::string text;
  std::u16string expected;
};

TEST(DecodeUnicodeEscapes, Cases) {
  const UnicodeCase cases[] = {
      {R"(\u5f20\u4e09)", u"张三"},
      {R"(2019\u7ea71\u73ed)", u"2019级1班"},
      {R"(\u5e7f\u5dde301)", u"广州301"},
      {"ABC", u"ABC"},
      {"", u""},
      {R"(\U4E2D)", u"中"},
      {R"(x\u4e)", u"x\u4E00"},          // short escape: the digits keep their weights
      {R"(\u4)", u"\u4000"},
      {R"(a\u)", std::u16string(u"a") + char16_t(0)},
      {R"(\\u0041)", u"\\A"},             // a \u after a backslash is still an escape
      {R"(\ud842\udfb7)", u"\U00020BB7"}, // escaped surrogate pair stays a pair
      {R"(\uZZZZ)", u"\u4443"},          // non-digits weigh (code mod 16) + 9, sum mod 65536
      {R"(\"a\/b\n\\)", u"\\\"a\\/b\\n\\\\"},  // no other escape is interpreted
      {"中\\u6587", u"中文"},            // literal text is UTF-8
      {"\xff\\u0041", u"\uFFFDA"},       // a byte that is no UTF-8 does not stop the decoding
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeUnicodeEscapes(c.text), c.expected) << c.text;
}

TEST(DecodeUnicodeEscapesUtf8, KeepsCharactersOutsideGbk) {
  EXPECT_EQ(DecodeUnicodeEscapesUtf8(R"(\u5f20\ud842\udfb7)"), "张𠮷");
  EXPECT_EQ(DecodeUnicodeEscapesUtf8(R"(\ud842x)"), "\xEF\xBF\xBDx");  // lone surrogate
  EXPECT_EQ(DecodeUnicodeEscapesUtf8("2019\\u7ea7"), "2019级");
}

struct CutAfterCase {
  std::string text, marker;
  int skip, length;
  std::string expected;
};

TEST(CutAfter, Cases) {
  const CutAfterCase cases[] = {
      {"var a = 'xyz';", "var a =", 2, 3, "xyz"},
      {"var a = 'xy", "var a =", 2, 3, "xy"},       // fewer when the text ends sooner
      {"k=1 k=2", "k=", 0, 1, "1"},                 // first occurrence
      {"0123456789", "abc", 0, 2, "23"},            // absent: from position length(marker) + skip
      {"0123456789", "abc", 1, 2, "34"},
      {"0123456789", "abcdefghij", 1, 5, ""},       // offset past the end
      {"0123456789", "9", 0, 5, ""},
      {"0123456789", "5", -10, 2, "01"},            // a start before the text begins at 1
      {"0123456789", "5", 0, -1, ""},
      {"", "", 0, 3, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CutAfter(c.text, c.marker, c.skip, c.length), c.expected) << c.text << " / " << c.marker;
  }
}

struct CutBetweenCase {
  std::string text, start, end, expected;
};

TEST(CutBetween, Cases) {
  const CutBetweenCase cases[] = {
      {R"({"a":"1","b":2})", R"("a":)", R"(,"b")", R"("1")"},
      {"<>x", "<", ">", ""},            // end right at the start: empty
      {"b..a..", "a", "b", ""},         // end before the start: empty
      {"a..b..b", "a", "b", ".."},      // both searched from the text's start
      {"a..", "a", "b", ""},            // end absent
      {"0123b", "zz", "b", "123"},       // start absent: from position length(start)
      {"0123b", "", "b", "0123"},
  };
  for (const auto& c : cases) EXPECT_EQ(CutBetween(c.text, c.start, c.end), c.expected) << c.text;
}

TEST(NormalizeFieldValue, Cases) {
  const BytesCase cases[] = {
      {R"("abc")", "abc"}, {"null", ""},   {R"("null")", ""}, {R"("")", ""},
      {"12", "12"},        {"true", "true"}, {R"(")", ""},      {R"("abc)", "ab"},
      {"Null", "Null"},    {"", ""},         {R"( "a")", R"( "a")"},
  };
  for (const auto& c : cases) EXPECT_EQ(NormalizeFieldValue(c.text), c.expected) << c.text;
}

}  // namespace
}  // namespace qm
