#include "net/transfer_progress.h"

#include <memory>

#include "net/async_request.h"

namespace qm {

TransferCallbacks panelProgress(QObject* context, std::function<void(const QString&)> show) {
  auto announced = std::make_shared<std::int64_t>(0);
  TransferCallbacks shown;
  shown.begin = [show, announced](std::int64_t size) {
    *announced = size;
    show(QString());
  };
  shown.progress = [show, announced](std::int64_t soFar) {
    show(QString::fromStdString(transferProgressText(soFar, *announced)));
  };
  shown.end = [show] { show(QString::fromUtf8(kTransferDoneText)); };
  return postedTo(context, std::move(shown));
}

std::string transferProgressText(std::int64_t soFar, std::int64_t announced) {
  if (announced > 0)
    return "本轮抓包已下载:" + std::to_string(soFar / 1024) + "K字节,总共:" +
           std::to_string(announced / 1024) + "K字节,约" + std::to_string(soFar * 100 / announced) +
           "%";
  return "已下载:" + std::to_string(soFar / 1024) + "K字节";
}

}  // namespace qm
