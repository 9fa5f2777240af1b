#pragma once
// TForm2 "身份证号验证": checks one typed resident ID number. Made once at
// start-up, shown modeless, hidden (not destroyed) on close so the typed
// number is still there next time.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm {

class Prompts;

inline const QString kIdLengthWrong = QStringLiteral("身份证号长度不正确。");
inline const QString kIdCorrect = QStringLiteral("恭喜，身份证号正确！");
inline const QString kIdWrong = QStringLiteral("身份证号不正确。");

class TForm2 : public QWidget {
  Q_OBJECT
 public:
  TForm2(Prompts& prompts, QWidget* mainWindow);

  void FlatButton1Click();
  // Shows the window 90 px below the main window's top, its left edge 400 px
  // left of the main window's right edge.
  void showBeside(const QWidget& mainWindow);

  QLabel* Label1;
  QLineEdit* FlatEdit1;
  QPushButton* FlatButton1;
  QPushButton* FlatButton2;

 private:
  Prompts& prompts_;
};

}  // namespace qm
