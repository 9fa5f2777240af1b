// TForm12's run: the query page and its token, then one captcha dialog and
// one query per student, until the sheet ends or a stop is asked for.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QCoro/QCoroFuture>
#include <QCoro/QCoroSignal>
#include <QCoro/QCoroTimer>

#include <chrono>

#include "common/log_categories.h"
#include "common/app_state.h"
#include "common/ui/prompts.h"
#include "common/ui/qt_text.h"
#include "common/ui/run_log_panel.h"
#include "common/ui/window_host.h"
#include "net/async_request.h"
#include "net/http_client.h"
#include "server/duplicate/captcha_dialog.h"
#include "server/duplicate/duplicate_client.h"
#include "server/duplicate/duplicate_request.h"
#include "server/duplicate/duplicate_run.h"
#include "server/duplicate/duplicate_texts.h"
#include "server/duplicate/duplicate_window.h"
#include "server/duplicate/duplicate_answer.h"
#include "server/duplicate/stop_silence.h"
#include "workbook/ui/workbook_panel.h"

namespace qm {
namespace {

// Drops the client's connection on its worker, after any request still queued there.
QFuture<int> disconnectOnWorker(HttpClient& client) {
  HttpClient* c = &client;
  return runOnWorker<int>(client, [c] {
    c->disconnect();
    return 0;
  });
}

}  // namespace

QCoro::Task<> TForm12::Button1Click() {
  if (running_ || !panel_->sheetOpen()) co_return;
  running_ = true;
  QPointer<TForm12> self(this);
  // The frame keeps the client and the stop flag: a request may end after the window.
  std::shared_ptr<HttpClient> client = IdHTTP4_;
  std::shared_ptr<StopSilence> stop = stop_;
  Prompts& prompts = prompts_;
  const std::string host = host_.state().serverHost;
  const std::string base = "http://" + host;
  stop->reset();
  // 停止 lets the request in hand finish; only a silent server is given up.
  client->setStopCheck([stop] { return stop->givesUp(); }, 0);
  TransferCallbacks heard;
  heard.begin = [stop](std::int64_t) { stop->heard(); };
  heard.progress = [stop](std::int64_t) { stop->heard(); };
  client->setTransferCallbacks(std::move(heard));
  // Nothing else may start meanwhile; 停止 waits for the page.
  apply(DuplicateSituation::RunInProgress);
  Button2->setEnabled(false);

  // Steps 1 and 2: the cookie line, the query page and its token.
  const std::string cookie = cookieLine(host_.cookieText());
  std::optional<std::string> token;
  std::optional<Notice> internalError;  // a fault of ours, shown after the clean-up
  bool failed = false, stopped = false;
  try {
    client->clearExtraLines();
    client->addExtraLine(cookie);
    QFuture<std::string> pageRequest = getAsync(*client, base + std::string(kDuplicatePagePath));
    const std::string page = co_await pageRequest;
    // No token (a login or error page): the queries could not go out.
    token = readDuplicatePageToken(page);
    if (!token) failed = true;
  } catch (const HttpError& e) {
    failed = true;
    stopped = e.stopped();
  } catch (...) {
    internalError = caughtInternalError(lcDuplicate(), "duplicate check, query page");
    failed = true;
  }
  if (!self) co_return;
  WorkbookSource& source = panel_->source();
  const std::optional<int> nameField = source.FindField(kNameField), idField = source.FindField(kIdNumberField);
  if (failed || !nameField || !idField) {
    QFuture<int> closing = disconnectOnWorker(*client);
    co_await closing;
    if (!self) co_return;
    if (internalError)
      prompts.message(q(internalError->text), q(internalError->title), internalError->icon);
    else if (stopped)
      prompts.message(q(kStoppedMessage), q(kNoteTitle));
    else
      prompts.message(q(kNotLoggedInDuplicateMessage));
    if (!self) co_return;
    endRun();
    co_return;
  }

  // Steps 3 to 5: controls, filters, the run's headers, the counter.
  Button2->setEnabled(true);
  const int count = source.RecordCount();
  DuplicateRun run(count, readFilters());
  if (stop->pressed()) run.requestStop();  // the window was closed while the page came
  applyDuplicateHeaders(*client, cookie, *token, host);
  log_->startRun(count);
  run_ = &run;

  const std::string imageUrl = base + std::string(kCaptchaImagePath);
  const std::string queryUrl = base + std::string(kDuplicateQueryPath);
  while (run.goesOn()) {
    const int n = run.recordNumber();
    log_->showRecord(n);
    const DuplicateStudentStart start = run.startStudent(source.text(n, *nameField), source.text(n, *idField));
    if (start.line) log_->appendLine(*start.line);
    if (start.query) {
      // A new dialog, with a new picture, for every attempt.
      QPointer<TForm13> dialog = new TForm13(client, imageUrl, prompts, this);
      captcha_ = dialog;
      if (showCaptcha)
        showCaptcha(*dialog);
      else
        dialog->show();
      if (dialog && !dialog->closed()) co_await qCoro(dialog.data(), &QDialog::finished);
      if (!self) co_return;
      captcha_ = nullptr;
      const std::string typed = dialog ? dialog->code().toStdString() : std::string();
      const bool pictureExpired = dialog && dialog->loginExpired();
      // 取消: only the run state; the typed code still goes and the run ends
      // after this student.
      if (!dialog || dialog->cancelled()) run.requestStop();
      if (dialog) dialog->deleteLater();
      if (pictureExpired) {
        run.sessionExpired();
        break;
      }

      std::string answer;
      bool answered = true, expired = false;
      QFuture<std::string> query = postAsync(*client, queryUrl, run.queryBody(typed));
      try {
        answer = co_await query;
        expired = isLoginPage(answer);
      } catch (const HttpError& e) {
        answered = false;  // no connection, an error status, too long, or a silent server after 停止
        expired = isLoginRedirect(e.status());
      } catch (...) {
        internalError = caughtInternalError(lcDuplicate(), "duplicate check, query");
        answered = false;
      }
      if (!self) co_return;
      if (internalError) break;
      if (expired) {
        // Not "未得到反馈结果" nor "恭喜": the rest would all look unregistered.
        run.sessionExpired();
        break;
      }
      const DuplicateStudentResult result = answered ? run.answer(answer) : run.noAnswer();
      if (result.line) log_->appendLine(*result.line);
    }
    run.moveOn();
    co_await QCoro::sleepFor(std::chrono::milliseconds(0));  // pending input, 停止 included
    if (!self) co_return;
  }

  run_ = nullptr;
  if (internalError) {
    QFuture<int> closing = disconnectOnWorker(*client);
    co_await closing;
    if (!self) co_return;
    prompts.message(q(internalError->text), q(internalError->title), internalError->icon);
    if (!self) co_return;
    endRun();
    co_return;
  }

  // Step 13.
  const Notice end = run.finish();
  prompts.message(q(end.text), q(end.title));
  if (!self) co_return;
  QFuture<int> closing = disconnectOnWorker(*client);
  co_await closing;
  if (!self) co_return;
  endRun();
}

void TForm12::Button2Click() {
  if (!running_) return;
  if (run_) run_->requestStop();
  stop_->press();
}

void TForm12::endRun() {
  IdHTTP4_->setStopCheck({});
  IdHTTP4_->setTransferCallbacks({});
  running_ = false;
  run_ = nullptr;
  apply(DuplicateSituation::RunEnded);
  if (closeAfterRun_) {
    // The window was closed during the run: the workbook goes, the log stays.
    closeAfterRun_ = false;
    keepLogOnClose_ = true;
    panel_->closeWorkbook();
    keepLogOnClose_ = false;
  }
  emit runEnded();
}

}  // namespace qm
