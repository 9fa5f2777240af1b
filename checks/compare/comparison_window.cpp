#include "checks/compare/comparison_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QCoro/QCoroTimer>

#include <algorithm>
#include <array>
#include <chrono>

#include "checks/compare/compare_run.h"
#include "checks/compare/compare_setup.h"
#include "checks/compare/compare_texts.h"
#include "checks/records/check_log.h"
#include "common/ui/prompts.h"
#include "workbook/ui/workbook_panel.h"

namespace qm {
namespace {

constexpr std::chrono::milliseconds kSlice{20};
const QString kFilter = QStringLiteral("Excel2003格式文件(.xls)|*.xls");

void fillColumnBox(QComboBox* box, const QStringList& columns, bool selectFirst) {
  const QSignalBlocker quiet(box);
  box->clear();
  box->addItems(columns);
  box->setCurrentIndex(selectFirst && !columns.isEmpty() ? 0 : -1);
  box->setEnabled(true);
}

void emptyBox(QComboBox* box) {
  const QSignalBlocker quiet(box);
  box->clear();
  box->setEnabled(false);
}

}  // namespace

TForm6::TForm6(Prompts& prompts, QWidget* parent) : QWidget(parent, Qt::Window), prompts_(prompts) {
  setObjectName("TForm6");
  setWindowTitle(QStringLiteral("EXCEL数据查询比对"));
  buildControls();
  layOut();
  logLines_.push_back(compare_texts::kLogHint);
  Memo1->setPlainText(QString::fromUtf8(compare_texts::kLogHint));
  Memo1->hide();
}

TForm6::~TForm6() { ++runId_; }

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

  auto box = [this](const char* name) {
    auto* b = new QComboBox(this);
    b->setObjectName(name);
    b->setEnabled(false);
    return b;
  };
  ComboBox3 = box("ComboBox3");
  ComboBox4 = box("ComboBox4");
  ComboBox5 = box("ComboBox5");
  ComboBox6 = box("ComboBox6");
  ComboBox7 = box("ComboBox7");
  ComboBox8 = box("ComboBox8");
  ComboBox9 = box("ComboBox9");
  ComboBox10 = box("ComboBox10");
  connect(ComboBox3, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox3Change);
  connect(ComboBox5, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox5Change);
  connect(ComboBox7, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox7Change);
  connect(ComboBox9, &QComboBox::currentIndexChanged, this, &TForm6::ComboBox9Change);

  auto check = [this](const char* name, const QString& caption) {
    auto* c = new QCheckBox(caption, this);
    c->setObjectName(name);
    c->setChecked(true);
    return c;
  };
  CheckBox1 = check("CheckBox1", QStringLiteral("记录比对相同情况"));
  CheckBox2 = check("CheckBox2", QStringLiteral("记录比对不相同情况"));
  CheckBox4 = check("CheckBox4", QStringLiteral("记录找到的情况"));
  CheckBox3 = check("CheckBox3", QStringLiteral("记录未找到的情况"));

  auto button = [this](const char* name, const QString& caption, bool enabled) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    b->setEnabled(enabled);
    return b;
  };
  Button1 = button("Button1", QStringLiteral("开始比对"), false);
  Button2 = button("Button2", QStringLiteral("停止比对"), false);
  Button3 = button("Button3", QStringLiteral("显示结果"), true);
  Button5 = button("Button5", QStringLiteral("保存结果"), true);
  Button4 = button("Button4", QStringLiteral("退出"), true);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm6::Button3Click);
  connect(Button5, &QPushButton::clicked, this, &TForm6::Button5Click);
  connect(Button4, &QPushButton::clicked, this, &TForm6::Button4Click);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  Label9 = new QLabel(QStringLiteral("0"), this);
  Label9->setObjectName("Label9");
  Label10 = new QLabel(QStringLiteral("0"), this);
  Label10->setObjectName("Label10");
  resetProgress();
}

void TForm6::resetProgress() {
  ProgressBar1->setRange(0, 1);
  ProgressBar1->setValue(0);
  Label9->setText(QStringLiteral("0"));
  Label10->setText(QStringLiteral("0"));
}

