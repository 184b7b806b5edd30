#include "ElementIcons.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QPolygonF>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <map>

#include "WidgetNamesAndPens.h"

namespace tavlin {

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kGridLine(0xC8, 0xC8, 0xC8);

using DrawFunction = std::function<void(QPainter&)>;

// Paints draw() into a transparent size x size picture whose painter works
// in a logical square of `logical` units, so every glyph can be drawn once
// and rendered at any resolution.
QPixmap RenderSquare(int size, qreal logical, const DrawFunction& draw) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.scale(size / logical, size / logical);
  draw(p);
  p.end();
  return QPixmap::fromImage(image);
}

QPen Pen(const QColor& colour, qreal width) { return tavlin::Pen(colour, width, Qt::RoundCap); }

void DrawText(QPainter& p, const QRectF& box, const QString& text, qreal pixelSize,
              const QColor& colour) {
  QFont font = p.font();
  font.setPixelSize(int(pixelSize));
  font.setBold(true);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(box, Qt::AlignCenter, text);
}

// A sheet of paper with a folded top-right corner.
void DrawSheet(QPainter& p, const QRectF& r, const QColor& fill = kPaper) {
  const qreal fold = r.width() * 0.3;
  QPainterPath sheet;
  sheet.moveTo(r.left(), r.top());
  sheet.lineTo(r.right() - fold, r.top());
  sheet.lineTo(r.right(), r.top() + fold);
  sheet.lineTo(r.right(), r.bottom());
  sheet.lineTo(r.left(), r.bottom());
  sheet.closeSubpath();
  p.setPen(Pen(kInk, r.width() / 14));
  p.setBrush(fill);
  p.drawPath(sheet);
  QPainterPath corner;
  corner.moveTo(r.right() - fold, r.top());
  corner.lineTo(r.right() - fold, r.top() + fold);
  corner.lineTo(r.right(), r.top() + fold);
  p.setBrush(Qt::NoBrush);
  p.drawPath(corner);
}

// ---- Element icons, drawn in a 48 x 48 square ------------------------------

void DrawDescriptionIcon(QPainter& p) {
  DrawSheet(p, QRectF(9, 4, 30, 40));
  p.setPen(Pen(QColor(0x60, 0x80, 0xB0), 2.2));
  for (int i = 0; i < 5; ++i) {
    const qreal y = 18 + i * 5.5;
    p.drawLine(QPointF(14, y), QPointF(i == 4 ? 26 : 34, y));
  }
}

void DrawSpriteIcon(QPainter& p) {
  // A little figure of 8 x 8 cells on a grid.
  static const char* const kFigure[8] = {
      "..####..", ".#.##.#.", "########", "#.####.#",
      "..#..#..", ".##..##.", "##....##", "........",
  };
  const qreal cell = 5, left = 4, top = 4;
  p.setPen(Qt::NoPen);
  p.setBrush(kPaper);
  p.drawRect(QRectF(left, top, 8 * cell, 8 * cell));
  p.setBrush(kInk);
  for (int row = 0; row < 8; ++row)
    for (int col = 0; col < 8; ++col)
      if (kFigure[row][col] == '#')
        p.drawRect(QRectF(left + col * cell, top + row * cell, cell, cell));
  p.setPen(QPen(kGridLine, 0.6));
  for (int i = 0; i <= 8; ++i) {
    p.drawLine(QPointF(left + i * cell, top), QPointF(left + i * cell, top + 8 * cell));
    p.drawLine(QPointF(left, top + i * cell), QPointF(left + 8 * cell, top + i * cell));
  }
  p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(left, top, 8 * cell, 8 * cell));
}

void DrawVarMapIcon(QPainter& p) {
  p.setPen(Pen(kInk, 2.5));
  p.drawLine(QPointF(7, 4), QPointF(7, 41));
  p.drawLine(QPointF(7, 41), QPointF(44, 41));
  const QPointF points[] = {{9, 37}, {18, 30}, {25, 33}, {33, 14}, {42, 9}};
  p.setPen(Pen(QColor(0x1E, 0x6E, 0xD0), 3));
  p.drawPolyline(points, 5);
  p.setPen(Pen(QColor(0x10, 0x40, 0x90), 1.5));
  p.setBrush(QColor(0xFF, 0xC0, 0x20));
  for (const QPointF& point : points) p.drawEllipse(point, 2.8, 2.8);
}

