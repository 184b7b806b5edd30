// Program start: the document unit's globals and the placeholder sprite picture.
#pragma once

#include <string>

namespace tavlin {

// 16-parameter mode, the default parameter file read (or an old "Tavlin.RPA"
// in the working folder while there is none), the placeholder sprite created
// and the document emptied. Returns the message of a bad parameter file (the
// values read before the bad line stay), or "" when all went well.
std::string StartDocumentUnit();

// Paints the placeholder sprite's texts with the desktop's font and button
// colour; needs the application object.
void PaintUndefinedSprite();

}  // namespace tavlin
