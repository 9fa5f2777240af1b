#pragma once
// Names in the settings file "quillmeresz.ini" beside the program: one key per section.
namespace qm {

inline constexpr const char* kSettingsFileName = "quillmeresz.ini";
// ProvinceCode: "1" to "23", or "99" for the custom address.
inline constexpr const char* kProvinceSection = "学籍系统省份";
inline constexpr const char* kProvinceKey = "xjxtsf";
// The custom server address used with code 99: host or host:port.
inline constexpr const char* kCustomAddressSection = "自定义网址";
inline constexpr const char* kCustomAddressKey = "zdurl";
// The login name written into the login page.
inline constexpr const char* kLoginSection = "登录用户";
inline constexpr const char* kLoginKey = "denglu";

}  // namespace qm
