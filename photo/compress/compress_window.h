#pragma once
// TForm10 "简易图片压缩": one JPEG or BMP picture, new pixel sizes (kept in
// proportion on request), a JPEG quality, the predicted size, and the saves.
// The window shows what its CompressModel holds.
#include <QDialog>

#include "photo/compress/compress_model.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace qm {

class Prompts;

class TForm10 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm10(Prompts& prompts, QWidget* parent = nullptr);

  void Button4Click();
  void RzSpinEdit1Change();
  void RzSpinEdit2Change();
  void CheckBox2Click();
  void TrackBar1Change();
  void Button5Click();
  void Button1Click();
  void Button2Click();
  void Button3Click();

  const photo::CompressModel& model() const { return model_; }

  QPushButton* Button4;
  QLabel* Image1;
  QLabel *Label11, *Label10, *Label9;
  QSpinBox *RzSpinEdit1, *RzSpinEdit2;
  QCheckBox* CheckBox2;
  QSlider* TrackBar1;
  QLabel *Label5, *Label6;
  QPushButton *Button5, *Button1, *Button2, *Button3;

 private:
  void buildControls();
  // Puts the model's picture, labels, boxes and quality on the controls.
  void showModel();
  void showBoxes();

  Prompts& prompts_;
  photo::CompressModel model_;
  bool showing_ = false;  // the window itself is setting the controls
};

}  // namespace qm
