#include "ElementKinds.h"

#include <algorithm>
#include <array>
#include <string>

namespace tavlin {

namespace {

using E = TRICElement;

constexpr ArgumentField kDescription[] = {
    {"Options", &E::Options}, {"Width", &E::Width}, {"Height", &E::Height}};
constexpr ArgumentField kIdOnly[] = {{"ID", &E::ID}};
constexpr ArgumentField kCopyBits[] = {
    {"CopyOpt", &E::CopyOpt}, {"SpriteID", &E::SpriteID}, {"PosX", &E::PosX}, {"PosY", &E::PosY},
    {"Width", &E::Width},     {"Height", &E::Height},     {"RelX", &E::RelX}, {"RelY", &E::RelY}};
constexpr ArgumentField kPixel[] = {
    {"CopyOpt", &E::CopyOpt}, {"PosX", &E::PosX}, {"PosY", &E::PosY}};
constexpr ArgumentField kLine[] = {
    {"CopyOpt", &E::CopyOpt}, {"X1", &E::X1}, {"Y1", &E::Y1}, {"X2", &E::X2}, {"Y2", &E::Y2}};
constexpr ArgumentField kRectangle[] = {{"CopyOpt", &E::CopyOpt},
                                        {"PosX", &E::PosX},
                                        {"PosY", &E::PosY},
                                        {"Width", &E::Width},
                                        {"Height", &E::Height}};
constexpr ArgumentField kCircle[] = {
    {"CopyOpt", &E::CopyOpt}, {"PosX", &E::PosX}, {"PosY", &E::PosY}, {"Radius", &E::Radius}};
constexpr ArgumentField kNumBox[] = {
    {"CopyOpt", &E::CopyOpt}, {"PosX", &E::PosX}, {"PosY", &E::PosY}, {"Value", &E::Value}};
constexpr ArgumentField kEllipse[] = {{"CopyOpt", &E::CopyOpt},
                                      {"PosX", &E::PosX},
                                      {"PosY", &E::PosY},
                                      {"RadiusX", &E::RadiusX},
                                      {"RadiusY", &E::RadiusY}};
constexpr ArgumentField kPolygon[] = {{"CopyOpt", &E::CopyOpt}};

constexpr ItemColumn kDescriptionItems[] = {{"Options", &E::Options},
                                            {"Size", &E::Width, &E::Height}};
constexpr ItemColumn kSpriteItems[] = {{"Sprite", &E::ID}};
constexpr ItemColumn kVarMapItems[] = {{"ID", &E::ID}};
constexpr ItemColumn kCopyBitsItems[] = {{"Sprite", &E::SpriteID},
                                         {"Source", &E::PosX, &E::PosY},
                                         {"Size", &E::Width, &E::Height},
                                         {"Destination", &E::RelX, &E::RelY}};
constexpr ItemColumn kPixelItems[] = {{"Position", &E::PosX, &E::PosY}};
constexpr ItemColumn kLineItems[] = {{"From", &E::X1, &E::Y1}, {"To", &E::X2, &E::Y2}};
constexpr ItemColumn kRectangleItems[] = {{"Position", &E::PosX, &E::PosY},
                                          {"Size", &E::Width, &E::Height}};
constexpr ItemColumn kCircleItems[] = {{"Position", &E::PosX, &E::PosY}, {"Radius", &E::Radius}};
constexpr ItemColumn kNumBoxItems[] = {{"Position", &E::PosX, &E::PosY}, {"Number", &E::Value}};
constexpr ItemColumn kEllipseItems[] = {{"Position", &E::PosX, &E::PosY},
                                        {"Radii", &E::RadiusX, &E::RadiusY}};

// As the writer lays a sprite out: an unset area is one clear pixel, an
// empty one carries a zero word, and an odd count of pixel bytes is padded.
std::size_t SpriteFileSize(const TRICElement& e) {
  const TRect& a = e.UsedArea.IsSet() ? e.UsedArea : kUnsetRect;
  const std::size_t width = std::size_t(std::max(a.Right - a.Left + 1, 0));
  const std::size_t rows = std::size_t(std::max(a.Bottom - a.Top + 1, 0));
  const std::size_t n = rows * ((width + 7) / 8);
  return n == 0 ? 12 : 10 + n + n % 2;
}
// A VarMap without points is written with two.
std::size_t VarMapFileSize(const TRICElement& e) {
  return e.Points.empty() ? 16 : 8 + 4 * e.Points.size();
}
// Ellipse and Polygon: a short size word cuts the words; extra bytes follow
// only a full one.
std::size_t ShapeFileSize(const TRICElement& e) {
  const std::size_t words = 2 * ShapeRecordWords(e).size();
  const std::size_t size = ShapeSizeWord(e);
  return 2 + std::min(size, words) +
         (size == words + e.ExtraBytes.size() ? e.ExtraBytes.size() : 0);
}

std::vector<ElementItem> SpriteItems(const TRICElement& e) {
  const TRect& a = e.UsedArea;
  if (a.Right == -1) return {{"Size", "undefined"}};
  return {{"Size", FormatGridArgument(RICArgument(a.Right - a.Left + 1)) + "/" +
                       FormatGridArgument(RICArgument(a.Bottom - a.Top + 1))}};
}
std::vector<ElementItem> VarMapItems(const TRICElement& e) {
  return {{"Entries", std::to_string(e.Points.size())}};
}
std::vector<ElementItem> PolygonItems(const TRICElement& e) {
  return {{"Points", std::to_string(e.PolygonPoints.size())}};
}

using K = RICElementKind;
using C = CopyOptionSet;

// Indexed by opcode. The makers give what the Add element command adds.
const ElementKindRow kRows[kElementKindCount] = {
    {.Kind = K::Description,
     .Name = "Description",
     .Fields = kDescription,
     .ArgumentWords = false,
     .ScriptKeyword = "desc",
     .ScriptAlias = "COMMENT",
     .MakeDefault = [] { return MakeDescription(0, 0, 0); },
     .Items = kDescriptionItems},
    {.Kind = K::Sprite,
     .Name = "Sprite",
     .Fields = kIdOnly,
     .ArgumentWords = false,
     .ScriptKeyword = "sprite",
     .ScriptAlias = "IMAGE",
     .MakeDefault = [] { return MakeSprite(1); },
     .VariableSize = SpriteFileSize,
     .Items = kSpriteItems,
     .OwnItems = SpriteItems},
    {.Kind = K::VarMap,
     .Name = "VarMap",
     .Fields = kIdOnly,
     .ArgumentWords = false,
     .ScriptKeyword = "varmap",
     .ScriptAlias = "FUNCTION",
     .MakeDefault = [] { return MakeVarMap(1, 0); },
     .VariableSize = VarMapFileSize,
     .Items = kVarMapItems,
     .OwnItems = VarMapItems},
    {.Kind = K::CopyBits,
     .Name = "CopyBits",
     .Fields = kCopyBits,
     .CopyOptions = C::Bitmaps,
     .ScriptKeyword = "copybits",
     .ScriptAlias = "BITBLIT",
     .MakeDefault = [] { return MakeCopyBits(0, 1, 0, 0, 1, 1, 0, 0); },
     .Items = kCopyBitsItems},
    {.Kind = K::Pixel,
     .Name = "Pixel",
     .Fields = kPixel,
     .ZeroWords = 1,
     .CopyOptions = C::Shapes,
     .ScriptKeyword = "pixel",
     .ScriptAlias = "POINT",
     .MakeDefault = [] { return MakePixel(0, 0, 0); },
     .Items = kPixelItems},
    {.Kind = K::Line,
     .Name = "Line",
     .Fields = kLine,
     .CopyOptions = C::Shapes,
     .ScriptKeyword = "line",
     .ScriptAlias = "LINIE",
     .MakeDefault = [] { return MakeLine(0, 0, 0, 10, 10); },
     .Items = kLineItems},
    {.Kind = K::Rectangle,
     .Name = "Rectangle",
     .Fields = kRectangle,
     .CopyOptions = C::Shapes,
     .ScriptKeyword = "rect",
     .ScriptAlias = "RECANTLE",
     .MakeDefault = [] { return MakeRectangle(0, 0, 0, 10, 10); },
     .Items = kRectangleItems},
    {.Kind = K::Circle,
     .Name = "Circle",
     .Fields = kCircle,
     .CopyOptions = C::Shapes,
     .ScriptKeyword = "circle",
     .MakeDefault = [] { return MakeCircle(0, 30, 30, 10); },
     .Items = kCircleItems},
    {.Kind = K::NumBox,
     .Name = "NumBox",
     .Fields = kNumBox,
     .CopyOptions = C::Bitmaps,
     .ScriptKeyword = "numbox",
     .MakeDefault = [] { return MakeNumBox(0, 0, 0, 0); },
     .Items = kNumBoxItems},
    {.Kind = K::Ellipse,
     .Name = "Ellipse",
     .Fields = kEllipse,
     .CopyOptions = C::Shapes,
     .ScriptKeyword = "ellipse",
     .MakeDefault = [] { return MakeEllipse(0, 30, 30, 20, 10); },
     .VariableSize = ShapeFileSize,
     .Items = kEllipseItems},
    {.Kind = K::Polygon,
     .Name = "Polygon",
     .Fields = kPolygon,
     .CopyOptions = C::Polygon,
     .ScriptKeyword = "polygon",
     .MakeDefault =
         [] {
           return MakePolygon(0, {{10, 10}, {40, 10}, {25, 40}});
         },
     .VariableSize = ShapeFileSize,
     .OwnItems = PolygonItems},
};

}  // namespace

std::span<const ElementKindRow> ElementKindRows() { return kRows; }

const ElementKindRow& KindRow(RICElementKind kind) {
  // An element is never of another kind; anything else reads as a Description.
  return IsElementKind(unsigned(kind)) ? kRows[std::size_t(kind)] : kRows[0];
}

const char* KindName(RICElementKind kind) {
  return IsElementKind(unsigned(kind)) ? kRows[std::size_t(kind)].Name : "Unknown";
}

std::span<const ArgumentField> ArgumentFields(RICElementKind kind) {
  return IsElementKind(unsigned(kind)) ? kRows[std::size_t(kind)].Fields
                                       : std::span<const ArgumentField>();
}

const ElementKindRow* KindOfScriptKeyword(std::string_view word) {
  // The reader's text is upper case; the keywords are made so once.
  static const std::array<std::string, kElementKindCount> upper = [] {
    std::array<std::string, kElementKindCount> words;
    for (std::size_t k = 0; k < words.size(); ++k)
      for (const char* c = kRows[k].ScriptKeyword; *c; ++c)
        words[k].push_back(*c >= 'a' && *c <= 'z' ? char(*c - 'a' + 'A') : *c);
    return words;
  }();
  for (std::size_t k = 0; k < upper.size(); ++k)
    if (word == upper[k] || (kRows[k].ScriptAlias && word == kRows[k].ScriptAlias))
      return &kRows[k];
  return nullptr;
}

}  // namespace tavlin
