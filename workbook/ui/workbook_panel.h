#pragma once
// A window's workbook group: Open and Close buttons, the sheet box, the file
// name label and (where the window has one) a read-only grid of the open
// sheet. It owns the window's WorkbookSource and runs the shared open, sheet
// change and close procedures; the window fills its column boxes from
// sheetOpened() and empties them on sheetFailed() and closed().
//
// Reading a workbook or a sheet can take a moment on a big file, so it runs
// on a pool thread while the window stays live; the source is handed over
// only when the read is done, and a Close in between discards the read.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QCoro/QCoroTask>

#include "workbook/workbook_source.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QWidget;

namespace qm {

class Prompts;
class WorkbookGridModel;

// objectNames of the group's controls; an empty grid name means no grid.
struct WorkbookPanelNames {
  QString open;
  QString close;
  QString sheetBox;
  QString fileLabel;
  QString grid;
};

// The tool's file filter and failure messages. An empty message shows the
// reader's own error text instead.
struct WorkbookPanelTexts {
  QString filter;
  QString openFailed;
  QString sheetFailed;
  // After a failed open the Open button stays disabled until Close runs.
  bool openStaysDisabled = false;
  // Added to a chosen name without an extension that does not exist as typed (".xls").
  QString defaultExtension = {};
};

inline constexpr int kGridColumnWidth = 80;

class WorkbookPanel : public QObject {
  Q_OBJECT
 public:
  WorkbookPanel(Prompts& prompts, const WorkbookPanelNames& names, WorkbookPanelTexts texts, QWidget* parent);
  ~WorkbookPanel() override;

  QPushButton* openButton() const { return open_; }
  QPushButton* closeButton() const { return close_; }
  QComboBox* sheetBox() const { return sheetBox_; }
  QLabel* fileLabel() const { return fileLabel_; }
  QTableView* grid() const { return grid_; }  // null without a grid

  // Only while not busy(): a read in progress holds the source.
  WorkbookSource& source() { return source_; }
  bool busy() const { return busy_; }
  bool sheetOpen() const { return !busy_ && source_.sheetOpen(); }

  // The Open button: file dialog, open, fill the sheet box, open its first sheet.
  QCoro::Task<> openClick();
  // The sheet box's selection changed: open that sheet.
  QCoro::Task<> sheetChange();
  // The Close button, and the window closing: closes the workbook and resets the group.
  void closeWorkbook();
  // During a run the sheet box, Close and the grid are disabled.
  void setRunning(bool running);
  // The grid back at the first record.
  void rewind();

 signals:
  void sheetOpened(const QStringList& columns);
  void sheetFailed();
  void openFailed();
  void closed();
  // An open or a sheet change has ended, whichever way.
  void settled();

 private:
  void showSheet();

  Prompts& prompts_;
  WorkbookPanelTexts texts_;
  QPushButton* open_;
  QPushButton* close_;
  QComboBox* sheetBox_;
  QLabel* fileLabel_;
  QTableView* grid_ = nullptr;
  WorkbookGridModel* model_ = nullptr;
  WorkbookSource source_;
  bool busy_ = false;
  int generation_ = 0;  // bumped by Close: a read that comes back later is dropped
};

}  // namespace qm
