#include "BrickRenderer.h"

namespace tavlin {

const char* BrickVariantName(BrickVariant v) {
  switch (v) {
    case BrickVariant::Lego:
      return "lego";
    case BrickVariant::Enhanced131:
      return "enhanced131";
    case BrickVariant::Enhanced132:
      return "enhanced132";
  }
  return "enhanced132";
}

std::optional<BrickVariant> ParseBrickVariant(std::string_view name) {
  for (BrickVariant v : {BrickVariant::Lego, BrickVariant::Enhanced131, BrickVariant::Enhanced132})
    if (name == BrickVariantName(v)) return v;
  return std::nullopt;
}

// STUB: clears the screen when the draw options ask for it and draws nothing
// else; the interpreter follows.
void RenderBrick(NXTDisplay& screen, const std::uint8_t*, std::size_t, const BrickCall& call,
                 std::vector<BrickFinding>*) {
  if (call.Options & 3) screen.ClearDisplay();
}

// STUB: finds nothing yet.
std::vector<BrickFinding> CheckBrick(const std::uint8_t*, std::size_t, const BrickCall&) {
  return {};
}

}  // namespace tavlin
