// The placeholder sprite's picture ("Sprite not defined!"), painted once the
// application object exists; the document unit itself starts in base/
// (DocumentUnit).
#pragma once

namespace tavlin {

struct TRICElement;

// Paints a document's placeholder sprite with the desktop's button colour and
// its texts with the desktop's font; needs the application object.
void PaintUndefinedSprite(TRICElement& sprite);

}  // namespace tavlin