void DrawCopyBitsIcon(QPainter& p) {
  // The source, then the copy placed over it, and the arrow between them.
  p.setPen(Pen(kInk, 2));
  p.setBrush(QColor(0xC8, 0xDC, 0xF0));
  p.drawRect(QRectF(4, 4, 24, 20));
  p.setBrush(QColor(0x50, 0x90, 0xD0));
  p.drawRect(QRectF(20, 24, 24, 20));
  p.setPen(Pen(QColor(0xC0, 0x30, 0x20), 3));
  p.drawLine(QPointF(12, 14), QPointF(29, 33));
  QPolygonF head;
  head << QPointF(32, 36) << QPointF(22, 33) << QPointF(29, 26);
  p.setBrush(QColor(0xC0, 0x30, 0x20));
  p.setPen(Pen(QColor(0xC0, 0x30, 0x20), 1));
  p.drawPolygon(head);
}

void DrawPixelIcon(QPainter& p) {
  p.setPen(QPen(kGridLine, 1));
  for (int i = 0; i <= 5; ++i) {
    p.drawLine(QPointF(4 + i * 8, 4), QPointF(4 + i * 8, 44));
    p.drawLine(QPointF(4, 4 + i * 8), QPointF(44, 4 + i * 8));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawRect(QRectF(20, 20, 8, 8));
  p.drawEllipse(QPointF(24, 24), 7, 7);
}

void DrawLineIcon(QPainter& p) {
  p.setPen(Pen(kInk, 4));
  p.drawLine(QPointF(8, 40), QPointF(40, 8));
  p.setPen(Pen(QColor(0x1E, 0x6E, 0xD0), 1.5));
  p.setBrush(kPaper);
  p.drawEllipse(QPointF(8, 40), 4, 4);
  p.drawEllipse(QPointF(40, 8), 4, 4);
}

void DrawRectangleIcon(QPainter& p) {
  p.setPen(Pen(kInk, 4));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(6, 11, 36, 26));
}

void DrawCircleIcon(QPainter& p) {
  p.setPen(Pen(kInk, 4));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(24, 24), 18, 18);
  p.setPen(Pen(QColor(0x1E, 0x6E, 0xD0), 1.5));
  p.drawLine(QPointF(24, 24), QPointF(37, 24));
  p.setBrush(QColor(0x1E, 0x6E, 0xD0));
  p.drawEllipse(QPointF(24, 24), 2, 2);
}

// Two radii: the ellipse with its horizontal and vertical radius marked.
void DrawEllipseIcon(QPainter& p) {
  p.setPen(Pen(kInk, 4));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(24, 24), 20, 12);
  const QColor blue(0x1E, 0x6E, 0xD0);
  p.setPen(Pen(blue, 1.5));
  p.drawLine(QPointF(24, 24), QPointF(40, 24));
  p.drawLine(QPointF(24, 24), QPointF(24, 15));
  p.setBrush(blue);
  p.drawEllipse(QPointF(24, 24), 2, 2);
}

// A closed outline through five points, the points marked.
void DrawPolygonIcon(QPainter& p) {
  const QPolygonF outline(
      {QPointF(6, 36), QPointF(12, 10), QPointF(30, 6), QPointF(42, 22), QPointF(28, 42)});
  p.setPen(Pen(kInk, 3.5));
  p.setBrush(Qt::NoBrush);
  p.drawPolygon(outline);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0x1E, 0x6E, 0xD0));
  for (const QPointF& point : outline) p.drawEllipse(point, 3, 3);
}

void DrawNumBoxIcon(QPainter& p) {
  p.setPen(Pen(kInk, 2.5));
  p.setBrush(kPaper);
  p.drawRoundedRect(QRectF(3, 12, 42, 24), 4, 4);
  DrawText(p, QRectF(3, 12, 42, 24), "123", 17, kInk);
}

