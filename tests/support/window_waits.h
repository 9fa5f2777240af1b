#pragma once
// Waiting on the window from a test: a condition, a coroutine's result, a
// page load, a document's contents. Time-outs are generous (the web engine
// starts slowly); every wait ends as soon as what it waits for has happened.
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

#include "browser/main_window.h"
#include "tests/support/tab_access.h"

namespace qm::test {

inline constexpr int kLongWait = 60000;

// Runs the event loop until pred holds; false when it never did in time.
template <typename Pred>
bool waitUntil(Pred&& pred, int timeoutMs = kLongWait) {
  return QTest::qWaitFor(std::forward<Pred>(pred), timeoutMs);
}

// Runs the event loop until task has finished; nothing when it did not.
template <typename T>
std::optional<T> awaitResult(QCoro::Task<T> task, int timeoutMs = kLongWait) {
  auto result = std::make_shared<std::optional<T>>();
  auto done = task.then([result](T value) { *result = std::move(value); });
  (void)waitUntil([&] { return result->has_value(); }, timeoutMs);
  return *result;
}

template <typename T>
T awaitTask(QCoro::Task<T> task, int timeoutMs = kLongWait) {
  return awaitResult(std::move(task), timeoutMs).value_or(T{});
}

inline bool awaitDone(QCoro::Task<> task, int timeoutMs = kLongWait) {
  auto finished = std::make_shared<bool>(false);
  auto done = task.then([finished] { *finished = true; });
  return waitUntil([&] { return *finished; }, timeoutMs);
}

// Loads url in view and waits for the load to finish.
inline bool loadAndWait(QWebEngineView* view, const QUrl& url) {
  QSignalSpy finished(view->page(), &QWebEnginePage::loadFinished);
  view->load(url);
  return finished.wait(kLongWait) || finished.count() > 0;
}

// Waits until the root element of slot's page holds text.
inline bool waitForHtml(TForm1& form, int slot, const QString& text, int timeoutMs = kLongWait) {
  return waitUntil(
      [&] { return awaitTask(tabDocument(form, slot).rootInnerHtml(), 10000).toString().contains(text); },
      timeoutMs);
}

// The home tab has shown the server's first page.
inline bool homeShown(const TForm1& form) { return form.panelText(0).startsWith(QStringLiteral("打开完毕!")); }
inline bool homeLoaded(TForm1& form, int timeoutMs = kLongWait) {
  return waitUntil([&] { return homeShown(form); }, timeoutMs);
}

}  // namespace qm::test
