#include "server/duplicate/duplicate_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>

#include "common/ui/controls.h"
#include "common/ui/prompts.h"
#include "common/ui/run_log_panel.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_host.h"
#include "net/http_client.h"
#include "server/duplicate/captcha_dialog.h"
#include "server/duplicate/duplicate_texts.h"
#include "server/duplicate/stop_silence.h"
#include "workbook/ui/workbook_panel.h"

namespace qm {

TForm12::TForm12(WindowHost& host, QWidget* parent)
    : RunLogWindow(parent), host_(host), prompts_(host.prompts()),
      IdHTTP4_(std::make_shared<HttpClient>("IdHTTP4")), stop_(std::make_shared<StopSilence>()) {
  setObjectName(QStringLiteral("TForm12"));
  setWindowTitle(q(kDuplicateWindowTitle));
  buildControls();
  layOut();
  // FormCreate: the run state is continue; the log holds the opening hint.
  log_->appendLine(std::string(kFirstShownHint1));
  log_->appendLine(std::string(kFirstShownHint2));
  apply(DuplicateSituation::FirstShown);
}

TForm12::~TForm12() {
  // A request still out ends soon after; the run finds the window gone.
  stop_->abandon();
}

void TForm12::setStopSilenceLimit(std::chrono::milliseconds limit) { stop_->setLimit(limit); }

void TForm12::buildControls() {
  WorkbookPanelTexts texts{q(kOpenWorkbookFilter), QString(), q(kSheetOpenFailedMessage), false,
                           q(kOpenWorkbookExtension)};
  panel_ = new WorkbookPanel(prompts_, {"BitBtn2", "BitBtn4", "ComboBox2", "Label26", QString()}, texts, this);
  BitBtn2 = panel_->openButton();
  BitBtn4 = panel_->closeButton();
  ComboBox2 = panel_->sheetBox();
  Label26 = panel_->fileLabel();
  connect(panel_, &WorkbookPanel::sheetOpened, this, &TForm12::sheetOpened);
  connect(panel_, &WorkbookPanel::sheetFailed, this, [this] { apply(DuplicateSituation::SheetOpenFailed); });
  connect(panel_, &WorkbookPanel::closed, this, [this] {
    Label26->setText(fileName_);  // the name stays after 关闭
    if (!keepLogOnClose_) {
      log_->clearLog();
      log_->appendLine(std::string(kWorkbookClosedHint));
    }
    apply(DuplicateSituation::WorkbookClosed);
  });
  // The panel's own Open and Close buttons already run their procedures.
  disconnect(BitBtn4, nullptr, panel_, nullptr);
  connect(BitBtn4, &QPushButton::clicked, this, &TForm12::BitBtn4Click);

  // The log is always shown; its "/" is a label of the window's own.
  RunLogNames names;
  names.toggle = nullptr;
  names.separator = "Label13";
  makeLog(prompts_, names);
  Button5 = log_->saveButton();
  Label13 = log_->separatorLabel();
  QFont big = Label9->font();
  big.setPointSizeF(big.pointSizeF() * 2.5);
  big.setBold(true);
  for (QLabel* l : {Label9, Label13, Label10}) l->setFont(big);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

  Button1 = namedButton(this, "Button1", QStringLiteral("开始查重"));
  Button2 = namedButton(this, "Button2", QStringLiteral("停止"));
  Button4 = namedButton(this, "Button4", QStringLiteral("退出"));
  setTabOrder(Button2, Button5);  // 保存结果 keeps its place among the buttons
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &TForm12::Button2Click);
  connect(Button5, &QPushButton::clicked, this, &TForm12::Button5Click);
  connect(Button4, &QPushButton::clicked, this, &TForm12::Button4Click);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(escape, &QShortcut::activated, this, [this] {
    if (Button4->isEnabled()) Button4Click();
  });

  GroupBox4 = new QGroupBox(q(kFilterGroupCaption), this);
  GroupBox4->setObjectName(QStringLiteral("GroupBox4"));
  const DuplicateFilters defaults;
  CheckBox2 = namedCheck(GroupBox4, "CheckBox2", q(kFilterFoundCaption), defaults.found);
  CheckBox4 = namedCheck(GroupBox4, "CheckBox4", q(kFilterNotFoundCaption), defaults.notFound);
  CheckBox1 = namedCheck(GroupBox4, "CheckBox1", q(kFilterNoResultCaption), defaults.noResult);
  CheckBox3 = namedCheck(GroupBox4, "CheckBox3", q(kFilterUncheckedCaption), defaults.unchecked);
}

void TForm12::apply(DuplicateSituation situation) {
  const DuplicateControlStates states = duplicateControlStates(situation);
  for (std::size_t i = 0; i < kDuplicateControlCount; ++i) {
    if (!states[i]) continue;
    const auto name = duplicateControlName(static_cast<DuplicateControl>(i));
    if (auto* w = findChild<QWidget*>(q(name))) w->setEnabled(*states[i]);
  }
}

void TForm12::setCounter(int current, int total) {
  const DuplicateCounterTexts texts = duplicateCounterTexts(current, total);
  Label9->setText(QString::fromStdString(texts.current));
  Label13->setText(QString::fromStdString(texts.slash));
  Label10->setText(QString::fromStdString(texts.total));
}

DuplicateFilters TForm12::readFilters() const {
  return {CheckBox2->isChecked(), CheckBox4->isChecked(), CheckBox1->isChecked(), CheckBox3->isChecked()};
}

QCoro::Task<> TForm12::BitBtn2Click() { co_await panel_->openClick(); }

void TForm12::sheetOpened() {
  fileName_ = Label26->text();
  WorkbookSource& source = panel_->source();
  setCounter(0, source.RecordCount());
  log_->clearLog();
  if (source.FindField(kNameField) && source.FindField(kIdNumberField)) {
    log_->appendLine(std::string(kSheetReadyHint));
    apply(DuplicateSituation::SheetReady);
  } else {
    log_->appendLine(std::string(kSheetLacksFieldHint1));
    log_->appendLine(std::string(kSheetLacksFieldHint2));
    apply(DuplicateSituation::SheetLacksField);
  }
}

void TForm12::BitBtn4Click() {
  if (running_) return;
  panel_->closeWorkbook();
}

void TForm12::Button5Click() { log_->saveLog(); }

void TForm12::Button4Click() { close(); }

void TForm12::closeEvent(QCloseEvent* event) {
  if (running_) {
    // Ends as 停止 does; the workbook closes when the run is over.
    closeAfterRun_ = true;
    Button2Click();
    if (captcha_) captcha_->Button2Click();
  } else if (panel_->busy() || panel_->source().isOpen()) {
    // The workbook goes; the log stays for the next showing.
    keepLogOnClose_ = true;
    panel_->closeWorkbook();
    keepLogOnClose_ = false;
  }
  event->accept();
}

}  // namespace qm
