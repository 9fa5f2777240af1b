#include "server/export/export_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#include "common/ui/prompts.h"
#include "server/protocol/code_tables.h"

namespace qm {

namespace {

struct BoxPlace {
  const char* name;
  const char* caption;
  int left, top;
};

// In export column order; the component names keep the original's odd numbering.
constexpr BoxPlace kBoxes[kExportColumnCount] = {
    {"CheckBox1", "姓名", 24, 64},          {"CheckBox2", "学籍号", 99, 64},
    {"CheckBox3", "身份证号", 176, 64},     {"CheckBox4", "性别", 24, 83},
    {"CheckBox5", "籍贯", 99, 83},          {"CheckBox6", "民族", 176, 83},
    {"CheckBox7", "家庭住址", 24, 102},     {"CheckBox8", "联系电话", 99, 102},
    {"CheckBox9", "学校名称", 176, 102},    {"CheckBox10", "班级", 24, 121},
    {"CheckBox16", "年级", 99, 121},        {"CheckBox12", "是否残疾", 177, 121},
    {"CheckBox15", "是否分班", 24, 141},    {"CheckBox14", "出生日期", 99, 141},
    {"CheckBox13", "身份证件类型", 177, 141}, {"CheckBox11", "就读方式", 24, 161},
    {"CheckBox17", "通讯地址", 98, 161},    {"CheckBox18", "户口所在地码", 178, 161},
    {"CheckBox19", "就读状态", 24, 177},
};

const char* const kHint =
    "    提示：如果您的电脑中安装是office2003及以下版本，将只能保存65535行数据。"
    "如果安装是精简版office或wps，浏览器则无法保存数据为excel文件，将导出失败。";

}  // namespace

TForm4::TForm4(ExportSelection& selection, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), selection_(selection), prompts_(prompts) {
  setObjectName(QStringLiteral("Form4"));
  setWindowTitle(QStringLiteral("选择年级"));
  setModal(true);
  setFixedSize(280, 286);
  setAutoFillBackground(true);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::white);
  setPalette(pal);
  QFont f(QStringLiteral("宋体"));
  f.setPixelSize(12);
  setFont(f);

  auto* label1 = new QLabel(QStringLiteral("请选择要导出的年级："), this);
  label1->setObjectName(QStringLiteral("Label1"));
  label1->setGeometry(24, 16, 120, 16);
  FlatComboBox1 = new QComboBox(this);
  FlatComboBox1->setObjectName(QStringLiteral("FlatComboBox1"));
  FlatComboBox1->setEditable(false);
  FlatComboBox1->setGeometry(146, 12, 110, 22);
  for (const auto& grade : kGrades) FlatComboBox1->addItem(QString::fromUtf8(grade.name));

  auto* label2 = new QLabel(QStringLiteral("请选择要导出的字段："), this);
  label2->setObjectName(QStringLiteral("Label2"));
  label2->setGeometry(24, 44, 200, 16);
  for (int i = 0; i < kExportColumnCount; ++i) {
    auto* box = new QCheckBox(QString::fromUtf8(kBoxes[i].caption), this);
    box->setObjectName(QString::fromLatin1(kBoxes[i].name));
    box->move(kBoxes[i].left, kBoxes[i].top);
    box->adjustSize();
    boxes_[i] = box;
  }

  Label3 = new QLabel(QString::fromUtf8(kHint), this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setWordWrap(true);
  Label3->setGeometry(20, 198, 240, 48);
  Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  FlatButton1 = new QPushButton(QStringLiteral("确定"), this);
  FlatButton1->setObjectName(QStringLiteral("FlatButton1"));
  FlatButton1->setGeometry(52, 254, 75, 22);
  FlatButton1->setDefault(true);
  FlatButton2 = new QPushButton(QStringLiteral("取消"), this);
  FlatButton2->setObjectName(QStringLiteral("FlatButton2"));
  FlatButton2->setGeometry(152, 254, 75, 22);
  connect(FlatButton1, &QPushButton::clicked, this, &TForm4::FlatButton1Click);
  connect(FlatButton2, &QPushButton::clicked, this, &TForm4::FlatButton2Click);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
  FormCreate();
}

QCheckBox* TForm4::checkBoxAt(int position) const {
  if (position < 1 || position > kExportColumnCount) return nullptr;
  return boxes_[position - 1];
}

void TForm4::FormCreate() {
  const int count = FlatComboBox1->count();
  FlatComboBox1->setCurrentIndex(selection_.gradeIndex >= 0 && selection_.gradeIndex < count ? selection_.gradeIndex : 0);
  for (int i = 0; i < kExportColumnCount; ++i) boxes_[i]->setChecked(selection_.columns[i]);
}

void TForm4::storeChoice() {
  selection_.gradeIndex = FlatComboBox1->currentIndex();
  for (int i = 0; i < kExportColumnCount; ++i) selection_.columns[i] = boxes_[i]->isChecked();
}

void TForm4::FlatButton1Click() {
  bool any = false;
  for (const QCheckBox* box : boxes_) any = any || box->isChecked();
  if (!any) {
    prompts_.message(kNoColumnMessage);
    return;
  }
  storeChoice();
  selection_.GradeCode = kGrades[selection_.gradeIndex].code;
  accept();
}

void TForm4::FlatButton2Click() { reject(); }

void TForm4::reject() {
  selection_.GradeCode = kGradeCancelled;
  storeChoice();
  QDialog::reject();
}

void TForm4::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  // No title bar or border of its own: a thin rectangle frames the client area.
  QPainter p(this);
  p.setPen(QColor(0x80, 0x80, 0x80));
  p.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace qm
