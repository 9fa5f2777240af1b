// Excel 2007+ workbooks: libzip for the package, expat for its XML parts.
#include "workbook/workbook_reader.h"
#include "workbook/workbook_source.h"
#include "workbook/xlsx_sheet.h"
#include "workbook/xlsx_workbook.h"

namespace qm {
namespace {

class XlsxReader final : public WorkbookReader {
 public:
  explicit XlsxReader(const std::string& path) : package_(path), workbook_(package_) {
    for (const auto& sheet : workbook_.sheets()) names_.push_back(sheet.name);
  }

  const std::vector<std::string>& sheetNames() const override { return names_; }

  std::shared_ptr<const CellTable> readSheet(std::size_t index) override {
    if (index >= names_.size()) throw WorkbookError(damagedWorkbookText(package_.path(), "没有这个工作表"));
    return std::make_shared<const CellTable>(xlsx::readWorksheet(package_, workbook_, workbook_.sheets()[index]));
  }

 private:
  xlsx::Package package_;
  xlsx::Workbook workbook_;
  std::vector<std::string> names_;
};

}  // namespace

std::unique_ptr<WorkbookReader> openXlsxReader(const std::string& path) { return std::make_unique<XlsxReader>(path); }

}  // namespace qm
