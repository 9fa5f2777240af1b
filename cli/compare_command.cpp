#include "cli/compare_command.h"

#include <array>
#include <atomic>
#include <ostream>

#include "checks/compare/compare_run.h"
#include "cli/args.h"
#include "cli/sheet_choice.h"
#include "cli/walk_output.h"
#include "workbook/workbook_source.h"

namespace qm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: quillmere-batch compare BASE PROBE [options]\n"
    "\n"
    "Compares the workbook to check (PROBE) with the base workbook (BASE) as the\n"
    "comparison window does: for every record of PROBE, the BASE records with the\n"
    "same key (trimmed, exact, letter case counts) and up to three compared column\n"
    "pairs. Prints the log lines (UTF-8) on standard output, one per line, and the\n"
    "end message on standard error.\n"
    "\n"
    "Options:\n"
    "  --base-sheet NAME            sheet of BASE, with or without the \"$\" (default: the first)\n"
    "  --probe-sheet NAME           sheet of PROBE (default: the first)\n"
    "  --key BASECOL[=PROBECOL]     key columns (default: BASE's first column; PROBE's\n"
    "                               column of the same name, else its first column)\n"
    "  --pair1 BASECOL[=PROBECOL]   first compared pair (比对字段１)\n"
    "  --pair2 BASECOL[=PROBECOL]   second compared pair (比对字段２)\n"
    "  --pair3 BASECOL[=PROBECOL]   third compared pair (比对字段３)\n"
    "                               A PROBECOL left out is PROBE's column whose name\n"
    "                               (trimmed) equals BASECOL's; for a pair there must be one.\n"
    "  --no-same                    do not log equal columns (记录比对相同情况)\n"
    "  --no-different               do not log different columns (记录比对不相同情况)\n"
    "  --no-found                   do not log found records with their count (记录找到的情况)\n"
    "  --no-not-found               do not log records not found (记录未找到的情况)\n"
    "  --save FILE                  also save the lines as GB18030 text with CR LF line ends\n"
    "  -h, --help                   show this help\n"
    "\n"
    "Exit status: 0 the comparison ran to its end and every record was found with\n"
    "equal pairs; 1 it ran to its end and a record was not found or a pair in use\n"
    "differed (whatever the --no-* options leave out of the log); 2 usage error,\n"
    "unreadable file or sheet, missing column, or an error during the comparison.\n";

constexpr std::array<OptionSpec, 11> kOptions{{{"--base-sheet", true},
                                               {"--probe-sheet", true},
                                               {"--key", true},
                                               {"--pair1", true},
                                               {"--pair2", true},
                                               {"--pair3", true},
                                               {"--no-same", false},
                                               {"--no-different", false},
                                               {"--no-found", false},
                                               {"--no-not-found", false},
                                               {"--save", true}}};

struct OpenSheet {
  std::string path, table;
  std::vector<std::string> names;
};

// The window's boxes after both sheets are open and the base boxes are set:
// a probe column left out follows its base column by name.
CompareSetup chooseColumns(const ParsedArgs& a, const WorkbookSource& base, const OpenSheet& b,
                           const WorkbookSource& probe, const OpenSheet& p) {
  CompareSetup setup;
  setup.key.base = b.names.empty() ? std::string() : b.names.front();
  setup.key.probe = p.names.empty() ? std::string() : p.names.front();
  auto follow = [&](ComparePair& pair, const std::string& given, std::string_view option, bool required) {
    auto [baseCol, probeCol] = splitColumnPair(option, given);
    requireColumn(base, baseCol, b.table, b.path);
    pair.base = baseCol;
    if (!probeCol.empty()) {
      requireColumn(probe, probeCol, p.table, p.path);
      pair.probe = probeCol;
    } else if (auto m = matchProbeColumn(baseCol, p.names)) {
      pair.probe = p.names[*m];
    } else if (required) {
      throw UsageError(std::string(option) + ": " + p.path + " has no column named '" + baseCol +
                       "'; name it as " + std::string(option) + " " + baseCol + "=PROBECOL");
    }
  };
  if (const std::string* key = a.value("--key")) {
    follow(setup.key, *key, "--key", false);
  } else if (auto m = matchProbeColumn(setup.key.base, p.names)) {
    setup.key.probe = p.names[*m];
  }
  const char* pairOptions[3] = {"--pair1", "--pair2", "--pair3"};
  for (std::size_t i = 0; i < 3; ++i)
    if (const std::string* given = a.value(pairOptions[i])) follow(setup.pairs[i], *given, pairOptions[i], true);
  setup.logging.same = !a.has("--no-same");
  setup.logging.different = !a.has("--no-different");
  setup.logging.found = !a.has("--no-found");
  setup.logging.notFound = !a.has("--no-not-found");
  return setup;
}

}  // namespace

int runCompareCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  if (auto done = startCommand("compare", args, kOptions, kHelp, a, out, err, [&] {
        if (a.positional.size() != 2)
          throw UsageError(a.positional.size() < 2 ? "two workbooks needed: BASE PROBE" : "two workbooks only");
      }))
    return *done;

  WorkbookSource base, probe;
  CompareSetup setup;
  try {
    OpenSheet b{a.positional[0], {}, {}}, p{a.positional[1], {}, {}};
    b.table = openWorkbookSheet(base, b.path, a.value("--base-sheet"), {});
    b.names = base.GetFieldNames();
    p.table = openWorkbookSheet(probe, p.path, a.value("--probe-sheet"), {});
    p.names = probe.GetFieldNames();
    setup = chooseColumns(a, base, b, probe, p);
  } catch (const UsageError& e) {
    printUsageError(err, "compare", e.what());
    return kExitFailure;
  } catch (const CommandFailure& e) {
    err << "quillmere-batch compare: " << e.what() << "\n";
    return kExitFailure;
  }

  WalkOutput output("compare", out, err, a.value("--save"));
  std::atomic<bool> stop{false};
  CompareRun run(base, probe, setup, stop, output.listener());
  const CheckEnd end = run.run();
  return output.finish(end, run.endNotice(), run.findingsFound());
}

}  // namespace qm::cli
