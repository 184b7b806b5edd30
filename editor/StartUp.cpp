#include "StartUp.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <filesystem>

#include "FileIO.h"
#include "ParameterSet.h"
#include "RICElement.h"

namespace tavlin {

std::string StartDocumentUnit() {
  MaxParameterIndex = 15;
  ParameterFileName = DefaultParameterFilePath();
  // Earlier versions kept the values in the working folder: they are read from
  // there until the default file exists, and closing saves them to the default file.
  std::string source = ParameterFileName;
  if (!FileExists(source) && FileExists(kDefaultParameterFileName))
    source = std::filesystem::absolute(kDefaultParameterFileName);
  std::string error;
  try {
    ReadParameterFile(source);
  } catch (const TavlinError& e) {
    error = e.what();
  }
  InitUndefinedSprite(kGrey);
  ClearElements();
  return error;
}

void PaintUndefinedSprite() {
  QColor face = QApplication::palette().color(QPalette::Button);
  InitUndefinedSprite(Rgb(face.rgb() & 0xFFFFFF));
  // The texts are drawn into the 100 x 64 field at the canvas's bottom-left
  // (448..511), without smoothing so that the canvas keeps a few colours.
  QImage field(100, 64, QImage::Format_RGB32);
  field.fill(face);
  QPainter p(&field);
  QFont font = QApplication::font();
  font.setPixelSize(11);
  font.setStyleStrategy(QFont::NoAntialias);
  p.setFont(font);
  QFontMetrics fm(font);
  auto text = [&](int x, int y, const QString& s, QColor colour) {
    p.setPen(colour);
    p.drawText(x, y - 448 + fm.ascent(), s);
  };
  text(2, 450, "Sprite not defined!", QColor(0, 0, 255));
  p.setPen(Qt::black);
  p.drawLine(2, 466 - 448, 98, 466 - 448);
  text(2, 468, "Add a sprite element", Qt::black);
  text(2, 482, "before this CopyBits", Qt::black);
  text(2, 496, "element.", Qt::black);
  p.end();
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 100; ++x)
      UndefinedSprite.Canvas.SetPixel(x, 448 + y, Rgb(field.pixel(x, y) & 0xFFFFFF));
}

}  // namespace tavlin
