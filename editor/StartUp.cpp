#include "StartUp.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "CopyBitsPage.h"
#include "FileIO.h"
#include "ParameterSet.h"
#include "RICElement.h"

namespace tavlin {

std::string StartDocumentUnit() {
  MaxParameterIndex = 15;
  std::string error;
  try {
    ReadParameterFile(ParameterFileName);
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
  PaintSpriteNotice(UndefinedSprite, "Sprite not defined!",
                    {"Add a sprite element", "before this CopyBits", "element."}, face);
}

}  // namespace tavlin
