#include "photo/compress/compress_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "photo/compress/compress_texts.h"
#include "photo/image/size_format.h"

namespace qm {

namespace {

QImage toQImage(const photo::RgbImage& image) {
  return QImage(image.pixels.data(), image.width, image.height, int(image.stride()), QImage::Format_RGB888)
      .copy();
}

template <typename T>
T* named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

TForm10::TForm10(Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
  setObjectName("TForm10");
  setWindowTitle(QStringLiteral("简易图片压缩"));
  buildControls();
  showModel();
  Label5->setText(QString::number(TrackBar1->value()));
}

void TForm10::buildControls() {
  Button4 = named(new QPushButton(QStringLiteral("打开原图"), this), "Button4");
  auto* previewBox = new QGroupBox(QStringLiteral("图片预览区"), this);
  Image1 = named(new QLabel(previewBox), "Image1");
  Image1->setFixedSize(337, 249);
  auto* previewLayout = new QVBoxLayout(previewBox);
  previewLayout->addWidget(Image1);
  Label11 = named(new QLabel(this), "Label11");
  Label10 = named(new QLabel(this), "Label10");
  Label9 = named(new QLabel(this), "Label9");
  RzSpinEdit1 = named(new QSpinBox(this), "RzSpinEdit1");
  RzSpinEdit2 = named(new QSpinBox(this), "RzSpinEdit2");
  CheckBox2 = named(new QCheckBox(QStringLiteral("是否按比例缩放"), this), "CheckBox2");
  CheckBox2->setChecked(true);
  TrackBar1 = named(new QSlider(Qt::Horizontal, this), "TrackBar1");
  TrackBar1->setRange(1, 100);
  TrackBar1->setSingleStep(5);
  TrackBar1->setTickInterval(5);
  TrackBar1->setTickPosition(QSlider::TicksBelow);
  Label5 = named(new QLabel(this), "Label5");
  Label6 = named(new QLabel(this), "Label6");
  Button5 = named(new QPushButton(QStringLiteral("预测大小"), this), "Button5");
  Button1 = named(new QPushButton(QStringLiteral("压缩原名保存"), this), "Button1");
  Button2 = named(new QPushButton(QStringLiteral("压缩另存为"), this), "Button2");
  Button2->setDefault(true);
  Button3 = named(new QPushButton(QStringLiteral("关闭"), this), "Button3");

  auto* grid = new QGridLayout(this);
  int row = 0;
  grid->addWidget(Button4, row++, 0, 1, 2);
  grid->addWidget(previewBox, row++, 0, 1, 4);
  grid->addWidget(Label11, row++, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("原图像素:"), this), row, 0);
  grid->addWidget(Label10, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("原图大小:"), this), row, 2);
  grid->addWidget(Label9, row++, 3);
  grid->addWidget(new QLabel(QStringLiteral("X："), this), row, 0);
  grid->addWidget(RzSpinEdit1, row, 1);
  grid->addWidget(new QLabel(QStringLiteral("Y："), this), row, 2);
  grid->addWidget(RzSpinEdit2, row++, 3);
  grid->addWidget(CheckBox2, row++, 0, 1, 4);
  grid->addWidget(new QLabel(QStringLiteral("JPEG压缩级别:"), this), row, 0);
  grid->addWidget(TrackBar1, row, 1, 1, 2);
  grid->addWidget(Label5, row++, 3);
  grid->addWidget(new QLabel(QStringLiteral("压缩后大小预计:"), this), row, 0);
  grid->addWidget(Label6, row, 1, 1, 2);
  grid->addWidget(Button5, row++, 3);
  grid->addWidget(Button1, row, 0);
  grid->addWidget(Button2, row, 1);
  grid->addWidget(Button3, row, 3);

