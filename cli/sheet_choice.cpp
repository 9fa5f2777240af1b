#include "cli/sheet_choice.h"

#include "cli/args.h"
#include "workbook/workbook_source.h"

namespace qm::cli {
namespace {

std::string failure(std::string_view toolText, std::string_view readerText) {
  if (toolText.empty()) return std::string(readerText);
  return std::string(toolText) + " (" + std::string(readerText) + ")";
}

}  // namespace

std::optional<std::string> findTable(const std::vector<std::string>& tables, std::string_view name) {
  for (const std::string& t : tables)
    if (t == name) return t;
  const std::string withDollar = std::string(name) + "$";
  for (const std::string& t : tables)
    if (t == withDollar) return t;
  return std::nullopt;
}

std::string openWorkbookSheet(WorkbookSource& source, const std::string& path, const std::string* sheet,
                              const SheetMessages& messages) {
  std::vector<std::string> tables;
  try {
    source.open(path);
    tables = source.GetTableNames();
  } catch (const WorkbookError& e) {
    throw CommandFailure(path + ": " + failure(messages.openFailed, e.what()));
  }
  std::string table;
  if (sheet) {
    std::optional<std::string> found = findTable(tables, *sheet);
    if (!found) {
      std::string listed;
      for (const std::string& t : tables) listed += (listed.empty() ? "" : ", ") + t;
      throw CommandFailure(path + ": no sheet named '" + *sheet + "' (sheets: " + listed + ")");
    }
    table = *found;
  } else {
    if (tables.empty()) throw CommandFailure(path + ": the workbook has no sheet");
    table = tables.front();
  }
  try {
    source.openSheet(table);
  } catch (const WorkbookError& e) {
    throw CommandFailure(path + " [" + table + "]: " + failure(messages.sheetFailed, e.what()));
  }
  return table;
}

void requireColumn(const WorkbookSource& source, const std::string& column, std::string_view table,
                   std::string_view path) {
  if (!source.FindField(column))
    throw CommandFailure(std::string(path) + " [" + std::string(table) + "]: no column named '" + column + "'");
}

}  // namespace qm::cli
