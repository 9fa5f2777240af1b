#include "app/companions/companion_fetch.h"

#include "app/companions/companion_tools.h"
#include "app/update/update_descriptor.h"
#include "app/update/update_texts.h"

namespace qm {

CompanionFetch::CompanionFetch(std::string folder, std::string baseUrl, std::string publicKey, Downloader& downloader,
                               CompanionView& view)
    : folder_(std::move(folder)),
      baseUrl_(std::move(baseUrl)),
      publicKey_(std::move(publicKey)),
      view_(view),
      fetch_(downloader) {}

bool CompanionFetch::start(const std::string& stem) {
  if (running_) return false;
  running_ = true;
  stem_ = stem;
  path_ = folder_ + companionProgramFile(stem);
  view_.setControlsEnabled(false);
  view_.setStatus(kStatusDescriptorStart, false);
  descriptorFetch_.start(
      folder_, baseUrl_, publicKey_,
      [this](std::int64_t got, std::int64_t total) { view_.showProgress(progressShown(got, total)); },
      [this](const SignedDescriptor& d) { descriptorArrived(d); });
  return true;
}

void CompanionFetch::cancel() {
  if (!running_) return;
  fetch_.cancel();
  running_ = false;
  view_.setControlsEnabled(true);
}

void CompanionFetch::fail(const Notice& notice) {
  running_ = false;
  view_.showNotice(notice);
  view_.setControlsEnabled(true);
}

void CompanionFetch::descriptorArrived(const SignedDescriptor& d) {
  switch (d.status) {
    case SignedDescriptor::Ok:
      break;
    case SignedDescriptor::NoKey:
      return fail({kNoPublicKeyText, "Quillmere", NoticeIcon::Error});
    case SignedDescriptor::NetworkError:
      view_.setStatus(d.statusLine, false);
      return fail({kNetworkErrorPrefix + d.statusLine});
    case SignedDescriptor::FileError:
      return fail({kFileCreateFailedText, "Quillmere", NoticeIcon::Error});
    case SignedDescriptor::BadSignature:
      return fail({kBadSignatureText, kErrorTitle, NoticeIcon::Error});
  }
  // A tool the signed descriptor gives no hash for is not fetched at all.
  const std::string hash = companionHash(d.bytes, stem_);
  if (!isSha256Hex(hash)) return fail({kBadSignatureText, kErrorTitle, NoticeIcon::Error});
  FetchRequest request{companionDownloadUrl(baseUrl_, stem_), path_, hash, true, kMaxProgramBytes};
  fetch_.start(
      std::move(request), [this](std::int64_t got, std::int64_t total) { view_.showProgress(progressShown(got, total)); },
      [this](const FetchResult& r) { arrived(r); });
}

void CompanionFetch::arrived(const FetchResult& r) {
  switch (r.status) {
    case FetchResult::Ok:
      break;
    case FetchResult::NetworkError:
      view_.setStatus(r.statusLine, false);
      return fail({kNetworkErrorPrefix + r.statusLine});
    case FetchResult::HashMismatch:
      return fail({kBadSignatureText, kErrorTitle, NoticeIcon::Error});
    case FetchResult::FileError:
      return fail({kFileCreateFailedText, "Quillmere", NoticeIcon::Error});
  }
  running_ = false;
  view_.showProgress(progressAtEnd(r.received, r.total));
  view_.setStatus(kStatusDescriptorDone, false);
  view_.setControlsEnabled(true);
  view_.startProgram(path_);
  // Last: closing may delete the dialog that owns this object.
  view_.closeDialog();
}

}  // namespace qm
