#include "net/async_request.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include <memory>

namespace qm {

QFuture<std::string> requestAsync(HttpClient& client, HttpRequest request) {
  return runOnWorker<std::string>(client, [&client, request = std::move(request)] { return request(client); });
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
  // Posted to the application object, not to context: a deleted context must
  // not be touched from the worker thread; the guard is read on the UI thread.
  QPointer<QObject> guard(context);
  auto post = [guard](std::function<void()> call) {
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [guard, call = std::move(call)] { if (guard) call(); }, Qt::QueuedConnection);
  };
  TransferCallbacks out;
  out.begin = [post, cb](std::int64_t announced) { post([cb, announced] { if (cb->begin) cb->begin(announced); }); };
  out.progress = [post, cb](std::int64_t soFar) { post([cb, soFar] { if (cb->progress) cb->progress(soFar); }); };
  out.end = [post, cb] { post([cb] { if (cb->end) cb->end(); }); };
  return out;
}

}  // namespace qm
