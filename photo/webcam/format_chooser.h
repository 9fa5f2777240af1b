#pragma once
// The camera's settings in place of a capture driver's own dialogs: a list of
// the resolutions and formats the camera reports.
#include <optional>
#include <vector>

#include "photo/webcam/capture_device.h"

class QString;
class QWidget;

namespace qm {

// "640 x 480, 30 fps, YUYV"
QString formatText(const photo::CaptureFormat& format);

// Modal list with the current format selected; nothing when cancelled.
std::optional<photo::CaptureFormat> chooseCaptureFormat(QWidget* parent, const QString& title,
                                                        const std::vector<photo::CaptureFormat>& formats,
                                                        const photo::CaptureFormat& current);

}  // namespace qm
