// The editor's bridge to the renderer: renders the document or one element
// into a display and turns a display into the QImage a page shows.
#pragma once

#include <QImage>
#include <QPoint>

#include "NXTDisplay.h"

namespace tavlin {

class RICDocument;

// Clears the display and renders the whole document at offset (dx, dy).
void RenderDocumentInto(NXTDisplay& display, int dx, int dy, const RICDocument& document);
// Clears the display and renders element `index` alone at offset (0, 0), its
// arguments resolved against the parameters and the elements before it.
void RenderElementAlone(NXTDisplay& display, int index, const RICDocument& document);
// The display enlarged into a width x height picture with grid and frame.
QImage ZoomedDisplayImage(const NXTDisplay& display, int width, int height);
// The NXT point under a mouse position on such a picture, clamped to the screen.
QPoint NxtPointFromMouse(int width, int height, int mouseX, int mouseY);

}  // namespace tavlin
