#include "checks/compare/comparison_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>

#include <array>
#include <chrono>

#include "checks/compare/compare_run.h"
#include "checks/compare/compare_setup.h"
#include "checks/compare/compare_texts.h"
#include "common/ui/controls.h"
#include "common/ui/prompts.h"
#include "common/ui/run_log_panel.h"
#include "workbook/ui/workbook_panel.h"

namespace qm {
namespace {

constexpr std::chrono::milliseconds kSlice{20};
const QString kFilter = QStringLiteral("Excel2003格式文件(.xls)|*.xls");

// The key boxes start at the first column, the compared pairs at none.
void showColumns(QComboBox* box, const QStringList& columns, bool selectFirst) {
  fillColumnBox(box, columns, selectFirst && !columns.isEmpty() ? std::optional<std::size_t>(0) : std::nullopt);
  box->setEnabled(true);
}

}  // namespace

TForm6::TForm6(Prompts& prompts, QWidget* parent) : RunLogWindow(parent), prompts_(prompts) {
  setObjectName("TForm6");
  setWindowTitle(QStringLiteral("EXCEL数据查询比对"));
  buildControls();
  layOut();
  log_->setLines({compare_texts::kLogHint});
  Memo1->hide();
}

TForm6::~TForm6() { log_->abandon(); }

void TForm6::buildControls() {
  // The provider's failures are not caught here: the box shows the reader's own text.
  const WorkbookPanelTexts texts{kFilter, {}, {}, false};
  base_ = new WorkbookPanel(prompts_, {"BitBtn1", "BitBtn3", "ComboBox1", "Label25", "DBGrid1"}, texts, this);
  probe_ = new WorkbookPanel(prompts_, {"BitBtn2", "BitBtn4", "ComboBox2", "Label26", "DBGrid2"}, texts, this);
  BitBtn1 = base_->openButton();
  BitBtn3 = base_->closeButton();
  ComboBox1 = base_->sheetBox();
  Label25 = base_->fileLabel();
  DBGrid1 = base_->grid();
  BitBtn2 = probe_->openButton();
  BitBtn4 = probe_->closeButton();
  ComboBox2 = probe_->sheetBox();
  Label26 = probe_->fileLabel();
  DBGrid2 = probe_->grid();
  disconnect(BitBtn3, nullptr, base_, nullptr);
  disconnect(BitBtn4, nullptr, probe_, nullptr);
  connect(BitBtn3, &QPushButton::clicked, this, &TForm6::BitBtn3Click);
  connect(BitBtn4, &QPushButton::clicked, this, &TForm6::BitBtn4Click);
  connect(base_, &WorkbookPanel::sheetOpened, this, &TForm6::baseSheetOpened);
  connect(probe_, &WorkbookPanel::sheetOpened, this, &TForm6::probeSheetOpened);
  connect(base_, &WorkbookPanel::sheetFailed, this, [this] { columnsLost(true); });
  connect(probe_, &WorkbookPanel::sheetFailed, this, [this] { columnsLost(false); });
  connect(base_, &WorkbookPanel::closed, this, [this] { columnsLost(true); });
  connect(probe_, &WorkbookPanel::closed, this, [this] { columnsLost(false); });

  ComboBox3 = namedColumnBox(this, "ComboBox3");
  ComboBox4 = namedColumnBox(this, "ComboBox4");
  ComboBox5 = namedColumnBox(this, "ComboBox5");
  ComboBox6 = namedColumnBox(this, "ComboBox6");
  ComboBox7 = namedColumnBox(this, "ComboBox7");
  ComboBox8 = namedColumnBox(this, "ComboBox8");
  ComboBox9 = namedColumnBox(this, "ComboBox9");
  ComboBox10 = namedColumnBox(this, "ComboBox10");
  connect(ComboBox3, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox3Change);
  connect(ComboBox5, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox5Change);
  connect(ComboBox7, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox7Change);
  connect(ComboBox9, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox9Change);

  CheckBox1 = namedCheck(this, "CheckBox1", QStringLiteral("记录比对相同情况"), true);
  CheckBox2 = namedCheck(this, "CheckBox2", QStringLiteral("记录比对不相同情况"), true);
  CheckBox4 = namedCheck(this, "CheckBox4", QStringLiteral("记录找到的情况"), true);
  CheckBox3 = namedCheck(this, "CheckBox3", QStringLiteral("记录未找到的情况"), true);

  std::tie(Button1, Button2, Button3, Button5, Button4) =
      makeCheckRow(prompts_, QStringLiteral("开始比对"), QStringLiteral("停止比对"));
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm6::Button3Click);
  connect(Button5, &QPushButton::clicked, this, &TForm6::Button5Click);
  connect(Button4, &QPushButton::clicked, this, &TForm6::Button4Click);
}

bool TForm6::bothOpen() const { return base_->sheetOpen() && probe_->sheetOpen(); }

