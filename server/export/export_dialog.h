#pragma once
// TForm4 "选择年级": picks the grade and the columns of the in-school export.
// Reads and writes the window's ExportSelection; created afresh for each export.
#include <QDialog>
#include <array>

#include "server/export/export_selection.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace qm {

class Prompts;

inline const QString kNoColumnMessage = QStringLiteral("您一个字段都不选，导不出来东东哦！");

class TForm4 : public QDialog {
  Q_OBJECT
 public:
  TForm4(ExportSelection& selection, Prompts& prompts, QWidget* parent = nullptr);

  // Check box of export column position 1..19 (position 11 is CheckBox16 ...).
  QCheckBox* checkBoxAt(int position) const;
  QComboBox* gradeList() const { return FlatComboBox1; }

 public slots:
  void FlatButton1Click();
  void FlatButton2Click();
  // Esc and the window's close act like 取消, so a closed dialog never exports.
  void reject() override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void FormCreate();
  void storeChoice();

  ExportSelection& selection_;
  Prompts& prompts_;
  QComboBox* FlatComboBox1 = nullptr;
  std::array<QCheckBox*, kExportColumnCount> boxes_{};
  QLabel* Label3 = nullptr;
  QPushButton* FlatButton1 = nullptr;
  QPushButton* FlatButton2 = nullptr;
  bool storing_ = false;
};

}  // namespace qm
