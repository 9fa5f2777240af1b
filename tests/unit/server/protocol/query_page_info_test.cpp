#include "server/protocol/query_page_info.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace qm {
namespace {

// Writes a text the way the page's script does: every character as \xHH.
std::string hexEscaped(const std::string& s) {
  std::string out;
  char buf[5];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "\\x%02x", c);
    out += buf;
  }
  return out;
}

const std::string kToken = "7c9e6679-7425-40de-944b-e07fc1f90ae7";
const std::string kCode32 = "4401060000010000000000000000ABCD";

std::string page(const std::string& userType, const std::string& code) {
  return "<html><script>\nvar userType = " + userType + ";\nvar organCode=\"" + code +
         "\";\nvar p = {'" + hexEscaped("token':'") + hexEscaped(kToken) + "'};\n</script></html>";
}

TEST(ReadQueryPageInfo, SchoolAccountTakesTwelveCharacterCode) {
  const auto info = ReadQueryPageInfo(page("1", "440106000001\";var x=\"zzzzzzzzzzzzzzzzzzzzzzzzzzz"));
  EXPECT_EQ(info.userType, "1");
  EXPECT_EQ(info.organCode, "440106000001");
  EXPECT_EQ(info.token, kToken);
}

TEST(ReadQueryPageInfo, OtherAccountTakesThirtyTwoCharacters) {
  const auto info = ReadQueryPageInfo(page("2", kCode32 + "\";"));
  EXPECT_EQ(info.userType, "2");
  EXPECT_EQ(info.organCode, kCode32);
  EXPECT_EQ(info.token, kToken);
}

TEST(ReadQueryPageInfo, CodeIsTakenWhateverFollowsIt) {
  const auto info = ReadQueryPageInfo(page("2", "44010600"));
  EXPECT_EQ(info.organCode, "44010600\";\nvar p = {'\\x74\\x6f\\x6");
}

TEST(ReadQueryPageInfo, MissingMarkersCutAtFixedOffsets) {
  // No token marker: characters 32 to 175 are taken as the escaped token.
  // No userType marker: the page's 15th character is the account type.
  std::string src = "<html>abcdefgh2jklmnopqrstuvwxy";  // 31 characters, 15th is "2"
  ASSERT_EQ(src.size(), 31u);
  src += hexEscaped("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
  src += "</html>";
  const auto info = ReadQueryPageInfo(src);
  EXPECT_EQ(info.userType, "2");
  EXPECT_EQ(info.token, "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
  // "var organCode=" is 14 long, so its absent value starts at character 15.
  EXPECT_EQ(info.organCode, "2jklmnopqrstuvwxy\\x41\\x42\\x43\\x4");
}

TEST(ReadQueryPageInfo, EmptyPageGivesEmptyValues) {
  const auto info = ReadQueryPageInfo("");
  EXPECT_EQ(info.userType, "");
  EXPECT_EQ(info.organCode, "");
  EXPECT_EQ(info.token, "");
}

}  // namespace
}  // namespace qm
