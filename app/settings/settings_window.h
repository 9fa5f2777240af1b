#pragma once
// TForm8, "设置省份与登录名（自动打开各省系统）": the province (or a custom
// server address) and the login name in the settings file. The new values take
// effect at the next start. Opened modally, a new dialog each time.
#include <QDialog>
#include <QString>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace qm {

class Prompts;

class TForm8 : public QDialog {
  Q_OBJECT
 public:
  // Reads the settings file at once (FormCreate).
  TForm8(std::string settingsPath, Prompts& prompts, QWidget* parent = nullptr);

  void FormCreate();
  void Button1Click();  // "设置"
  void Button2Click();  // "退出"

  // The radio button of a ProvinceCode's component name ("Radiobutton" + code),
  // found without regard to case; nullptr when there is none.
  QRadioButton* radioButtonNamed(const QString& name) const;

 private:
  void buildControls();

  std::string settingsPath_;
  Prompts& prompts_;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
};

}  // namespace qm
