#include "ElementIds.h"

#include <algorithm>
#include <array>

namespace tavlin {

std::optional<std::uint16_t> FreeSpriteId(const RICElementList& list) {
  std::array<bool, 11> used{};
  for (const auto& e : list)
    if ((e->Kind == RICElementKind::Sprite || e->Kind == RICElementKind::VarMap) && e->ID >= 1 &&
        e->ID <= 10)
      used[e->ID] = true;
  for (std::uint16_t id = 1; id <= 10; ++id)
    if (!used[id]) return id;
  return std::nullopt;
}

std::optional<std::uint16_t> LastSpriteIdBefore(const RICElementList& list, int position) {
  for (int i = std::min(position, list.Count()) - 1; i >= 0; --i)
    if (list[i]->Kind == RICElementKind::Sprite) return list[i]->ID;
  return std::nullopt;
}

}  // namespace tavlin
