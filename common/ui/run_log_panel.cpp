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
#include "common/ui/prompts.h"

namespace qm {

RunLogPanel::RunLogPanel(Prompts& prompts, QWidget* window, Names names) : QObject(window), prompts_(prompts) {
  toggle_ = new QPushButton(QStringLiteral("显示结果"), window);
  toggle_->setObjectName(names.toggle);
  save_ = new QPushButton(QStringLiteral("保存结果"), window);
  save_->setObjectName(names.save);
  memo_ = new QPlainTextEdit(window);
  memo_->setObjectName(names.memo);
  memo_->setReadOnly(true);
  progress_ = new QProgressBar(window);
  progress_->setObjectName(names.progress);
  current_ = new QLabel(window);
  current_->setObjectName(names.current);
  total_ = new QLabel(window);
  total_->setObjectName(names.total);
  resetProgress();
}

QHBoxLayout* RunLogPanel::buttonRow(std::initializer_list<QPushButton*> buttons) const {
  auto* row = new QHBoxLayout;
  for (QPushButton* b : buttons) row->addWidget(b);
  row->addStretch();
  row->addWidget(current_);
  row->addWidget(new QLabel(QStringLiteral("/"), memo_->parentWidget()));
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

void RunLogPanel::toggleLog() {
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
  current_->setText(QStringLiteral("0"));
  total_->setText(QStringLiteral("0"));
}

void RunLogPanel::startRun(int count) {
  memo_->clear();
  lines_.clear();
  progress_->setRange(0, std::max(count, 1));  // 0..0 would show a busy bar
  progress_->setValue(0);
  total_->setText(QString::number(count));
}

void RunLogPanel::showProgress(int record, std::vector<std::string>& lines) {
  current_->setText(QString::number(record));
  progress_->setValue(record);
  if (lines.empty()) return;
  QString block;
  for (std::string& line : lines) {
    if (!block.isEmpty()) block += QLatin1Char('\n');
    block += QString::fromStdString(line);
    lines_.push_back(std::move(line));
  }
  memo_->appendPlainText(block);
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
