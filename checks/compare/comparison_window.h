#pragma once
// TForm6 "EXCEL数据查询比对": the base workbook ("基准库") and the workbook to
// check ("待查库"), the key and up to three compared column pairs, and a log
// of the findings. The run is a coroutine like the record checker's: a short
// slice of records, that slice's lines appended in one block, then the event
// loop.
#include <QCoro/QCoroTask>
#include <atomic>

#include "common/ui/run_log_window.h"

class QCheckBox;
class QComboBox;
class QTableView;

namespace qm {

class Prompts;
class WorkbookPanel;

class TForm6 : public RunLogWindow {
  Q_OBJECT
 public:
  TForm6(Prompts& prompts, QWidget* parent = nullptr);
  ~TForm6() override;

  void BitBtn3Click();
  void BitBtn4Click();
  void ComboBox3Change();
  void ComboBox5Change();
  void ComboBox7Change();
  void ComboBox9Change();
  QCoro::Task<> Button1Click();
  void Button2Click();
  void Button3Click();
  void Button5Click();
  void Button4Click();

  WorkbookPanel& basePanel() { return *base_; }
  WorkbookPanel& probePanel() { return *probe_; }

  // Records per slice of a run; 0 slices by time. Tests set 1 to press stop between records.
  int sliceRecords = 0;

  QPushButton *BitBtn1, *BitBtn3, *BitBtn2, *BitBtn4;
  QComboBox *ComboBox1, *ComboBox2;
  QLabel *Label25, *Label26;
  QTableView *DBGrid1, *DBGrid2;
  QComboBox *ComboBox3, *ComboBox4, *ComboBox5, *ComboBox6, *ComboBox7, *ComboBox8, *ComboBox9, *ComboBox10;
  QCheckBox *CheckBox1, *CheckBox2, *CheckBox4, *CheckBox3;
  QPushButton *Button1, *Button2, *Button3, *Button5, *Button4;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery

 private:
  void buildControls();
  void layOut();
  void baseSheetOpened(const QStringList& columns);
  void probeSheetOpened(const QStringList& columns);
  void matchProbe(QComboBox* base, QComboBox* probe);
  void columnsLost(bool base);
  void setRunControls(bool running);
  bool bothOpen() const;

  Prompts& prompts_;
  WorkbookPanel* base_ = nullptr;
  WorkbookPanel* probe_ = nullptr;
  std::atomic<bool> stop_{false};
};

}  // namespace qm
