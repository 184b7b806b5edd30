#include "NxtImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavlin {

TNxtImage::TNxtImage(QWidget* parent, int width, int height)
    : QWidget(parent), picture_(width, height, QImage::Format_RGB32) {
  picture_.fill(Qt::white);
  setFixedSize(width, height);
  setMouseTracking(true);
}

void TNxtImage::Resize(int width, int height) {
  if (QSize(width, height) == size()) return;
  picture_ = QImage(width, height, QImage::Format_RGB32);
  picture_.fill(Qt::white);
  setFixedSize(width, height);
  update();
}

void TNxtImage::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void TNxtImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

void TNxtImage::mousePressEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  emit MousePressed(pos.x(), pos.y(), e->button());
}

void TNxtImage::mouseMoveEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  emit MouseMoved(pos.x(), pos.y(), e->buttons(), e->modifiers());
}

}  // namespace tavlin
