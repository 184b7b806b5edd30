#include "TavlinPicture.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>

#include "WidgetNamesAndPens.h"

namespace tavlin {

namespace {

// What the brick's screen shows: a little scene drawn with the same kinds
// of shapes a RIC file uses, in the display's own 100 x 64 pixels.
QImage ScreenScene() {
  QImage screen(100, 64, QImage::Format_RGB32);
  const QColor lcd(0xB8, 0xC8, 0xA0), dot(0x22, 0x2E, 0x22);
  screen.fill(lcd);
  QPainter p(&screen);
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(dot, 1));
  p.setBrush(Qt::NoBrush);
  p.drawLine(0, 54, 99, 54);            // the ground
  p.drawEllipse(QPoint(80, 14), 8, 8);  // the sun
  p.drawRect(14, 30, 26, 24);           // a house
  p.drawLine(11, 30, 27, 16);
  p.drawLine(27, 16, 43, 30);
  p.drawRect(23, 42, 7, 12);   // its door
  p.drawRect(17, 35, 4, 4);    // and window
  p.drawLine(58, 54, 64, 38);  // a tree
  p.drawLine(64, 38, 70, 54);
  p.drawEllipse(QPoint(64, 34), 6, 6);
  p.setBrush(dot);
  for (int x = 48; x < 96; x += 8) p.drawRect(x, 58, 3, 3);  // a dotted path
  return screen;
}

void DrawBrick(QPainter& p) {
  // Logical size 200 x 260.
  const QColor outline(0x30, 0x30, 0x30);
  p.setPen(Pen(outline, 3));
  p.setBrush(QColor(0xDA, 0xDA, 0xD6));
  p.drawRoundedRect(QRectF(4, 4, 192, 252), 26, 26);

  // The port slots along the top and the bottom edge.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x50, 0x50, 0x50));
  for (int i = 0; i < 3; ++i) p.drawRoundedRect(QRectF(46 + i * 40, 8, 28, 8), 2, 2);
  for (int i = 0; i < 4; ++i) p.drawRoundedRect(QRectF(30 + i * 38, 244, 26, 8), 2, 2);

  // The screen in its dark frame.
  p.setBrush(QColor(0x4A, 0x4C, 0x50));
  p.drawRoundedRect(QRectF(20, 26, 160, 110), 10, 10);
  p.setRenderHint(QPainter::SmoothPixmapTransform, false);
  p.drawImage(QRectF(25, 31, 150, 96), ScreenScene());

  // The buttons: orange enter, grey arrows, dark grey exit.
  p.setPen(Pen(outline, 2));
  p.setBrush(QColor(0x70, 0x70, 0x74));
  QPolygonF left, right;
  left << QPointF(34, 176) << QPointF(68, 156) << QPointF(68, 196);
  right << QPointF(166, 176) << QPointF(132, 156) << QPointF(132, 196);
  p.drawPolygon(left);
  p.drawPolygon(right);
  p.setBrush(QColor(0xF0, 0x84, 0x10));
  p.drawRoundedRect(QRectF(78, 154, 44, 44), 8, 8);
  p.setBrush(QColor(0x40, 0x40, 0x44));
  p.drawRoundedRect(QRectF(82, 208, 36, 22), 5, 5);
}

}  // namespace

QPixmap TavlinPicture(int w, int h) {
  if (w <= 0 || h <= 0) return QPixmap();
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  const qreal scale = std::min(w / 200.0, h / 260.0);
  p.translate((w - 200 * scale) / 2, (h - 260 * scale) / 2);
  p.scale(scale, scale);
  DrawBrick(p);
  p.end();
  return QPixmap::fromImage(image);
}

}  // namespace tavlin
