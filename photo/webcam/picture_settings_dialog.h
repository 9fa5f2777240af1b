#pragma once
// "调节画质": the camera's picture settings in place of a capture driver's
// video source dialog. A slider per setting, a check box per switch; every
// change goes to the camera at once, as the driver's dialog did, and the
// dialog closes with "关闭".
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "photo/webcam/capture_device.h"

namespace qm {

class PictureSettingsDialog : public QDialog {
  Q_OBJECT
 public:
  // apply(key, value) sends one change to the camera.
  using Apply = std::function<void(const std::string& key, int value)>;
  PictureSettingsDialog(QWidget* parent, const QString& title, const std::vector<photo::PictureSetting>& settings,
                        Apply apply);
};

}  // namespace qm
