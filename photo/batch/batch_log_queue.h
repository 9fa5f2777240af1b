#pragma once
// The batch run's log on its way to a window: the run's thread adds each
// student's lines in list order, and the window's thread takes what has come
// since its last take, as one block. The run wakes the window once per block,
// so a long run does not redraw per line.
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "photo/batch/batch_run.h"

namespace qm::photo {

class BatchLogQueue : public BatchListener {
 public:
  // `wake` runs on the run's thread when a student is done and the window
  // has taken everything before; it only asks the window to take().
  explicit BatchLogQueue(std::function<void()> wake) : wake_(std::move(wake)) {}

  void logLine(const std::string& line) override;
  void recordDone(int record, int total) override;

  struct Block {
    std::vector<std::string> lines;
    int record = 0;  // the last student done so far (from 1), 0 before the first
  };
  // Any thread: the lines since the last take, and the record reached.
  Block take();

 private:
  std::function<void()> wake_;
  std::mutex mutex_;
  std::vector<std::string> lines_;
  int record_ = 0;
  bool woken_ = false;  // a take is asked for and has not run yet
};

}  // namespace qm::photo
