// The settings file as odd machines leave it: a FIFO, Notepad's "Unicode",
// protected modes, a symbolic link; and the leftovers of crashed saves.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/atomic_file.h"
#include "common/profile_file.h"
#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;
using namespace qm;
using qm::test::TempFolder;

namespace {

using qm::test::readFile;

void writeAll(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::string utf16(const std::u16string& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : text) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

mode_t modeOf(const fs::path& p) {
  struct stat st {};
  ::lstat(p.c_str(), &st);
  return st.st_mode;
}

}  // namespace

TEST(SettingsFileCases, Table) {
  struct Case {
    const char* what;
    std::function<void(const fs::path&)> make;  // lays out the settings path
    std::string expectedBefore;                  // "xjxtsf" as read before the write
    bool writeSucceeds;
    std::function<void(const fs::path&)> after;  // checks after the write of "7"
  };
  const std::u16string text = u"[学籍系统省份]\r\nxjxtsf=3\r\n[登录用户]\r\ndenglu=张三\r\n";
  const std::u16string written = u"[学籍系统省份]\r\nxjxtsf=7\r\n[登录用户]\r\ndenglu=张三\r\n";
  const std::string gbIni = "[\xD1\xA7\xBC\xAE\xCF\xB5\xCD\xB3\xCA\xA1\xB7\xDD]\r\nxjxtsf=3\r\n";
  const Case cases[] = {
      {"FIFO: read as missing, write refused, nothing blocks",
       [](const fs::path& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0644), 0); }, "", false,
       [](const fs::path& p) { EXPECT_TRUE(S_ISFIFO(modeOf(p))); }},
      {"UTF-16 LE with its mark: read, and written back as UTF-16 LE",
       [&](const fs::path& p) { writeAll(p, utf16(text, false)); }, "3", true,
       [&](const fs::path& p) { EXPECT_EQ(readFile(p), utf16(written, false)); }},
      {"UTF-16 BE with its mark: read, and written back as UTF-16 BE",
       [&](const fs::path& p) { writeAll(p, utf16(text, true)); }, "3", true,
       [&](const fs::path& p) { EXPECT_EQ(readFile(p), utf16(written, true)); }},
      {"mode 0600 kept",
       [&](const fs::path& p) {
         writeAll(p, gbIni);
         ::chmod(p.c_str(), 0600);
       },
       "3", true, [](const fs::path& p) { EXPECT_EQ(modeOf(p) & 07777, 0600u); }},
      {"mode 0444: read-only honoured, also for root",
       [&](const fs::path& p) {
         writeAll(p, gbIni);
         ::chmod(p.c_str(), 0444);
       },
       "3", false,
       [&](const fs::path& p) {
         EXPECT_EQ(modeOf(p) & 07777, 0444u);
         EXPECT_EQ(readFile(p), gbIni);
       }},
      {"symbolic link: written through to its target, the link stays",
       [&](const fs::path& p) {
         writeAll(p.parent_path() / "real.ini", gbIni);
         ::chmod((p.parent_path() / "real.ini").c_str(), 0640);
         fs::create_symlink("real.ini", p);
       },
       "3", true,
       [](const fs::path& p) {
         EXPECT_TRUE(S_ISLNK(modeOf(p)));
         const fs::path real = p.parent_path() / "real.ini";
         EXPECT_NE(readFile(real).find("xjxtsf=7"), std::string::npos);
         EXPECT_EQ(modeOf(real) & 07777, 0640u);
       }},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir("settings_case_" + std::to_string(n++));
    const fs::path file = dir.path / "quillmeresz.ini";
    c.make(file);
    ProfileFile pf(file.string());
    EXPECT_EQ(pf.read("学籍系统省份", "xjxtsf", ""), c.expectedBefore);
    EXPECT_EQ(pf.write("学籍系统省份", "xjxtsf", "7"), c.writeSucceeds);
    if (c.writeSucceeds) {
      EXPECT_EQ(pf.read("学籍系统省份", "xjxtsf", ""), "7");
    } else {
      EXPECT_EQ(pf.error(), "Unable to write to " + file.string());
    }
    c.after(file);
    // No temporary file is left behind either way.
    for (const auto& e : fs::directory_iterator(dir.path))
      EXPECT_EQ(e.path().filename().string().find(".~qm"), std::string::npos) << e.path();
  }
}

TEST(AtomicFileLeftovers, CrashedSavesAreRemovedLiveOnesKept) {
  TempFolder dir("atomic_leftovers");
  const fs::path target = dir.path / "export.xls";
  writeAll(target, "old");
  // A save of a process that is gone: a child that exits at once.
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  const std::string prefix = atomicTempPrefix(target.string());
  const fs::path dead = prefix + std::to_string(child) + "-AbC123";
  // A save still running: ours (another thread) and one of a live process (the parent).
  const fs::path liveOwn = prefix + std::to_string(::getpid()) + "-XyZ789";
  const fs::path liveOther = prefix + std::to_string(::getppid()) + "-QqQ000";
  // A name without a pid may be anyone's: kept.
  const fs::path unknown = target.string() + ".~qmAbCdEf";
  for (const auto& p : {dead, liveOwn, liveOther, unknown}) writeAll(p, std::string(1000, 't'));

  ASSERT_TRUE(saveFileAtomically(target.string(), "new"));
  EXPECT_EQ(readFile(target), "new");
  EXPECT_FALSE(fs::exists(dead));
  EXPECT_TRUE(fs::exists(liveOwn));
  EXPECT_TRUE(fs::exists(liveOther));
  EXPECT_TRUE(fs::exists(unknown));
  // The temporary name of a save carries its writer's pid.
  AtomicFile f(target.string());
  ASSERT_TRUE(f.ok());
  EXPECT_EQ(f.tempPath().rfind(prefix + std::to_string(::getpid()) + "-", 0), 0u) << f.tempPath();
}
