// Runs the generated shell script for real: a stand-in old program is
// replaced by the downloaded one once it has ended, and the new one starts.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "app/update/update_script.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace qm;
using namespace std::chrono_literals;

namespace {

using qm::test::readFile;

void writeFile(const fs::path& p, const std::string& text, fs::perms perms) {
  std::ofstream(p, std::ios::binary) << text;
  fs::permissions(p, perms);
}

pid_t spawn(const std::vector<std::string>& argv, const std::string& pathVariable) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  std::string pathEntry = "PATH=" + pathVariable;
  char* env[] = {pathEntry.data(), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, args[0], nullptr, nullptr, args.data(), env) != 0) return -1;
  return pid;
}

// Waits up to a generous limit; the test never depends on anything being fast.
template <typename Pred>
bool waitFor(Pred done, std::chrono::seconds limit = 60s) {
  auto until = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    if (std::chrono::steady_clock::now() > until) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

std::string quoted(const fs::path& p) { return shellQuote(p.string()); }

class ShellUpdateRun : public ::testing::TestWithParam<bool> {};

}  // namespace

TEST_P(ShellUpdateRun, ReplacesTheEndedProgramAndStartsTheNewOne) {
  const bool withNotifier = GetParam();
  test::TempFolder tmp(withNotifier ? "update_run_notify" : "update_run_quiet");
  // A folder name a careless script would split or unquote.
  const fs::path dir = tmp.path / "it's a $dir";
  fs::create_directories(dir);
  const fs::path bin = tmp.path / "bin";
  fs::create_directories(bin);
  // Only the tools the script needs: no notify-send unless the case provides one.
  for (const char* tool : {"sleep", "mv", "chmod", "rm"}) {
    fs::path found;
    for (const char* d : {"/usr/bin/", "/bin/"})
      if (fs::exists(std::string(d) + tool)) {
        found = std::string(d) + tool;
        break;
      }
    ASSERT_FALSE(found.empty()) << tool;
    fs::create_symlink(found, bin / tool);
  }
  const fs::path notified = tmp.path / "notified";
  if (withNotifier)
    writeFile(bin / "notify-send", "#!/bin/sh\nprintf '%s|' \"$@\" > " + quoted(notified) + "\n", fs::perms::owner_all);

  // The old program runs until the test releases it, and leaves a mark as it ends.
  const fs::path release = tmp.path / "release", oldDone = tmp.path / "old_done", started = tmp.path / "started";
  const fs::path program = dir / "quillmere";
  writeFile(program,
            "#!/bin/sh\nwhile [ ! -e " + quoted(release) + " ]; do sleep 0.1; done\n: > " + quoted(oldDone) + "\n",
            fs::perms::owner_all);
  // The new program says whether the old one had ended and where it runs.
  const std::string newProgram = "#!/bin/sh\nif [ -e " + quoted(oldDone) +
                                 " ]; then s=after; else s=before; fi\necho \"$s $(pwd)\" > " + quoted(started) +
                                 ".part\nmv " + quoted(started) + ".part " + quoted(started) + "\n";
  // Downloaded without its run bit: the script gives it.
  writeFile(dir / "quillmere2.bak", newProgram, fs::perms::owner_read | fs::perms::owner_write);
  writeFile(dir / "quillmereup.ini", "[file]\r\nver=2.4\r\n", fs::perms::owner_read | fs::perms::owner_write);

  pid_t old = spawn({program.string()}, bin.string());
  ASSERT_GT(old, 0);
  std::thread reaper([old] { ::waitpid(old, nullptr, 0); });

  UpdateScriptInputs in = scriptInputsFor(program.string(), "quillmere2", old);
  // Written and started the way the about window does it.
  const UpdateScript made = updateScriptForThisPlatform(in);
  const fs::path script = dir / made.fileName;
  writeFile(script, made.bytes, fs::perms::owner_read | fs::perms::owner_write);
  std::vector<std::string> command{made.command.program};
  command.insert(command.end(), made.command.arguments.begin(), made.command.arguments.end());
  EXPECT_EQ(command, (std::vector<std::string>{"/bin/sh", script.string()}));
  pid_t sh = spawn(command, bin.string());
  ASSERT_GT(sh, 0);

  // While the old program runs, nothing is replaced (a script that did not wait would have by now).
  std::this_thread::sleep_for(1500ms);
  int status = 0;
  bool scriptEnded = ::waitpid(sh, &status, WNOHANG) == sh;
  EXPECT_FALSE(scriptEnded) << "the script ended while the old program ran";
  EXPECT_FALSE(fs::exists(started));
  EXPECT_NE(readFile(program), newProgram);

  writeFile(release, "", fs::perms::owner_read | fs::perms::owner_write);
  reaper.join();
  ASSERT_TRUE(scriptEnded || waitFor([&] { return ::waitpid(sh, &status, WNOHANG) == sh; })) << "the script did not end";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  ASSERT_TRUE(waitFor([&] { return fs::exists(started); })) << "the new program did not start";

  std::string dirText = dir.string();
  EXPECT_EQ(readFile(started), "after " + dirText + "\n");
  EXPECT_EQ(readFile(program), newProgram);
  EXPECT_TRUE((fs::status(program).permissions() & fs::perms::owner_exec) != fs::perms::none);
  EXPECT_FALSE(fs::exists(dir / "quillmere2.bak"));
  EXPECT_FALSE(fs::exists(dir / "quillmereup.ini"));
  EXPECT_FALSE(fs::exists(script));
  if (withNotifier)
    EXPECT_EQ(readFile(notified), "-t|10000|Quillmere|Quillmere升级成功！|");
  else
    EXPECT_FALSE(fs::exists(notified));
}

INSTANTIATE_TEST_SUITE_P(Notifier, ShellUpdateRun, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "WithNotifySend" : "WithoutNotifySend"; });
