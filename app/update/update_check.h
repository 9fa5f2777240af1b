#pragma once
// The update check behind "升级(&U)" and the start-up timer: fetch the
// descriptor, compare versions, ask, fetch and verify the new program, write
// the update script, start it and ask the main window to close. In automatic
// mode a failed descriptor download, a missing key and "up to date" pass
// without a message; a wrong signature or hash never does.
#include <memory>
#include <string>

#include "app/update/downloader.h"
#include "app/update/file_fetch.h"
#include "app/update/signed_descriptor.h"
#include "app/update/transfer_view.h"
#include "app/update/update_descriptor.h"
#include "app/update/update_script.h"

namespace qm {

class UpdateView : public virtual TransferView {
 public:
  // Modal Yes/No question; true for Yes.
  virtual bool ask(const Notice& question) = 0;
  // Shows the dialog, modeless; a check that started by itself becomes visible.
  virtual void reveal() = 0;
  // Starts the script detached; false when it could not be started.
  virtual bool startScript(const ScriptCommand& command) = 0;
  // The main window's close request (it may refuse; the script waits).
  virtual void requestMainWindowClose() = 0;
};

struct UpdateSetup {
  std::string programPath;     // the running program's full path; its folder receives every file
  std::string baseUrl;         // the update server, ending in "/" (updateBaseUrl)
  std::string runningVersion;  // "FileVersion" of the running program
  long long pid = 0;           // the running program, which the script waits for
  std::string publicKey;       // Base64 of the publisher's Ed25519 key (updatePublicKey); empty: none
};

// The question when a newer version is announced: "新版本" + ver +
// "已经发布，是否升级？" CR "主要更新：" CR + sjxx, titled "新版本提醒".
Notice newVersionQuestion(const UpdateDescriptor& d);

// What the check does once the descriptor is in: stop with a message, stop
// silently, or ask about the update.
struct UpdateDecision {
  enum Kind { Stop, StopSilently, Ask } kind = Stop;
  Notice notice;  // the message (Stop) or the question (Ask)
};
UpdateDecision decideUpdate(const UpdateDescriptor& d, const std::string& runningVersion, bool automatic);

class UpdateCheck {
 public:
  // autoUpdateCheck is the run's flag (AppState::autoUpdateCheck): set by the
  // start-up timer before start(), cleared when a newer version is found and
  // when the check ends.
  UpdateCheck(UpdateSetup setup, Downloader& downloader, UpdateView& view, bool& autoUpdateCheck);
  ~UpdateCheck();  // a running download is cancelled and its temporary file deleted

  // False, doing nothing, while a check runs or while any check of this
  // process has an update under way (from the Yes to the script's start).
  bool start();
  bool running() const { return running_; }
  // Ends a running check: its download stops and its temporary file goes;
  // the controls come back and no message is shown.
  void cancel();
  const UpdateSetup& setup() const { return setup_; }

 private:
  void descriptorArrived(const SignedDescriptor& d);
  void programArrived(const FetchResult& r);
  void stop(const Notice* notice);
  std::string folder() const;

  UpdateSetup setup_;
  UpdateView& view_;
  bool& autoUpdateCheck_;
  FileFetch fetch_;
  SignedDescriptorFetch descriptorFetch_{fetch_};
  UpdateDescriptor descriptor_;
  bool running_ = false;
  bool updating_ = false;    // this check holds the process's one update
  bool handedOver_ = false;  // its script runs: the hold lasts as long as this check
};

// True while some check of this process has an update under way.
bool updateUnderWay();

}  // namespace qm
