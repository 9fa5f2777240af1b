#include "workbook/ui/workbook_panel.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFuture>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QThreadPool>
#include <QCoro/QCoroFuture>

#include <exception>
#include <functional>
#include <memory>

#include "common/log_categories.h"
#include "common/run_on_pool.h"
#include "common/trim.h"
#include "common/ui/prompts.h"
#include "workbook/ui/workbook_grid_model.h"

namespace qm {
namespace {

using SharedSource = std::shared_ptr<WorkbookSource>;

// The box shows a failed read's own words.
QString errorText(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (...) {
    return QString::fromStdString(caughtExceptionText());
  }
}

}  // namespace

WorkbookPanel::WorkbookPanel(Prompts& prompts, const WorkbookPanelNames& names, WorkbookPanelTexts texts,
                             QWidget* parent)
    : QObject(parent), prompts_(prompts), texts_(std::move(texts)) {
  open_ = new QPushButton(QStringLiteral("打开"), parent);
  open_->setObjectName(names.open);
  close_ = new QPushButton(QStringLiteral("关闭"), parent);
  close_->setObjectName(names.close);
  close_->setEnabled(false);
  sheetBox_ = new QComboBox(parent);
  sheetBox_->setObjectName(names.sheetBox);
  sheetBox_->setEnabled(false);
  fileLabel_ = new QLabel(parent);
  fileLabel_->setObjectName(names.fileLabel);
  if (!names.grid.isEmpty()) {
    grid_ = new QTableView(parent);
    grid_->setObjectName(names.grid);
    model_ = new WorkbookGridModel(this);
    grid_->setModel(model_);
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->horizontalHeader()->setDefaultSectionSize(kGridColumnWidth);
    grid_->verticalHeader()->setDefaultSectionSize(grid_->fontMetrics().height() + 4);
  }
  connect(open_, &QPushButton::clicked, this, [this] { openClick(); });
  connect(close_, &QPushButton::clicked, this, &WorkbookPanel::closeWorkbook);
  connect(sheetBox_, &QComboBox::currentIndexChanged, this, [this] { sheetChange(); });
}

WorkbookPanel::~WorkbookPanel() = default;

QCoro::Task<> WorkbookPanel::openClick() {
  if (busy_ || source_.isOpen()) co_return;
  QString chosen = prompts_.openFileName(texts_.filter);
  if (chosen.isEmpty()) co_return;
  if (!texts_.defaultExtension.isEmpty() && !QFileInfo::exists(chosen.trimmed()))
    chosen = withDefaultExtension(chosen.trimmed(), texts_.defaultExtension);
  const std::string path = trimLow(chosen.toStdString());
  QPointer<WorkbookPanel> self(this);
  const int generation = ++generation_;
  busy_ = true;
  open_->setEnabled(false);

  std::exception_ptr error;
  SharedSource opened;
  QFuture<SharedSource> reading = runOnPool<SharedSource>(*QThreadPool::globalInstance(), [path] {
    auto source = std::make_shared<WorkbookSource>();
    source->open(path);
    return source;
  });
  try {
    opened = co_await reading;
  } catch (...) {
    logCaughtException(lcWorkbook(), "workbook open");
    error = std::current_exception();
  }
  if (!self || generation != generation_) co_return;
  busy_ = false;
  if (error) {
    prompts_.message(texts_.openFailed.isEmpty() ? errorText(error) : texts_.openFailed);
    open_->setEnabled(!texts_.openStaysDisabled);
    if (texts_.openStaysDisabled) sheetBox_->setEnabled(false);
    emit openFailed();
    emit settled();
    co_return;
  }

  source_ = std::move(*opened);
  {
    const QSignalBlocker quiet(sheetBox_);
    sheetBox_->clear();
    for (const std::string& table : source_.GetTableNames()) sheetBox_->addItem(QString::fromStdString(table));
    sheetBox_->setCurrentIndex(sheetBox_->count() > 0 ? 0 : -1);
  }
  open_->setEnabled(false);
  close_->setEnabled(true);
  sheetBox_->setEnabled(true);
  fileLabel_->setText(QFileInfo(QString::fromStdString(path)).fileName());
  co_await sheetChange();
}

QCoro::Task<> WorkbookPanel::sheetChange() {
  if (busy_ || !source_.isOpen()) co_return;
  const std::string table = sheetBox_->currentText().toStdString();
  QPointer<WorkbookPanel> self(this);
  const int generation = generation_;
  busy_ = true;
  if (model_) model_->show(nullptr);
  sheetBox_->setEnabled(false);

  // The read holds the source; it comes back with the sheet open or closed.
  auto held = std::make_shared<WorkbookSource>(std::move(source_));
  std::exception_ptr error;
  QFuture<SharedSource> reading = runOnPool<SharedSource>(*QThreadPool::globalInstance(), [held, table] {
    held->openSheet(table);
    return held;
  });
  try {
    co_await reading;
  } catch (...) {
    logCaughtException(lcWorkbook(), "sheet open");
    error = std::current_exception();
  }
  if (!self || generation != generation_) co_return;
  busy_ = false;
  source_ = std::move(*held);
  sheetBox_->setEnabled(true);
  if (error) {
    prompts_.message(texts_.sheetFailed.isEmpty() ? errorText(error) : texts_.sheetFailed);
    emit sheetFailed();
    emit settled();
    co_return;
  }
  showSheet();
  QStringList columns;
  for (const std::string& name : source_.GetFieldNames()) columns << QString::fromStdString(name);
  emit sheetOpened(columns);
  emit settled();
}

void WorkbookPanel::showSheet() {
  if (!model_) return;
  model_->show(&source_);
  for (int c = 0; c < model_->columnCount(); ++c) grid_->setColumnWidth(c, kGridColumnWidth);
  rewind();
}

void WorkbookPanel::closeWorkbook() {
  ++generation_;
  busy_ = false;
  if (model_) model_->show(nullptr);
  source_.close();
  {
    const QSignalBlocker quiet(sheetBox_);
    sheetBox_->clear();
  }
  sheetBox_->setEnabled(false);
  open_->setEnabled(true);
  fileLabel_->clear();
  close_->setEnabled(false);
  emit closed();
}

void WorkbookPanel::setRunning(bool running) {
  const bool open = source_.isOpen() && !busy_;
  sheetBox_->setEnabled(!running && open);
  close_->setEnabled(!running && open);
  if (grid_) grid_->setEnabled(!running);
}

void WorkbookPanel::rewind() {
  if (!grid_ || model_->rowCount() == 0) return;
  grid_->scrollToTop();
  grid_->setCurrentIndex(model_->index(0, 0));
}

}  // namespace qm
