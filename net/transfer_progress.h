#pragma once
// A client's transfer progress shown as a status text: cleared at the start,
// the progress text while bytes move, the done text at the end. Each text
// reaches `show` on the UI thread, and only while `context` exists, so the
// window may go before the client.
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "net/http_client.h"

class QObject;

namespace qm {

TransferCallbacks panelProgress(QObject* context, std::function<void(const QString&)> show);

// Status panel texts of the transfer progress.
std::string transferProgressText(std::int64_t soFar, std::int64_t announced);

}  // namespace qm