// ---- Command glyphs, drawn in a 20 x 20 square ----------------------------

void DrawFolder(QPainter& p) {
  p.setPen(Pen(QColor(0x80, 0x60, 0x10), 1.2));
  p.setBrush(QColor(0xE8, 0xB8, 0x30));
  QPainterPath back;
  back.moveTo(2, 5);
  back.lineTo(7, 5);
  back.lineTo(9, 7);
  back.lineTo(16, 7);
  back.lineTo(16, 16);
  back.lineTo(2, 16);
  back.closeSubpath();
  p.drawPath(back);
  p.setBrush(QColor(0xF8, 0xD8, 0x60));
  QPolygonF flap;
  flap << QPointF(2, 16) << QPointF(5, 10) << QPointF(19, 10) << QPointF(16, 16);
  p.drawPolygon(flap);
}

void DrawFloppy(QPainter& p, const QRectF& r = QRectF(2, 2, 16, 16)) {
  const qreal u = r.width() / 16;
  p.setPen(Pen(QColor(0x10, 0x20, 0x50), 1.1 * u));
  p.setBrush(QColor(0x30, 0x60, 0xB0));
  QPainterPath body;
  body.moveTo(r.left(), r.top());
  body.lineTo(r.right() - 3 * u, r.top());
  body.lineTo(r.right(), r.top() + 3 * u);
  body.lineTo(r.right(), r.bottom());
  body.lineTo(r.left(), r.bottom());
  body.closeSubpath();
  p.drawPath(body);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xD0, 0xD0, 0xD0));
  p.drawRect(QRectF(r.left() + 4 * u, r.top() + 0.6 * u, 7 * u, 5 * u));
  p.setBrush(QColor(0x30, 0x60, 0xB0));
  p.drawRect(QRectF(r.left() + 8.5 * u, r.top() + 1.5 * u, 1.5 * u, 3 * u));
  p.setBrush(kPaper);
  p.drawRect(QRectF(r.left() + 2.5 * u, r.top() + 8 * u, 11 * u, 7 * u));
}

void DrawPen(QPainter& p) {
  p.setPen(Pen(QColor(0x40, 0x20, 0x00), 0.8));
  p.setBrush(QColor(0xF0, 0x90, 0x20));
  QPolygonF body;
  body << QPointF(11, 17) << QPointF(18, 10) << QPointF(20, 12) << QPointF(13, 19);
  p.drawPolygon(body);
  p.setBrush(kInk);
  QPolygonF tip;
  tip << QPointF(11, 17) << QPointF(13, 19) << QPointF(10, 20);
  p.drawPolygon(tip);
}

void DrawLetterBadge(QPainter& p, const QString& letter) {
  p.setPen(Pen(QColor(0x60, 0x50, 0x00), 0.8));
  p.setBrush(QColor(0xFF, 0xFF, 0xCC));
  p.drawEllipse(QPointF(14.5, 14.5), 5.3, 5.3);
  DrawText(p, QRectF(9, 9, 11, 11), letter, 9, QColor(0x60, 0x50, 0x00));
}

void DrawArrow(QPainter& p, bool up) {
  const QColor green(0x20, 0x90, 0x30);
  p.setPen(Pen(QColor(0x10, 0x50, 0x18), 1));
  p.setBrush(green);
  QPolygonF arrow;
  if (up)
    arrow << QPointF(10, 2) << QPointF(18, 10) << QPointF(13, 10) << QPointF(13, 18)
          << QPointF(7, 18) << QPointF(7, 10) << QPointF(2, 10);
  else
    arrow << QPointF(10, 18) << QPointF(18, 10) << QPointF(13, 10) << QPointF(13, 2)
          << QPointF(7, 2) << QPointF(7, 10) << QPointF(2, 10);
  p.drawPolygon(arrow);
}

