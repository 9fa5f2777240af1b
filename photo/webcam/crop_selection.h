#pragma once
// The crop rectangle drawn with the mouse over the frozen frame, in the
// coordinates of the 400 x 300 picture (any mouse button). The pointer is
// captured while a button is down, so the rectangle may reach past the
// picture on any side.
#include "photo/image/crop_rules.h"

namespace qm::photo {

class CropSelection {
 public:
  // A press on the picture: over the shown rectangle it hides the rectangle;
  // otherwise, when not drawing, a new rectangle starts there.
  void press(int x, int y);
  void move(int x, int y);
  void release();

  bool shown() const { return shown_; }
  bool drawing() const { return drawing_; }
  const ShownRect& rect() const { return rect_; }
  // The rectangle for webcamCrop, or null when none is shown.
  const ShownRect* forSave() const { return shown_ ? &rect_ : nullptr; }
  // Within the rectangle's bounds (where a press reaches the rectangle, not the picture).
  bool contains(int x, int y) const;

 private:
  ShownRect rect_;
  int anchorX_ = 0, anchorY_ = 0;
  bool shown_ = false, drawing_ = false;
};

}  // namespace qm::photo
