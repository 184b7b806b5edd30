// TSpriteView: the sprite page's zoomed view of the canvas. A picture that reports presses, moves
// and releases in its own pixels with the buttons held, so the page can run its drawing tools. A
// click gives it the keyboard focus, so the keys pressed while drawing act on the sprite and never
// reach the element list.
#pragma once

#include <QImage>
#include <QWidget>

namespace tavlin {

class TSpriteView : public QWidget {
  Q_OBJECT
 public:
  TSpriteView(QWidget* parent, int width, int height);
  QImage& Picture() { return picture_; }
  const QImage& Picture() const { return picture_; }
  void Resize(int width, int height);

 signals:
  void MouseDown(int x, int y, Qt::MouseButtons buttons);
  void MouseMove(int x, int y, Qt::MouseButtons buttons);
  void MouseUp(int x, int y, Qt::MouseButtons buttons);
  void DeletePressed();
  // The wheel over the view: its turn in eighths of a degree and the keys held.
  void Wheel(int x, int y, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
  // The menu key (or Shift+F10) asks for the view's menu at (x, y).
  void MenuKey(int x, int y);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  QImage picture_;
};

}  // namespace tavlin
