// One row per element kind for the editor: which page edits it, and for the
// shape pages the caption and range of each field and how a press and a drag
// on the page's screen place the element. The model's row (ElementKinds)
// gives the fields themselves; the icon is ElementIcon's.
#pragma once

#include <span>

#include "RICElement.h"

namespace tavlin {

// The page that edits a kind.
enum class PageType { Information, Sprite, VarMap, CopyBits, Shape, Polygon };

// How the mouse places a shape on its page's screen: the press sets the
// first point, a drag with the left button what follows from the second.
enum class Placement {
  None,
  Point,    // press and drag: PosX, PosY
  Ends,     // press: X1, Y1; drag: X2, Y2
  Corners,  // press: one corner; drag: PosX, PosY (the smaller), Width, Height
  Radius,   // press: the centre; drag: Radius, the larger distance
  Radii,    // press: the centre; drag: RadiusX, RadiusY
};

// The edit of a shape page's field: its caption and the largest constant.
struct FieldView {
  const char* Caption;
  int MaxValue;
};

struct EditorKindRow {
  RICElementKind Kind;
  PageType Page;
  // Shape pages: one per field of the model's row, in the same order.
  std::span<const FieldView> Fields = {};
  Placement Placing = Placement::None;
  // Shape pages: the pointer position shows while the mouse merely moves.
  bool ShowsHover = false;
};

const EditorKindRow& EditorKind(RICElementKind kind);

}  // namespace tavlin
