// Where TForm12's controls sit: the workbook row, the big counter, the log,
// the filters beside the buttons, and the progress bar.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "server/duplicate/duplicate_window.h"

namespace qm {

void TForm12::layOut() {
  auto* workbook = new QHBoxLayout;
  workbook->addWidget(BitBtn2);
  workbook->addWidget(BitBtn4);
  workbook->addWidget(new QLabel(QStringLiteral("选择工作表:"), this));
  workbook->addWidget(ComboBox2, 1);

  auto* file = new QHBoxLayout;
  file->addWidget(new QLabel(QStringLiteral("待查文件名："), this));
  file->addWidget(Label26, 1);
  file->addWidget(Label9);
  file->addWidget(Label13);
  file->addWidget(Label10);

  auto* filters = new QGridLayout(GroupBox4);
  filters->addWidget(CheckBox2, 0, 0);
  filters->addWidget(CheckBox4, 0, 1);
  filters->addWidget(CheckBox1, 1, 0);
  filters->addWidget(CheckBox3, 1, 1);

  auto* buttons = new QGridLayout;
  buttons->addWidget(Button1, 0, 0);
  buttons->addWidget(Button2, 0, 1);
  buttons->addWidget(Button5, 1, 0);
  buttons->addWidget(Button4, 1, 1);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(GroupBox4, 1);
  bottom->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(workbook);
  layout->addLayout(file);
  layout->addWidget(Memo1, 1);
  layout->addLayout(bottom);
  layout->addWidget(ProgressBar1);
  setFixedSize(640, 520);
  if (QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

}  // namespace qm
