#pragma once
// A workbook read as tables, the way the old database provider presented it:
// every worksheet is a table named "<sheet name>$" whose first row names the
// columns; record 1 is the sheet's second row; every cell reads as text.
// Reads .xls (BIFF8 and BIFF5, our own reader) and .xlsx (zip + streamed
// sheet XML), told apart by their first bytes. open() reads the workbook-wide
// parts (sheet list, shared strings, formats); openSheet() reads the sheet's
// cells, so a damaged sheet fails there. Column names are made unique (see
// workbook/column_names.h).
#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// Every failure of the reader (missing, locked, truncated or foreign file,
// unknown sheet, unknown column with fieldByName) is one of these; what() is
// the reader's own text, shown where a tool names no message of its own.
class WorkbookError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The connection text the provider was given for `path` (trimmed).
std::string connectionText(std::string_view path);
// "Select * from [" + table + "]"
std::string queryText(std::string_view table);

class WorkbookSource {
 public:
  WorkbookSource();
  ~WorkbookSource();
  WorkbookSource(WorkbookSource&&) noexcept;
  WorkbookSource& operator=(WorkbookSource&&) noexcept;

  // Closes first if open; opens the file (UTF-8 path, trimmed). Throws WorkbookError.
  void open(std::string_view path);
  bool isOpen() const;
  // Table names ("Sheet1$"), in workbook order.
  std::vector<std::string> GetTableNames() const;
  // Opens a table by its name from GetTableNames(); the surrounding "[...]"
  // of a query is accepted too. Throws WorkbookError.
  void openSheet(std::string_view table);
  // The table "[Sheet1$]".
  void openFixedTable() { openSheet("Sheet1$"); }
  bool sheetOpen() const;
  // Column names of the open sheet (row 1), in sheet order, untrimmed.
  std::vector<std::string> GetFieldNames() const;
  int RecordCount() const;

  void First();
  void Last();
  void Next();
  bool eof() const;   // past the last record (also true for an empty sheet)
  int RecNo() const;  // current record from 1; 0 when there is none (past the end)

  // Column index for a name: whole-text, case-insensitive, no trimming.
  // FindField: nullopt when absent; FieldByName: throws WorkbookError
  // ("Field '<name>' not found").
  std::optional<int> FindField(std::string_view name) const;
  int FieldByName(std::string_view name) const;
  // Current record's cell of column `field` as text (empty past the end or
  // for a missing cell).
  std::string_view text(int field) const;
  std::string_view text(int record, int field) const;  // any record, from 1

  // Closes the sheet, then the workbook.
  void close();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace qm
