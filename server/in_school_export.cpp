#include "server/in_school_export.h"

#include <QAction>
#include <QCoreApplication>
#include <QCoro/QCoroFuture>
#include <QKeySequence>
#include <QPushButton>
#include <QTimer>
#include <exception>

#include "browser/cookie_mirror.h"
#include "browser/main_window.h"
#include "browser/transfer_panel.h"
#include "common/app_state.h"
#include "common/prompts.h"
#include "server/async_request.h"
#include "server/export_dialog.h"
#include "server/http_client.h"
#include "server/query_page_info.h"
#include "server/query_request.h"
#include "server/sheet/spreadsheet_export.h"

namespace qm {

InSchoolExport::InSchoolExport(TForm1& form, QTimer* timer1)
    : QObject(&form), form_(form), timer1_(timer1), IdHTTP1_(std::make_shared<HttpClient>("IdHTTP1")) {
  setObjectName(QStringLiteral("InSchoolExport"));
  FlatButton13 = form.addTopButton(QStringLiteral("FlatButton13"), QStringLiteral("抓包导出"));
  f11_ = new QAction(QStringLiteral("抓包导出"), &form);
  f11_->setObjectName(QStringLiteral("InSchoolExportF11"));
  f11_->setShortcut(QKeySequence(Qt::Key_F11));
  f11_->setShortcutContext(Qt::WindowShortcut);
  form.addAction(f11_);
  connect(FlatButton13, &QPushButton::clicked, this, [this] { FlatButton13Click(); });
  connect(f11_, &QAction::triggered, this, [this] { FlatButton13Click(); });

  // IdHTTP1 may outlive the window (a run keeps it); the panel copes with that.
  IdHTTP1_->setTransferCallbacks(panelProgress(form, 2));
}

InSchoolExport::~InSchoolExport() { *gone_ = true; }

void InSchoolExport::setRunning(bool on) {
  running_ = on;
  FlatButton13->setEnabled(!on);
  f11_->setEnabled(!on);
}

void InSchoolExport::restartTimer() {
  if (!timer1_) timer1_ = form_.findChild<QTimer*>(QStringLiteral("Timer1"));
  if (timer1_) timer1_->start();
}

QCoro::Task<> InSchoolExport::FlatButton13Click() {
  if (running_) co_return;
  setRunning(true);
  QPointer<InSchoolExport> self(this);
  // The frame keeps the client and the sheet: a run whose window goes away
  // still ends its request and its file cleanly.
  std::shared_ptr<HttpClient> client = IdHTTP1_;
  Prompts& prompts = form_.prompts();
  AppState& state = form_.state();
  const std::string host = state.serverHost;
  auto finish = [self] {
    if (!self) return;
    self->form_.state().stopRequested = false;  // cleared on every way out
    self->setRunning(false);
    emit self->finished();
  };

  QueryPageInfo info;
  bool cancelled = false;
  try {
    const std::string cookieText = form_.cookies() ? form_.cookies()->ReadBrowserCookies(host) : std::string();
    client->clearExtraLines();
    client->addExtraLine("Cookie:" + cookieText);
    const std::string page = co_await getAsync(*client, state.serverUrl(std::string(kQueryPagePath)));
    if (!self) co_return;
    info = ReadQueryPageInfo(page);

    QPointer<TForm4> dialog = new TForm4(selection_, prompts, &form_);
    if (runDialog)
      runDialog(*dialog);
    else
      dialog->exec();
    if (!self) co_return;
    delete dialog.data();

    if (!timer1_) timer1_ = form_.findChild<QTimer*>(QStringLiteral("Timer1"));
    if (timer1_) timer1_->stop();
    cancelled = selection_.cancelled();
  } catch (...) {
    client->disconnect();
    if (!self) co_return;
    restartTimer();
    prompts.message(kNotLoggedInMessage);
    finish();
    co_return;
  }
  if (cancelled) {
    restartTimer();
    finish();
    co_return;
  }

  state.stopRequested = false;
  SpreadsheetExport sheet(prompts);
  InSchoolExportHooks hooks = runHooks;
  hooks.status = [self](const std::string& text) {
    if (self) self->form_.setPanelText(1, QString::fromStdString(text));
  };
  // Asked on the run's worker thread: only atomics here. The application's
  // state outlives every window.
  hooks.stopRequested = [gone = gone_, stop = &state.stopRequested] { return *gone || *stop; };
  InSchoolExportResult result;
  bool failed = false;
  try {
    result = co_await RunInSchoolExport(*client, sheet, host, info, selection_, hooks);
  } catch (...) {
    failed = true;
  }
  if (!self) co_return;
  state.stopRequested = false;
  if (failed) {
    restartTimer();
    prompts.message(kExportFailedMessage);
  } else if (result.end == InSchoolExportResult::End::Cancelled) {
    restartTimer();
  } else {
    prompts.message(kExportDoneMessage, kAppTitle, PromptIcon::Information);
    restartTimer();
  }
  finish();
}

InSchoolExport* installInSchoolExport(TForm1& form, QTimer* timer1) { return new InSchoolExport(form, timer1); }

}  // namespace qm
