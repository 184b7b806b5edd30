#include "SpriteView.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavlin {

TSpriteView::TSpriteView(QWidget* parent, int width, int height)
    : QWidget(parent), picture_(width, height, QImage::Format_RGB32) {
  picture_.fill(Qt::white);
  setFixedSize(width, height);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSpriteView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

void TSpriteView::mousePressEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  emit MouseDown(pos.x(), pos.y(), e->buttons() | e->button());
}

void TSpriteView::mouseMoveEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  emit MouseMove(pos.x(), pos.y(), e->buttons());
}

void TSpriteView::mouseReleaseEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  emit MouseUp(pos.x(), pos.y(), e->buttons());
}

}  // namespace tavlin
