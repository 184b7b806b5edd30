// Program start: the placeholder sprite picture, painted once the application
// object exists (the document unit itself starts in base/).
#pragma once

#include "DocumentUnit.h"

namespace tavlin {

struct TRICElement;

// Paints a document's placeholder sprite with the desktop's button colour and
// its texts with the desktop's font; needs the application object.
void PaintUndefinedSprite(TRICElement& sprite);

}  // namespace tavlin
