#include "server/async_request.h"

#include <QMetaObject>
#include <QObject>
#include <QPromise>
#include <QThreadPool>

#include <exception>
#include <memory>

namespace qm {

QFuture<std::string> requestAsync(HttpClient& client, HttpRequest request) {
  auto promise = std::make_shared<QPromise<std::string>>();
  QFuture<std::string> future = promise->future();
  promise->start();
  client.worker().start([promise, &client, request = std::move(request)] {
    try {
      promise->addResult(request(client));
    } catch (...) {
      // Stored as is, so result() and co_await rethrow the HttpError itself.
      promise->setException(std::current_exception());
    }
    promise->finish();
  });
  return future;
}

QFuture<std::string> getAsync(HttpClient& client, std::string url) {
  return requestAsync(client, [url = std::move(url)](HttpClient& c) { return c.get(url); });
}

QFuture<std::string> postAsync(HttpClient& client, std::string url, std::string body) {
  return requestAsync(client, [url = std::move(url), body = std::move(body)](HttpClient& c) {
    return c.post(url, body);
  });
}

TransferCallbacks postedTo(QObject* context, TransferCallbacks callbacks) {
  auto cb = std::make_shared<TransferCallbacks>(std::move(callbacks));
  TransferCallbacks out;
  out.begin = [context, cb](std::int64_t announced) {
    QMetaObject::invokeMethod(
        context, [cb, announced] { if (cb->begin) cb->begin(announced); }, Qt::QueuedConnection);
  };
  out.progress = [context, cb](std::int64_t soFar) {
    QMetaObject::invokeMethod(
        context, [cb, soFar] { if (cb->progress) cb->progress(soFar); }, Qt::QueuedConnection);
  };
  out.end = [context, cb] {
    QMetaObject::invokeMethod(context, [cb] { if (cb->end) cb->end(); }, Qt::QueuedConnection);
  };
  return out;
}

}  // namespace qm
