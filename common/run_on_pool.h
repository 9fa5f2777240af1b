#pragma once
// The one way to run work off the user-interface thread: `job` runs on
// `pool`, and its result, or the exception it throws, comes back through a
// future that the coroutine on the user-interface thread co_awaits
// (#include <QCoroFuture>). A request runs on its client's one-thread pool,
// so that one client never runs two requests at once.
#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <functional>
#include <memory>

namespace qm {

template <typename T>
QFuture<T> runOnPool(QThreadPool& pool, std::function<T()> job) {
  auto promise = std::make_shared<QPromise<T>>();
  QFuture<T> future = promise->future();
  promise->start();
  pool.start([promise, job = std::move(job)] {
    try {
      promise->addResult(job());
    } catch (...) {
      // Stored as is, so result() and co_await rethrow the exception itself.
      promise->setException(std::current_exception());
    }
    promise->finish();
  });
  return future;
}

}  // namespace qm