void TForm6::baseSheetOpened(const QStringList& columns) {
  showColumns(ComboBox3, columns, true);
  for (QComboBox* b : {ComboBox5, ComboBox7, ComboBox9}) showColumns(b, columns, false);
  Button1->setEnabled(bothOpen());
}

void TForm6::probeSheetOpened(const QStringList& columns) {
  showColumns(ComboBox4, columns, true);
  for (QComboBox* b : {ComboBox6, ComboBox8, ComboBox10}) showColumns(b, columns, false);
  ComboBox3Change();
  ComboBox5Change();
  ComboBox7Change();
  ComboBox9Change();
  Button1->setEnabled(bothOpen());
}

void TForm6::matchProbe(QComboBox* base, QComboBox* probe) {
  if (!probe->isEnabled()) return;
  std::vector<std::string> names;
  for (int i = 0; i < probe->count(); ++i) names.push_back(probe->itemText(i).toStdString());
  if (const auto match = matchProbeColumn(base->currentText().toStdString(), names))
    probe->setCurrentIndex(static_cast<int>(*match));
}

void TForm6::ComboBox3Change() { matchProbe(ComboBox3, ComboBox4); }
void TForm6::ComboBox5Change() { matchProbe(ComboBox5, ComboBox6); }
void TForm6::ComboBox7Change() { matchProbe(ComboBox7, ComboBox8); }
void TForm6::ComboBox9Change() { matchProbe(ComboBox9, ComboBox10); }

void TForm6::columnsLost(bool base) {
  const std::array<QComboBox*, 4> boxes = base ? std::array{ComboBox3, ComboBox5, ComboBox7, ComboBox9}
                                                : std::array{ComboBox4, ComboBox6, ComboBox8, ComboBox10};
  for (QComboBox* b : boxes) emptyColumnBox(b);
  Button1->setEnabled(false);
  Button2->setEnabled(false);
  log_->resetProgress();
}

void TForm6::BitBtn3Click() { base_->closeWorkbook(); }
void TForm6::BitBtn4Click() { probe_->closeWorkbook(); }

void TForm6::setRunControls(bool running) {
  for (QComboBox* b : {ComboBox3, ComboBox4, ComboBox5, ComboBox6, ComboBox7, ComboBox8, ComboBox9, ComboBox10})
    b->setEnabled(!running);
  Button1->setEnabled(!running);
  Button2->setEnabled(running);
  base_->setRunning(running);
  probe_->setRunning(running);
}

QCoro::Task<> TForm6::Button1Click() {
  if (running_ || !bothOpen()) co_return;
  running_ = true;
  QPointer<TForm6> self(this);
  setRunControls(true);

  auto text = [](QComboBox* b) { return b->currentText().toStdString(); };
  CompareSetup setup{{text(ComboBox3), text(ComboBox4)},
                     {{{text(ComboBox5), text(ComboBox6)},
                       {text(ComboBox7), text(ComboBox8)},
                       {text(ComboBox9), text(ComboBox10)}}},
                     {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox4->isChecked(), CheckBox3->isChecked()}};
  log_->startRun(probe_->source().RecordCount());

  CompareRun run(base_->source(), probe_->source(), setup, stop_,
                 [this](CheckProgress& p) { log_->showProgress(p.record, p.lines); });
  const int slice = sliceRecords;
  // Closing the window gives the run up before the workbooks close.
  if (!co_await log_->drive([&run, slice] {
        return slice > 0 ? run.advance(slice) : run.advance(CompareRun::Clock::now() + kSlice);
      }))
    co_return;

  const Notice notice = run.endNotice();
  auto restore = [this] {
    running_ = false;
    stop_ = false;
    setRunControls(false);
    base_->rewind();
    probe_->rewind();
  };
  if (run.end() == CheckEnd::Stopped) {
    restore();
    prompts_.message(QString::fromStdString(notice.text), QString::fromStdString(notice.title), notice.icon);
  } else {
    // The comparison shows its log at every normal end.
    if (run.end() == CheckEnd::Finished && !log_->logShown()) Button3Click();
    prompts_.message(QString::fromStdString(notice.text), QString::fromStdString(notice.title), notice.icon);
    if (!self || !running_) co_return;
    restore();
  }
  if (self) emit runEnded();
}

void TForm6::Button2Click() { stop_ = true; }

void TForm6::Button3Click() { log_->toggleLog(); }

void TForm6::Button5Click() { log_->saveLog(); }

void TForm6::Button4Click() { close(); }

void TForm6::closeEvent(QCloseEvent* event) {
  const bool abandoned = running_;
  if (running_) {
    log_->abandon();
    running_ = false;
    stop_ = false;
    setRunControls(false);
  }
  BitBtn3Click();
  BitBtn4Click();
  event->accept();
  if (abandoned) emit runEnded();
}

}  // namespace qm