  connect(Button4, &QPushButton::clicked, this, &TForm10::Button4Click);
  connect(RzSpinEdit1, &QSpinBox::valueChanged, this, &TForm10::RzSpinEdit1Change);
  connect(RzSpinEdit2, &QSpinBox::valueChanged, this, &TForm10::RzSpinEdit2Change);
  connect(CheckBox2, &QCheckBox::clicked, this, &TForm10::CheckBox2Click);
  connect(TrackBar1, &QSlider::valueChanged, this, &TForm10::TrackBar1Change);
  connect(Button5, &QPushButton::clicked, this, &TForm10::Button5Click);
  connect(Button1, &QPushButton::clicked, this, &TForm10::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm10::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm10::Button3Click);
}

void TForm10::showBoxes() {
  showing_ = true;
  RzSpinEdit1->setRange(model_.widthBox().minimum(), model_.widthBox().maximum());
  RzSpinEdit1->setValue(model_.widthBox().shown());
  RzSpinEdit2->setRange(model_.heightBox().minimum(), model_.heightBox().maximum());
  RzSpinEdit2->setValue(model_.heightBox().shown());
  showing_ = false;
}

void TForm10::showModel() {
  const auto* picture = model_.picture();
  if (picture)
    Image1->setPixmap(QPixmap::fromImage(toQImage(*picture).scaled(Image1->size(), Qt::IgnoreAspectRatio,
                                                                      Qt::SmoothTransformation)));
  else
    Image1->clear();
  Label11->setText(picture ? q(model_.fileNameText()) : QString());
  Label10->setText(picture ? q(model_.pixelSizeText()) : QString());
  Label9->setText(picture ? q(model_.fileSizeText()) : QString());
  Label6->clear();
  showBoxes();
  showing_ = true;
  TrackBar1->setValue(model_.quality());
  showing_ = false;
  Label5->setText(QString::number(model_.quality()));
  Button5->setEnabled(picture);
  Button1->setEnabled(picture);
  Button2->setEnabled(picture);
}

void TForm10::Button4Click() {
  const QString path = prompts_.openFileName(QStringLiteral("JPEG图片文件(.jpg)|*.jpg|位图文件(.bmp)|*.bmp"));
  if (path.isEmpty()) return;
  const bool ok = model_.open(path.toStdString());
  if (!ok) prompts_.message(q(photo::kCompressUnreadable), q(photo::kCompressErrorTitle), PromptIcon::Error);
  showModel();
}

void TForm10::RzSpinEdit1Change() {
  if (showing_) return;
  model_.setWidth(RzSpinEdit1->value());
  showBoxes();
}

void TForm10::RzSpinEdit2Change() {
  if (showing_) return;
  model_.setHeight(RzSpinEdit2->value());
  showBoxes();
}

void TForm10::CheckBox2Click() {
  model_.setKeepRatio(CheckBox2->isChecked());
  showBoxes();
}

void TForm10::TrackBar1Change() {
  Label5->setText(QString::number(TrackBar1->value()));
  if (!showing_) model_.setQuality(TrackBar1->value());
}

void TForm10::Button5Click() {
  Label6->setText(q(photo::kCompressPredicting));
  Label6->repaint();
  const auto size = model_.predictSize();
  Label6->setText(size ? q(photo::formatKb(*size)) : QString());
}

void TForm10::Button2Click() {
  const QString path = prompts_.saveFileName(QStringLiteral("JPEG图片文件(.jpg)|*.jpg"));
  if (path.isEmpty()) return;
  const auto result = model_.saveAs(withDefaultExtension(path, QStringLiteral(".jpg")).toStdString());
  if (result.ok)
    prompts_.message(q(result.message));
  else
    prompts_.message(q(result.message), q(photo::kCompressErrorTitle), PromptIcon::Error);
}

void TForm10::Button1Click() {
  const auto result = model_.saveInPlace();
  if (result.ok)
    prompts_.message(q(result.message));
  else
    prompts_.message(q(result.message), q(photo::kCompressErrorTitle), PromptIcon::Error);
  // Written: the window shows the file as it is now (or nothing, when it cannot be read back).
  if (result.size > 0) showModel();
}

void TForm10::Button3Click() { close(); }

}  // namespace qm
