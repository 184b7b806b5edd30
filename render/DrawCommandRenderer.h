// A document's elements with their arguments evaluated (`DrawCommand`), and
// drawing them last to first.
//
// Every primitive stores its colours without reading the display, except the
// copy-bits fix-up, which turns grey white. So the last element that stores a
// pixel decides it, and what earlier elements do to it is dead. Walking the
// elements from the last one back, each pixel is written at most once, the
// walk stops as soon as all 6,400 are decided, and an element whose rows are
// all decided costs a few mask tests. A fix-up met on the way marks the pixels
// it reaches, so that an earlier grey stored there lands white.
#pragma once

#include <cstddef>
#include <cstdint>

#include "NXTDisplay.h"
#include "RICElement.h"

namespace tavlin {

class SpriteCopyCache;

// One drawing element with its arguments evaluated: a[] holds them in the
// order of the matching NXTDisplay primitive (CopyBits: posX, posY, width,
// height, relX, relY), `sprite` the sprite a CopyBits copies from.
struct DrawCommand {
  RICElementKind kind = RICElementKind::Pixel;
  int a[6] = {};
  const TRICElement* sprite = nullptr;
};

// Clears the display and leaves on it what drawing the commands first to
// last with the display's primitives, at the display's drawing offset, would.
void DrawLastToFirst(NXTDisplay& display, const DrawCommand* commands, std::size_t count,
                     SpriteCopyCache& cache);

}  // namespace tavlin
