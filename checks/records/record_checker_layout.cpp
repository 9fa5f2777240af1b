// Where TForm7's controls sit: the workbook row, the column boxes with their
// options, the buttons and progress, and the log over the grid.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include "checks/records/record_checker_window.h"
#include "common/ui/run_log_panel.h"

namespace qm {

void TForm7::layOut() {
  auto* workbook = new QHBoxLayout;
  workbook->addWidget(BitBtn1);
  workbook->addWidget(BitBtn3);
  workbook->addWidget(new QLabel(QStringLiteral("选择工作表:"), this));
  workbook->addWidget(ComboBox1, 1);
  workbook->addWidget(new QLabel(QStringLiteral("待查库文件名："), this));
  workbook->addWidget(Label8, 2);

  auto* columns = new QGridLayout;
  columns->addWidget(new QLabel(QStringLiteral("身份证号字段："), this), 0, 0);
  columns->addWidget(ComboBox3, 0, 1);
  columns->addWidget(new QLabel(QStringLiteral("出生日期字段："), this), 1, 0);
  columns->addWidget(ComboBox4, 1, 1);
  columns->addWidget(new QLabel(QStringLiteral("性别字段："), this), 2, 0);
  columns->addWidget(ComboBox9, 2, 1);

  // Two groups, so each set of radio buttons is exclusive on its own.
  auto* coding = new QGroupBox(QStringLiteral("性别"), this);
  auto* codingLayout = new QHBoxLayout(coding);
  codingLayout->addWidget(RadioButton4);
  codingLayout->addWidget(RadioButton5);
  RadioButton4->setParent(coding);
  RadioButton5->setParent(coding);
  auto* format = new QGroupBox(QStringLiteral("出生日期"), this);
  auto* formatLayout = new QHBoxLayout(format);
  for (QRadioButton* r : {RadioButton1, RadioButton3, RadioButton2}) {
    r->setParent(format);
    formatLayout->addWidget(r);
  }
  auto* correct = new QGroupBox(QStringLiteral("正确的情况"), this);
  auto* correctLayout = new QHBoxLayout(correct);
  CheckBox5->setParent(correct);
  correctLayout->addWidget(CheckBox5);
  columns->addWidget(coding, 0, 2);
  columns->addWidget(format, 1, 2);
  columns->addWidget(correct, 2, 2);

  auto* checks = new QVBoxLayout;
  checks->addWidget(CheckBox2);
  checks->addWidget(CheckBox1);
  checks->addWidget(CheckBox4);

  QHBoxLayout* buttons = log_->buttonRow({Button1, Button2, Button3, Button5, Button4});

  // The log lies over the grid when shown.
  auto* view = new QGridLayout;
  view->addWidget(DBGrid1, 0, 0);
  view->addWidget(Memo1, 0, 0);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(workbook);
  layout->addLayout(columns);
  layout->addLayout(checks);
  layout->addLayout(buttons);
  layout->addWidget(ProgressBar1);
  layout->addLayout(view, 1);
  resize(760, 560);
}

}  // namespace qm
