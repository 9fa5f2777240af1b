#include "app/settings/settings_window.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>
#include <optional>

#include "app/settings/province_buttons.h"
#include "app/settings/settings_form.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"

namespace qm {
TForm8::TForm8(std::string settingsPath, Prompts& prompts, QWidget* parent)
    : QDialog(parent), settingsPath_(std::move(settingsPath)), prompts_(prompts) {
  setObjectName("TForm8");
  setWindowTitle(QString::fromUtf8(kSettingsCaption));
  buildControls();
  FormCreate();
}

void TForm8::buildControls() {
  auto* outer = new QVBoxLayout(this);

  auto* loginRow = new QHBoxLayout;
  Label2 = new QLabel(QString::fromUtf8(kSettingsLoginLabel), this);
  Label2->setObjectName("Label2");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  loginRow->addWidget(Label2);
  loginRow->addWidget(Edit1, 1);
  outer->addLayout(loginRow);

  // One group: the 23 provinces five to a row in code order, then the custom address.
  auto* grid = new QGridLayout;
  auto* group = new QButtonGroup(this);
  group->setExclusive(true);
  int customRow = 0;
  for (const ProvinceButton& b : provinceButtons()) {
    auto* radio = new QRadioButton(q(b.caption), this);
    radio->setObjectName(q(b.name));
    group->addButton(radio, b.code);
    if (b.fullRow) {
      grid->addWidget(radio, b.row, 0, 1, kProvinceButtonsPerRow);
      customRow = b.row;
    } else {
      grid->addWidget(radio, b.row, b.column);
    }
  }
  Edit3 = new QLineEdit(this);
  Edit3->setObjectName("Edit3");
  grid->addWidget(Edit3, customRow + 1, 0, 1, kProvinceButtonsPerRow);
  outer->addLayout(grid);

  Label1 = new QLabel(QString::fromUtf8(kSettingsNotice), this);
  Label1->setObjectName("Label1");
  outer->addWidget(Label1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  Button1 = new QPushButton(QString::fromUtf8(kSettingsSaveButton), this);
  Button1->setObjectName("Button1");
  Button1->setDefault(true);  // Enter
  Button2 = new QPushButton(QString::fromUtf8(kSettingsQuitButton), this);
  Button2->setObjectName("Button2");  // Esc closes a QDialog as its cancel button
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  outer->addLayout(buttons);

  connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);

  // Fixed size, centred on the desktop.
  outer->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect frame = geometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
}

QRadioButton* TForm8::radioButtonNamed(const QString& name) const {
  for (QRadioButton* radio : findChildren<QRadioButton*>())
    if (radio->objectName().compare(name, Qt::CaseInsensitive) == 0) return radio;
  return nullptr;
}

void TForm8::FormCreate() {
  const SettingsFormState state = openSettingsForm(settingsPath_);
  Edit3->setText(q(state.customAddress));
  Edit1->setText(q(state.loginName));
  if (QRadioButton* radio = radioButtonNamed(QStringLiteral("Radiobutton%1").arg(state.checkedCode)))
    radio->setChecked(true);
  // The repair of the code could not be written: say so, and show what was read.
  if (!state.error.empty()) prompts_.message(q(state.error), kAppTitle, PromptIcon::Error);
}

void TForm8::Button1Click() {
  std::optional<int> checked;
  for (const ProvinceButton& b : provinceButtons()) {
    QRadioButton* radio = radioButtonNamed(q(b.name));
    if (radio && radio->isChecked()) checked = b.code;
  }
  const SettingsSaveResult result =
      saveSettingsForm(settingsPath_, checked, Edit3->text().toStdString(), Edit1->text().toStdString());
  if (result.ok)
    prompts_.message(q(result.message));
  else
    prompts_.message(q(result.message), kAppTitle, PromptIcon::Error);
}

void TForm8::Button2Click() { reject(); }

}  // namespace qm
