#pragma once
// "扩展(&U)": downloads the tool into the program's folder, lands it only when
// complete (with its run bit on Linux), starts it and closes the dialog. A
// failed download shows "网络出错！" + the status line and leaves nothing behind.
#include <string>

#include "app/update/downloader.h"
#include "app/update/file_fetch.h"
#include "app/update/transfer_view.h"

namespace qm {

class CompanionView : public TransferView {
 public:
  // Starts the program detached in a normal window; not checked, as the shell's "open" was not.
  virtual void startProgram(const std::string& path) = 0;
  virtual void closeDialog() = 0;
};

class CompanionFetch {
 public:
  // folder: the program's folder with its trailing separator; baseUrl: updateBaseUrl().
  CompanionFetch(std::string folder, std::string baseUrl, Downloader& downloader, CompanionView& view);

  // stem: CompanionToolName. False, doing nothing, while a download runs.
  bool start(const std::string& stem);
  bool running() const { return fetch_.running(); }

 private:
  void arrived(const FetchResult& r, const std::string& path);

  std::string folder_, baseUrl_;
  CompanionView& view_;
  FileFetch fetch_;
};

}  // namespace qm
