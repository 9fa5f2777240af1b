#include "cli/cells_command.h"

#include <array>
#include <ostream>

#include "cli/args.h"
#include "cli/sheet_choice.h"
#include "workbook/workbook_source.h"

namespace qm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: quillmere-batch cells WORKBOOK [--sheet NAME]\n"
    "       quillmere-batch cells WORKBOOK --sheets\n"
    "\n"
    "Prints a sheet's table exactly as every tool reads it, in UTF-8: the column\n"
    "names first, then one line per record up to the last non-empty one, each line\n"
    "with the table's column count, the cells separated by a TAB. Inside a cell a\n"
    "backslash, TAB, CR and LF are written \\\\, \\t, \\r and \\n.\n"
    "\n"
    "Options:\n"
    "  --sheet NAME   the sheet, with or without the \"$\" (default: the first)\n"
    "  --sheets       print the sheet names instead, without the \"$\", one a line,\n"
    "                 in the order the sheet boxes list them\n"
    "  -h, --help     show this help\n"
    "\n"
    "Exit status: 0 printed, 2 usage error or an unreadable file or sheet.\n";

constexpr std::array<OptionSpec, 2> kOptions{{{"--sheet", true}, {"--sheets", false}}};

bool emptyRecord(const WorkbookSource& source, int record, int columns) {
  for (int c = 0; c < columns; ++c)
    if (!source.text(record, c).empty()) return false;
  return true;
}

}  // namespace

void appendEscapedCell(std::string& line, std::string_view cell) {
  for (const char ch : cell) {
    switch (ch) {
      case '\\': line += "\\\\"; break;
      case '\t': line += "\\t"; break;
      case '\r': line += "\\r"; break;
      case '\n': line += "\\n"; break;
      default: line.push_back(ch);
    }
  }
}

int runCellsCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  if (auto done = startCommand("cells", args, kOptions, kHelp, a, out, err, [&] {
        if (a.positional.size() != 1) throw UsageError(a.positional.empty() ? "no workbook given" : "one workbook only");
        if (a.has("--sheets") && a.has("--sheet")) throw UsageError("--sheet and --sheets do not go together");
      }))
    return *done;

  WorkbookSource source;
  const std::string& path = a.positional[0];
  try {
    if (a.has("--sheets")) {
      try {
        source.open(path);
      } catch (const WorkbookError& e) {
        throw CommandFailure(e.what());
      }
      std::string text;
      for (const std::string& table : source.GetTableNames()) {
        text.append(table, 0, table.size() - 1);
        text.push_back('\n');
      }
      out << text;
      return kExitOk;
    }
    openWorkbookSheet(source, path, a.value("--sheet"), {});
  } catch (const CommandFailure& e) {
    err << "quillmere-batch cells: " << e.what() << "\n";
    return kExitFailure;
  }

  const std::vector<std::string> names = source.GetFieldNames();
  const int columns = static_cast<int>(names.size());
  int last = source.RecordCount();
  while (last > 0 && emptyRecord(source, last, columns)) --last;
  std::string line;
  for (int c = 0; c < columns; ++c) {
    if (c > 0) line.push_back('\t');
    appendEscapedCell(line, names[static_cast<std::size_t>(c)]);
  }
  line.push_back('\n');
  out << line;
  for (int r = 1; r <= last; ++r) {
    line.clear();
    for (int c = 0; c < columns; ++c) {
      if (c > 0) line.push_back('\t');
      appendEscapedCell(line, source.text(r, c));
    }
    line.push_back('\n');
    out << line;
  }
  out.flush();
  return kExitOk;
}

}  // namespace qm::cli
