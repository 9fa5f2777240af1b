#pragma once
// What the settings dialog TForm8 reads when it opens and writes on "设置".
// Each call opens the settings file afresh; nothing is cached.
#include <optional>
#include <string>
#include <string_view>

namespace qm {

// Texts of the dialog.
inline constexpr const char* kSettingsCaption = "设置省份与登录名（自动打开各省系统）";
inline constexpr const char* kSettingsLoginLabel = "登录用户名：";                        // Label2
inline constexpr const char* kSettingsNotice = "注意：设置后，请退出浏览器重新打开才生效！";  // Label1
inline constexpr const char* kSettingsSaveButton = "设置";                               // Button1
inline constexpr const char* kSettingsQuitButton = "退出";                               // Button2
inline constexpr const char* kSettingsSavedText = "设置成功!重启浏览器后将生效。";

struct SettingsFormState {
  int checkedCode = 1;        // the radio button to check: 1..23 or 99
  std::string customAddress;  // Edit3
  std::string loginName;      // Edit1
  // "Unable to write to <path>" when a repair of the code could not be
  // written; the dialog shows it and opens with the values above.
  std::string error;
};

// FormCreate: reads the code, the custom address and the login name; an empty
// code, or one that names no button ("07", "24", "abc"), checks RadioButton1
// and is repaired to "1" in the file.
SettingsFormState openSettingsForm(const std::string& settingsPath);

// The code "设置" writes: the checked button's number, "1" when none is checked.
std::string provinceCodeToSave(std::optional<int> checkedCode);

struct SettingsSaveResult {
  bool ok = false;
  std::string message;  // kSettingsSavedText, or the error "Unable to write to <path>" (error icon)
};

// Button1Click: writes "xjxtsf", then "zdurl" and "denglu" trimmed of
// characters up to 32 at both ends; stops at the first key that cannot be written.
SettingsSaveResult saveSettingsForm(const std::string& settingsPath, std::optional<int> checkedCode,
                                    std::string_view customAddress, std::string_view loginName);

}  // namespace qm
