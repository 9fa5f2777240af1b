#include "photo/batch/batch_photo_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QCoro/QCoroFuture>

#include "common/log_categories.h"
#include "common/run_on_pool.h"
#include "common/trim.h"
#include "common/ui/controls.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "common/ui/run_log_panel.h"
#include "photo/batch/batch_list.h"
#include "photo/batch/batch_log_queue.h"
#include "photo/batch/batch_texts.h"
#include "photo/batch/batch_run.h"
#include "workbook/workbook_source.h"

namespace qm {

namespace {

std::string trimmedText(const QLineEdit* edit) { return trimLow(edit->text().toStdString()); }

QLabel* tick(QWidget* parent, const char* name) {
  QLabel* label = namedLabel(parent, name, QStringLiteral("√"));
  label->hide();
  return label;
}

QLineEdit* folderEdit(QWidget* parent, const char* name) {
  auto* edit = makeNamed<QLineEdit>(name, parent);
  edit->setEnabled(false);
  return edit;
}

// The run's last lines, kept to be appended in one block.
struct EndLines : photo::BatchListener {
  std::vector<std::string> lines;
  void logLine(const std::string& line) override { lines.push_back(line); }
};

}  // namespace

TForm9::TForm9(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), list_(std::make_unique<WorkbookSource>()) {
  setObjectName("TForm9");
  setWindowTitle(QStringLiteral("学籍照片批量压缩与更名"));
  runner_.setMaxThreadCount(1);
  buildControls();
}

TForm9::~TForm9() { endWorker(); }

void TForm9::buildControls() {
  Button4 = namedButton(this, "Button4", QStringLiteral("打开照片号与身份证号对应数据库"));
  Label5 = tick(this, "Label5");
  Edit1 = folderEdit(this, "Edit1");
  Button5 = namedButton(this, "Button5", QStringLiteral("浏览..."));
  Label4 = tick(this, "Label4");
  Edit2 = folderEdit(this, "Edit2");
  Button6 = namedButton(this, "Button6", QStringLiteral("浏览..."));
  Label3 = tick(this, "Label3");
  CheckBox1 = namedCheck(this, "CheckBox1", QStringLiteral("原图直接处理"), false);
  Button1 = namedButton(this, "Button1", QStringLiteral("开始"), false);
  Button1->setDefault(true);
  Button2 = namedButton(this, "Button2", QStringLiteral("停止"));
  Button3 = namedButton(this, "Button3", QStringLiteral("关闭"));
  // The log is always shown and has neither save button nor count labels:
  // this window's Button3 and Button5 are other buttons.
  RunLogNames names;
  names.toggle = names.save = names.current = names.total = nullptr;
  log_ = new RunLogPanel(prompts_, this, names);
  Memo1 = log_->memo();
  ProgressBar1 = log_->progressBar();
  log_->setLines({"等待开始批量处理。"});

  auto* grid = new QGridLayout(this);
  grid->addWidget(Button4, 0, 0, 1, 3);
  grid->addWidget(Label5, 0, 3);
  grid->addWidget(new QLabel(QStringLiteral("原图文件夹："), this), 1, 0);
  grid->addWidget(Edit1, 1, 1);
  grid->addWidget(Button5, 1, 2);
  grid->addWidget(Label4, 1, 3);
  grid->addWidget(new QLabel(QStringLiteral("保存文件夹："), this), 2, 0);
  grid->addWidget(Edit2, 2, 1);
  grid->addWidget(Button6, 2, 2);
  grid->addWidget(Label3, 2, 3);
  grid->addWidget(CheckBox1, 3, 0, 1, 2);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  buttons->addWidget(Button3);
  grid->addLayout(buttons, 3, 2, 1, 2);
  grid->addWidget(Memo1, 4, 0, 1, 4);
  grid->addWidget(ProgressBar1, 5, 0, 1, 4);
  resize(520, 460);

  connect(Button4, &QPushButton::clicked, this, &TForm9::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TForm9::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TForm9::Button6Click);
  connect(CheckBox1, &QCheckBox::clicked, this, &TForm9::CheckBox1Click);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, &TForm9::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm9::Button3Click);
}

// Only ever enables: a failed run keeps Button1 off until the next choice.
void TForm9::applyStartRule() {
  if (running()) return;
  if (!Label5->isHidden() && !Label4->isHidden() && (CheckBox1->isChecked() || !Label3->isHidden()))
    Button1->setEnabled(true);
}

void TForm9::chooseFolder(QLineEdit* edit, QLabel* folderTick, const QString& caption) {
  // The chooser opens at the folder already chosen.
  const QString folder = prompts_.folder(caption, QString::fromStdString(trimmedText(edit)));
  if (folder.isEmpty()) return;
  edit->setText(folder);
  folderTick->show();
  applyStartRule();
}

