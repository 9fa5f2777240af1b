#include "workbook/ui/workbook_grid_model.h"

#include "workbook/workbook_source.h"

namespace qm {

void WorkbookGridModel::show(const WorkbookSource* source) {
  beginResetModel();
  source_ = source && source->sheetOpen() ? source : nullptr;
  headers_.clear();
  rows_ = 0;
  if (source_) {
    for (const std::string& name : source_->GetFieldNames()) headers_ << QString::fromStdString(name);
    rows_ = source_->RecordCount();
  }
  endResetModel();
}

int WorkbookGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int WorkbookGridModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant WorkbookGridModel::data(const QModelIndex& index, int role) const {
  if (!source_ || role != Qt::DisplayRole || !index.isValid()) return {};
  const std::string_view cell = source_->text(index.row() + 1, index.column());
  return QString::fromUtf8(cell.data(), static_cast<qsizetype>(cell.size()));
}

QVariant WorkbookGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return section < headers_.size() ? headers_[section] : QVariant();
  return section + 1;
}

}  // namespace qm
