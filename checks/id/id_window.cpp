#include "checks/id/id_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "checks/id/id_number.h"
#include "common/text_encoding.h"
#include "common/trim.h"
#include "common/ui/prompts.h"

namespace qm {

TForm2::TForm2(Prompts& prompts, QWidget* mainWindow)
    : QWidget(mainWindow, Qt::Window | Qt::FramelessWindowHint), prompts_(prompts) {
  setObjectName("TForm2");
  setWindowTitle(QStringLiteral("身份证号验证"));
  setFixedSize(320, 88);
  Label1 = new QLabel(QStringLiteral("请输入要验证的号码："), this);
  Label1->setObjectName("Label1");
  FlatEdit1 = new QLineEdit(this);
  FlatEdit1->setObjectName("FlatEdit1");
  FlatButton1 = new QPushButton(QStringLiteral("验证"), this);
  FlatButton1->setObjectName("FlatButton1");
  FlatButton1->setDefault(true);
  FlatButton2 = new QPushButton(QStringLiteral("关闭"), this);
  FlatButton2->setObjectName("FlatButton2");

  auto* row = new QHBoxLayout;
  row->addWidget(FlatEdit1, 1);
  row->addWidget(FlatButton1);
  row->addWidget(FlatButton2);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addLayout(row);

  connect(FlatButton1, &QPushButton::clicked, this, &TForm2::FlatButton1Click);
  connect(FlatEdit1, &QLineEdit::returnPressed, this, &TForm2::FlatButton1Click);
  connect(FlatButton2, &QPushButton::clicked, this, &QWidget::close);
}

void TForm2::FlatButton1Click() {
  const std::string number = trimLow(FlatEdit1->text().toStdString());
  if (gbkByteLength(number) != 18) {
    prompts_.message(kIdLengthWrong);
    return;
  }
  prompts_.message(IsIdNumberValid(number) ? kIdCorrect : kIdWrong);
}

void TForm2::showBeside(const QWidget& mainWindow) {
  const QRect frame = mainWindow.frameGeometry();
  move(frame.x() + frame.width() - 400, frame.y() + 90);
  show();
  raise();
  activateWindow();
}

}  // namespace qm
