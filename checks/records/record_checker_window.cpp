#include "checks/records/record_checker_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "checks/records/record_check_texts.h"
#include "checks/records/record_columns.h"
#include "common/ui/controls.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "common/ui/run_log_panel.h"
#include "workbook/ui/workbook_panel.h"

namespace qm {
namespace {

// How long the walk runs before the window handles its events again.
constexpr std::chrono::milliseconds kSlice{20};

}  // namespace

TForm7::TForm7(Prompts& prompts, QWidget* parent) : RunLogWindow(parent), prompts_(prompts) {
  setObjectName("TForm7");
  setWindowTitle(QStringLiteral("EXCEL数据身份证号、出生日期、性别批量检查"));
  buildControls();
  layOut();
  // Checked once each set sits in its own group, where it is exclusive.
  RadioButton4->setChecked(true);
  RadioButton3->setChecked(true);
  log_->setLines({record_texts::kLogHint});
  Memo1->hide();
}

TForm7::~TForm7() { log_->abandon(); }

void TForm7::buildControls() {
  WorkbookPanelTexts texts{QStringLiteral("Excel2003格式文件(.xls)|*.xls"), q(record_texts::kOpenFailed),
                           q(record_texts::kSheetFailed), true};
  panel_ = new WorkbookPanel(prompts_, {"BitBtn1", "BitBtn3", "ComboBox1", "Label8", "DBGrid1"}, texts, this);
  BitBtn1 = panel_->openButton();
  BitBtn3 = panel_->closeButton();
  ComboBox1 = panel_->sheetBox();
  Label8 = panel_->fileLabel();
  DBGrid1 = panel_->grid();
  connect(panel_, &WorkbookPanel::sheetOpened, this, &TForm7::sheetOpened);
  connect(panel_, &WorkbookPanel::sheetFailed, this, [this] {
    for (QComboBox* box : {ComboBox3, ComboBox4, ComboBox9}) emptyColumnBox(box);
    Button1->setEnabled(false);
  });
  connect(panel_, &WorkbookPanel::openFailed, this, [this] {
    for (QComboBox* box : {ComboBox3, ComboBox4, ComboBox9}) box->setEnabled(false);
  });
  connect(panel_, &WorkbookPanel::closed, this, &TForm7::columnsLost);
  // The panel's own Close button already closes; this adds the window's part.
  disconnect(BitBtn3, nullptr, panel_, nullptr);
  connect(BitBtn3, &QPushButton::clicked, this, &TForm7::BitBtn3Click);

  ComboBox3 = namedColumnBox(this, "ComboBox3");
  ComboBox4 = namedColumnBox(this, "ComboBox4");
  ComboBox9 = namedColumnBox(this, "ComboBox9");
  connect(ComboBox4, &QComboBox::currentIndexChanged, this, &TForm7::ComboBox4Change);
  connect(ComboBox9, &QComboBox::currentIndexChanged, this, &TForm7::ComboBox9Change);

  RadioButton4 = namedRadio(this, "RadioButton4", q(record_texts::kCodingText));
  RadioButton5 = namedRadio(this, "RadioButton5", q(record_texts::kCodingDigits));
  RadioButton1 = namedRadio(this, "RadioButton1", q(record_texts::kFormatDashed));
  RadioButton3 = namedRadio(this, "RadioButton3", q(record_texts::kFormatCompact));
  RadioButton2 = namedRadio(this, "RadioButton2", q(record_texts::kFormatSlashed));
  // Read anew for every record, so a change during a run counts from the next one.
  connect(RadioButton5, &QRadioButton::toggled, this,
          [this](bool on) { controls_.coding = on ? GenderCoding::Digits : GenderCoding::Text; });
  auto format = [this] {
    controls_.format = RadioButton1->isChecked()   ? BirthDateFormat::Dashed
                       : RadioButton2->isChecked() ? BirthDateFormat::Slashed
                                                   : BirthDateFormat::Compact;
  };
  for (QRadioButton* r : {RadioButton1, RadioButton3, RadioButton2}) connect(r, &QRadioButton::toggled, this, format);

  CheckBox2 = namedCheck(this, "CheckBox2", QStringLiteral("身份证号码验证"), true);
  CheckBox1 = namedCheck(this, "CheckBox1", QStringLiteral("身份证号中的出生日期与出生日期字段是否一致"), false, false);
  CheckBox4 = namedCheck(this, "CheckBox4", QStringLiteral("身份证号性别码是否与性别一致"), false, false);
  CheckBox5 = namedCheck(this, "CheckBox5", QStringLiteral("记录完全"), false);
  connect(CheckBox5, &QCheckBox::toggled, this, [this](bool on) { controls_.logComplete = on; });

  std::tie(Button1, Button2, Button3, Button5, Button4) =
      makeCheckRow(prompts_, QStringLiteral("开始检查"), QStringLiteral("停止检查"));
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &TForm7::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm7::Button3Click);
  connect(Button5, &QPushButton::clicked, this, &TForm7::Button5Click);
  connect(Button4, &QPushButton::clicked, this, &TForm7::Button4Click);
}