void TForm9::Button5Click() { chooseFolder(Edit1, Label4, QStringLiteral("请您选择原图的文件夹：")); }
void TForm9::Button6Click() { chooseFolder(Edit2, Label3, QStringLiteral("请您选择保存的文件夹：")); }

void TForm9::CheckBox1Click() {
  Button6->setEnabled(!CheckBox1->isChecked());
  applyStartRule();
}

void TForm9::Button4Click() {
  const QString path = prompts_.openFileName(QStringLiteral("Excel2003格式文件(.xls)|*.xls"));
  if (path.isEmpty() || running()) return;
  try {
    photo::openBatchList(*list_, path.toStdString());
  } catch (const photo::BatchListError& e) {
    prompts_.message(QString::fromUtf8(e.what()), q(photo::kBatchErrorTitle));
    Edit1->clear();
    Label5->hide();
    Button1->setEnabled(false);
    return;
  }
  Label5->show();
  applyStartRule();
}

QCoro::Task<> TForm9::Button1Click() {
  if (running()) co_return;
  if (!list_->sheetOpen()) {
    prompts_.message(q(photo::kBatchNoListMessage), q(photo::kBatchErrorTitle));
    co_return;
  }
  Button1->setEnabled(false);
  log_->setLines({std::string(photo::kBatchLogStart)});
  std::vector<photo::BatchStudent> students;
  try {
    students = photo::readBatchList(*list_);
  } catch (const photo::BatchListError& e) {
    prompts_.message(QString::fromUtf8(e.what()), q(photo::kBatchErrorTitle));
    co_return;
  }
  log_->startProgress(int(students.size()));

  photo::BatchRunOptions options;
  options.sourceFolder = trimmedText(Edit1);
  options.targetFolder = CheckBox1->isChecked() ? options.sourceFolder : trimmedText(Edit2);
  options.threads = threads ? threads : unsigned(std::max(1, QThread::idealThreadCount()));
  running_ = true;
  QPointer<TForm9> self(this);
  // The run's thread asks the window to take the lines; the window lives at
  // least as long as the run (endWorker waits for it).
  auto queue = std::make_shared<photo::BatchLogQueue>([this] {
    QMetaObject::invokeMethod(
        this,
        [this] {
          if (queue_) takeLog(*queue_);
        },
        Qt::QueuedConnection);
  });
  queue_ = queue;
  std::atomic<bool>& stop = stop_;
  QFuture<photo::BatchSummary> job =
      runOnPool<photo::BatchSummary>(runner_, [students = std::move(students), options, queue, &stop] {
        return photo::runPhotoStudents(students, options, stop, *queue);
      });
  photo::BatchSummary summary;
  std::string failure;
  try {
    summary = co_await job;
  } catch (...) {
    failure = logCaughtException(lcPhoto(), "batch photos");
  }
  // Closing the window gave the run up: nothing of it is shown.
  if (!self || queue_ != queue) co_return;
  takeLog(*queue);
  queue_.reset();
  if (!failure.empty()) {
    running_ = false;
    Button1->setEnabled(true);
    prompts_.message(QString::fromStdString(internalErrorText(failure)), kAppTitle, PromptIcon::Error);
    if (self) emit runEnded();
    co_return;
  }
  // On the window's thread, like the stop button: a stop pressed up to here
  // ends this run as stopped.
  EndLines end;
  photo::endPhotoBatch(summary, stop_, end);
  log_->appendLines(end.lines);
  running_ = false;
  Button1->setEnabled(true);
  emit runEnded();
}

// Appends what the run has made since the last take in one block.
void TForm9::takeLog(photo::BatchLogQueue& queue) {
  photo::BatchLogQueue::Block block = queue.take();
  log_->appendLines(block.lines);
  if (block.record > 0) ProgressBar1->setValue(block.record);
}

void TForm9::Button2Click() { stop_ = true; }

void TForm9::Button3Click() { close(); }

// A run still going when the window closes stops after its current student;
// its log stays as it was.
void TForm9::endWorker() {
  if (!running_) return;
  stop_ = true;
  runner_.waitForDone();
  queue_.reset();
  running_ = false;
}

void TForm9::closeEvent(QCloseEvent* event) {
  endWorker();
  list_ = std::make_unique<WorkbookSource>();
  QDialog::closeEvent(event);  // always allowed; ends a modal exec()
}

void TForm9::reject() {
  endWorker();
  QDialog::reject();
}

}  // namespace qm
