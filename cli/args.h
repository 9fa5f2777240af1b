#pragma once
// Command-line parsing shared by the commands of quillmere-batch: long
// options with or without a value ("--sheet NAME" or "--sheet=NAME"),
// "-h"/"--help", positional arguments, and "--" to end the options.
#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qm::cli {

// A mistake in the command line: the command prints it with a hint to --help
// and ends with status 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A file, sheet or column the command cannot use: printed as it is, status 2.
class CommandFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFindings = 1;
inline constexpr int kExitFailure = 2;

struct OptionSpec {
  std::string_view name;  // with the leading "--"
  bool takesValue = false;
};

struct ParsedArgs {
  bool help = false;
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;
  std::set<std::string, std::less<>> flags;

  bool has(std::string_view option) const { return values.count(option) != 0 || flags.count(option) != 0; }
  // The option's value, or nullptr when it was not given.
  const std::string* value(std::string_view option) const;
};

// Throws UsageError for an unknown option, a missing value, a value given to
// a flag, or an option given twice.
ParsedArgs parseArgs(const std::vector<std::string>& args, std::span<const OptionSpec> options);

// "BASECOL=PROBECOL" split at its first "="; the second part is empty when
// there is no "=". Throws UsageError for an empty BASECOL or "BASECOL=".
std::pair<std::string, std::string> splitColumnPair(std::string_view option, std::string_view text);

// Prints "quillmere-batch <command>: <message>" and the hint to --help.
void printUsageError(std::ostream& err, std::string_view command, std::string_view message);

// How every command starts: its words parsed into `a`, --help printed, then
// `check` run (it reads `a` and throws UsageError for wrong positionals or values).
// Answers the exit status when the command ends here (help, or a usage error
// printed), nothing when it goes on.
std::optional<int> startCommand(std::string_view command, const std::vector<std::string>& args,
                                std::span<const OptionSpec> options, std::string_view help, ParsedArgs& a,
                                std::ostream& out, std::ostream& err,
                                const std::function<void()>& check);

}  // namespace qm::cli