// A curved arrow turning back to the left (undo) or on to the right (redo).
void DrawTurnArrow(QPainter& p, bool back) {
  if (!back) {
    p.translate(20, 0);
    p.scale(-1, 1);
  }
  const QColor blue(0x20, 0x50, 0xB0);
  p.setPen(Pen(blue, 2.4));
  p.setBrush(Qt::NoBrush);
  QPainterPath curve;
  curve.moveTo(6, 8);
  curve.cubicTo(QPointF(13, 8), QPointF(18, 9), QPointF(17, 14));
  curve.cubicTo(QPointF(16, 17), QPointF(12, 17), QPointF(9, 17));
  p.drawPath(curve);
  p.setPen(Pen(blue.darker(), 0.8));
  p.setBrush(blue);
  QPolygonF head;
  head << QPointF(1, 8) << QPointF(8, 3) << QPointF(8, 13);
  p.drawPolygon(head);
}

const std::map<QString, DrawFunction>& CommandGlyphs() {
  static const std::map<QString, DrawFunction> glyphs = {
      {"open", [](QPainter& p) { DrawFolder(p); }},
      {"save", [](QPainter& p) { DrawFloppy(p); }},
      {"saveas",
       [](QPainter& p) {
         DrawFloppy(p, QRectF(1, 1, 15, 15));
         DrawPen(p);
       }},
      {"merge",
       [](QPainter& p) {
         DrawSheet(p, QRectF(1, 1, 8, 10));
         DrawSheet(p, QRectF(1, 10, 8, 9));
         DrawSheet(p, QRectF(12, 4, 7, 12), QColor(0xE0, 0xF0, 0xFF));
         p.setPen(Pen(QColor(0x20, 0x90, 0x30), 1.4));
         p.drawLine(QPointF(9.5, 6), QPointF(12, 9));
         p.drawLine(QPointF(9.5, 14), QPointF(12, 11));
       }},
      {"new", [](QPainter& p) { DrawSheet(p, QRectF(4, 2, 12, 16)); }},
      {"delete",
       [](QPainter& p) {
         p.setPen(Pen(QColor(0xD0, 0x20, 0x20), 3.2));
         p.drawLine(QPointF(4, 4), QPointF(16, 16));
         p.drawLine(QPointF(16, 4), QPointF(4, 16));
       }},
      {"double",
       [](QPainter& p) {
         DrawSheet(p, QRectF(2, 2, 10, 13));
         DrawSheet(p, QRectF(8, 5, 10, 13), QColor(0xE0, 0xF0, 0xFF));
       }},
      {"moveup", [](QPainter& p) { DrawArrow(p, true); }},
      {"undo", [](QPainter& p) { DrawTurnArrow(p, true); }},
      {"redo", [](QPainter& p) { DrawTurnArrow(p, false); }},
      {"movedown", [](QPainter& p) { DrawArrow(p, false); }},
      {"paramload",
       [](QPainter& p) {
         p.save();
         p.scale(0.8, 0.8);
         DrawFolder(p);
         p.restore();
         DrawLetterBadge(p, "P");
       }},
      {"paramsave",
       [](QPainter& p) {
         DrawFloppy(p, QRectF(1, 1, 13, 13));
         DrawLetterBadge(p, "P");
       }},
      {"paramnew",
       [](QPainter& p) {
         DrawSheet(p, QRectF(2, 1, 10, 14));
         DrawLetterBadge(p, "P");
       }},
      {"param16",
       [](QPainter& p) { DrawText(p, QRectF(0, 0, 20, 20), "16", 12, QColor(0x20, 0x40, 0x90)); }},
      {"param256",
       [](QPainter& p) { DrawText(p, QRectF(0, 0, 20, 20), "256", 9, QColor(0x90, 0x30, 0x20)); }},
  };
  return glyphs;
}

// A filled arrow head at `tip`, pointing along the angle (degrees, 0 to the
// right, counterclockwise as on paper).
void ArrowHead(QPainter& p, QPointF tip, qreal degrees, qreal size = 4.5) {
  QPainterPath head;
  head.moveTo(tip);
  QLineF side(tip, tip + QPointF(size, 0));
  side.setAngle(degrees + 180 - 28);
  head.lineTo(side.p2());
  side.setAngle(degrees + 180 + 28);
  head.lineTo(side.p2());
  head.closeSubpath();
  p.fillPath(head, p.pen().color());
}

