// Small helpers every window of the program uses: widget names, pens and the
// conversion between Qt's file names and the core's byte strings.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QPen>
#include <QString>
#include <string>

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

// A file name as the core opens it (the file system's bytes), and back.
inline std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString QtPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace tavlin
