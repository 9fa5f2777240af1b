#include "app/companions/companion_tools.h"

#include <sys/stat.h>

#include "app/update/update_source.h"

namespace qm {

const std::array<CompanionTool, 3>& companionTools() {
  static const std::array<CompanionTool, 3> tools{{
      {"FlatButton24", "合并", "pellow", "pellow", "Pellowin"},
      {"FlatButton25", "录入", "drumsap", "drumsel", "Drumselle"},
      {"FlatButton27", "体测", "quorrit", "quorrit", "Quorritan"},
  }};
  return tools;
}

const CompanionTool* companionToolForButton(std::string_view button) {
  for (const CompanionTool& t : companionTools())
    if (button == t.button) return &t;
  return nullptr;
}

std::optional<std::string> companionDisplayName(std::string_view stem) {
  for (const CompanionTool& t : companionTools())
    if (stem == t.downloadStem) return std::string(t.displayName);
  return std::nullopt;
}

std::string companionProgramFile(std::string_view stem, TargetOs os) {
  return std::string(stem) + (os == TargetOs::Windows ? ".exe" : "");
}

std::optional<std::string> installedCompanion(const CompanionTool& tool, const std::string& folder, TargetOs os) {
  std::string path = folder + companionProgramFile(tool.checkedStem, os);
  struct stat st {};
  // A folder of that name is no program.
  if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return std::nullopt;
  return path;
}

std::string companionDownloadUrl(const std::string& baseUrl, std::string_view stem) {
  return updateFileUrl(baseUrl, std::string(stem) + ".jpg");
}

}  // namespace qm