// A circular arrow around the middle: from `start` through `span` degrees
// (positive counterclockwise), the head at its end.
void CircularArrow(QPainter& p, qreal start, qreal span) {
  const QRectF box(4, 4, 11, 11);
  QPainterPath arc;
  arc.arcMoveTo(box, start);
  arc.arcTo(box, start, span);
  p.drawPath(arc);
  const qreal end = start + span;
  QLineF radius(box.center(), box.center() + QPointF(5.5, 0));
  radius.setAngle(end);
  ArrowHead(p, radius.p2(), end + (span > 0 ? 90 : -90));
}

// The dashed frame of a marked area.
void MarkFrame(QPainter& p, const QRectF& r) {
  p.save();
  p.setPen(QPen(QColor(0xE0, 0x00, 0xE0), 1, Qt::DashLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(r);
  p.restore();
}

// The sprite page's tools, in a square of 19 units: the shapes in crisp
// single pixels, the commands smooth.
void DrawSpriteToolGlyph(QPainter& p, const QString& name) {
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setPen(QPen(Qt::black, 1));
  const QColor fill(0x40, 0x40, 0x40);
  const QColor blue(0x20, 0x50, 0xA0);
  if (name == "point") {
    p.fillRect(8, 8, 3, 3, Qt::black);
  } else if (name == "line") {
    p.drawLine(3, 15, 15, 3);
  } else if (name == "rect" || name == "frect") {
    if (name == "frect") p.setBrush(fill);
    p.drawRect(3, 5, 12, 9);
  } else if (name == "circle" || name == "fcircle") {
    if (name == "fcircle") p.setBrush(fill);
    p.drawEllipse(3, 3, 12, 12);
  } else if (name == "ellipse" || name == "fellipse") {
    if (name == "fellipse") p.setBrush(fill);
    p.drawEllipse(2, 5, 15, 9);
  } else if (name == "fill") {
    p.setBrush(fill);
    p.drawPolygon(QPolygon({QPoint(3, 9), QPoint(9, 3), QPoint(15, 9), QPoint(9, 15)}));
  } else if (name == "select") {
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.drawRect(3, 3, 12, 12);
  } else {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(blue, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (name == "text") {  // a capital A of strokes with a caret beside it
      p.drawPolyline(QPolygonF({QPointF(2.5, 16), QPointF(7.5, 3), QPointF(12.5, 16)}));
      p.drawLine(QPointF(4.5, 11), QPointF(10.5, 11));
      p.setPen(QPen(Qt::black, 1));
      p.drawLine(QPointF(15.5, 3), QPointF(15.5, 16));
    } else if (name == "paste") {  // a clipboard with a sheet on it
      p.setPen(QPen(QColor(0x60, 0x40, 0x10), 1));
      p.setBrush(QColor(0xC0, 0x90, 0x50));
      p.drawRoundedRect(QRectF(2.5, 3.5, 12, 14), 1.5, 1.5);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(5.5, 6.5, 10, 11));
      p.setBrush(QColor(0x90, 0x90, 0x90));
      p.drawRect(QRectF(5.5, 1.5, 6, 3));
    } else if (name == "copy") {  // two sheets, one over the other
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 2.5, 9, 11));
      p.setBrush(QColor(0xE0, 0xF0, 0xFF));
      p.drawRect(QRectF(7.5, 5.5, 9, 11));
    } else if (name == "undo") {  // a hooked arrow turning back to the left
      QPainterPath hook;
      hook.moveTo(15, 16);
      hook.lineTo(15, 10);
      hook.cubicTo(15, 5, 11, 5, 9, 5);
      hook.lineTo(6, 5);
      p.drawPath(hook);
      ArrowHead(p, QPointF(2, 5), 180, 5.5);
    } else if (name == "import") {  // a picture with an arrow coming into it
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(QColor(0xD0, 0xE8, 0xFF));
      p.drawRect(QRectF(6.5, 6.5, 11, 10));
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0x30, 0x90, 0x30));
      p.drawPolygon(QPolygonF({QPointF(7, 16), QPointF(11, 10), QPointF(14, 13), QPointF(17, 16)}));
      p.setBrush(QColor(0xF0, 0xC0, 0x20));
      p.drawEllipse(QPointF(14.5, 9.5), 1.6, 1.6);
      p.setPen(QPen(blue, 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(1.5, 1.5), QPointF(6, 6));
      ArrowHead(p, QPointF(8, 8), -45, 4.5);
    } else if (name == "compress") {  // the frame pulled in to the picture
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(fill);
      p.drawRect(QRectF(7.5, 7.5, 4, 4));
      p.setPen(QPen(blue, 1.4, Qt::SolidLine, Qt::RoundCap));
      for (qreal angle : {-45.0, -135.0, 45.0, 135.0}) {
        QLineF ray(QPointF(9.5, 9.5), QPointF(18, 9.5));
        ray.setAngle(angle + 180);
        QLineF in(ray.pointAt(1.0), ray.pointAt(0.6));
        p.drawLine(in);
        ArrowHead(p, ray.pointAt(0.45), angle, 3.5);
      }
    } else if (name == "nxt") {  // the brick's display
      p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1));
      p.setBrush(QColor(0xB8, 0xC8, 0x98));
      p.drawRect(QRectF(1.5, 4.5, 16, 10));
      p.fillRect(QRectF(4, 7, 3, 5), QColor(0x20, 0x30, 0x10));
      p.fillRect(QRectF(9, 9, 6, 1.2), QColor(0x20, 0x30, 0x10));
    } else if (name.startsWith("scroll")) {  // the mark and the way its pixels go
      MarkFrame(p, QRectF(2.5, 2.5, 14, 14));
      const qreal angle = name == "scrollup"     ? 90
                          : name == "scrolldown" ? -90
                          : name == "scrollleft" ? 180
                                                 : 0;
      QLineF along(QPointF(9.5, 9.5), QPointF(15, 9.5));
      along.setAngle(angle + 180);
      along = QLineF(along.p2(), along.p1());
      along.setLength(10);
      p.drawLine(along);
      ArrowHead(p, along.p2(), angle, 5);
    } else if (name == "mirrorlr" || name == "mirrorud") {  // a shape and its mirror image
      p.save();
      if (name == "mirrorud") {
        p.translate(19, 0);
        p.rotate(90);
      }
      p.setPen(QPen(QColor(0xE0, 0x00, 0xE0), 1, Qt::DashLine));
      p.drawLine(QPointF(9.5, 1), QPointF(9.5, 18));
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(fill);
      p.drawPolygon(QPolygonF({QPointF(7.5, 4), QPointF(7.5, 15), QPointF(1.5, 15)}));
      p.setBrush(Qt::white);
      p.drawPolygon(QPolygonF({QPointF(11.5, 4), QPointF(11.5, 15), QPointF(17.5, 15)}));
      p.restore();
    } else if (name == "rotateleft") {
      CircularArrow(p, -60, 270);
    } else if (name == "rotateright") {
      CircularArrow(p, 240, -270);
    } else if (name == "erase") {  // an eraser over the mark
      MarkFrame(p, QRectF(1.5, 1.5, 16, 16));
      p.setPen(QPen(QColor(0x70, 0x30, 0x40), 1));
      p.setBrush(QColor(0xF0, 0x90, 0xA8));
      p.drawPolygon(QPolygonF({QPointF(4, 12), QPointF(11, 5), QPointF(15, 9), QPointF(8, 16)}));
      p.setBrush(Qt::white);
      p.drawPolygon(
          QPolygonF({QPointF(4, 12), QPointF(6.5, 9.5), QPointF(10.5, 13.5), QPointF(8, 16)}));
    } else if (name == "invert") {  // black and white trade places
      p.setPen(QPen(Qt::black, 1));
      p.setBrush(Qt::white);
      p.drawRect(QRectF(2.5, 2.5, 14, 14));
      p.setBrush(Qt::black);
      p.drawPolygon(QPolygonF({QPointF(2.5, 2.5), QPointF(16.5, 2.5), QPointF(2.5, 16.5)}));
    }
  }
}

