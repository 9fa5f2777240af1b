#pragma once
// Waiting on the browser from a window test: coroutine results, page loads,
// document contents. Time-outs are generous: the web engine starts slowly.
#include <QSignalSpy>
#include <QTest>
#include <QWebEngineView>
#include <memory>
#include <optional>
#include <qcoro/qcorotask.h>

#include "browser/main_window.h"
#include "tests/support/tab_access.h"

namespace qm::testing {

inline constexpr int kLongWait = 60000;

// Runs the event loop until task has finished; nothing when it did not.
template <typename T>
std::optional<T> awaitResult(QCoro::Task<T> task, int timeoutMs = kLongWait) {
  auto result = std::make_shared<std::optional<T>>();
  auto done = task.then([result](T value) { *result = std::move(value); });
  (void)QTest::qWaitFor([&] { return result->has_value(); }, timeoutMs);
  return *result;
}

template <typename T>
T awaitTask(QCoro::Task<T> task, int timeoutMs = kLongWait) {
  return awaitResult(std::move(task), timeoutMs).value_or(T{});
}

// Loads url in view and waits for the load to finish.
inline bool loadAndWait(QWebEngineView* view, const QUrl& url) {
  QSignalSpy finished(view->page(), &QWebEnginePage::loadFinished);
  view->load(url);
  return finished.wait(kLongWait) || finished.count() > 0;
}

// Waits until the root element of slot's page holds text.
inline bool waitForHtml(TForm1& form, int slot, const QString& text, int timeoutMs = kLongWait) {
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    if (awaitTask(tabDocument(form, slot).rootInnerHtml(), 10000).toString().contains(text)) return true;
    QTest::qWait(100);
  }
  return false;
}

}  // namespace qm::testing
