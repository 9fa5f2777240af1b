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

#include "common/log_file.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "common/ui/window_host.h"
#include "net/http_client.h"
#include "server/duplicate/captcha_dialog.h"
#include "server/duplicate/duplicate_texts.h"
#include "server/duplicate/stop_silence.h"
#include "workbook/ui/workbook_panel.h"

namespace qm {

TForm12::TForm12(WindowHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host), prompts_(host.prompts()),
      IdHTTP4_(std::make_shared<HttpClient>("IdHTTP4")), stop_(std::make_shared<StopSilence>()) {
  setObjectName(QStringLiteral("TForm12"));
  setWindowTitle(q(kDuplicateWindowTitle));
  buildControls();
  layOut();
  // FormCreate: the run state is continue; the log holds the opening hint.
  appendLine(std::string(kFirstShownHint1));
  appendLine(std::string(kFirstShownHint2));
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
      clearLog();
      appendLine(std::string(kWorkbookClosedHint));
    }
    apply(DuplicateSituation::WorkbookClosed);
  });
  // The panel's own Open and Close buttons already run their procedures.
  disconnect(BitBtn4, nullptr, panel_, nullptr);
  connect(BitBtn4, &QPushButton::clicked, this, &TForm12::BitBtn4Click);

  auto label = [this](const char* name, const QString& text) {
    auto* l = new QLabel(text, this);
    l->setObjectName(name);
    return l;
  };
  Label9 = label("Label9", QStringLiteral("0"));
  Label13 = label("Label13", QStringLiteral("/"));
  Label10 = label("Label10", QStringLiteral("0"));
  QFont big = Label9->font();
  big.setPointSizeF(big.pointSizeF() * 2.5);
  big.setBold(true);
  for (QLabel* l : {Label9, Label13, Label10}) l->setFont(big);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName(QStringLiteral("Memo1"));
  Memo1->setReadOnly(true);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
  ProgressBar1->setRange(0, 1);
  ProgressBar1->setValue(0);

  auto button = [this](const char* name, const QString& caption) {
    auto* b = new QPushButton(caption, this);
    b->setObjectName(name);
    return b;
  };
  Button1 = button("Button1", QStringLiteral("开始查重"));
  Button2 = button("Button2", QStringLiteral("停止"));
  Button5 = button("Button5", QStringLiteral("保存结果"));
  Button4 = button("Button4", QStringLiteral("退出"));
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
  auto check = [this](const char* name, std::string_view caption, bool on) {
    auto* c = new QCheckBox(q(caption), GroupBox4);
    c->setObjectName(name);
    c->setChecked(on);
    return c;
  };
  const DuplicateFilters defaults;
  CheckBox2 = check("CheckBox2", kFilterFoundCaption, defaults.found);
  CheckBox4 = check("CheckBox4", kFilterNotFoundCaption, defaults.notFound);
  CheckBox1 = check("CheckBox1", kFilterNoResultCaption, defaults.noResult);
  CheckBox3 = check("CheckBox3", kFilterUncheckedCaption, defaults.unchecked);
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

void TForm12::clearLog() {
  logLines_.clear();
  Memo1->clear();
}

void TForm12::appendLine(std::string line) {
  Memo1->appendPlainText(QString::fromStdString(line));
  logLines_.push_back(std::move(line));
}

DuplicateFilters TForm12::readFilters() const {
  return {CheckBox2->isChecked(), CheckBox4->isChecked(), CheckBox1->isChecked(), CheckBox3->isChecked()};
}

QCoro::Task<> TForm12::BitBtn2Click() { co_await panel_->openClick(); }

void TForm12::sheetOpened() {
  fileName_ = Label26->text();
  WorkbookSource& source = panel_->source();
  setCounter(0, source.RecordCount());
  clearLog();
  if (source.FindField(kNameField) && source.FindField(kIdNumberField)) {
    appendLine(std::string(kSheetReadyHint));
    apply(DuplicateSituation::SheetReady);
  } else {
    appendLine(std::string(kSheetLacksFieldHint1));
    appendLine(std::string(kSheetLacksFieldHint2));
    apply(DuplicateSituation::SheetLacksField);
  }
}

void TForm12::BitBtn4Click() {
  if (running_) return;
  panel_->closeWorkbook();
}

void TForm12::Button5Click() {
  QString path = prompts_.saveFileName(q(kSaveLogFilter));
  if (path.isEmpty()) return;
  path = withDefaultExtension(path, q(kSaveLogExtension));
  std::string error;
  if (!saveLogLines(path.toStdString(), logLines_, &error))
    prompts_.message(QString::fromStdString(error), kAppTitle, PromptIcon::Error);
}

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
