#pragma once
// The program's own version record ("FileDescription", "FileVersion",
// "ProductVersion", "LegalCopyright"), compiled in from the project version,
// and the about dialog's texts built from it.
#include <string>

namespace qm {

struct VersionRecord {
  std::string fileDescription;
  std::string fileVersion;  // four decimal numbers joined by "."
  std::string productVersion;
  std::string legalCopyright;
};

const VersionRecord& programVersionRecord();

// Label2, Label3 and Label4 of the about dialog.
struct AboutLabels {
  std::string description;  // Label2
  std::string version;      // Label3: "版本:" + FileVersion + " (" + ProductVersion + ")"
  std::string copyright;    // Label4
};
AboutLabels aboutLabels(const VersionRecord& record);

// Fixed texts of the about dialog TForm3.
inline constexpr const char* kAboutCaption = "关于";
inline constexpr const char* kAboutUpdateButton = "升级(&U)";
inline constexpr const char* kAboutQuitButton = "退出(&Q)";
inline constexpr const char* kAboutNotice =
    "本程序为学籍管理人员的辅助工具，免费使用。升级时请保持网络畅通，升级完成后程序会自动重新打开。";
// PLACEHOLDER: the publisher's web site behind Label6 (also on the companion
// tool dialog). Replace with the real address once there is one.
inline constexpr const char* kPublisherSiteUrl = "http://www.quillmere.invalid/";

}  // namespace qm
