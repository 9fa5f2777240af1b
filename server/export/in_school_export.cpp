#include "server/export/in_school_export.h"

#include <QCoro/QCoroFuture>
#include <QKeySequence>
#include <QPushButton>
#include <exception>

#include "common/app_state.h"
#include "common/log_categories.h"
#include "common/ui/prompts.h"
#include "common/ui/window_host.h"
#include "net/async_request.h"
#include "net/http_client.h"
#include "net/transfer_progress.h"
#include "server/export/export_dialog.h"
#include "server/protocol/query_page_info.h"
#include "server/protocol/query_request.h"
#include "sheet/spreadsheet_export.h"
#include "sheet/spreadsheet_file_choice.h"

namespace qm {

InSchoolExport::InSchoolExport(WindowHost& host)
    : QObject(host.window()), host_(host), IdHTTP1_(std::make_shared<HttpClient>("IdHTTP1")) {
  setObjectName(QStringLiteral("InSchoolExport"));
  FlatButton13 = host.addButton(QStringLiteral("FlatButton13"), QStringLiteral("抓包导出"), ButtonPlace::TopBar,
                                QKeySequence(Qt::Key_F11));
  connect(FlatButton13, &QPushButton::clicked, this, [this] { FlatButton13Click(); });

  // IdHTTP1 may outlive the window (a run keeps it); the panel copes with that.
  IdHTTP1_->setTransferCallbacks(panelProgress(this, [this](const QString& text) { host_.setPanelText(2, text); }));
}

InSchoolExport::~InSchoolExport() { *gone_ = true; }

void InSchoolExport::setRunning(bool on) {
  running_ = on;
  FlatButton13->setEnabled(!on);
}

QCoro::Task<> InSchoolExport::FlatButton13Click() {
  if (running_) co_return;
  setRunning(true);
  QPointer<InSchoolExport> self(this);
  // The frame keeps the client and the sheet: a run whose window goes away
  // still ends its request and its file cleanly.
  std::shared_ptr<HttpClient> client = IdHTTP1_;
  Prompts& prompts = host_.prompts();
  AppState& state = host_.state();
  const std::string host = state.serverHost;
  auto finish = [self] {
    if (!self) return;
    self->host_.state().stopRequested = false;  // cleared on every way out
    self->setRunning(false);
    emit self->finished();
  };

  QueryPageInfo info;
  bool cancelled = false;
  // The keep-alive starts again only where this run stopped it.
  bool paused = false;
  try {
    const std::string cookieText = host_.cookieText();
    client->clearExtraLines();
    client->addExtraLine("Cookie:" + cookieText);
    const std::string page = co_await getAsync(*client, state.serverUrl(std::string(kQueryPagePath)));
    if (!self) co_return;
    info = ReadQueryPageInfo(page);

    QPointer<TForm4> dialog = new TForm4(selection_, prompts, host_.window());
    if (runDialog)
      runDialog(*dialog);
    else
      dialog->exec();
    if (!self) co_return;
    delete dialog.data();

    host_.pauseKeepAlive();
    paused = true;
    cancelled = selection_.cancelled();
  } catch (...) {
    const std::string what = logCaughtException(lcExport(), "in-school export, query page");
    const bool internal = caughtProgrammingError();
    client->disconnect();
    if (!self) co_return;
    if (paused) host_.resumeKeepAlive();
    // A fault of ours is not dressed up as "not logged in".
    prompts.message(internal ? QString::fromStdString(internalErrorText(what)) : kNotLoggedInMessage, kAppTitle,
                    internal ? PromptIcon::Error : PromptIcon::None);
    finish();
    co_return;
  }
  if (cancelled) {
    host_.resumeKeepAlive();
    finish();
    co_return;
  }

  state.stopRequested = false;
  SpreadsheetExport sheet;
  SpreadsheetFileChoice target(prompts);
  InSchoolExportHooks hooks = runHooks;
  hooks.status = [self](const std::string& text) {
    if (self) self->host_.setPanelText(1, QString::fromStdString(text));
  };
  // Asked on the run's worker thread: only atomics here. The application's
  // state outlives every window.
  hooks.stopRequested = [gone = gone_, stop = &state.stopRequested] { return *gone || *stop; };
  InSchoolExportResult result;
  bool failed = false;
  std::string internalError;
  try {
    result = co_await runInSchoolExport(*client, sheet, target, host, info, selection_, hooks);
  } catch (...) {
    const std::string what = logCaughtException(lcExport(), "in-school export, pages");
    failed = true;
    if (caughtProgrammingError()) internalError = internalErrorText(what);
  }
  if (!self) co_return;
  state.stopRequested = false;
  if (failed) {
    host_.resumeKeepAlive();
    if (internalError.empty())
      prompts.message(kExportFailedMessage);
    else
      prompts.message(QString::fromStdString(internalError), kAppTitle, PromptIcon::Error);
  } else if (result.end == InSchoolExportResult::End::Cancelled) {
    host_.resumeKeepAlive();
  } else {
    prompts.message(kExportDoneMessage, kAppTitle, PromptIcon::Information);
    host_.resumeKeepAlive();
  }
  finish();
}

InSchoolExport* installInSchoolExport(WindowHost& host) { return new InSchoolExport(host); }

}  // namespace qm
