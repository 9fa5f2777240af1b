#include "app/update/update_script.h"

#include "app/update/update_descriptor.h"
#include "common/text_encoding.h"

namespace qm {
namespace {

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

}  // namespace

UpdateScriptInputs scriptInputsFor(const std::string& programPath, const std::string& stem, long long pid) {
  std::size_t sep = programPath.find_last_of("/\\");
  UpdateScriptInputs in;
  in.folder = sep == std::string::npos ? std::string() : programPath.substr(0, sep + 1);
  in.programPath = programPath;
  in.programName = sep == std::string::npos ? programPath : programPath.substr(sep + 1);
  in.stem = stem;
  in.pid = pid;
  return in;
}

std::string batchUpdateScript(const UpdateScriptInputs& in) {
  const std::string lines[] = {
      "@echo off",
      ":deleteself",
      "del " + quoted(in.programPath),
      "if exist " + quoted(in.programPath) + " goto deleteself",
      "rename " + quoted(in.folder + in.stem + ".bak") + " " + in.programName,
      "start " + in.programName,
      "msg * /time:10 Quillmere升级成功！",
      "del " + quoted(in.folder + kDescriptorFileName),
      "del " + quoted(in.folder + kBatchScriptName),
      "end",
  };
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return utf8ToGb18030(text);
}

std::string shellQuote(std::string_view s) {
  std::string out = "'";
  for (char c : s) {
    if (c == '\'')
      out += "'\\''";
    else
      out += c;
  }
  return out + "'";
}

std::string shellUpdateScript(const UpdateScriptInputs& in) {
  const std::string download = shellQuote(in.folder + in.stem + ".bak");
  const std::string program = shellQuote(in.programPath);
  std::string s;
  s += "#!/bin/sh\n";
  s += "# Quillmere update: replaces the program once it has ended and starts the new one.\n";
  s += "while kill -0 " + std::to_string(in.pid) + " 2>/dev/null; do sleep 1; done\n";
  s += "chmod +x " + download + "\n";
  s += "if mv -f " + download + " " + program + "; then note='Quillmere升级成功！'; else note='Quillmere升级失败！'; fi\n";
  s += "cd " + shellQuote(in.folder.empty() ? "." : in.folder) + " && " + program + " </dev/null >/dev/null 2>&1 &\n";
  s += "if command -v notify-send >/dev/null 2>&1; then notify-send -t 10000 Quillmere \"$note\"; fi\n";
  s += "rm -f " + shellQuote(in.folder + kDescriptorFileName) + "\n";
  s += "rm -f " + shellQuote(in.folder + kShellScriptName) + "\n";
  return s;
}

UpdateScript updateScriptForThisPlatform(const UpdateScriptInputs& in) {
#ifdef _WIN32
  const std::string path = in.folder + kBatchScriptName;
  return {kBatchScriptName, batchUpdateScript(in), {"cmd.exe", {"/c", path}}};
#else
  const std::string path = in.folder + kShellScriptName;
  return {kShellScriptName, shellUpdateScript(in), {"/bin/sh", {path}}};
#endif
}

}  // namespace qm
