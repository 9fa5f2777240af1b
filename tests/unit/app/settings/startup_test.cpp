#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <sys/stat.h>

#include "common/profile_file.h"
#include "app/settings/province_table.h"
#include "app/settings/startup.h"
#include "common/text_encoding.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;
using qm::test::TempFolder;

namespace {

using qm::test::readFile;

std::string settingsWith(const std::string& code, const std::optional<std::string>& zdurl) {
  std::string text = "[学籍系统省份]\r\nxjxtsf=" + code + "\r\n[登录用户]\r\ndenglu=张三\r\n";
  if (zdurl) text += "[自定义网址]\r\nzdurl=" + *zdurl + "\r\n";
  return utf8ToGb18030(text);
}

enum class After { Unchanged, RepairedTo1 };

struct StartupCase {
  const char* name;
  std::optional<std::string> file;  // nullopt: no settings file
  std::string expectedHost;
  After after;
};

std::vector<StartupCase> startupCases() {
  const std::string fallback = provinceHost(1);
  return {
      {"no settings file", std::nullopt, fallback, After::RepairedTo1},
      {"empty file", std::string(), fallback, After::RepairedTo1},
      {"empty code", settingsWith("", std::nullopt), fallback, After::RepairedTo1},
      {"7 is 山西", settingsWith("7", std::nullopt), provinceHost(7), After::Unchanged},
      {"07 is 7 and stays 07", settingsWith("07", std::nullopt), provinceHost(7), After::Unchanged},
      {"+7 is 7", settingsWith("+7", std::nullopt), provinceHost(7), After::Unchanged},
      {"blanks around the code", settingsWith("  23 ", std::nullopt), provinceHost(23), After::Unchanged},
      {"1", settingsWith("1", "ignored:1"), fallback, After::Unchanged},
      {"20 carries its port", settingsWith("20", std::nullopt), provinceHost(20), After::Unchanged},
      {"24", settingsWith("24", std::nullopt), fallback, After::RepairedTo1},
      {"98", settingsWith("98", std::nullopt), fallback, After::RepairedTo1},
      {"100", settingsWith("100", std::nullopt), fallback, After::RepairedTo1},
      {"0", settingsWith("0", std::nullopt), fallback, After::RepairedTo1},
      {"-1", settingsWith("-1", std::nullopt), fallback, After::RepairedTo1},
      {"-7", settingsWith("-7", std::nullopt), fallback, After::RepairedTo1},
      {"abc", settingsWith("abc", std::nullopt), fallback, After::RepairedTo1},
      {"hexadecimal $7", settingsWith("$7", std::nullopt), fallback, After::RepairedTo1},
      {"7 with letters", settingsWith("7a", std::nullopt), fallback, After::RepairedTo1},
      {"too big for an integer", settingsWith("99999999999999999999", std::nullopt), fallback, After::RepairedTo1},
      {"99 with host and port", settingsWith("99", "127.0.0.1:8080"), "127.0.0.1:8080", After::Unchanged},
      {"99 with a Chinese host name as read", settingsWith("99", "学籍.example:81"), "学籍.example:81", After::Unchanged},
      {"99 with empty zdurl", settingsWith("99", ""), "", After::Unchanged},
      {"99 without zdurl", settingsWith("99", std::nullopt), "", After::Unchanged},
  };
}

}  // namespace

TEST(Startup, ServerHostAndRepairs) {
  TempFolder dir("startup");
  const fs::path file = dir.path / "quillmeresz.ini";
  for (const StartupCase& c : startupCases()) {
    fs::remove(file);
    if (c.file) std::ofstream(file, std::ios::binary) << *c.file;

    StartupResult r = resolveServerHost(file.string());
    ASSERT_TRUE(r.ok) << c.name << ": " << r.error;
    EXPECT_EQ(r.serverHost, c.expectedHost) << c.name;
    EXPECT_TRUE(r.error.empty()) << c.name;

    if (c.after == After::Unchanged) {
      EXPECT_EQ(readFile(file), *c.file) << c.name << ": file must not be written";
      continue;
    }
    ProfileFile pf(file.string());
    EXPECT_EQ(pf.read("学籍系统省份", "xjxtsf"), "1") << c.name;
    if (c.file && !c.file->empty()) {
      EXPECT_EQ(pf.read("登录用户", "denglu"), "张三") << c.name << ": other settings lost";
    }
    // A second start-up finds nothing more to repair.
    const std::string repaired = readFile(file);
    EXPECT_EQ(resolveServerHost(file.string()).serverHost, provinceHost(1)) << c.name;
    EXPECT_EQ(readFile(file), repaired) << c.name;
  }
}

