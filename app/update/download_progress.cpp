#include "app/update/download_progress.h"

#include <algorithm>

namespace qm {

ProgressShown progressShown(std::int64_t received, std::int64_t total) {
  ProgressShown p;
  if (total < 0) {
    p.status = "已下载:" + std::to_string(received / 1024) + "K字节";
    return p;
  }
  p.maximum = total;
  p.value = std::clamp<std::int64_t>(received, 0, total);
  if (received >= total) {
    p.status = kDownloadCompleteText;
    p.repaintNow = true;
    return p;
  }
  p.status = "已下载:" + std::to_string(received / 1024) + "K字节,总共:" + std::to_string(total / 1024) +
             "K字节,约" + std::to_string(received * 100 / total) + "%";
  return p;
}

ProgressShown progressAtEnd(std::int64_t received, std::int64_t total) {
  ProgressShown p;
  p.maximum = total >= 0 ? total : received;
  p.value = p.maximum;
  return p;
}

}  // namespace qm
