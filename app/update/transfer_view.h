#pragma once
// What the update check and the companion download ask of their dialog:
// messages as data, the status panel, the progress bar and the controls.
#include <cstdint>
#include <string>

#include "app/update/download_progress.h"
#include "common/notice.h"

namespace qm {

class TransferView {
 public:
  virtual ~TransferView() = default;
  // Button1, Button3 and Label6 together.
  virtual void setControlsEnabled(bool enabled) = 0;
  // StatusBar1's one panel; repaintNow: paint it before returning.
  virtual void setStatus(const std::string& text, bool repaintNow) = 0;
  // ProgressBar1: range 0..maximum (0..0 while the size is unknown).
  virtual void setProgress(std::int64_t value, std::int64_t maximum) = 0;
  // A modal message box with an OK button.
  virtual void showNotice(const Notice& notice) = 0;

  // A progress report: the bar, and the status text unless it has none.
  void showProgress(const ProgressShown& p) {
    setProgress(p.value, p.maximum);
    if (!p.status.empty()) setStatus(p.status, p.repaintNow);
  }
};

}  // namespace qm
