#pragma once
// Opening a workbook and one of its sheets for a command, as the windows'
// workbook panel does: the first sheet unless one is named.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm {
class WorkbookSource;
}

namespace qm::cli {

// The table for a sheet name given with or without its "$": the name as
// listed first, then the name with "$" added.
std::optional<std::string> findTable(const std::vector<std::string>& tables, std::string_view name);

struct SheetMessages {
  std::string_view openFailed;   // the tool's text when the file cannot be opened, or empty
  std::string_view sheetFailed;  // the same for the sheet
};

// Opens path, then the named sheet (or the first). Throws CommandFailure with
// the tool's text (if any) followed by the reader's own. Returns the table name.
std::string openWorkbookSheet(WorkbookSource& source, const std::string& path, const std::string* sheet,
                              const SheetMessages& messages);

// Throws CommandFailure unless the open sheet has a column of that name
// (whole name, any letter case, as the lookups of a run find it).
void requireColumn(const WorkbookSource& source, const std::string& column, std::string_view table,
                   std::string_view path);

}  // namespace qm::cli
