// The named bits of a CopyOpt word, as text.
#include "ElementKinds.h"

namespace tavlin {

namespace {
std::string Hex(unsigned bits) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), digits[bits & 15]);
    bits >>= 4;
  } while (bits != 0);
  return "0x" + s;
}
}  // namespace

std::string CopyOptionsText(std::uint16_t word, RICElementKind kind) {
  using copyopt::kFill, copyopt::kInvertBitmap, copyopt::kXor, copyopt::kInvert, copyopt::kPolyline;
  constexpr std::uint16_t kWhiteMode = copyopt::kWhite;
  const CopyOptionSet set = KindRow(kind).CopyOptions;
  const bool bitmap = set == CopyOptionSet::Bitmaps;
  std::string text;
  auto add = [&](const std::string& name) { text += (text.empty() ? "" : ", ") + name; };
  unsigned rest = word;
  if (rest & kFill) add("fill");
  rest &= ~unsigned(kFill);
  if (bitmap) {
    if (rest & kInvertBitmap) add("invert");
    static const char* const logic[] = {nullptr, "AND", "OR", "XOR"};
    if (const char* name = logic[(rest & kXor) >> 3]) add(name);
    rest &= ~unsigned(kInvertBitmap | kXor);
  } else {
    const unsigned mode = rest & (kWhite | kInvert);
    if (mode == kWhiteMode || mode == kInvert) {
      add(mode == kWhiteMode ? "white" : "invert");
      rest &= ~mode;
    }
    if (set == CopyOptionSet::Polygon && (rest & kPolyline)) {
      add("polyline");
      rest &= ~unsigned(kPolyline);
    }
  }
  if (rest != 0) add(Hex(rest));
  if (text.empty()) return bitmap ? "copy" : "black";
  return text;
}

}  // namespace tavlin
