#pragma once
// Where updates and companion tools come from: the update server's base
// address (http, ending in "/") and the addresses of the files below it.
#include <string>
#include <string_view>

namespace qm {

// PLACEHOLDER update server: the reserved ".invalid" domain never resolves, so
// until the publisher's server is known only the settings key below reaches one.
inline constexpr const char* kUpdateServerPlaceholder = "http://update.quillmere.invalid/";

// Optional key of the settings file "quillmeresz.ini" that replaces the
// placeholder (the demo and the tests point it at the substitute server).
inline constexpr const char* kUpdateSection = "升级";
inline constexpr const char* kUpdateUrlKey = "url";

// The base address: the settings key when it holds anything, else the placeholder.
std::string updateBaseUrl(const std::string& settingsPath);

// A configured address made into a base address: trimmed, "http://" put in front
// when it names no scheme, "/" added when it does not end in one. Empty stays empty.
std::string normalizeBaseUrl(std::string_view text);

// base + name, the name percent-encoded as one path segment (any byte but
// letters, digits and "-._~").
std::string updateFileUrl(const std::string& base, std::string_view name);

}  // namespace qm
