#pragma once
// The script that replaces the program after it has ended: "SJ.bat" on
// Windows, "SJ.sh" on Linux with the same steps.
#include <string>
#include <string_view>
#include <vector>

namespace qm {

struct UpdateScriptInputs {
  std::string folder;       // D: the program's folder with its trailing separator
  std::string programPath;  // P: the program's full path
  std::string programName;  // N: the program's file name without folder
  std::string stem;         // F: the descriptor's "filename"; the download is D + F + ".bak"
  long long pid = 0;        // the running program, which the Linux script waits for
};

// D, P and N of a program path (separator "/" or "\").
UpdateScriptInputs scriptInputsFor(const std::string& programPath, const std::string& stem, long long pid);

inline constexpr const char* kBatchScriptName = "SJ.bat";
inline constexpr const char* kShellScriptName = "SJ.sh";

// The ten lines of "SJ.bat", each ending in CR LF, as GBK (GB18030) bytes.
std::string batchUpdateScript(const UpdateScriptInputs& in);

// The same steps for a POSIX shell, UTF-8 like the file names it handles:
// waits until the process in.pid has ended, renames the download over the
// program with its run bit, starts it, tells the user through notify-send when
// there is one, and deletes the descriptor and itself. A rename that fails
// leaves the old program, which is started again, and says so.
std::string shellUpdateScript(const UpdateScriptInputs& in);

// Text for a POSIX shell that stands for exactly s (single quotes).
std::string shellQuote(std::string_view s);

struct ScriptCommand {
  std::string program;
  std::vector<std::string> arguments;
};

// The script this build writes, under which name, and how it is started
// (detached, never waited for; on Windows with a hidden console window).
struct UpdateScript {
  std::string fileName;
  std::string bytes;
  ScriptCommand command;  // refers to the script by its full path
};
UpdateScript updateScriptForThisPlatform(const UpdateScriptInputs& in);

}  // namespace qm
