#include "photo/webcam/crop_selection.h"

#include <algorithm>
#include <cstdlib>

namespace qm::photo {

bool CropSelection::contains(int x, int y) const {
  return shown_ && x >= rect_.left && x < rect_.left + rect_.width && y >= rect_.top && y < rect_.top + rect_.height;
}

void CropSelection::press(int x, int y) {
  if (!drawing_ && contains(x, y)) {
    shown_ = false;
    return;
  }
  if (drawing_) return;
  anchorX_ = x, anchorY_ = y;
  rect_ = {x, y, 0, 0};
  shown_ = true;
  drawing_ = true;
}

void CropSelection::move(int x, int y) {
  if (!drawing_) return;
  rect_ = {std::min(x, anchorX_), std::min(y, anchorY_), std::abs(x - anchorX_), std::abs(y - anchorY_)};
}

void CropSelection::release() { drawing_ = false; }

}  // namespace qm::photo
