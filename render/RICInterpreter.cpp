#include "RICInterpreter.h"

#include <algorithm>
#include <array>
#include <unordered_map>

#include <vector>

#include "DrawCommandRenderer.h"
#include "SpriteCopyCache.h"
#include "VarMapPoints.h"

namespace tavlin {

namespace {

bool IsConstant(std::uint16_t w) { return (w & 0xF000) == 0; }
bool IsParameterReference(std::uint16_t w) { return (w & 0xF000) != 0 && (w & 0x0F00) == 0; }
bool IsMappedReference(std::uint16_t w) { return (w & 0xF000) != 0 && (w & 0x0F00) != 0; }

// Evaluates a word; `varMapOf(id)` gives the VarMap in scope for a map id
// (1..15) or null.
template <class VarMapOf>
std::uint16_t Evaluate(RICArgument w, const TParameterSet& parameters, VarMapOf&& varMapOf) {
  if (IsConstant(w)) return std::uint16_t(w & 0x0FFF);
  auto mapped = [&](std::uint16_t word) -> std::uint16_t {
    // The parameter's value is the map's plain input, never decoded itself.
    const std::uint16_t a = parameters[word & 0xFF];
    const TRICElement* map = varMapOf(std::uint16_t((word >> 8) & 0x0F));
    return map ? EvaluateVarMap(*map, a) : 0;
  };
  if (IsParameterReference(w)) {
    const std::uint16_t v = parameters[w & 0xFF];
    // A value that reads as a mapped reference takes one more step; that
    // step ends at a plain input, so evaluation cannot loop.
    return IsMappedReference(v) ? mapped(v) : v;
  }
  return mapped(w);
}

// Where a CopyBits takes its sprite from: its own place in the list.
int PositionInList(const TRICElement& element, int hint, const RICElementList& list) {
  if (list.At(hint) == &element) return hint;
  for (int i = 0; i < list.Count(); ++i)
    if (list[i] == &element) return i;
  return -1;
}

// The points a polygon draws: those its count word names, as far as it holds them.
std::size_t PolygonCorners(const TRICElement& e) {
  return std::min<std::size_t>(e.PolygonCount.value_or(std::uint16_t(e.PolygonPoints.size())),
                               e.PolygonPoints.size());
}

// Evaluates the element's arguments and calls its primitive.
template <class Eval, class SpriteOf>
void DrawElement(NXTDisplay& display, const TRICElement& e, Eval&& eval, SpriteOf&& spriteOf) {
  switch (e.Kind) {
    case RICElementKind::Description:
    case RICElementKind::Sprite:
    case RICElementKind::VarMap:
      break;
    case RICElementKind::CopyBits: {
      const std::uint16_t id = eval(e.SpriteID);
      const int posX = eval(e.PosX), posY = eval(e.PosY);
      const int width = eval(e.Width), height = eval(e.Height);
      const int relX = eval(e.RelX), relY = eval(e.RelY);
      if (const TRICElement* sprite = spriteOf(id))
        display.CopySpriteBits(*sprite, posX, posY, width, height, relX, relY);
      break;
    }
    case RICElementKind::Pixel:
      display.DrawPixel(eval(e.PosX), eval(e.PosY));
      break;
    case RICElementKind::Line:
      display.DrawLine(eval(e.X1), eval(e.Y1), eval(e.X2), eval(e.Y2));
      break;
    case RICElementKind::Rectangle:
      display.DrawRectangle(eval(e.PosX), eval(e.PosY), eval(e.Width), eval(e.Height));
      break;
    case RICElementKind::Circle:
      display.DrawCircle(eval(e.PosX), eval(e.PosY), eval(e.Radius));
      break;
    case RICElementKind::NumBox:
      display.DrawNumberBox(eval(e.PosX), eval(e.PosY), eval(e.Value));
      break;
    case RICElementKind::Ellipse:
      display.DrawEllipse(eval(e.PosX), eval(e.PosY), eval(e.RadiusX), eval(e.RadiusY));
      break;
    case RICElementKind::Polygon: {
      std::vector<int> xy;
      xy.reserve(2 * PolygonCorners(e));
      for (std::size_t i = 0; i < PolygonCorners(e); ++i) {
        xy.push_back(eval(e.PolygonPoints[i].X));
        xy.push_back(eval(e.PolygonPoints[i].Y));
      }
      display.DrawPolygon(xy.data(), PolygonCorners(e));
      break;
    }
  }
}

}  // namespace

std::uint16_t EvaluateVarMap(const TRICElement& varMap, std::uint16_t a) {
  return MapThroughPoints(varMap.Points, a);
}

const TRICElement* FindVarMap(std::uint16_t id, int position, const RICElementList& list,
                              int selectedIndex) {
  const int p = position == -1 ? selectedIndex : position;
  for (int i = std::min(p, list.Count()) - 1; i >= 0; --i) {
    const TRICElement* e = list[i];
    if (e->Kind == RICElementKind::VarMap && e->ID == id) return e;
  }
  return nullptr;
}

const TRICElement* FindSprite(std::uint16_t id, int position, const RICElementList& list) {
  const TRICElement* found = nullptr;
  const int end = std::min(position, list.Count());
  for (int i = 0; i < end; ++i) {
    const TRICElement* e = list[i];
    if (e->ID != id) continue;
    if (e->Kind == RICElementKind::Sprite)
      found = e;
    else if (e->Kind == RICElementKind::VarMap)
      found = nullptr;
  }
  return found;
}

std::uint16_t ArgumentValue(RICArgument word, int position, const RICElementList& list,
                            const TParameterSet& parameters, int selectedIndex) {
  return Evaluate(word, parameters,
                  [&](std::uint16_t id) { return FindVarMap(id, position, list, selectedIndex); });
}

void RenderElement(NXTDisplay& display, const TRICElement& element, int dx, int dy, int position,
                   const RICElementList& list, const TParameterSet& parameters, int selectedIndex) {
  const int p = position == -1 ? selectedIndex : position;
  // Look each map id up once: an element has up to seven arguments.
  std::array<const TRICElement*, 16> varMaps{};
  std::array<bool, 16> looked{};
  auto varMapOf = [&](std::uint16_t id) {
    if (!looked[id]) {
      varMaps[id] = FindVarMap(id, p, list);
      looked[id] = true;
    }
    return varMaps[id];
  };
  auto eval = [&](RICArgument w) { return Evaluate(w, parameters, varMapOf); };
  auto spriteOf = [&](std::uint16_t id) {
    return FindSprite(id, PositionInList(element, p, list), list);
  };
  display.SetDrawingOffset(dx, dy);
  DrawElement(display, element, eval, spriteOf);
}

void EvaluateDocument(const RICElementList& list, const TParameterSet& parameters,
                      std::vector<DrawCommand>& commands) {
  // The definitions in scope at each element, kept up to date while walking,
  // so that every lookup is as FindVarMap and FindSprite give it without
  // walking the list again.
  std::array<const TRICElement*, 16> varMaps{};  // map ids are 1..15
  std::unordered_map<std::uint16_t, const TRICElement*> sprites;
  auto varMapOf = [&](std::uint16_t id) { return varMaps[id]; };
  auto eval = [&](RICArgument w) -> int { return Evaluate(w, parameters, varMapOf); };
  commands.clear();
  for (const ElementPtr& ptr : list) {
    const TRICElement& e = *ptr;
    DrawCommand c;
    c.kind = e.Kind;
    switch (e.Kind) {
      case RICElementKind::Description:
        continue;
      case RICElementKind::Sprite:
        sprites[e.ID] = &e;
        continue;
      case RICElementKind::VarMap:
        if (e.ID < varMaps.size()) varMaps[e.ID] = &e;
        sprites.erase(e.ID);
        continue;
      case RICElementKind::CopyBits: {
        auto it = sprites.find(std::uint16_t(eval(e.SpriteID)));
        if (it == sprites.end()) continue;
        c.sprite = it->second;
        c.a[0] = eval(e.PosX), c.a[1] = eval(e.PosY), c.a[2] = eval(e.Width);
        c.a[3] = eval(e.Height), c.a[4] = eval(e.RelX), c.a[5] = eval(e.RelY);
        break;
      }
      case RICElementKind::Pixel:
        c.a[0] = eval(e.PosX), c.a[1] = eval(e.PosY);
        break;
      case RICElementKind::Line:
        c.a[0] = eval(e.X1), c.a[1] = eval(e.Y1), c.a[2] = eval(e.X2), c.a[3] = eval(e.Y2);
        break;
      case RICElementKind::Rectangle:
        c.a[0] = eval(e.PosX), c.a[1] = eval(e.PosY), c.a[2] = eval(e.Width);
        c.a[3] = eval(e.Height);
        break;
      case RICElementKind::Circle:
        c.a[0] = eval(e.PosX), c.a[1] = eval(e.PosY), c.a[2] = eval(e.Radius);
        break;
      case RICElementKind::NumBox:
        c.a[0] = eval(e.PosX), c.a[1] = eval(e.PosY), c.a[2] = eval(e.Value);
        break;
      case RICElementKind::Ellipse:
        c.a[0] = eval(e.PosX), c.a[1] = eval(e.PosY), c.a[2] = eval(e.RadiusX);
        c.a[3] = eval(e.RadiusY);
        break;
      case RICElementKind::Polygon: {
        // One line per edge, from each point to the next and back to the first.
        const std::size_t n = PolygonCorners(e);
        c.kind = RICElementKind::Line;
        for (std::size_t i = 0; i < n; ++i) {
          const PolygonPoint& p = e.PolygonPoints[i];
          const PolygonPoint& q = e.PolygonPoints[(i + 1) % n];
          c.a[0] = eval(p.X), c.a[1] = eval(p.Y), c.a[2] = eval(q.X), c.a[3] = eval(q.Y);
          commands.push_back(c);
        }
        continue;
      }
    }
    commands.push_back(c);
  }
}

void RenderDocument(NXTDisplay& display, int dx, int dy, const RICElementList& list,
                    const TParameterSet& parameters) {
  display.SetDrawingOffset(dx, dy);
  thread_local std::vector<DrawCommand> commands;
  EvaluateDocument(list, parameters, commands);
  SpriteCopyCache cache;
  // Last to first pays where elements overdraw each other; a small picture
  // rarely does, and is drawn first to last with the plain primitives.
  if (commands.size() >= 128) {
    DrawLastToFirst(display, commands.data(), commands.size(), cache);
    return;
  }
  display.ClearDisplay();
  for (const DrawCommand& c : commands) {
    const int* a = c.a;
    switch (c.kind) {
      case RICElementKind::CopyBits:
        display.CopySpriteBits(*c.sprite, a[0], a[1], a[2], a[3], a[4], a[5], cache);
        break;
      case RICElementKind::Pixel:
        display.DrawPixel(a[0], a[1]);
        break;
      case RICElementKind::Line:
        display.DrawLine(a[0], a[1], a[2], a[3]);
        break;
      case RICElementKind::Rectangle:
        display.DrawRectangle(a[0], a[1], a[2], a[3]);
        break;
      case RICElementKind::Circle:
        display.DrawCircle(a[0], a[1], a[2]);
        break;
      case RICElementKind::NumBox:
        display.DrawNumberBox(a[0], a[1], unsigned(a[2]));
        break;
      case RICElementKind::Ellipse:
        display.DrawEllipse(a[0], a[1], a[2], a[3]);
        break;
      default:
        break;
    }
  }
}

}  // namespace tavlin
