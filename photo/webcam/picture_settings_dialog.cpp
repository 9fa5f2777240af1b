#include "photo/webcam/picture_settings_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace qm {

PictureSettingsDialog::PictureSettingsDialog(QWidget* parent, const QString& title,
                                             const std::vector<photo::PictureSetting>& settings, Apply apply)
    : QDialog(parent) {
  setWindowTitle(title);
  auto* form = new QFormLayout;
  for (const auto& s : settings) {
    const QString label = QString::fromStdString(s.label);
    const QString key = QString::fromStdString(s.key);
    if (s.isSwitch()) {
      auto* box = new QCheckBox(label, this);
      box->setObjectName(key);
      box->setChecked(s.value != 0);
      connect(box, &QCheckBox::toggled, this, [apply, key = s.key](bool on) { apply(key, on ? 1 : 0); });
      form->addRow(box);
      continue;
    }
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setObjectName(key);
    slider->setRange(s.minimum, s.maximum);
    slider->setSingleStep(s.step);
    slider->setPageStep(std::max(s.step, (s.maximum - s.minimum) / 10));
    slider->setValue(s.value);
    slider->setMinimumWidth(240);
    auto* shown = new QLabel(QString::number(s.value), this);
    shown->setMinimumWidth(60);
    connect(slider, &QSlider::valueChanged, this, [apply, shown, key = s.key](int value) {
      shown->setText(QString::number(value));
      apply(key, value);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(slider);
    row->addWidget(shown);
    form->addRow(label, row);
  }
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::AcceptRole);
  close->setObjectName("closeButton");
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
}

}  // namespace qm