// The VarMap page's table buttons, in a square of 16 units.
void DrawPointTableGlyph(QPainter& p, const QString& name) {
  if (name == "minus") {
    p.fillRect(QRectF(3, 7, 10, 2.5), QColor(0xC0, 0, 0));
  } else if (name == "plus") {
    p.fillRect(QRectF(3, 7, 10, 2.5), QColor(0, 0x90, 0));
    p.fillRect(QRectF(6.75, 3.25, 2.5, 10), QColor(0, 0x90, 0));
  } else if (name == "pastepoints") {  // a clipboard with an arrow into it
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(0xE8, 0xD0, 0x90));
    p.drawRect(QRectF(2.5, 3.5, 9, 11));
    p.setBrush(Qt::gray);
    p.drawRect(QRectF(5, 2, 4, 2.5));
    p.setPen(QPen(QColor(0, 0x60, 0xC0), 1.6));
    p.drawLine(QPointF(15, 9), QPointF(8, 9));
    p.drawLine(QPointF(8, 9), QPointF(10.5, 6.5));
    p.drawLine(QPointF(8, 9), QPointF(10.5, 11.5));
  } else if (name == "clear") {  // a list crossed out
    p.setPen(QPen(Qt::black, 1));
    for (int y = 3; y <= 13; y += 3) p.drawLine(QPointF(2, y), QPointF(12, y));
    p.setPen(QPen(QColor(0xC0, 0, 0), 2));
    p.drawLine(QPointF(5, 5), QPointF(14, 14));
    p.drawLine(QPointF(14, 5), QPointF(5, 14));
  } else if (name == "optimize") {  // a bent line made straight
    p.setPen(QPen(Qt::gray, 1.2));
    p.drawPolyline(QPolygonF({QPointF(2, 13), QPointF(6, 9.5), QPointF(9, 7), QPointF(14, 3)}));
    p.setPen(QPen(QColor(0xD0, 0, 0), 1.6));
    p.drawLine(QPointF(2, 13), QPointF(14, 3));
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(2, 13), 1.6, 1.6);
    p.drawEllipse(QPointF(14, 3), 1.6, 1.6);
  }
}

}  // namespace

