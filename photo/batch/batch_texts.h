#pragma once
// The texts of the batch photo run, shared by the window and the command line.
#include <string>

namespace qm::photo {

inline constexpr const char* kBatchLogStart = "任务日志：";
inline constexpr const char* kBatchSourceMissing = "原图未找到，放弃！进行下一个学生的处理。";
inline constexpr const char* kBatchPhotoFailed = "照片处理失败，放弃！进行下一个学生的处理。";
inline constexpr const char* kBatchPhotoDone = "照片处理成功！进行下一个学生的处理。";
// A photo or ID number that would lead out of the chosen folders.
inline constexpr const char* kBatchBadName = "照片号或身份证件号不能用作文件名，放弃！进行下一个学生的处理。";
inline constexpr const char* kBatchStopped = "任务停止！";
inline constexpr const char* kBatchFinished = "任务完成！";

// Message boxes titled "错误".
inline constexpr const char* kBatchErrorTitle = "错误";
inline constexpr const char* kBatchNoListMessage = "对应数据库没有选择，任务不能进行！";
inline constexpr const char* kBatchBadListMessage = "选取的对应数据库有问题，不能打开或识别！";
inline constexpr const char* kBatchMissingColumnsMessage =
    "    数据库可能没有“照片号”和“身份证件号”\r两个字段或名称有差别，任务不能进行！";

inline constexpr const char* kPhotoNumberColumn = "照片号";
inline constexpr const char* kIdNumberColumn = "身份证件号";

inline std::string batchStudentLine(int record) { return "第" + std::to_string(record) + "名学生:正在查找原图；"; }

inline std::string batchCountLine(bool stopped, int total, int ok, int failed) {
  return "此次任务共有" + std::to_string(total) + "张相片需要处理，" + (stopped ? "当前" : "其中") +
         std::to_string(ok) + "张处理成功，" + std::to_string(failed) + "张处理失败。";
}

}  // namespace qm::photo
