// What elements take on file: sprite pixel bytes, the shapes' size words,
// each element's bytes and the document's file size.
#include <algorithm>
#include <limits>

#include "ElementKinds.h"

namespace tavlin {

int SpriteDataSize(const TRect& area) {
  if (area.Left == -1) return 2;
  int width = area.Right - area.Left + 1;
  int rows = area.Bottom - area.Top + 1;
  int bytesPerRow = width / 8 + (width % 8 != 0 ? 1 : 0);
  return rows * bytesPerRow;
}

std::vector<std::uint16_t> ShapeRecordWords(const TRICElement& e) {
  std::vector<std::uint16_t> words{std::uint16_t(e.Kind), e.CopyOpt};
  if (e.Kind == RICElementKind::Ellipse) {
    words.insert(words.end(), {e.PosX, e.PosY, e.RadiusX, e.RadiusY});
  } else {
    words.push_back(e.PolygonCount.value_or(std::uint16_t(e.PolygonPoints.size())));
    for (const PolygonPoint& p : e.PolygonPoints) words.insert(words.end(), {p.X, p.Y});
  }
  return words;
}

std::uint16_t ShapeSizeWord(const TRICElement& e) {
  const std::vector<std::uint16_t> words = ShapeRecordWords(e);
  const std::size_t full = 2 * words.size();
  if (e.CutSize != 0 && e.CutSize < full) {
    bool cutZero = true;
    for (std::size_t byte = e.CutSize; byte < full; ++byte)
      cutZero = cutZero && ((words[byte / 2] >> (8 * (byte % 2))) & 0xFF) == 0;
    if (cutZero) return e.CutSize;
  }
  return std::uint16_t(full + e.ExtraBytes.size());
}

std::size_t ElementFileSize(const TRICElement& e) {
  const ElementKindRow& row = KindRow(e.Kind);
  if (row.VariableSize) return row.VariableSize(e);
  return 4 + 2 * (row.Fields.size() + std::size_t(row.ZeroWords));
}

int ComputeFileSize(const RICElementList& list) {
  std::size_t total = 0;
  for (const ElementPtr& e : list) total += ElementFileSize(*e);
  return int(std::min<std::size_t>(total, std::size_t(std::numeric_limits<int>::max())));
}

}  // namespace tavlin