TEST(Startup, NoFileCreatesTheProvinceSection) {
  TempFolder dir("startup_new");
  const fs::path file = dir.path / "quillmeresz.ini";
  ASSERT_TRUE(resolveServerHost(file.string()).ok);
  EXPECT_EQ(readFile(file), "[\xD1\xA7\xBC\xAE\xCF\xB5\xCD\xB3\xCA\xA1\xB7\xDD]\r\nxjxtsf=1\r\n");
}

TEST(Startup, RepairThatCannotBeWrittenFails) {
  TempFolder dir("startup_unwritable");
  const fs::path folderInPlace = dir.path / "quillmeresz.ini";
  fs::create_directory(folderInPlace);
  for (const std::string& path : {(dir.unwritableFolder() / "quillmeresz.ini").string(), folderInPlace.string()}) {
    StartupResult r = resolveServerHost(path);
    EXPECT_FALSE(r.ok) << path;
    EXPECT_EQ(r.error, "Unable to write to " + path);
  }
}

TEST(Startup, SettingsPathThatIsAFifoFailsWithoutBlocking) {
  TempFolder dir("startup_fifo");
  const fs::path fifo = dir.path / "quillmeresz.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  // Opening a FIFO for reading waits for a writer: start-up must not.
  StartupResult r = resolveServerHost(fifo.string());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Unable to write to " + fifo.string());
}

TEST(Startup, ReadOnlyFolderIsFineWhenNothingNeedsWriting) {
  if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
  TempFolder dir("startup_readonly");
  const fs::path folder = dir.path / "ro";
  fs::create_directory(folder);
  const fs::path file = folder / "quillmeresz.ini";
  std::ofstream(file, std::ios::binary) << settingsWith("7", std::nullopt);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  StartupResult r = resolveServerHost(file.string());
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(r.serverHost, provinceHost(7));
  // The same folder with a code that needs a repair.
  fs::permissions(folder, fs::perms::owner_all);
  std::ofstream(file, std::ios::binary) << settingsWith("abc", std::nullopt);
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  r = resolveServerHost(file.string());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "Unable to write to " + file.string());
}

TEST(Startup, ProvinceCodeParsing) {
  struct Case {
    const char* text;
    std::optional<long long> value;
  };
  const Case cases[] = {
      {"7", 7},          {"07", 7},           {"+7", 7},        {"-1", -1},         {"0", 0},
      {"99", 99},        {"2147483647", 2147483647LL},          {"-2147483648", -2147483648LL},
      {"2147483648", {}}, {"", {}},           {"-", {}},        {"+", {}},          {"+-7", {}},
      {" 7", {}},        {"7 ", {}},          {"$7", {}},       {"0x7", {}},        {"7a", {}},
      {"1e2", {}},       {"７", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(parseProvinceCode(c.text), c.value) << '"' << c.text << '"';
}

TEST(Startup, SettingsPathIsBesideTheProgram) {
  EXPECT_EQ(settingsPathForExecutable("/opt/quillmere/bin/quillmere"), "/opt/quillmere/bin/quillmeresz.ini");
  EXPECT_EQ(settingsPathForExecutable("/quillmere"), "/quillmeresz.ini");
  EXPECT_EQ(settingsPathForExecutable("quillmere"), "quillmeresz.ini");
  const std::string self = currentExecutablePath("ignored");
  EXPECT_TRUE(fs::path(self).is_absolute()) << self;
  EXPECT_EQ(fs::path(self).filename(), "test_settings");
}

TEST(ProvinceTable, CodesNamesAndHosts) {
  const char* names[] = {"湖北", "黑龙江", "吉林", "内蒙古", "河北", "河南", "山西", "湖南", "江西", "福建", "广东", "广西",
                         "海南", "云南", "贵州", "重庆", "宁夏", "甘肃", "青海", "新疆", "四川", "陕西", "辽宁"};
  const std::regex ipv4(R"(\d+\.\d+\.\d+\.\d+(:\d+)?)");
  std::set<std::string> hosts;
  for (int code = 1; code <= 23; ++code) {
    EXPECT_EQ(provinceName(code), names[code - 1]) << code;
    const std::string host = provinceHost(code);
    ASSERT_FALSE(host.empty()) << code;
    EXPECT_EQ(host.find("http"), std::string::npos) << code;
    EXPECT_NE(host.back(), '/') << code;
    const bool isAddress = std::regex_match(host, ipv4);
    EXPECT_EQ(isAddress, code == 4 || code == 13 || code == 20) << code << " " << host;
    hosts.insert(host);
  }
  EXPECT_EQ(hosts.size(), 23u) << "two provinces share a server";
  EXPECT_TRUE(provinceHost(20).ends_with(":8081"));
  for (int code : {0, -1, 24, 99}) {
    EXPECT_EQ(provinceHost(code), "") << code;
    EXPECT_EQ(provinceName(code), "") << code;
  }
}
