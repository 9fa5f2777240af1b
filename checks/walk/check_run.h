#pragma once
// What the record checker and the comparison share about a run: how it ended
// and how it hands its new log lines to whoever shows them. Lines come in
// batches, so a window appends a block at a time instead of redrawing per line.
#include <functional>
#include <string>
#include <vector>

#include "common/notice.h"

namespace qm {

enum class CheckEnd {
  Running,   // records remain
  Finished,  // past the last record
  Stopped,   // the stop request was seen
  Failed,    // an error ended the walk; CheckOutcome::error holds its text
};

struct CheckOutcome {
  CheckEnd end = CheckEnd::Running;
  std::string error;
  bool internal = false;  // the error was a programming error (std::logic_error)
};

struct CheckProgress {
  int record = 0;                  // the record being (or last) checked, from 1
  int count = 0;                   // records of the walked sheet
  std::vector<std::string> lines;  // log lines since the last report; the listener may move them out
};

using CheckListener = std::function<void(CheckProgress&)>;

// Title of the box that shows an error's own text when a walk fails.
inline constexpr const char* kWalkErrorTitle = "出错了，关闭后检查下Excel文件吧！";
// Title of the box for a programming error: not the file's fault.
inline constexpr const char* kInternalErrorTitle = "Quillmere";
inline constexpr const char* kStoppedTitle = "请注意";
inline constexpr const char* kStoppedText = "查询停止！";
inline constexpr const char* kFinishedTitle = "恭喜";

}  // namespace qm
