#pragma once
// What the progress bar and the status panel show while a file comes in.
#include <cstdint>
#include <string>

namespace qm {

inline constexpr const char* kDownloadCompleteText = "下载已完成，请等待文件更新...";

struct ProgressShown {
  std::int64_t value = 0;    // bar position, never past maximum
  std::int64_t maximum = 0;  // bar range 0..maximum; 0 while the size is unknown
  std::string status;
  bool repaintNow = false;   // the status bar is repainted at once
};

// A progress report: "已下载:" + K so far + "K字节,总共:" + K in all + "K字节,约"
// + percent + "%", or the completion text once the announced size is reached.
// total -1: no size announced; the text then shows what came so far,
// "已下载:" + K + "K字节", as the other transfers of the program do.
ProgressShown progressShown(std::int64_t received, std::int64_t total);

// The bar at the end of a transfer: full, at the announced size or at what came.
ProgressShown progressAtEnd(std::int64_t received, std::int64_t total);

}  // namespace qm
