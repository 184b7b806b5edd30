// What every window of the program builds with: widgets named on the line
// that makes them, and the pen its pictures are drawn with.
#pragma once

#include <QColor>
#include <QPen>

namespace tavlin {

// The widget with its object name set, for the line that makes it.
template <class W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

// A pen with round joins: the program's pictures are drawn with it.
inline QPen Pen(const QColor& colour, qreal width, Qt::PenCapStyle cap = Qt::SquareCap) {
  QPen pen(colour, width);
  pen.setCapStyle(cap);
  pen.setJoinStyle(Qt::RoundJoin);
  return pen;
}

}  // namespace tavlin
