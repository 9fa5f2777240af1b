#include <gtest/gtest.h>

#include "app/update/download_progress.h"

using namespace qm;

TEST(DownloadProgress, Texts) {
  struct Case {
    std::int64_t received, total;
    const char* status;
    std::int64_t value, maximum;
    bool repaint;
  };
  const Case cases[] = {
      {0, 1048576, "已下载:0K字节,总共:1024K字节,约0%", 0, 1048576, false},
      {524288, 1048576, "已下载:512K字节,总共:1024K字节,约50%", 524288, 1048576, false},
      {1023, 2047, "已下载:0K字节,总共:1K字节,约49%", 1023, 2047, false},
      {1048575, 1048576, "已下载:1023K字节,总共:1024K字节,约99%", 1048575, 1048576, false},
      {1048576, 1048576, "下载已完成，请等待文件更新...", 1048576, 1048576, true},
      {1048600, 1048576, "下载已完成，请等待文件更新...", 1048576, 1048576, true},  // bar stays in range
      {0, 0, "下载已完成，请等待文件更新...", 0, 0, true},                            // an empty file
      // No size announced: no percentage, the bar waits at 0..0.
      {0, -1, "已下载:0K字节", 0, 0, false},
      {5000000, -1, "已下载:4882K字节", 0, 0, false},
      // Sizes past 2 GB and 21 million K do not overflow.
      {3000000000LL, 6000000000LL, "已下载:2929687K字节,总共:5859375K字节,约50%", 3000000000LL, 6000000000LL, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.received) + "/" + std::to_string(c.total));
    ProgressShown p = progressShown(c.received, c.total);
    EXPECT_EQ(p.status, c.status);
    EXPECT_EQ(p.value, c.value);
    EXPECT_EQ(p.maximum, c.maximum);
    EXPECT_EQ(p.repaintNow, c.repaint);
  }
}

TEST(DownloadProgress, EndFillsTheBar) {
  ProgressShown known = progressAtEnd(100, 2048);
  EXPECT_EQ(known.value, 2048);
  EXPECT_EQ(known.maximum, 2048);
  ProgressShown unknown = progressAtEnd(4096, -1);
  EXPECT_EQ(unknown.value, 4096);
  EXPECT_EQ(unknown.maximum, 4096);
}
