// The update server: the descriptor, the new program and the companion programs.
#include "sim/pages.h"
#include "sim/regsim_impl.h"
#include "sim/update_files.h"

namespace qm::sim {
namespace {

// The stem of a download name: "<stem>.jpg", "<stem>.exe" or "<stem>"; ext says which.
std::string stemOf(const std::string& name, std::string& ext) {
  for (const char* e : {".jpg", ".exe"}) {
    const std::string suffix = e;
    if (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
      ext = suffix;
      return name.substr(0, name.size() - suffix.size());
    }
  }
  ext.clear();
  return name;
}

}  // namespace

Outcome RegSim::Impl::handleUpdate(const RawRequest& r) {
  Outcome out;
  const std::string name = r.path.substr(std::string(kUpdatePrefix).size());
  if (name == "quillmereup.txt" || name == "quillmereup.ini") {
    out.response.contentType = "text/plain";
    out.response.body = updateDescriptor(
        {announcedVersion, options.updateNoSection, options.updateWrongHash, updateProgram});
    return out;
  }
  std::string ext;
  const std::string stem = stemOf(name, ext);
  if (stem == kUpdateProgramStem && !updateProgram.empty()) {
    out.response.body = updateProgram;
  } else if (isCompanionStem(stem)) {
    out.response.body = standInCompanion(stem);
  } else {
    out.response.status = 404;
    out.response.body = notFoundPage();
    return out;
  }
  // The publisher's server names programs .jpg and so serves them as pictures.
  out.response.contentType = ext == ".jpg" ? "image/jpeg" : "application/octet-stream";
  if (options.updateDropDownload) out.bodyCut = static_cast<long long>(out.response.body.size() / 2);
  return out;
}

}  // namespace qm::sim
