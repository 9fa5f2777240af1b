#pragma once
// "扩展(&U)": fetches and verifies the signed descriptor, then downloads the
// tool into the program's folder and lands it only when its SHA-256 is the one
// the descriptor's [companions] gives (with its run bit on Linux), starts it
// and closes the dialog. A failed download shows "网络出错！" + the status line,
// a wrong signature or hash "升级文件的签名或校验不正确，已停止升级。"; either
// leaves nothing behind but the descriptor and its signature.
#include <string>

#include "app/update/downloader.h"
#include "app/update/file_fetch.h"
#include "app/update/signed_descriptor.h"
#include "app/update/transfer_view.h"

namespace qm {

class CompanionView : public virtual TransferView {
 public:
  // Starts the program detached in a normal window; not checked, as the shell's "open" was not.
  virtual void startProgram(const std::string& path) = 0;
  virtual void closeDialog() = 0;
};

class CompanionFetch {
 public:
  // folder: the program's folder with its trailing separator; baseUrl:
  // updateBaseUrl(); publicKey: updatePublicKey(), empty when none is set.
  CompanionFetch(std::string folder, std::string baseUrl, std::string publicKey, Downloader& downloader,
                 CompanionView& view);

  // stem: CompanionToolName. False, doing nothing, while a download runs.
  bool start(const std::string& stem);
  bool running() const { return running_; }
  // Ends a running download, deleting its temporary file; the controls come back.
  void cancel();

 private:
  void descriptorArrived(const SignedDescriptor& d);
  void arrived(const FetchResult& r);
  void fail(const Notice& notice);

  std::string folder_, baseUrl_, publicKey_;
  CompanionView& view_;
  FileFetch fetch_;
  SignedDescriptorFetch descriptorFetch_{fetch_};
  std::string stem_, path_;
  bool running_ = false;
};

}  // namespace qm
