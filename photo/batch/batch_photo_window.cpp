#include "photo/batch/batch_photo_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>

#include "common/trim.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "photo/batch/batch_list.h"
#include "photo/batch/batch_texts.h"
#include "photo/batch/batch_run.h"
#include "workbook/workbook_source.h"

namespace qm {

namespace {

std::string trimmedText(const QLineEdit* edit) { return trimLow(edit->text().toStdString()); }

QLabel* tick(QWidget* parent, const char* name) {
  auto* label = new QLabel(QStringLiteral("√"), parent);
  label->setObjectName(name);
  label->hide();
  return label;
}

}  // namespace

// Runs on the run's thread: keeps lines until the window takes them, and
// asks the window once to take them; lines made while it is busy drawing
// go into its next block.
class TForm9::Listener : public photo::BatchListener {
 public:
  explicit Listener(TForm9& form) : form_(form) {}
  void logLine(const std::string& line) override {
    std::lock_guard lock(form_.pendingMutex_);
    form_.pendingLines_.push_back(line);
  }
  void recordDone(int record, int) override {
    {
      std::lock_guard lock(form_.pendingMutex_);
      form_.pendingRecord_ = record;
    }
    form_.postFlush();
  }

 private:
  TForm9& form_;
};

// The end lines, written by the window itself.
class TForm9::MemoListener : public photo::BatchListener {
 public:
  explicit MemoListener(QPlainTextEdit* memo) : memo_(memo) {}
  void logLine(const std::string& line) override { memo_->appendPlainText(QString::fromStdString(line)); }

 private:
  QPlainTextEdit* memo_;
};

TForm9::TForm9(Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), list_(std::make_unique<WorkbookSource>()) {
  setObjectName("TForm9");
  setWindowTitle(QStringLiteral("学籍照片批量压缩与更名"));
  buildControls();
  listener_ = std::make_unique<Listener>(*this);
}

TForm9::~TForm9() { endWorker(); }

void TForm9::buildControls() {
  Button4 = new QPushButton(QStringLiteral("打开照片号与身份证号对应数据库"), this);
  Button4->setObjectName("Button4");
  Label5 = tick(this, "Label5");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setEnabled(false);
  Button5 = new QPushButton(QStringLiteral("浏览..."), this);
  Button5->setObjectName("Button5");
  Label4 = tick(this, "Label4");
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName("Edit2");
  Edit2->setEnabled(false);
  Button6 = new QPushButton(QStringLiteral("浏览..."), this);
  Button6->setObjectName("Button6");
  Label3 = tick(this, "Label3");
  CheckBox1 = new QCheckBox(QStringLiteral("原图直接处理"), this);
  CheckBox1->setObjectName("CheckBox1");
  Button1 = new QPushButton(QStringLiteral("开始"), this);
  Button1->setObjectName("Button1");
  Button1->setEnabled(false);
  Button1->setDefault(true);
  Button2 = new QPushButton(QStringLiteral("停止"), this);
  Button2->setObjectName("Button2");
  Button3 = new QPushButton(QStringLiteral("关闭"), this);
  Button3->setObjectName("Button3");
  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setPlainText(QStringLiteral("等待开始批量处理。"));
  ProgressBar1 = new QProgressBar(this);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setValue(0);

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
  connect(Button1, &QPushButton::clicked, this, &TForm9::Button1Click);
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

void TForm9::Button1Click() {
  if (running()) return;
  if (!list_->sheetOpen()) {
    prompts_.message(q(photo::kBatchNoListMessage), q(photo::kBatchErrorTitle));
    return;
  }
  Button1->setEnabled(false);
  Memo1->clear();
  Memo1->appendPlainText(q(photo::kBatchLogStart));
  std::vector<photo::BatchStudent> students;
  try {
    students = photo::readBatchList(*list_);
  } catch (const photo::BatchListError& e) {
    prompts_.message(QString::fromUtf8(e.what()), q(photo::kBatchErrorTitle));
    return;
  }
  ProgressBar1->setMaximum(std::max<int>(1, int(students.size())));
  ProgressBar1->setValue(0);

  photo::BatchRunOptions options;
  options.sourceFolder = trimmedText(Edit1);
  options.targetFolder = CheckBox1->isChecked() ? options.sourceFolder : trimmedText(Edit2);
  options.threads = threads ? threads : unsigned(std::max(1, QThread::idealThreadCount()));
  {
    std::lock_guard lock(pendingMutex_);
    pendingLines_.clear();
    pendingRecord_ = 0;
    pendingEnd_ = false;
  }
  worker_ = std::thread([this, students = std::move(students), options] {
    photo::BatchSummary summary = photo::runPhotoStudents(students, options, stop_, *listener_);
    {
      std::lock_guard lock(pendingMutex_);
      pendingSummary_ = summary;
      pendingEnd_ = true;
    }
    postFlush();
  });
}

void TForm9::postFlush() {
  if (flushPosted_.exchange(true)) return;
  QMetaObject::invokeMethod(this, &TForm9::flushLog, Qt::QueuedConnection);
}

// Appends what the run has made since the last call in one block.
void TForm9::flushLog() {
  std::vector<std::string> lines;
  int record;
  bool ended;
  flushPosted_ = false;  // lines logged from here on ask again
  {
    std::lock_guard lock(pendingMutex_);
    lines.swap(pendingLines_);
    record = pendingRecord_;
    ended = pendingEnd_;
  }
  if (!lines.empty()) {
    std::string block;
    for (const auto& line : lines) {
      if (!block.empty()) block += '\n';
      block += line;
    }
    Memo1->appendPlainText(QString::fromStdString(block));
  }
  if (record > 0) ProgressBar1->setValue(record);
  if (ended && worker_.joinable()) finishRun();
}

// On the window's thread, like the stop button: a stop pressed up to here
// ends this run as stopped.
void TForm9::finishRun() {
  worker_.join();
  photo::BatchSummary summary;
  {
    std::lock_guard lock(pendingMutex_);
    summary = pendingSummary_;
  }
  MemoListener memo(Memo1);
  photo::endPhotoBatch(summary, stop_, memo);
  Button1->setEnabled(true);
  emit runEnded();
}

void TForm9::Button2Click() { stop_ = true; }

void TForm9::Button3Click() { close(); }

// A run still going when the window closes stops after its current student.
void TForm9::endWorker() {
  if (!worker_.joinable()) return;
  stop_ = true;
  worker_.join();
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
