#include "common/ui/controls.h"

#include <QSignalBlocker>

namespace qm {

void fillColumnBox(QComboBox* box, const QStringList& columns, std::optional<std::size_t> selected) {
  const QSignalBlocker quiet(box);
  box->clear();
  box->addItems(columns);
  box->setCurrentIndex(selected ? static_cast<int>(*selected) : -1);
}

void emptyColumnBox(QComboBox* box) {
  const QSignalBlocker quiet(box);
  box->clear();
  box->setEnabled(false);
}

}  // namespace qm
