#include "browser/transfer_panel.h"

#include <memory>

#include "browser/main_window.h"
#include "server/async_request.h"

namespace qm {

TransferCallbacks panelProgress(TForm1& form, int panel) {
  auto announced = std::make_shared<std::int64_t>(0);
  TransferCallbacks shown;
  shown.begin = [&form, panel, announced](std::int64_t size) {
    *announced = size;
    form.setPanelText(panel, QString());
  };
  shown.progress = [&form, panel, announced](std::int64_t soFar) {
    form.setPanelText(panel, QString::fromStdString(transferProgressText(soFar, *announced)));
  };
  shown.end = [&form, panel] { form.setPanelText(panel, QString::fromUtf8(kTransferDoneText)); };
  // Each call runs on the UI thread, and only while the window exists.
  return postedTo(&form, std::move(shown));
}

}  // namespace qm
