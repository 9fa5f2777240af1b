#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "common/profile_file.h"
#include "common/text_encoding.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;
using qm::test::TempFolder;

namespace {

// Files are fixtures written in UTF-8 here and stored as the program stores them.
std::string gb(const std::string& utf8) { return utf8ToGb18030(utf8); }

struct ReadCase {
  const char* name;
  std::string bytes;  // file contents on disk
  const char* section;
  const char* key;
  std::string expected;
};

const std::string kLong2047(2047, 'x');

std::vector<ReadCase> readCases() {
  const std::string han1023 = [] {
    std::string s;
    for (int i = 0; i < 1023; ++i) s += "中";
    return s;
  }();
  const std::string han1022 = han1023.substr(0, han1023.size() - 3);
  return {
      {"plain", gb("[学籍系统省份]\r\nxjxtsf=7\r\n"), "学籍系统省份", "xjxtsf", "7"},
      {"section and key ignore ASCII case", gb("[Login]\r\nDengLu=zhang\r\n"), "LOGIN", "denglu", "zhang"},
      {"blanks and tabs around the value", gb("[s]\r\nk = \t 7 \t \r\n"), "s", "k", "7"},
      {"blanks around key and section name", gb(" [ s ] \r\n\t k \t=v\r\n"), "s", "k", "v"},
      {"blanks inside the value stay", gb("[s]\r\nk= a  b \r\n"), "s", "k", "a  b"},
      {"equals sign inside the value", gb("[s]\r\nk=a=b\r\n"), "s", "k", "a=b"},
      {"empty value is not the default", gb("[s]\r\nk=\r\n"), "s", "k", ""},
      {"missing key", gb("[s]\r\nother=1\r\n"), "s", "k", "DEF"},
      {"missing section", gb("[t]\r\nk=1\r\n"), "s", "k", "DEF"},
      {"key before any section is ignored", gb("k=early\r\n[s]\r\nx=1\r\n"), "s", "k", "DEF"},
      {"key of the next section is not ours", gb("[s]\r\na=1\r\n[t]\r\nk=2\r\n"), "s", "k", "DEF"},
      {"first of two equal keys", gb("[s]\r\nk=1\r\nK=2\r\n"), "s", "k", "1"},
      {"comment line is not a key", gb("[s]\r\n;k=1\r\n"), "s", "k", "DEF"},
      {"LF line ends", gb("[s]\nk=v\n[t]\nk=w\n"), "t", "k", "w"},
      {"no line end at the end", gb("[s]\r\nk=v"), "s", "k", "v"},
      {"double quotes dropped", gb("[s]\r\nk= \"a b\" \r\n"), "s", "k", "a b"},
      {"single quotes dropped", gb("[s]\r\nk='a'\r\n"), "s", "k", "a"},
      {"only one pair of quotes dropped", gb("[s]\r\nk=\"\"a\"\"\r\n"), "s", "k", "\"a\""},
      {"unmatched quotes kept", gb("[s]\r\nk=\"a'\r\n"), "s", "k", "\"a'"},
      {"Chinese value", gb("[登录用户]\r\ndenglu=张三丰\r\n"), "登录用户", "denglu", "张三丰"},
      {"GB18030 four-byte character", gb("[s]\r\nk=𠀀王\r\n"), "s", "k", "𠀀王"},
      // 0x81 0x5D: the trail byte is "]" and must not end the section name.
      {"GBK trail byte like a bracket", gb("[乚甲]\r\nk=v\r\n"), "乚甲", "k", "v"},
      // 丄 and 乤 differ only in a trail byte "A"/"a": case folding must not join them.
      {"GBK trail byte like a letter", gb("[丄]\r\nk=v\r\n"), "乤", "k", "DEF"},
      {"UTF-8 file with a byte order mark", "\xEF\xBB\xBF[自定义网址]\r\nzdurl=127.0.0.1:8080\r\n", "自定义网址", "zdurl",
       "127.0.0.1:8080"},
      {"2047 bytes are all seen", gb("[s]\r\nk=" + kLong2047 + "\r\n"), "s", "k", kLong2047},
      {"byte 2048 is cut", gb("[s]\r\nk=" + kLong2047 + "yz\r\n"), "s", "k", kLong2047},
      {"Chinese value ending at byte 2047", gb("[s]\r\nk=a" + han1023 + "\r\n"), "s", "k", "a" + han1023},
      {"Chinese character across byte 2047 is dropped", gb("[s]\r\nk=ab" + han1023 + "\r\n"), "s", "k", "ab" + han1022},
      {"four-byte character across byte 2047 is dropped", gb("[s]\r\nk=" + std::string(2044, 'x') + "𠀀\r\n"), "s", "k",
       std::string(2044, 'x')},
      {"limit counts after the blanks are dropped", gb("[s]\r\nk=   " + kLong2047 + "   \r\n"), "s", "k", kLong2047},
  };
}

using qm::test::readFile;

void writeAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

}  // namespace

