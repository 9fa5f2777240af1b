#pragma once
// Status texts and messages of the update check (also used by the companion
// tool download, which shows the same status texts).
namespace qm {

inline constexpr const char* kStatusDescriptorStart = "升级配置文件开始下载";
inline constexpr const char* kStatusDescriptorDone = "下载升级配置文件完成";
inline constexpr const char* kStatusProgramStart = "主程序文件开始下载";
inline constexpr const char* kStatusProgramDone = "下载主程序文件完成";

inline constexpr const char* kNetworkErrorPrefix = "网络出错！";  // + the last status line
inline constexpr const char* kErrorTitle = "错误";
inline constexpr const char* kNoUpdateVersionText = "无法获取升级文件版本！";
inline constexpr const char* kNoRunningVersionText = "无法获取当前文件版本！";
inline constexpr const char* kInfoTitle = "信息";
inline constexpr const char* kUpToDateText = "您所使用的已经是最新版本！";
inline constexpr const char* kNewVersionTitle = "新版本提醒";
inline constexpr const char* kFileCreateFailedText = "文件创建失败，请检查磁盘权限后再试！";

// Ours: the signature and checksums, the descriptor's file name, and the script start.
inline constexpr const char* kNoPublicKeyText = "没有配置升级签名公钥，无法验证升级文件。";
inline constexpr const char* kBadSignatureText = "升级文件的签名或校验不正确，已停止升级。";
inline constexpr const char* kBadFileNameText = "升级配置文件给出的文件名无效，已停止升级！";
inline constexpr const char* kScriptStartFailedText = "升级脚本无法启动，已停止升级！";

}  // namespace qm
