#include "SpriteView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace tavlin {

TSpriteView::TSpriteView(QWidget* parent, int width, int height)
    : QWidget(parent), picture_(width, height, QImage::Format_RGB32) {
  picture_.fill(Qt::white);
  setFixedSize(width, height);
  setMouseTracking(true);
  setFocusPolicy(Qt::ClickFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TSpriteView::Resize(int width, int height) {
  if (QSize(width, height) == size()) return;
  picture_ = QImage(width, height, QImage::Format_RGB32);
  picture_.fill(Qt::white);
  setFixedSize(width, height);
  update();
}

void TSpriteView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.drawImage(0, 0, picture_);
}

void TSpriteView::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
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

void TSpriteView::keyPressEvent(QKeyEvent* e) {
  switch (e->key()) {
    case Qt::Key_Delete:
      emit DeletePressed();
      break;
    // The arrows are the view's while it has focus: nothing behind it acts on them.
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      break;
    default:
      QWidget::keyPressEvent(e);
      return;
  }
  e->accept();
}

void TSpriteView::wheelEvent(QWheelEvent* e) {
  const QPoint pos = e->position().toPoint();
  emit Wheel(pos.x(), pos.y(), e->angleDelta(), e->modifiers());
  e->accept();
}

// A right click belongs to the drawing tools (it draws white); the page opens
// the menu itself for the tools that do not draw. The keyboard asks here.
void TSpriteView::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();  // no menu of the window behind it either
  if (e->reason() != QContextMenuEvent::Mouse) emit MenuKey(e->pos().x(), e->pos().y());
}

}  // namespace tavlin