bool TForm6::bothOpen() const { return base_->sheetOpen() && probe_->sheetOpen(); }

void TForm6::baseSheetOpened(const QStringList& columns) {
  fillColumnBox(ComboBox3, columns, true);
  for (QComboBox* b : {ComboBox5, ComboBox7, ComboBox9}) fillColumnBox(b, columns, false);
  Button1->setEnabled(bothOpen());
}

void TForm6::probeSheetOpened(const QStringList& columns) {
  fillColumnBox(ComboBox4, columns, true);
  for (QComboBox* b : {ComboBox6, ComboBox8, ComboBox10}) fillColumnBox(b, columns, false);
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
  for (QComboBox* b : boxes) emptyBox(b);
  Button1->setEnabled(false);
  Button2->setEnabled(false);
  resetProgress();
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

void TForm6::appendLines(std::vector<std::string>& lines) {
  if (lines.empty()) return;
  QString block;
  for (std::string& line : lines) {
    if (!block.isEmpty()) block += QLatin1Char('\n');
    block += QString::fromStdString(line);
    logLines_.push_back(std::move(line));
  }
  Memo1->appendPlainText(block);
}

QCoro::Task<> TForm6::Button1Click() {
  if (running_ || !bothOpen()) co_return;
  running_ = true;
  const int id = ++runId_;
  QPointer<TForm6> self(this);
  setRunControls(true);
  Memo1->clear();
  logLines_.clear();

  auto text = [](QComboBox* b) { return b->currentText().toStdString(); };
  CompareSetup setup{{text(ComboBox3), text(ComboBox4)},
                     {{{text(ComboBox5), text(ComboBox6)},
                       {text(ComboBox7), text(ComboBox8)},
                       {text(ComboBox9), text(ComboBox10)}}},
                     {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox4->isChecked(), CheckBox3->isChecked()}};
  const int count = probe_->source().RecordCount();
  ProgressBar1->setRange(0, std::max(count, 1));  // 0..0 would show a busy bar
  Label10->setText(QString::number(count));

  CompareRun run(base_->source(), probe_->source(), setup, stop_, [this](CheckProgress& p) {
    Label9->setText(QString::number(p.record));
    ProgressBar1->setValue(p.record);
    appendLines(p.lines);
  });
  for (;;) {
    const bool more = sliceRecords > 0 ? run.advance(sliceRecords) : run.advance(CompareRun::Clock::now() + kSlice);
    if (!more) break;
    co_await QCoro::sleepFor(std::chrono::milliseconds(0));
    // Closing the window gives the run up before the workbooks close.
    if (!self || id != runId_) co_return;
  }

  const CheckNotice notice = run.endNotice();
  auto restore = [this] {
    running_ = false;
    stop_ = false;
    setRunControls(false);
    base_->rewind();
    probe_->rewind();
  };
  if (run.end() == CheckEnd::Stopped) {
    restore();
    prompts_.message(QString::fromStdString(notice.text), QString::fromStdString(notice.title));
  } else {
    if (run.end() == CheckEnd::Finished && !logShown_) Button3Click();
    prompts_.message(QString::fromStdString(notice.text), QString::fromStdString(notice.title));
    if (!self || id != runId_) co_return;
    restore();
  }
  if (self) emit runEnded();
}

void TForm6::Button2Click() { stop_ = true; }

void TForm6::Button3Click() {
  logShown_ = !logShown_;
  Memo1->setVisible(logShown_);
  Button3->setText(logShown_ ? QStringLiteral("隐藏结果") : QStringLiteral("显示结果"));
}

void TForm6::Button5Click() {
  QString path = prompts_.saveFileName(QStringLiteral("文本文件(.txt)|*.txt"));
  if (path.isEmpty()) return;
  path = withDefaultExtension(path, QStringLiteral(".txt"));
  std::string error;
  if (!saveLogLines(path.toStdString(), logLines_, &error))
    prompts_.message(QString::fromStdString(error), kAppTitle, PromptIcon::Error);
}

void TForm6::Button4Click() { close(); }

void TForm6::closeEvent(QCloseEvent* event) {
  const bool abandoned = running_;
  if (running_) {
    ++runId_;
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
