// The update server: the descriptor and its signature, the new program and the companion programs.
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

std::string head(const std::string& statusLine, const std::string& contentType, const std::string& more = {}) {
  return statusLine + "\r\nContent-Type: " + contentType + "\r\n" + more + "Connection: close\r\n\r\n";
}

// The hostile answers of the download routes (RegSimOptions::updateFault).
void applyFault(const std::string& fault, Outcome& out) {
  const Response& r = out.response;
  const std::string half = r.body.substr(0, r.body.size() / 2);
  if (fault == "stall") {
    // The size announced and half sent, then nothing more while the connection stays.
    out.raw = head("HTTP/1.1 200 OK", r.contentType, "Content-Length: " + std::to_string(r.body.size()) + "\r\n") + half;
    out.holdAfterRaw = true;
  } else if (fault == "endless") {
    out.endless = true;
  } else if (fault == "close-early") {
    // No length and no chunks: only the closed connection ends the body, half way.
    out.raw = head("HTTP/1.1 200 OK", r.contentType) + half;
  } else if (fault == "early-hints") {
    out.raw = "HTTP/1.1 103 Early Hints\r\nLink: </update/style.css>; rel=preload\r\n\r\n" +
              serializeResponse(r, false);
  }
}

}  // namespace

Outcome RegSim::Impl::handleUpdate(const RawRequest& r) {
  Outcome out;
  const std::string name = r.path.substr(std::string(kUpdatePrefix).size());
  bool download = false;
  if (name == "quillmereup.txt" || name == "quillmereup.ini") {
    out.response.contentType = "text/plain";
    out.response.body = descriptorBytes;
  } else if (name == "quillmereup.sig") {
    if (options.updateUnsigned || signatureText.empty()) {
      out.response.status = 404;
      out.response.body = notFoundPage();
      return out;
    }
    out.response.contentType = "text/plain";
    out.response.body = signatureText + "\n";
  } else {
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
    download = true;
  }
  const bool faulty = options.updateFaultFile.empty() ? download : name == options.updateFaultFile;
  if (faulty && !options.updateFault.empty()) applyFault(options.updateFault, out);
  return out;
}

}  // namespace qm::sim