QPixmap ElementIcon(RICElementKind kind) {
  // Every row of the element list shows one: drawn once per kind, not per repaint.
  const QString key = QStringLiteral("tavlin-element-icon-%1").arg(int(kind));
  QPixmap cached;
  if (QPixmapCache::find(key, &cached)) return cached;
  // One drawing per kind, in opcode order.
  static const DrawFunction kDraws[kElementKindCount] = {
      DrawDescriptionIcon, DrawSpriteIcon,  DrawVarMapIcon,    DrawCopyBitsIcon,
      DrawPixelIcon,       DrawLineIcon,    DrawRectangleIcon, DrawCircleIcon,
      DrawNumBoxIcon,      DrawEllipseIcon, DrawPolygonIcon};
  DrawFunction draw;
  if (std::size_t(kind) < std::size(kDraws)) draw = kDraws[std::size_t(kind)];
  if (!draw) draw = [](QPainter&) {};
  const QPixmap icon = RenderSquare(kElementIconSize, kElementIconSize, draw);
  QPixmapCache::insert(key, icon);
  return icon;
}

QIcon CommandIcon(const QString& name) {
  const auto& glyphs = CommandGlyphs();
  const auto found = glyphs.find(name);
  if (found == glyphs.end()) return QIcon();
  QIcon icon;
  for (int size : {20, 40}) icon.addPixmap(RenderSquare(size, 20, found->second));
  return icon;
}

QIcon PageGlyph(const QString& name, int size) {
  static const QStringList kPointTable = {"minus", "plus", "pastepoints", "clear", "optimize"};
  const bool table = kPointTable.contains(name);
  return QIcon(RenderSquare(size, table ? 16 : 19, [&](QPainter& p) {
    if (table)
      DrawPointTableGlyph(p, name);
    else
      DrawSpriteToolGlyph(p, name);
  }));
}

}  // namespace tavlin
