#include "photo/batch/batch_log_queue.h"

namespace qm::photo {

void BatchLogQueue::logLine(const std::string& line) {
  std::lock_guard lock(mutex_);
  lines_.push_back(line);
}

void BatchLogQueue::recordDone(int record, int) {
  {
    std::lock_guard lock(mutex_);
    record_ = record;
    if (woken_) return;  // lines from here on go into the block already asked for
    woken_ = true;
  }
  wake_();
}

BatchLogQueue::Block BatchLogQueue::take() {
  std::lock_guard lock(mutex_);
  woken_ = false;
  Block block;
  block.lines.swap(lines_);
  block.record = record_;
  return block;
}

}  // namespace qm::photo
