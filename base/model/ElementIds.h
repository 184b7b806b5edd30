// The ids 1 to 10 that Sprites and VarMaps share: which one a new element
// takes, and which sprite a new CopyBits copies from.
#pragma once

#include <cstdint>
#include <optional>

#include "RICElement.h"

namespace tavlin {

// The lowest id from 1 to 10 that no Sprite or VarMap of the list uses, or
// nothing when all are taken.
std::optional<std::uint16_t> FreeSpriteId(const RICElementList& list);

// The id of the last Sprite before `position` (the list's end for Count()),
// or nothing when there is none.
std::optional<std::uint16_t> LastSpriteIdBefore(const RICElementList& list, int position);

}  // namespace tavlin
