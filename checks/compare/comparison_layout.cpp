// Where TForm6's controls sit: the two workbook rows, the key and pair boxes
// side by side (base left, to check right), the options, the buttons and
// progress, and the log over the two grids.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "checks/compare/comparison_window.h"
#include "common/ui/run_log_panel.h"

namespace qm {

void TForm6::layOut() {
  auto workbookRow = [this](QPushButton* open, QPushButton* close, QComboBox* sheet, const QString& caption,
                            QLabel* file) {
    auto* row = new QHBoxLayout;
    row->addWidget(open);
    row->addWidget(close);
    row->addWidget(new QLabel(QStringLiteral("选择工作表:"), this));
    row->addWidget(sheet, 1);
    row->addWidget(new QLabel(caption, this));
    row->addWidget(file, 2);
    return row;
  };

  auto* columns = new QGridLayout;
  const QString captions[] = {QStringLiteral("【查询关键字段】"), QStringLiteral("【比对字段１】"),
                              QStringLiteral("【比对字段２】"), QStringLiteral("【比对字段３】")};
  QComboBox* const baseBoxes[] = {ComboBox3, ComboBox5, ComboBox7, ComboBox9};
  QComboBox* const probeBoxes[] = {ComboBox4, ComboBox6, ComboBox8, ComboBox10};
  columns->addWidget(new QLabel(QStringLiteral("基准库"), this), 0, 1);
  columns->addWidget(new QLabel(QStringLiteral("待查库"), this), 0, 2);
  for (int i = 0; i < 4; ++i) {
    columns->addWidget(new QLabel(captions[i], this), i + 1, 0);
    columns->addWidget(baseBoxes[i], i + 1, 1);
    columns->addWidget(probeBoxes[i], i + 1, 2);
  }

  auto* options = new QHBoxLayout;
  for (QCheckBox* c : {CheckBox1, CheckBox2, CheckBox4, CheckBox3}) options->addWidget(c);
  options->addStretch();

  QHBoxLayout* buttons = log_->buttonRow({Button1, Button2, Button3, Button5, Button4});

  // The log lies over both grids when shown.
  auto* view = new QGridLayout;
  view->addWidget(DBGrid1, 0, 0);
  view->addWidget(DBGrid2, 0, 1);
  view->addWidget(Memo1, 0, 0, 1, 2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(workbookRow(BitBtn1, BitBtn3, ComboBox1, QStringLiteral("基准文件名："), Label25));
  layout->addLayout(workbookRow(BitBtn2, BitBtn4, ComboBox2, QStringLiteral("待查文件名："), Label26));
  layout->addLayout(columns);
  layout->addLayout(options);
  layout->addLayout(buttons);
  layout->addWidget(ProgressBar1);
  layout->addLayout(view, 1);
  resize(900, 620);
}

}  // namespace qm
