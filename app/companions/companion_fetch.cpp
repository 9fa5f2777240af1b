#include "app/companions/companion_fetch.h"

#include "app/companions/companion_tools.h"
#include "app/update/update_texts.h"

namespace qm {

CompanionFetch::CompanionFetch(std::string folder, std::string baseUrl, Downloader& downloader, CompanionView& view)
    : folder_(std::move(folder)), baseUrl_(std::move(baseUrl)), view_(view), fetch_(downloader) {}

bool CompanionFetch::start(const std::string& stem) {
  if (fetch_.running()) return false;
  view_.setControlsEnabled(false);
  view_.setStatus(kStatusDescriptorStart, false);
  const std::string path = folder_ + companionProgramFile(stem);
  FetchRequest request{companionDownloadUrl(baseUrl_, stem), path, {}, true};
  fetch_.start(
      std::move(request), [this](std::int64_t got, std::int64_t total) { view_.showProgress(progressShown(got, total)); },
      [this, path](const FetchResult& r) { arrived(r, path); });
  return true;
}

void CompanionFetch::arrived(const FetchResult& r, const std::string& path) {
  if (!r.ok()) {
    Notice failed = r.status == FetchResult::NetworkError
                        ? Notice{kNetworkErrorPrefix + r.statusLine}
                        : Notice{kFileCreateFailedText, "Quillmere", NoticeIcon::Error};
    view_.show(failed);
    if (r.status == FetchResult::NetworkError) view_.setStatus(r.statusLine, false);
    view_.setControlsEnabled(true);
    return;
  }
  view_.showProgress(progressAtEnd(r.received, r.total));
  view_.setStatus(kStatusDescriptorDone, false);
  view_.setControlsEnabled(true);
  view_.startProgram(path);
  // Last: closing may delete the dialog that owns this object.
  view_.closeDialog();
}

}  // namespace qm
