#include "StartUp.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "CopyBitsPage.h"
#include "RICElement.h"

namespace tavlin {

void PaintUndefinedSprite() {
  QColor face = QApplication::palette().color(QPalette::Button);
  InitUndefinedSprite(Rgb(face.rgb() & 0xFFFFFF));
  PaintSpriteNotice(UndefinedSprite, "Sprite not defined!",
                    {"Add a sprite element", "before this CopyBits", "element."}, face);
}

}  // namespace tavlin
