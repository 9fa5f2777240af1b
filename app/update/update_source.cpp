#include "app/update/update_source.h"

#include "common/profile_file.h"
#include "common/trim.h"

namespace qm {

std::string normalizeBaseUrl(std::string_view text) {
  std::string url = trimLow(text);
  if (url.empty()) return url;
  if (url.find("://") == std::string::npos) url = "http://" + url;
  if (url.back() != '/') url += '/';
  return url;
}

std::string updateBaseUrl(const std::string& settingsPath) {
  std::string configured = normalizeBaseUrl(ProfileFile(settingsPath).read(kUpdateSection, kUpdateUrlKey));
  return configured.empty() ? std::string(kUpdateServerPlaceholder) : configured;
}

std::string updateFileUrl(const std::string& base, std::string_view name) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string url = base;
  for (char c : name) {
    auto u = static_cast<unsigned char>(c);
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                 c == '.' || c == '_' || c == '~';
    if (plain) {
      url += c;
    } else {
      url += '%';
      url += kHex[u >> 4];
      url += kHex[u & 15];
    }
  }
  return url;
}

}  // namespace qm
