#include "cli/check_command.h"

#include <array>
#include <ostream>

#include "checks/records/record_check_run.h"
#include "checks/records/record_check_texts.h"
#include "checks/records/record_columns.h"
#include "cli/args.h"
#include "cli/sheet_choice.h"
#include "cli/walk_output.h"
#include "workbook/workbook_source.h"

namespace qm::cli {
namespace {

constexpr std::string_view kHelp =
    "Usage: quillmere-batch check WORKBOOK [options]\n"
    "\n"
    "Checks every record of a sheet as the record checker window does: the ID\n"
    "number's check character, the birth date inside the ID number against the\n"
    "birth date column, and the ID number's gender digit against the gender column.\n"
    "Prints the log lines (UTF-8) on standard output, one per line, and the end\n"
    "message on standard error.\n"
    "\n"
    "Options:\n"
    "  --sheet NAME           sheet to check, with or without the \"$\" (default: the first)\n"
    "  --id COLUMN            ID number column (default: the last column named 身份证号,\n"
    "                         身份证件号 or 身份证, else the first column)\n"
    "  --birth COLUMN         birth date column (default: the last named 出生日期 or 出生年月)\n"
    "  --gender COLUMN        gender column (default: the last named 性别 or 性别码)\n"
    "  --date-format FORMAT   birth date format: YYYYMMDD (default), YYYY-MM-DD or YYYY/MM/DD\n"
    "  --gender-coding CODING text: 男或女 (default), or digits: 1或2\n"
    "  --no-id-check          do not check the ID number (身份证号码验证)\n"
    "  --no-birth-check       do not compare birth dates (on when both columns are known)\n"
    "  --no-gender-check      do not compare genders (on when both columns are known)\n"
    "  --complete             also log correct records (记录完全)\n"
    "  --save FILE            also save the lines as GB18030 text with CR LF line ends\n"
    "  -h, --help             show this help\n"
    "\n"
    "Exit status: 0 no errors found, 1 errors found, 2 usage error, unreadable file\n"
    "or sheet, missing column, or an error during the check.\n";

constexpr std::array<OptionSpec, 11> kOptions{{{"--sheet", true},
                                               {"--id", true},
                                               {"--birth", true},
                                               {"--gender", true},
                                               {"--date-format", true},
                                               {"--gender-coding", true},
                                               {"--no-id-check", false},
                                               {"--no-birth-check", false},
                                               {"--no-gender-check", false},
                                               {"--complete", false},
                                               {"--save", true}}};

BirthDateFormat dateFormat(const ParsedArgs& a) {
  const std::string* f = a.value("--date-format");
  if (!f || *f == record_texts::kFormatCompact) return BirthDateFormat::Compact;
  if (*f == record_texts::kFormatDashed) return BirthDateFormat::Dashed;
  if (*f == record_texts::kFormatSlashed) return BirthDateFormat::Slashed;
  throw UsageError("--date-format must be YYYYMMDD, YYYY-MM-DD or YYYY/MM/DD");
}

GenderCoding genderCoding(const ParsedArgs& a) {
  const std::string* c = a.value("--gender-coding");
  if (!c || *c == "text") return GenderCoding::Text;
  if (*c == "digits") return GenderCoding::Digits;
  throw UsageError("--gender-coding must be text (男或女) or digits (1或2)");
}

// The box's column: the one given, else the one the window's matching picks.
std::string column(const ParsedArgs& a, std::string_view option, const std::vector<std::string>& names,
                   std::optional<std::size_t> matched) {
  if (const std::string* given = a.value(option)) {
    if (given->empty()) throw UsageError(std::string(option) + " needs a column name");
    return *given;
  }
  return matched ? names[*matched] : std::string();
}

}  // namespace

int runCheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs a;
  RecordCheckControls controls;
  if (auto done = startCommand("check", args, kOptions, kHelp, a, out, err, [&] {
        if (a.positional.size() != 1) throw UsageError(a.positional.empty() ? "no workbook given" : "one workbook only");
        controls.format = dateFormat(a);
        controls.coding = genderCoding(a);
        controls.logComplete = a.has("--complete");
      }))
    return *done;

  WorkbookSource source;
  RecordCheckSetup setup;
  try {
    const std::string& path = a.positional[0];
    const std::string table = openWorkbookSheet(source, path, a.value("--sheet"),
                                                {record_texts::kOpenFailed, record_texts::kSheetFailed});
    const std::vector<std::string> names = source.GetFieldNames();
    const RecordColumnChoice matched = matchRecordColumns(names);
    setup.idColumn = column(a, "--id", names, matched.id);
    setup.birthColumn = column(a, "--birth", names, matched.birth);
    setup.genderColumn = column(a, "--gender", names, matched.gender);
    for (const char* option : {"--id", "--birth", "--gender"})
      if (const std::string* given = a.value(option)) requireColumn(source, *given, table, path);
    setup.checks = checksAfterOpening(setup.idColumn, setup.birthColumn, setup.genderColumn);
    if (a.has("--no-id-check")) setup.checks.id = false;
    if (a.has("--no-birth-check")) setup.checks.birth = false;
    if (a.has("--no-gender-check")) setup.checks.gender = false;
  } catch (const UsageError& e) {
    printUsageError(err, "check", e.what());
    return kExitFailure;
  } catch (const CommandFailure& e) {
    err << "quillmere-batch check: " << e.what() << "\n";
    return kExitFailure;
  }

  WalkOutput output("check", out, err, a.value("--save"));
  RecordCheckRun run(source, setup, controls, output.listener());
  const CheckEnd end = run.run();
  return output.finish(end, run.endNotice(), run.errorsFound());
}

}  // namespace qm::cli
