#include "cli/args.h"

#include <ostream>

namespace qm::cli {

const std::string* ParsedArgs::value(std::string_view option) const {
  auto it = values.find(option);
  return it == values.end() ? nullptr : &it->second;
}

ParsedArgs parseArgs(const std::vector<std::string>& args, std::span<const OptionSpec> options) {
  ParsedArgs parsed;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
      parsed.positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "-h" || arg == "--help") {
      parsed.help = true;
      continue;
    }
    const std::size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    const OptionSpec* option = nullptr;
    for (const OptionSpec& o : options)
      if (o.name == name) option = &o;
    if (!option) throw UsageError("unknown option " + name);
    if (parsed.has(name)) throw UsageError(name + " is given twice");
    if (!option->takesValue) {
      if (eq != std::string::npos) throw UsageError(name + " takes no value");
      parsed.flags.insert(name);
      continue;
    }
    if (eq != std::string::npos) {
      parsed.values[name] = arg.substr(eq + 1);
    } else {
      if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
      parsed.values[name] = args[++i];
    }
  }
  return parsed;
}

std::pair<std::string, std::string> splitColumnPair(std::string_view option, std::string_view text) {
  const std::size_t eq = text.find('=');
  std::string base(text.substr(0, eq));
  std::string probe = eq == std::string_view::npos ? std::string() : std::string(text.substr(eq + 1));
  if (base.empty()) throw UsageError(std::string(option) + " needs a base column name");
  if (eq != std::string_view::npos && probe.empty())
    throw UsageError(std::string(option) + " has an empty column name after \"=\"");
  return {std::move(base), std::move(probe)};
}

void printUsageError(std::ostream& err, std::string_view command, std::string_view message) {
  err << "quillmere-batch " << command << ": " << message << "\n"
      << "Try 'quillmere-batch " << command << " --help'.\n";
}

std::optional<int> startCommand(std::string_view command, const std::vector<std::string>& args,
                                std::span<const OptionSpec> options, std::string_view help, ParsedArgs& a,
                                std::ostream& out, std::ostream& err,
                                const std::function<void()>& check) {
  try {
    a = parseArgs(args, options);
    if (a.help) {
      out << help;
      return kExitOk;
    }
    check();
  } catch (const UsageError& e) {
    printUsageError(err, command, e.what());
    return kExitFailure;
  }
  return std::nullopt;
}

}  // namespace qm::cli
