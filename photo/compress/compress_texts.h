#pragma once
// The texts of the picture compression tool.
namespace qm::photo {

inline constexpr const char* kCompressErrorTitle = "错误";
inline constexpr const char* kCompressUnreadable = "对不起，您选择的图片文件的格式无法识别！";
inline constexpr const char* kCompressSaveFailed = "保存失败，请重试或检查磁盘权限！";
inline constexpr const char* kCompressSavedAs = "压缩另存为成功！新的文件大小为";  // + size in Kb
inline constexpr const char* kCompressSaved = "压缩保存成功！新的文件大小为";      // + size in Kb
inline constexpr const char* kCompressPredicting = "正在预测...";

}  // namespace qm::photo