TEST(ProfileFileRead, Table) {
  TempFolder dir("profile_read");
  const fs::path file = dir.path / "quillmeresz.ini";
  for (const ReadCase& c : readCases()) {
    writeAll(file, c.bytes);
    ProfileFile pf(file.string());
    std::string got = pf.read(c.section, c.key, "DEF");
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

TEST(ProfileFileRead, MissingFileOrFolderGivesTheDefault) {
  TempFolder dir("profile_missing");
  EXPECT_EQ(ProfileFile((dir.path / "none.ini").string()).read("s", "k", "d"), "d");
  EXPECT_EQ(ProfileFile((dir.path / "no" / "none.ini").string()).read("s", "k", ""), "");
}

namespace {
struct WriteCase {
  const char* name;
  std::optional<std::string> before;  // nullopt: no file
  const char* section;
  const char* key;
  std::string value;
  std::string after;
};

std::vector<WriteCase> writeCases() {
  const std::string file = gb(
      "; Quillmere settings\r\n"
      "[学籍系统省份]\r\n"
      "XJXTSF = 7\r\n"
      "\r\n"
      "[自定义网址]\r\n"
      "zdurl=127.0.0.1:8080\r\n"
      "\r\n"
      "[登录用户]\r\n"
      "denglu=张三\r\n");
  return {
      {"creates file, section and key", std::nullopt, "学籍系统省份", "xjxtsf", "1", gb("[学籍系统省份]\r\nxjxtsf=1\r\n")},
      {"creates them in an empty file", std::string(), "学籍系统省份", "xjxtsf", "1", gb("[学籍系统省份]\r\nxjxtsf=1\r\n")},
      {"replaces a value, keeping the key's spelling and every other line", file, "学籍系统省份", "xjxtsf", "1",
       gb("; Quillmere settings\r\n[学籍系统省份]\r\nXJXTSF=1\r\n\r\n[自定义网址]\r\nzdurl=127.0.0.1:8080\r\n\r\n"
          "[登录用户]\r\ndenglu=张三\r\n")},
      {"replaces in the last line", file, "登录用户", "DENGLU", "李四",
       gb("; Quillmere settings\r\n[学籍系统省份]\r\nXJXTSF = 7\r\n\r\n[自定义网址]\r\nzdurl=127.0.0.1:8080\r\n\r\n"
          "[登录用户]\r\ndenglu=李四\r\n")},
      {"adds a key after the section's last line, before the blank line", file, "自定义网址", "extra", "x",
       gb("; Quillmere settings\r\n[学籍系统省份]\r\nXJXTSF = 7\r\n\r\n[自定义网址]\r\nzdurl=127.0.0.1:8080\r\nextra=x\r\n\r\n"
          "[登录用户]\r\ndenglu=张三\r\n")},
      {"adds a section at the end", gb("[s]\r\nk=v"), "登录用户", "denglu", "王五",
       gb("[s]\r\nk=v\r\n[登录用户]\r\ndenglu=王五\r\n")},
      {"keeps LF lines as they were", gb("[s]\nk=v\n[t]\nk=w\n"), "t", "k", "x", gb("[s]\nk=v\n[t]\nk=x\n")},
      {"keeps a UTF-8 file with its byte order mark UTF-8", std::string("\xEF\xBB\xBF[s]\r\nk=v\r\n"), "登录用户", "denglu", "王五",
       "\xEF\xBB\xBF[s]\r\nk=v\r\n[登录用户]\r\ndenglu=王五\r\n"},
      {"keeps bytes that are not GB18030 in other lines", std::string("[s]\r\nbad=\xFF\xFE\x80\r\nk=v\r\n"), "s", "k", "w",
       "[s]\r\nbad=\xFF\xFE\x80\r\nk=w\r\n"},
      {"a line break in a value cannot start a new line", gb("[s]\r\nk=v\r\n"), "s", "k", "a\r\n[t]\nk=x",
       gb("[s]\r\nk=a  [t] k=x\r\n")},
  };
}
}  // namespace

TEST(ProfileFileWrite, Table) {
  TempFolder dir("profile_write");
  const fs::path file = dir.path / "quillmeresz.ini";
  for (const WriteCase& c : writeCases()) {
    fs::remove(file);
    if (c.before) writeAll(file, *c.before);
    ProfileFile pf(file.string());
    ASSERT_TRUE(pf.write(c.section, c.key, c.value)) << c.name << ": " << pf.error();
    EXPECT_EQ(readFile(file), c.after) << c.name;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1) << c.name << ": temp file left";
  }
}

TEST(ProfileFileWrite, SectionNamesAreGbkOnDisk) {
  TempFolder dir("profile_gbk");
  const fs::path file = dir.path / "quillmeresz.ini";
  ProfileFile pf(file.string());
  ASSERT_TRUE(pf.write("学籍系统省份", "xjxtsf", "1"));
  ASSERT_TRUE(pf.write("自定义网址", "zdurl", "127.0.0.1:8080"));
  ASSERT_TRUE(pf.write("登录用户", "denglu", "张三"));
  const std::string expected =
      "[\xD1\xA7\xBC\xAE\xCF\xB5\xCD\xB3\xCA\xA1\xB7\xDD]\r\nxjxtsf=1\r\n"
      "[\xD7\xD4\xB6\xA8\xD2\xE5\xCD\xF8\xD6\xB7]\r\nzdurl=127.0.0.1:8080\r\n"
      "[\xB5\xC7\xC2\xBC\xD3\xC3\xBB\xA7]\r\ndenglu=\xD5\xC5\xC8\xFD\r\n";
  EXPECT_EQ(readFile(file), expected);
  EXPECT_EQ(pf.read("登录用户", "denglu"), "张三");
}

TEST(ProfileFileWrite, ValueReadsBackAsWritten) {
  TempFolder dir("profile_roundtrip");
  ProfileFile pf((dir.path / "a.ini").string());
  for (const std::string v : {"1", "07", "127.0.0.1:8080", "张𠀀三", ""}) {
    ASSERT_TRUE(pf.write("自定义网址", "zdurl", v));
    EXPECT_EQ(pf.read("自定义网址", "ZDURL", "DEF"), v);
  }
}

TEST(ProfileFileWrite, UnwritablePlacesFailWithThePath) {
  TempFolder dir("profile_unwritable");
  const fs::path folderInPlace = dir.path / "quillmeresz.ini";
  fs::create_directory(folderInPlace);
  const std::string paths[] = {(dir.unwritableFolder() / "quillmeresz.ini").string(), folderInPlace.string()};
  for (const std::string& path : paths) {
    ProfileFile pf(path);
    EXPECT_EQ(pf.read("学籍系统省份", "xjxtsf", "DEF"), "DEF") << path;
    EXPECT_FALSE(pf.write("学籍系统省份", "xjxtsf", "1")) << path;
    EXPECT_EQ(pf.error(), "Unable to write to " + path);
  }
  EXPECT_TRUE(fs::is_directory(folderInPlace));
}

TEST(ProfileFileWrite, ReadOnlyFileFailsAndStaysAsItWas) {
  // Also for root, whom permission bits do not stop: the file's mode is the rule.
  TempFolder dir("profile_readonly");
  const fs::path file = dir.path / "quillmeresz.ini";
  const std::string before = gb("[学籍系统省份]\r\nxjxtsf=abc\r\n");
  writeAll(file, before);
  fs::permissions(file, fs::perms::owner_read);
  ProfileFile pf(file.string());
  EXPECT_FALSE(pf.write("学籍系统省份", "xjxtsf", "1"));
  EXPECT_EQ(pf.error(), "Unable to write to " + file.string());
  EXPECT_EQ(readFile(file), before);
}
