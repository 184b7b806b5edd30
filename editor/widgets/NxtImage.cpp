#include "NxtImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace tavlin {

// The white picture is made when first drawn on or shown: most pages are not
// seen when the window first appears.
TNxtImage::TNxtImage(QWidget* parent, int width, int height) : QWidget(parent) {
  setFixedSize(width, height);
  setMouseTracking(true);
}

QImage& TNxtImage::Picture() {
  if (picture_.isNull() && !size().isEmpty()) {
    picture_ = QImage(size(), QImage::Format_RGB32);
    picture_.fill(Qt::white);
  }
  return picture_;
}

const QImage& TNxtImage::Picture() const { return const_cast<TNxtImage*>(this)->Picture(); }

void TNxtImage::Resize(int width, int height) {
  if (QSize(width, height) == size()) return;
  picture_ = QImage();  // white, at the new size, when next needed
  setFixedSize(width, height);
  update();
}

void TNxtImage::SetPicture(const QImage& picture) {
  picture_ = picture;
  update();
}

void TNxtImage::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (picture_.isNull())
    p.fillRect(rect(), Qt::white);
  else
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
