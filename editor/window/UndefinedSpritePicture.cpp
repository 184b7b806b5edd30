#include "UndefinedSpritePicture.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "CopyBitsPage.h"
#include "RICElement.h"

namespace tavlin {

void PaintUndefinedSprite(TRICElement& sprite) {
  QColor face = QApplication::palette().color(QPalette::Button);
  sprite = MakeUndefinedSprite(Rgb(face.rgb() & 0xFFFFFF));
  PaintSpriteNotice(sprite, "Sprite not defined!",
                    {"Add a sprite element", "before this CopyBits", "element."}, face);
}

}  // namespace tavlin
