// The fixed words of each element kind by name and member, in the order a RIC
// file stores them after the opcode. The file reader and writer, the
// RicScript reader and writer, the command-line dump and the element pages
// all walk these tables, so a field is named and placed in one place only.
// They are the Fields of each kind's row (ElementKinds).
#pragma once

#include <cstdint>
#include <span>

#include "RICElement.h"

namespace tavlin {

struct ArgumentField {
  const char* Name;  // "PosX", "Radius", ...: the dump's key and the pages' widget names
  std::uint16_t TRICElement::*Member;
};

// Description: Options, Width, Height. Sprite and VarMap: ID (their pixel rows
// and points follow it in the file and are not in the table). CopyBits,
// Pixel, Line, Rectangle, Circle, NumBox, Ellipse: their argument words. A
// Pixel's record ends with one more word, always 0, that is no field. Polygon:
// CopyOpt (its count and points follow in the file and are not in the table).
std::span<const ArgumentField> ArgumentFields(RICElementKind kind);

}  // namespace tavlin
