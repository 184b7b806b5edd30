// Program start: the placeholder sprite picture, painted once the application
// object exists (the document unit itself starts in base/).
#pragma once

#include "DocumentUnit.h"

namespace tavlin {

// Paints the placeholder sprite's texts with the desktop's font and button
// colour; needs the application object.
void PaintUndefinedSprite();

}  // namespace tavlin
