#include "app/update/update_descriptor.h"

#include "common/profile_file.h"
#include "common/trim.h"

namespace qm {

UpdateDescriptor readUpdateDescriptor(const std::string& path) {
  ProfileFile file(path);
  return {file.read(kDescriptorSection, "filename"), file.read(kDescriptorSection, "ver"),
          file.read(kDescriptorSection, "sjxx"), trimLow(file.read(kDescriptorSection, "sha256"))};
}

UpdateDescriptor parseUpdateDescriptor(std::string_view bytes) {
  return {profileRead(bytes, kDescriptorSection, "filename"), profileRead(bytes, kDescriptorSection, "ver"),
          profileRead(bytes, kDescriptorSection, "sjxx"), trimLow(profileRead(bytes, kDescriptorSection, "sha256"))};
}

std::string companionHash(std::string_view descriptorBytes, const std::string& stem) {
  return trimLow(profileRead(descriptorBytes, kCompanionsSection, stem));
}

bool isSha256Hex(std::string_view text) {
  if (text.size() != 64) return false;
  for (char c : text)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
  return true;
}

bool isPlainFileStem(std::string_view stem) {
  if (stem.empty() || stem == "." || stem == "..") return false;
  for (char c : stem) {
    auto u = static_cast<unsigned char>(c);
    if (u < 32 || u == 127 || c == '/' || c == '\\' || c == ':') return false;
  }
  return true;
}

}  // namespace qm
