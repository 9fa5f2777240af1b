#pragma once
// Runs a client's request on the client's own worker thread and hands back a
// future that the coroutine which made the request co_awaits (#include
// <QCoroFuture>): `std::string page = co_await getAsync(client, url);`. The
// body comes back, or the HttpError is rethrown at the co_await. The event
// loop keeps running meanwhile, so windows and stop buttons stay live.
#include <QFuture>

#include <functional>
#include <string>

#include "common/run_on_pool.h"
#include "net/http_client.h"

class QObject;

namespace qm {

using HttpRequest = std::function<std::string(HttpClient&)>;

// Runs `job` on the client's worker thread, after any request already queued
// there; its result, or the exception it throws, comes back through the future.
template <typename T>
QFuture<T> runOnWorker(HttpClient& client, std::function<T()> job) {
  return runOnPool<T>(client.worker(), std::move(job));
}

// One client runs its requests one after another, never two at once. The
// caller must not touch the client's headers while its request runs.
QFuture<std::string> requestAsync(HttpClient& client, HttpRequest request);
QFuture<std::string> getAsync(HttpClient& client, std::string url);
QFuture<std::string> postAsync(HttpClient& client, std::string url, std::string body);

// Progress callbacks run on the worker thread; these post each call, queued,
// to the user-interface thread, where it runs only while `context` (the
// object showing the progress) still exists: a client may outlive it.
TransferCallbacks postedTo(QObject* context, TransferCallbacks callbacks);

}  // namespace qm
