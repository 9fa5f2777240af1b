// Saving a log: GB18030 bytes, CR LF after every line, line breaks inside a
// line turned into CR LF, the old file kept when the save fails.
#include <gtest/gtest.h>

#include <filesystem>

#include "checks/records/check_log.h"
#include "tests/unit/checks/records/temp_files.h"

namespace qm {
namespace {

TEST(CheckLog, Gb18030WithCrLf) {
  const std::vector<std::string> lines{"1、完全正确。", "a\nb", "c\r\nd\re", "𠀀", ""};
  const std::string expected =
      "1\xA1\xA2\xCD\xEA\xC8\xAB\xD5\xFD\xC8\xB7\xA1\xA3\r\n"  // GBK bytes of the full-width text
      "a\r\nb\r\n"
      "c\r\nd\r\ne\r\n"
      "\x95\x32\x82\x36\r\n"  // a character GBK lacks keeps its four-byte GB18030 form
      "\r\n";
  EXPECT_EQ(logFileBytes(lines), expected);
  EXPECT_EQ(logFileBytes({}), "");
}

TEST(CheckLog, SaveReplacesTheFileOnlyWhenComplete) {
  test::ScratchDir dir("log");
  const std::string path = dir.file("结果.txt");
  ASSERT_TRUE(saveLogLines(path, {"1、完全正确。"}));
  EXPECT_EQ(test::fileBytes(path), "1\xA1\xA2\xCD\xEA\xC8\xAB\xD5\xFD\xC8\xB7\xA1\xA3\r\n");

  std::string error;
  EXPECT_FALSE(saveLogLines(dir.file("missing/结果.txt"), {"x"}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);
}

}  // namespace
}  // namespace qm
