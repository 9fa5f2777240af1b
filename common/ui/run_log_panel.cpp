#include "common/ui/run_log_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QCoro/QCoroTimer>

#include <algorithm>
#include <chrono>

#include "common/log_file.h"
#include "common/ui/controls.h"
#include "common/ui/prompts.h"

namespace qm {

namespace {

QLabel* optionalLabel(QWidget* window, const char* name, const QString& text) {
  return name ? namedLabel(window, name, text) : nullptr;
}

}  // namespace

RunLogPanel::RunLogPanel(Prompts& prompts, QWidget* window, Names names) : QObject(window), prompts_(prompts) {
  toggle_ = names.toggle ? namedButton(window, names.toggle, QStringLiteral("显示结果")) : nullptr;
  save_ = names.save ? namedButton(window, names.save, QStringLiteral("保存结果")) : nullptr;
  memo_ = makeNamed<QPlainTextEdit>(names.memo, window);
  memo_->setReadOnly(true);
  progress_ = makeNamed<QProgressBar>(names.progress, window);
  current_ = optionalLabel(window, names.current, QString());
  separator_ = optionalLabel(window, names.separator, QStringLiteral("/"));
  total_ = optionalLabel(window, names.total, QString());
  // Without a toggle the log is always shown.
  shown_ = !toggle_;
  resetProgress();
}

QHBoxLayout* RunLogPanel::buttonRow(std::initializer_list<QPushButton*> buttons) const {
  auto* row = new QHBoxLayout;
  for (QPushButton* b : buttons) row->addWidget(b);
  row->addStretch();
  row->addWidget(current_);
  row->addWidget(separator_ ? separator_ : new QLabel(QStringLiteral("/"), memo_->parentWidget()));
  row->addWidget(total_);
  return row;
}

void RunLogPanel::setLines(std::vector<std::string> lines) {
  lines_ = std::move(lines);
  QString text;
  for (const std::string& line : lines_) {
    if (!text.isEmpty()) text += QLatin1Char('\n');
    text += QString::fromStdString(line);
  }
  memo_->setPlainText(text);
}

void RunLogPanel::clearLog() {
  lines_.clear();
  memo_->clear();
}

void RunLogPanel::appendLine(std::string line) {
  memo_->appendPlainText(QString::fromStdString(line));
  lines_.push_back(std::move(line));
}

void RunLogPanel::appendLines(std::vector<std::string>& lines) {
  if (lines.empty()) return;
  QString block;
  for (std::string& line : lines) {
    if (!block.isEmpty()) block += QLatin1Char('\n');
    block += QString::fromStdString(line);
    lines_.push_back(std::move(line));
  }
  lines.clear();
  memo_->appendPlainText(block);
}

void RunLogPanel::toggleLog() {
  if (!toggle_) return;
  shown_ = !shown_;
  memo_->setVisible(shown_);
  toggle_->setText(shown_ ? QStringLiteral("隐藏结果") : QStringLiteral("显示结果"));
}

void RunLogPanel::saveLog() {
  QString path = prompts_.saveFileName(QStringLiteral("文本文件(.txt)|*.txt"));
  if (path.isEmpty()) return;
  path = withDefaultExtension(path, QStringLiteral(".txt"));
  std::string error;
  if (!saveLogLines(path.toStdString(), lines_, &error))
    prompts_.message(QString::fromStdString(error), kAppTitle, PromptIcon::Error);
}

void RunLogPanel::resetProgress() {
  progress_->setRange(0, 1);
  progress_->setValue(0);
  if (current_) current_->setText(QStringLiteral("0"));
  if (total_) total_->setText(QStringLiteral("0"));
}

void RunLogPanel::startProgress(int count) {
  progress_->setRange(0, std::max(count, 1));  // 0..0 would show a busy bar
  progress_->setValue(0);
  if (total_) total_->setText(QString::number(count));
}

void RunLogPanel::startRun(int count) {
  clearLog();
  startProgress(count);
}

void RunLogPanel::showRecord(int record) {
  if (current_) current_->setText(QString::number(record));
  progress_->setValue(record);
}

void RunLogPanel::showProgress(int record, std::vector<std::string>& lines) {
  showRecord(record);
  appendLines(lines);
}

QCoro::Task<bool> RunLogPanel::drive(std::function<bool()> slice) {
  const int id = ++runId_;
  QPointer<RunLogPanel> self(this);
  while (slice()) {
    co_await QCoro::sleepFor(std::chrono::milliseconds(0));
    if (!self || id != runId_) co_return false;
  }
  co_return true;
}

}  // namespace qm
