#include "photo/webcam/frame_view.h"

#include <QMouseEvent>
#include <QPainter>

namespace qm {

FrameView::FrameView(QWidget* parent) : QWidget(parent) { setCursor(Qt::CrossCursor); }

void FrameView::setFrame(const QImage& frame) {
  frame_ = frame;
  update();
}

void FrameView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (frame_.isNull())
    painter.fillRect(rect(), palette().window());
  else
    painter.drawImage(rect(), frame_);  // stretched, proportions not kept
}

void FrameView::mousePressEvent(QMouseEvent* event) {
  if (pressed) pressed(event->position().toPoint().x(), event->position().toPoint().y());
}

void FrameView::mouseMoveEvent(QMouseEvent* event) {
  if (moved) moved(event->position().toPoint().x(), event->position().toPoint().y());
}

void FrameView::mouseReleaseEvent(QMouseEvent*) {
  if (released) released();
}

RectOutline::RectOutline(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
}

void RectOutline::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Difference);
  QPen pen(Qt::white, 2);
  pen.setJoinStyle(Qt::MiterJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

}  // namespace qm
