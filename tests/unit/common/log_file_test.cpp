// Saving a log: GB18030 bytes, CR LF after every line, line breaks inside a
// line turned into CR LF, the old file kept when the save fails.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/log_file.h"
#include "tests/support/temp_folder.h"

namespace qm {
namespace {

TEST(LogFile, Gb18030WithCrLf) {
  struct Case {
    std::vector<std::string> lines;
    std::string bytes;
  } cases[] = {
      {{}, ""},
      {{"1、完全正确。"}, "1\xA1\xA2\xCD\xEA\xC8\xAB\xD5\xFD\xC8\xB7\xA1\xA3\r\n"},  // GBK bytes
      {{"【1、张三】查重无问题。"},
       "\xA1\xBE" "1\xA1\xA2\xD5\xC5\xC8\xFD\xA1\xBF\xB2\xE9\xD6\xD8\xCE\xDE\xCE\xCA\xCC\xE2\xA1\xA3\r\n"},
      {{"a", "", "b"}, "a\r\n\r\nb\r\n"},
      // A cell holding a line break: the file still has only CR LF ends.
      {{"a\nb", "c\r\nd\re"}, "a\r\nb\r\nc\r\nd\r\ne\r\n"},
      // 𠀀 (U+20000) is not in GBK; GB18030 keeps it in four bytes.
      {{"𠀀"}, "\x95\x32\x82\x36\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(logFileBytes(c.lines), c.bytes);
}

TEST(LogFile, SaveReplacesTheFileOnlyWhenComplete) {
  test::TempFolder dir("log");
  const std::string path = dir.file("结果.txt");
  ASSERT_TRUE(saveLogLines(path, {"first line that is longer", "second"}));
  ASSERT_TRUE(saveLogLines(path, {"1、完全正确。"}));
  EXPECT_EQ(test::readFile(path), "1\xA1\xA2\xCD\xEA\xC8\xAB\xD5\xFD\xC8\xB7\xA1\xA3\r\n");

  std::string error;
  EXPECT_FALSE(saveLogLines(dir.file("missing/结果.txt"), {"x"}, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path), {}), 1);
}

}  // namespace
}  // namespace qm
