#pragma once
// Image1 and Shape1 of the webcam window: the frozen frame stretched over
// 400 x 300 with a cross-hair cursor, and the crop rectangle's outline,
// drawn inverting what lies under it.
#include <QImage>
#include <QWidget>
#include <functional>

namespace qm {

class FrameView : public QWidget {
 public:
  explicit FrameView(QWidget* parent);
  void setFrame(const QImage& frame);

  std::function<void(int x, int y)> pressed, moved;
  std::function<void()> released;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage frame_;
};

// The outline only; mouse presses go through to the picture below, which
// decides whether they fall inside the rectangle.
class RectOutline : public QWidget {
 public:
  explicit RectOutline(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace qm
