#pragma once
// The read-only grid of a workbook panel: the open sheet's column names as
// headers and its records as rows, read from the source when painted.
#include <QAbstractTableModel>

namespace qm {

class WorkbookSource;

class WorkbookGridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit WorkbookGridModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

  // Shows `source` (nullptr: nothing). Call again whenever its sheet changes.
  void show(const WorkbookSource* source);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

 private:
  const WorkbookSource* source_ = nullptr;
  QStringList headers_;
  int rows_ = 0;
};

}  // namespace qm
