// quillmere-batch: the spreadsheet checks and photo tools without a window,
// for scripts and district IT staff.
#include <array>
#include <iostream>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cells_command.h"
#include "cli/check_command.h"
#include "cli/compare_command.h"
#include "cli/photo_commands.h"

namespace {

using RunCommand = int (*)(const std::vector<std::string>&, std::ostream&, std::ostream&);

struct Command {
  std::string_view name;
  RunCommand run;
  std::string_view summary;
};

constexpr Command kCommands[] = {
    {"check", qm::cli::runCheckCommand, "check ID numbers, birth dates and genders of a sheet"},
    {"compare", qm::cli::runCompareCommand, "compare a workbook with a base workbook"},
    {"cells", qm::cli::runCellsCommand, "print a sheet's table as the tools read it"},
    {"photos", runPhotosCommand, "resize and rename student photos by a spreadsheet list"},
    {"compress", runCompressCommand, "compress a JPEG picture to a file size"},
};

void printUsage(std::ostream& s) {
  s << "Usage: quillmere-batch COMMAND [arguments]\n\nCommands:\n";
  for (const Command& c : kCommands) s << "  " << c.name << std::string(10 - c.name.size(), ' ') << c.summary << "\n";
  s << "\nRun 'quillmere-batch COMMAND --help' for a command's options.\n";
}

int run(int argc, char** argv) {
  const std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty()) {
    printUsage(std::cerr);
    return 2;
  }
  if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    printUsage(std::cout);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (words[0] != c.name) continue;
    const int status = c.run(std::vector<std::string>(words.begin() + 1, words.end()), std::cout, std::cerr);
    std::cout.flush();
    return status;
  }
  std::cerr << "quillmere-batch: unknown command '" << words[0] << "'\n";
  printUsage(std::cerr);
  return 2;
}

}  // namespace

// Whatever a command lets through (a failed allocation, a system error) ends
// as a failure with its message, never as an abort.
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << "quillmere-batch: 内存不足（std::bad_alloc）\n";
  } catch (const std::exception& e) {
    std::cout.flush();
    std::cerr << "quillmere-batch: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "quillmere-batch: unknown error\n";
  }
  return 2;
}
