#pragma once
// The three companion programs started from the tool column ("合并", "录入",
// "体测"), fetched from the update server on first use and run beside the program.
#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace qm {

struct CompanionTool {
  const char* button;       // FlatButton24, FlatButton25, FlatButton27
  const char* caption;
  const char* checkedStem;  // the program the button looks for
  const char* downloadStem; // CompanionToolName: the file on the server and the one saved
  const char* displayName;  // Label2 of the dialog
};

// "录入" looks for "drumsap" but downloads "drumsel": it keeps offering the
// download until a file of the name it looks for appears.
const std::array<CompanionTool, 3>& companionTools();
const CompanionTool* companionToolForButton(std::string_view button);
// Label2's text for a CompanionToolName; none for any other value.
std::optional<std::string> companionDisplayName(std::string_view stem);

enum class TargetOs { Windows, Linux };
#ifdef _WIN32
inline constexpr TargetOs kThisOs = TargetOs::Windows;
#else
inline constexpr TargetOs kThisOs = TargetOs::Linux;
#endif

// A program's file name for a stem: stem + ".exe" on Windows, the stem alone on Linux.
std::string companionProgramFile(std::string_view stem, TargetOs os = kThisOs);

// The tool button: the full path of the program to start when it lies in the
// program's folder (folder ends in its separator), or nothing when the
// dialog must offer the download.
std::optional<std::string> installedCompanion(const CompanionTool& tool, const std::string& folder,
                                              TargetOs os = kThisOs);

// The download of a tool: base + stem + ".jpg".
std::string companionDownloadUrl(const std::string& baseUrl, std::string_view stem);

// Texts of the dialog TForm11.
inline constexpr const char* kCompanionCaption = "功能扩展";
inline constexpr const char* kCompanionExplanation =
    "    我们的Quillmere功能越来越强大了！但却有些违背开发之初所定的小巧原则，该怎么办？为了在功能与大小之间做好平衡，"
    "功能扩展模块横空出世！让一些不太常用的功能，只有在你第一次使用时来下载安装，并独立于主程序外运行。很棒的主意，不是吗？";
inline constexpr const char* kCompanionLabel1 = "本次您即将要扩展的功能是：";
inline constexpr const char* kCompanionLabel3 = "如果您确认扩展，请点击→";
inline constexpr const char* kCompanionFetchButton = "扩展(&U)";
inline constexpr const char* kCompanionQuitButton = "退出(&Q)";

}  // namespace qm
