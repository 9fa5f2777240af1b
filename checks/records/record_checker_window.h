#pragma once
// TForm7 "EXCEL数据身份证号、出生日期、性别批量检查": one workbook, the ID,
// birth date and gender columns, and a log of the faulty records. The walk is
// a coroutine that checks records for a short slice, appends that slice's
// lines in one block and yields to the event loop, so the window, its stop
// button and the rest of the program stay live during a long check.
#include <QCoro/QCoroTask>

#include "checks/records/record_check_run.h"
#include "common/ui/run_log_window.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QTableView;

namespace qm {

class Prompts;
class WorkbookPanel;

class TForm7 : public RunLogWindow {
  Q_OBJECT
 public:
  TForm7(Prompts& prompts, QWidget* parent = nullptr);
  ~TForm7() override;

  QCoro::Task<> BitBtn1Click();
  void BitBtn3Click();
  void ComboBox4Change();
  void ComboBox9Change();
  QCoro::Task<> Button1Click();
  void Button2Click();
  void Button3Click();
  void Button5Click();
  void Button4Click();

  WorkbookPanel& panel() { return *panel_; }

  // Records per slice of a run; 0 slices by time. Tests set 1 to press stop between records.
  int sliceRecords = 0;

  QPushButton *BitBtn1, *BitBtn3;
  QComboBox* ComboBox1;
  QLabel* Label8;
  QTableView* DBGrid1;
  QComboBox *ComboBox3, *ComboBox4, *ComboBox9;
  QRadioButton *RadioButton4, *RadioButton5;
  QRadioButton *RadioButton1, *RadioButton3, *RadioButton2;
  QCheckBox *CheckBox2, *CheckBox1, *CheckBox4, *CheckBox5;
  QPushButton *Button1, *Button2, *Button3, *Button5, *Button4;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery

 private:
  void buildControls();
  void layOut();
  void sheetOpened(const QStringList& columns);
  void columnsLost();
  void setRunControls(bool running);

  Prompts& prompts_;
  WorkbookPanel* panel_ = nullptr;
  RecordCheckControls controls_;
};

}  // namespace qm
