#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "common/profile_file.h"
#include "app/settings/settings_form.h"
#include "common/text_encoding.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;

namespace {

using qm::test::readFile;

struct OpenCase {
  const char* name;
  std::optional<std::string> file;  // UTF-8 text, written as GB18030; nullopt: no file
  int checked;
  std::optional<std::string> codeAfter;  // the file's "xjxtsf" afterwards; nullopt: the file is unchanged
};

}  // namespace

TEST(SettingsForm, Opening) {
  const std::string rest = "[自定义网址]\r\nzdurl=10.1.2.3:8080\r\n[登录用户]\r\ndenglu=张老师\r\n";
  const OpenCase cases[] = {
      {"13 is 海南", "[学籍系统省份]\r\nxjxtsf=13\r\n" + rest, 13, std::nullopt},
      {"99 with an address", "[学籍系统省份]\r\nxjxtsf=99\r\n" + rest, 99, std::nullopt},
      {"section and key in other case", "[学籍系统省份]\r\nXJXTSF=5\r\n" + rest, 5, std::nullopt},
      {"07 is repaired", "[学籍系统省份]\r\nxjxtsf=07\r\n" + rest, 1, "1"},
      {"24 is repaired", "[学籍系统省份]\r\nxjxtsf=24\r\n" + rest, 1, "1"},
      {"text is repaired", "[学籍系统省份]\r\nxjxtsf=湖北\r\n" + rest, 1, "1"},
      {"empty code", "[学籍系统省份]\r\nxjxtsf=\r\n" + rest, 1, "1"},
      {"no code", rest, 1, "1"},
      {"no file", std::nullopt, 1, "1"},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder tmp("settings_open");
    const fs::path path = tmp.path / "quillmeresz.ini";
    if (c.file) std::ofstream(path, std::ios::binary) << utf8ToGb18030(*c.file);
    const std::string before = readFile(path);

    SettingsFormState s = openSettingsForm(path.string());
    EXPECT_EQ(s.error, "");
    EXPECT_EQ(s.checkedCode, c.checked);
    EXPECT_EQ(s.customAddress, c.file && c.file->find("zdurl") != std::string::npos ? "10.1.2.3:8080" : "");
    EXPECT_EQ(s.loginName, c.file && c.file->find("denglu") != std::string::npos ? "张老师" : "");
    if (c.codeAfter) {
      EXPECT_EQ(ProfileFile(path.string()).read("学籍系统省份", "xjxtsf"), *c.codeAfter);
      // The other keys are left as they were.
      EXPECT_EQ(ProfileFile(path.string()).read("登录用户", "denglu"), s.loginName);
    } else {
      EXPECT_EQ(readFile(path), before);
    }
  }
}

TEST(SettingsForm, Saving) {
  test::TempFolder tmp("settings_save");
  const fs::path path = tmp.path / "quillmeresz.ini";
  ProfileFile file(path.string());

  struct SaveCase {
    std::optional<int> checked;
    const char* address;
    const char* login;
    const char* code;
    const char* storedAddress;
    const char* storedLogin;
  };
  const SaveCase cases[] = {
      {23, "", "张三", "23", "", "张三"},
      {99, "  10.1.2.3:8080 \t", "\t 张三  ", "99", "10.1.2.3:8080", "张三"},
      {std::nullopt, "x", "y", "1", "x", "y"},
      {7, "", "", "7", "", ""},
  };
  for (const SaveCase& c : cases) {
    SettingsSaveResult r = saveSettingsForm(path.string(), c.checked, c.address, c.login);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.message, "设置成功!重启浏览器后将生效。");
    EXPECT_EQ(file.read("学籍系统省份", "xjxtsf"), c.code);
    EXPECT_EQ(file.read("自定义网址", "zdurl"), c.storedAddress);
    EXPECT_EQ(file.read("登录用户", "denglu"), c.storedLogin);
    // What the dialog shows on its next opening.
    SettingsFormState s = openSettingsForm(path.string());
    EXPECT_EQ(std::to_string(s.checkedCode), c.code);
  }
  // Saving twice writes the same file twice, with the message each time.
  const std::string once = readFile(path);
  EXPECT_TRUE(saveSettingsForm(path.string(), 7, "", "").ok);
  EXPECT_EQ(readFile(path), once);
  // The section names are GBK in the file.
  EXPECT_NE(once.find(utf8ToGb18030("[学籍系统省份]")), std::string::npos);
}

TEST(SettingsForm, UnwritableFile) {
  test::TempFolder tmp("settings_locked");
  const std::string path = (tmp.unwritableFolder() / "quillmeresz.ini").string();
  SettingsSaveResult r = saveSettingsForm(path, 3, "a", "b");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, "Unable to write to " + path);
  SettingsFormState s = openSettingsForm(path);
  EXPECT_EQ(s.checkedCode, 1);
  EXPECT_EQ(s.error, "Unable to write to " + path);
}

TEST(SettingsForm, CodeToSave) {
  EXPECT_EQ(provinceCodeToSave(std::nullopt), "1");
  EXPECT_EQ(provinceCodeToSave(23), "23");
  EXPECT_EQ(provinceCodeToSave(99), "99");
  EXPECT_EQ(provinceCodeToSave(24), "1");  // no such button
}
