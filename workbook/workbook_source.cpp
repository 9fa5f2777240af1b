#include "workbook/workbook_source.h"

#include <utility>

#include "common/trim.h"
#include "workbook/cell_table.h"
#include "workbook/column_names.h"
#include "workbook/workbook_reader.h"

namespace qm {
namespace {

std::string_view withoutBrackets(std::string_view table) {
  if (table.size() >= 2 && table.front() == '[' && table.back() == ']') return table.substr(1, table.size() - 2);
  return table;
}

}  // namespace

std::string connectionText(std::string_view path) {
  return "Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;Data Source=" + trimLow(path) +
         ";Mode=Share Deny None;Extended Properties=\"excel 8.0;HDR=Yes\"";
}

std::string queryText(std::string_view table) { return "Select * from [" + std::string(table) + "]"; }

struct WorkbookSource::Impl {
  std::unique_ptr<WorkbookReader> reader;
  std::vector<std::string> tableNames;

  bool sheetOpen = false;
  std::shared_ptr<const CellTable> table = std::make_shared<const CellTable>();
  std::vector<std::string> fieldNames;
  std::vector<std::string> fieldKeys;
  int records = 0;
  int position = 0;  // from 0; == records past the last record
  // Tools look the same few names up once per record.
  mutable std::vector<std::pair<std::string, int>> lookups;

  void closeSheet() {
    sheetOpen = false;
    table = std::make_shared<const CellTable>();
    fieldNames.clear();
    fieldKeys.clear();
    records = 0;
    position = 0;
    lookups.clear();
  }

  int find(std::string_view name) const {
    for (const auto& [known, index] : lookups)
      if (known == name) return index;
    const std::string key = foldedKey(name);
    int found = -1;
    for (std::size_t i = 0; i < fieldKeys.size(); ++i) {
      if (fieldKeys[i] == key) {
        found = static_cast<int>(i);
        break;
      }
    }
    if (lookups.size() == 16) lookups.clear();
    lookups.emplace_back(std::string(name), found);
    return found;
  }
};

WorkbookSource::WorkbookSource() : impl_(std::make_unique<Impl>()) {}
WorkbookSource::~WorkbookSource() = default;
WorkbookSource::WorkbookSource(WorkbookSource&& other) noexcept
    : impl_(std::exchange(other.impl_, std::make_unique<Impl>())) {}
WorkbookSource& WorkbookSource::operator=(WorkbookSource&& other) noexcept {
  if (this != &other) impl_ = std::exchange(other.impl_, std::make_unique<Impl>());
  return *this;
}

void WorkbookSource::open(std::string_view path) {
  close();
  auto reader = openWorkbookReader(trimLow(path));
  std::vector<std::string> names;
  names.reserve(reader->sheetNames().size());
  for (const auto& sheet : reader->sheetNames()) names.push_back(sheet + "$");
  impl_->reader = std::move(reader);
  impl_->tableNames = std::move(names);
}

bool WorkbookSource::isOpen() const { return impl_->reader != nullptr; }

std::vector<std::string> WorkbookSource::GetTableNames() const { return impl_->tableNames; }

void WorkbookSource::openSheet(std::string_view table) {
  Impl& d = *impl_;
  d.closeSheet();
  if (!d.reader) throw WorkbookError("没有打开的工作簿。");
  const std::string_view wanted = withoutBrackets(table);
  // Exact name first; table names are case-insensitive like the provider's.
  std::size_t index = d.tableNames.size();
  for (std::size_t i = 0; i < d.tableNames.size() && index == d.tableNames.size(); ++i)
    if (d.tableNames[i] == wanted) index = i;
  if (index == d.tableNames.size()) {
    const std::string key = foldedKey(wanted);
    for (std::size_t i = 0; i < d.tableNames.size() && index == d.tableNames.size(); ++i)
      if (foldedKey(d.tableNames[i]) == key) index = i;
  }
  if (index == d.tableNames.size()) throw WorkbookError("找不到工作表：" + std::string(wanted));

  std::shared_ptr<const CellTable> loaded = d.reader->readSheet(index);
  std::vector<std::string_view> headers;
  headers.reserve(static_cast<std::size_t>(loaded->columns()));
  for (int c = 0; c < loaded->columns(); ++c) headers.push_back(loaded->cell(0, c));
  std::vector<std::string> names = uniqueColumnNames(headers);
  std::vector<std::string> keys;
  keys.reserve(names.size());
  for (const auto& name : names) keys.push_back(foldedKey(name));
  d.table = std::move(loaded);
  d.fieldNames = std::move(names);
  d.fieldKeys = std::move(keys);
  d.records = d.table->rows() > 0 ? d.table->rows() - 1 : 0;
  d.position = 0;
  d.sheetOpen = true;
}

bool WorkbookSource::sheetOpen() const { return impl_->sheetOpen; }
std::vector<std::string> WorkbookSource::GetFieldNames() const { return impl_->fieldNames; }
int WorkbookSource::RecordCount() const { return impl_->records; }

void WorkbookSource::First() { impl_->position = 0; }
void WorkbookSource::Last() { impl_->position = impl_->records > 0 ? impl_->records - 1 : 0; }
void WorkbookSource::Next() {
  if (impl_->position < impl_->records) ++impl_->position;
}
bool WorkbookSource::eof() const { return impl_->position >= impl_->records; }
int WorkbookSource::RecNo() const { return eof() ? 0 : impl_->position + 1; }

std::optional<int> WorkbookSource::FindField(std::string_view name) const {
  const int index = impl_->find(name);
  if (index < 0) return std::nullopt;
  return index;
}

int WorkbookSource::FieldByName(std::string_view name) const {
  const int index = impl_->find(name);
  if (index < 0) throw WorkbookError("Field '" + std::string(name) + "' not found");
  return index;
}

std::string_view WorkbookSource::text(int field) const { return text(impl_->position + 1, field); }

std::string_view WorkbookSource::text(int record, int field) const {
  if (record < 1 || record > impl_->records) return {};
  return impl_->table->cell(record, field);
}

void WorkbookSource::close() {
  impl_->closeSheet();
  impl_->reader.reset();
  impl_->tableNames.clear();
}

}  // namespace qm
