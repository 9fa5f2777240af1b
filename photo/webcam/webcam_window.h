#pragma once
// TForm5 "摄像头拍照(测试）": the camera's live picture in the 400 x 300
// preview, a frozen frame at the camera's own size shown scaled below it, a
// crop rectangle drawn over it with the mouse, and the save.
#include <QDialog>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "photo/image/rgb_image.h"
#include "photo/webcam/capture_device.h"
#include "photo/webcam/crop_selection.h"
#include "photo/webcam/webcam_photo.h"

class QLabel;
class QPushButton;
class QTimer;

namespace qm {

class Prompts;
class FrameView;

class TForm5 : public QDialog {
  Q_OBJECT
 public:
  using Later = photo::Later;
  // Shows the camera's picture settings; apply sends each change.
  using SettingsEditor = std::function<void(const std::vector<photo::PictureSetting>& settings,
                                            const std::function<void(const std::string& key, int value)>& apply)>;
  // Chooses among the camera's formats; nothing when cancelled.
  using FormatChoice = std::function<std::optional<photo::CaptureFormat>(
      const std::vector<photo::CaptureFormat>& formats, const photo::CaptureFormat& current)>;

  // device may be null (no camera at all): no preview, the capture buttons do
  // nothing. later runs the connection retries after their pause (a timer of
  // the window by default; the window stays live while a camera answers).
  TForm5(Prompts& prompts, std::unique_ptr<photo::CaptureDevice> device, QWidget* parent = nullptr,
         Later later = {});
  ~TForm5() override;

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Image1MouseDown(int x, int y);
  void Image1MouseMove(int x, int y);
  void Image1MouseUp();

  // The format chooser (a list dialog unless a test replaces it).
  FormatChoice chooseFormat;
  // The picture settings (PictureSettingsDialog unless a test replaces it).
  SettingsEditor editSettings;

  const photo::RgbImage& frozenFrame() const { return frozen_; }
  const photo::CropSelection& selection() const { return selection_; }
  bool connected() const { return connected_; }
  // Shows the device's current frame in the preview (the timer's work).
  void refreshPreview();

  QLabel* Panel3;
  QWidget* Panel1;
  FrameView* Image1;
  QWidget* Shape1;
  QPushButton *Button3, *Button5, *Button2, *Button4, *Button1;

 protected:
  void closeEvent(QCloseEvent* event) override;  // FormCloseQuery
  void reject() override;

 private:
  void buildControls();
  void FormCreate(Later later);
  void connected(bool ok);
  void disconnectDevice();
  void showSelection();
  void chooseDeviceFormat();

  Prompts& prompts_;
  std::unique_ptr<photo::CaptureDevice> device_;
  bool connected_ = false;
  bool closed_ = false;
  QTimer* previewTimer_;
  photo::RgbImage frozen_;
  photo::CropSelection selection_;
};

}  // namespace qm
