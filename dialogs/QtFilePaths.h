// File names between Qt and the core: Qt holds them as QString, the core as
// the file system's bytes.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>

namespace tavlin {

// A file name as the core opens it (the file system's bytes), and back.
inline std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString QtPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace tavlin
