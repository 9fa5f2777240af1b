#include "app/update/update_check.h"

#include <cerrno>
#include <unistd.h>

#include "app/update/update_source.h"
#include "app/update/update_texts.h"
#include "app/update/version_compare.h"
#include "common/atomic_file.h"
#include "common/trim.h"

namespace qm {

Notice newVersionQuestion(const UpdateDescriptor& d) {
  return {"新版本" + d.ver + "已经发布，是否升级？\r主要更新：\r" + d.sjxx, kNewVersionTitle, NoticeIcon::Question};
}

UpdateDecision decideUpdate(const UpdateDescriptor& d, const std::string& runningVersion, bool automatic) {
  auto stop = [](Notice n) { return UpdateDecision{UpdateDecision::Stop, std::move(n)}; };
  const std::string ver = trimLow(d.ver);
  const std::string running = trimLow(runningVersion);
  if (ver.empty()) return stop({kNoUpdateVersionText, kErrorTitle, NoticeIcon::None});
  if (running.empty()) return stop({kNoRunningVersionText, kErrorTitle, NoticeIcon::None});
  VersionComparison cmp = compareVersions(ver, running);
  if (!cmp.ok()) return stop({cmp.error, "Quillmere", NoticeIcon::Error});
  if (!cmp.newer) {
    if (automatic) return {UpdateDecision::StopSilently, {}};
    return stop({kUpToDateText, kInfoTitle, NoticeIcon::Information});
  }
  // Nothing is downloaded that could not be placed safely or verified.
  if (!isPlainFileStem(d.filename)) return stop({kBadFileNameText, kErrorTitle, NoticeIcon::Error});
  if (!isSha256Hex(d.sha256)) return stop({kBadSignatureText, kErrorTitle, NoticeIcon::Error});
  return {UpdateDecision::Ask, newVersionQuestion(d)};
}

namespace {
// One update at a time in the process: the hidden start-up check and an about
// dialog's must never both download and start a script.
bool gUpdateUnderWay = false;
}  // namespace

bool updateUnderWay() { return gUpdateUnderWay; }

UpdateCheck::UpdateCheck(UpdateSetup setup, Downloader& downloader, UpdateView& view, bool& autoUpdateCheck)
    : setup_(std::move(setup)), view_(view), autoUpdateCheck_(autoUpdateCheck), fetch_(downloader) {}

UpdateCheck::~UpdateCheck() {
  fetch_.cancel();
  if (updating_) gUpdateUnderWay = false;
}

std::string UpdateCheck::folder() const { return scriptInputsFor(setup_.programPath, {}, 0).folder; }

bool UpdateCheck::start() {
  if (running_ || gUpdateUnderWay) return false;
  running_ = true;
  view_.setControlsEnabled(false);
  view_.setStatus(kStatusDescriptorStart, false);
  descriptorFetch_.start(
      folder(), setup_.baseUrl, setup_.publicKey,
      [this](std::int64_t got, std::int64_t total) { view_.showProgress(progressShown(got, total)); },
      [this](const SignedDescriptor& d) { descriptorArrived(d); });
  return true;
}

void UpdateCheck::cancel() {
  if (!running_) return;
  fetch_.cancel();
  stop(nullptr);
}

void UpdateCheck::descriptorArrived(const SignedDescriptor& d) {
  switch (d.status) {
    case SignedDescriptor::Ok:
      break;
    case SignedDescriptor::NoKey: {
      Notice failed{kNoPublicKeyText, "Quillmere", NoticeIcon::Error};
      if (!autoUpdateCheck_) view_.showNotice(failed);
      return stop(nullptr);
    }
    case SignedDescriptor::NetworkError: {
      Notice failed{kNetworkErrorPrefix + d.statusLine};
      if (!autoUpdateCheck_) view_.showNotice(failed);
      view_.setStatus(d.statusLine, false);
      return stop(nullptr);
    }
    case SignedDescriptor::FileError: {
      // The descriptor cannot be saved beside the program: quiet at start-up, as a failed download is.
      Notice failed{kFileCreateFailedText, "Quillmere", NoticeIcon::Error};
      if (!autoUpdateCheck_) view_.showNotice(failed);
      return stop(nullptr);
    }
    case SignedDescriptor::BadSignature: {
      // Someone may be tampering: said in both modes.
      Notice failed{kBadSignatureText, kErrorTitle, NoticeIcon::Error};
      return stop(&failed);
    }
  }
  view_.showProgress(progressAtEnd(d.received, d.total));
  view_.setStatus(kStatusDescriptorDone, false);
  descriptor_ = parseUpdateDescriptor(d.bytes);
  UpdateDecision decision = decideUpdate(descriptor_, setup_.runningVersion, autoUpdateCheck_);
  if (decision.kind == UpdateDecision::StopSilently) return stop(nullptr);
  if (decision.kind == UpdateDecision::Stop) return stop(&decision.notice);
  // Another dialog's check took the update while this one fetched.
  if (gUpdateUnderWay) return stop(nullptr);
  autoUpdateCheck_ = false;
  if (!view_.ask(decision.notice)) return stop(nullptr);
  if (gUpdateUnderWay) return stop(nullptr);
  gUpdateUnderWay = updating_ = true;

  view_.reveal();
  view_.setStatus(kStatusProgramStart, false);
  FetchRequest request{updateFileUrl(setup_.baseUrl, descriptor_.filename + ".jpg"),
                       folder() + descriptor_.filename + ".bak", descriptor_.sha256, true, kMaxProgramBytes};
  fetch_.start(
      std::move(request), [this](std::int64_t got, std::int64_t total) { view_.showProgress(progressShown(got, total)); },
      [this](const FetchResult& r) { programArrived(r); });
}

void UpdateCheck::programArrived(const FetchResult& r) {
  if (r.ok()) view_.showProgress(progressAtEnd(r.received, r.total));
  switch (r.status) {
    case FetchResult::Ok:
      break;
    case FetchResult::NetworkError: {
      Notice failed{kNetworkErrorPrefix + r.statusLine};
      view_.setStatus(r.statusLine, false);
      return stop(&failed);
    }
    case FetchResult::HashMismatch: {
      Notice failed{kBadSignatureText, kErrorTitle, NoticeIcon::Error};
      return stop(&failed);
    }
    case FetchResult::FileError: {
      Notice failed{kFileCreateFailedText, "Quillmere", NoticeIcon::Error};
      return stop(&failed);
    }
  }
  view_.setStatus(kStatusProgramDone, true);

  UpdateScript script = updateScriptForThisPlatform(scriptInputsFor(setup_.programPath, descriptor_.filename, setup_.pid));
  const std::string scriptPath = folder() + script.fileName;
  Notice cannotWrite{kFileCreateFailedText, "Quillmere", NoticeIcon::Error};
  if (::unlink(scriptPath.c_str()) != 0 && errno != ENOENT) return stop(&cannotWrite);
  if (!saveFileAtomically(scriptPath, script.bytes)) return stop(&cannotWrite);
  if (!view_.startScript(script.command)) {
    // The download stays verified as D + F + ".bak"; the old program keeps running.
    ::unlink(scriptPath.c_str());
    Notice failed{kScriptStartFailedText, kErrorTitle, NoticeIcon::Error};
    return stop(&failed);
  }
  // The script now owns the update: no other check starts one while this check lives.
  handedOver_ = true;
  stop(nullptr);
  // Last: closing the main window may take this check's dialog with it.
  view_.requestMainWindowClose();
}

void UpdateCheck::stop(const Notice* notice) {
  if (updating_ && !handedOver_) gUpdateUnderWay = updating_ = false;
  if (notice) view_.showNotice(*notice);
  view_.setControlsEnabled(true);
  autoUpdateCheck_ = false;
  running_ = false;
}

}  // namespace qm
