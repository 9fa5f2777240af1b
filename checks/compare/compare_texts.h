#pragma once
// The comparison's own texts (UTF-8), shared by its window and the command
// line. Counters, parentheses, comma and colon are ASCII; "、", "。", "，" and
// "：" are full-width.
namespace qm::compare_texts {

inline constexpr const char* kSame = "相同。";
inline constexpr const char* kDifferent = "不同，分别是：";
inline constexpr const char* kNotFound = ":在基准库未找到相应数据。";
inline constexpr const char* kFoundPrefix = ":共找到";
inline constexpr const char* kFoundSuffix = "条数据。";
inline constexpr const char* kLineSeparator = "、";
inline constexpr const char* kFullStop = "。";

inline constexpr const char* kEnd = "比对结束！";
inline constexpr const char* kLogHint = "请按查询比较按钮进行比对。";

}  // namespace qm::compare_texts
