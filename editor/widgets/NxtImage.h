// TNxtImage: a picture on a page (the enlarged NXT screen, the small
// output display) that reports mouse presses and moves in its own pixels.
#pragma once

#include <QImage>
#include <QWidget>

namespace tavlin {

class TNxtImage : public QWidget {
  Q_OBJECT
 public:
  explicit TNxtImage(QWidget* parent, int width, int height);
  QImage& Picture();
  const QImage& Picture() const;
  void SetPicture(const QImage& picture);
  // A new size, with a white picture until the next one is painted.
  void Resize(int width, int height);

 signals:
  void MousePressed(int x, int y, Qt::MouseButton button);
  void MouseMoved(int x, int y, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  QImage picture_;
};

}  // namespace tavlin