QCoro::Task<> TForm7::BitBtn1Click() { co_await panel_->openClick(); }

void TForm7::BitBtn3Click() {
  panel_->closeWorkbook();
  for (QCheckBox* c : {CheckBox4, CheckBox1}) {
    c->setChecked(false);
    c->setEnabled(false);
  }
}

void TForm7::sheetOpened(const QStringList& columns) {
  std::vector<std::string> names;
  for (const QString& c : columns) names.push_back(c.toStdString());
  const RecordColumnChoice choice = matchRecordColumns(names);
  fillColumnBox(ComboBox3, columns, choice.id);
  fillColumnBox(ComboBox4, columns, choice.birth);
  fillColumnBox(ComboBox9, columns, choice.gender);
  for (QComboBox* box : {ComboBox3, ComboBox4, ComboBox9}) box->setEnabled(true);
  ComboBox4Change();
  ComboBox9Change();
  Button1->setEnabled(panel_->sheetOpen());
}

void TForm7::columnsLost() {
  for (QComboBox* box : {ComboBox3, ComboBox4, ComboBox9}) emptyColumnBox(box);
  Button1->setEnabled(false);
  Button2->setEnabled(false);
  log_->resetProgress();
}

void TForm7::ComboBox4Change() {
  const TiedCheck tie = tiedCheck(ComboBox3->currentText().toStdString(), ComboBox4->currentText().toStdString());
  CheckBox1->setEnabled(tie.enabled);
  CheckBox1->setChecked(tie.checked);
}

void TForm7::ComboBox9Change() {
  const TiedCheck tie = tiedCheck(ComboBox3->currentText().toStdString(), ComboBox9->currentText().toStdString());
  CheckBox4->setEnabled(tie.enabled);
  CheckBox4->setChecked(tie.checked);
}

void TForm7::setRunControls(bool running) {
  for (QComboBox* box : {ComboBox3, ComboBox4, ComboBox9}) box->setEnabled(!running);
  Button1->setEnabled(!running);
  Button2->setEnabled(running);
  panel_->setRunning(running);
}

QCoro::Task<> TForm7::Button1Click() {
  if (running_ || !panel_->sheetOpen()) co_return;
  running_ = true;
  QPointer<TForm7> self(this);
  setRunControls(true);

  RecordCheckSetup setup;
  setup.idColumn = ComboBox3->currentText().toStdString();
  setup.birthColumn = ComboBox4->currentText().toStdString();
  setup.genderColumn = ComboBox9->currentText().toStdString();
  setup.checks = {CheckBox2->isChecked(), CheckBox4->isChecked(), CheckBox1->isChecked()};
  WorkbookSource& source = panel_->source();
  log_->startRun(source.RecordCount());

  RecordCheckRun run(source, setup, controls_, [this](CheckProgress& p) { log_->showProgress(p.record, p.lines); });
  const int slice = sliceRecords;
  // Closing the window gives the run up before the workbook closes.
  if (!co_await log_->drive([&run, slice] {
        return slice > 0 ? run.advance(slice) : run.advance(RecordCheckRun::Clock::now() + kSlice);
      }))
    co_return;

  const Notice notice = run.endNotice();
  auto restore = [this] {
    running_ = false;
    setRunControls(false);
    panel_->rewind();
  };
  if (run.end() == CheckEnd::Stopped) {
    restore();
    prompts_.message(QString::fromStdString(notice.text), QString::fromStdString(notice.title), notice.icon);
  } else {
    // The log comes up by itself only when it has something to show.
    if (run.end() == CheckEnd::Finished && run.errorsFound() && !log_->logShown()) Button3Click();
    prompts_.message(QString::fromStdString(notice.text), QString::fromStdString(notice.title), notice.icon);
    if (!self || !running_) co_return;
    restore();
  }
  if (self) emit runEnded();
}

void TForm7::Button2Click() { controls_.stop = true; }

void TForm7::Button3Click() { log_->toggleLog(); }

void TForm7::Button5Click() { log_->saveLog(); }

void TForm7::Button4Click() { close(); }

void TForm7::closeEvent(QCloseEvent* event) {
  const bool abandoned = running_;
  if (running_) {
    log_->abandon();
    running_ = false;
    controls_.stop = false;
    setRunControls(false);
  }
  BitBtn3Click();
  event->accept();
  if (abandoned) emit runEnded();
}

}  // namespace qm
