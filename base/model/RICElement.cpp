#include "RICElement.h"

#include "ArgumentFields.h"

#include <algorithm>
#include <limits>

namespace tavlin {

RICElementList ElementList;
TRICElement UndefinedSprite;

const char* KindName(RICElementKind kind) {
  // clang-format off
  static const char* const names[kElementKindCount] = {
      "Description", "Sprite", "VarMap", "CopyBits", "Pixel",
      "Line",        "Rectangle", "Circle", "NumBox", "Ellipse",
      "Polygon"};
  // clang-format on
  auto k = std::size_t(kind);
  return k < std::size(names) ? names[k] : "Unknown";
}

namespace {
ElementPtr MakeOfKind(RICElementKind kind) {
  auto e = std::make_unique<TRICElement>();
  e->Kind = kind;
  return e;
}
}  // namespace

ElementPtr MakeDescription(std::uint16_t options, std::uint16_t width, std::uint16_t height) {
  auto e = MakeOfKind(RICElementKind::Description);
  e->Options = options;
  e->Width = width;
  e->Height = height;
  return e;
}

ElementPtr MakeSprite(std::uint16_t id) {
  auto e = MakeOfKind(RICElementKind::Sprite);
  e->ID = id;
  e->UsedArea = kUnsetRect;
  e->MarkedArea = kUnsetRect;
  e->ZoomFactor = 6;
  e->Canvas.Fill(kGrey);
  return e;
}

ElementPtr MakeVarMap(std::uint16_t id, std::uint16_t count) {
  auto e = MakeOfKind(RICElementKind::VarMap);
  e->ID = id;
  if (count == 0)
    e->Points = {{0, 0}, {99, 63}};
  else
    e->Points.assign(count, VarMapPoint{0, 0});
  return e;
}

ElementPtr MakeCopyBits(RICArgument copyOpt, RICArgument spriteID, RICArgument posX,
                        RICArgument posY, RICArgument width, RICArgument height, RICArgument relX,
                        RICArgument relY) {
  auto e = MakeOfKind(RICElementKind::CopyBits);
  e->CopyOpt = copyOpt;
  e->SpriteID = spriteID;
  e->PosX = posX;
  e->PosY = posY;
  e->Width = width;
  e->Height = height;
  e->RelX = relX;
  e->RelY = relY;
  return e;
}

ElementPtr MakePixel(RICArgument copyOpt, RICArgument posX, RICArgument posY) {
  auto e = MakeOfKind(RICElementKind::Pixel);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  return e;
}

ElementPtr MakeLine(RICArgument copyOpt, RICArgument x1, RICArgument y1, RICArgument x2,
                    RICArgument y2) {
  auto e = MakeOfKind(RICElementKind::Line);
  e->CopyOpt = copyOpt;
  e->X1 = x1;
  e->Y1 = y1;
  e->X2 = x2;
  e->Y2 = y2;
  return e;
}

ElementPtr MakeRectangle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument width,
                         RICArgument height) {
  auto e = MakeOfKind(RICElementKind::Rectangle);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->Width = width;
  e->Height = height;
  return e;
}

ElementPtr MakeCircle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radius) {
  auto e = MakeOfKind(RICElementKind::Circle);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->Radius = radius;
  return e;
}

ElementPtr MakeNumBox(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument value) {
  auto e = MakeOfKind(RICElementKind::NumBox);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->Value = value;
  return e;
}

ElementPtr MakeEllipse(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radiusX,
                       RICArgument radiusY) {
  auto e = MakeOfKind(RICElementKind::Ellipse);
  e->CopyOpt = copyOpt;
  e->PosX = posX;
  e->PosY = posY;
  e->RadiusX = radiusX;
  e->RadiusY = radiusY;
  return e;
}

ElementPtr MakePolygon(RICArgument copyOpt, std::vector<PolygonPoint> points) {
  auto e = MakeOfKind(RICElementKind::Polygon);
  e->CopyOpt = copyOpt;
  e->PolygonPoints = std::move(points);
  return e;
}

int RICElementList::Add(ElementPtr element) {
  items_.push_back(std::move(element));
  return Count() - 1;
}

void RICElementList::Insert(int index, ElementPtr element) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, std::move(element));
}

ElementPtr RICElementList::Take(int index) {
  if (!ValidIndex(index)) return nullptr;
  ElementPtr e = std::move(items_[std::size_t(index)]);
  items_.erase(items_.begin() + index);
  return e;
}

void RICElementList::Exchange(int a, int b) {
  if (ValidIndex(a) && ValidIndex(b)) std::swap(items_[std::size_t(a)], items_[std::size_t(b)]);
}

void RICElementList::Append(RICElementList&& other) {
  for (auto& e : other.items_) items_.push_back(std::move(e));
  other.items_.clear();
}

int NewDescription(std::uint16_t options, std::uint16_t width, std::uint16_t height) {
  return ElementList.Add(MakeDescription(options, width, height));
}
int NewSprite(std::uint16_t id) { return ElementList.Add(MakeSprite(id)); }
int NewVarMap(std::uint16_t id, std::uint16_t count) {
  return ElementList.Add(MakeVarMap(id, count));
}
int NewCopyBits(RICArgument copyOpt, RICArgument spriteID, RICArgument posX, RICArgument posY,
                RICArgument width, RICArgument height, RICArgument relX, RICArgument relY) {
  return ElementList.Add(MakeCopyBits(copyOpt, spriteID, posX, posY, width, height, relX, relY));
}
int NewPixel(RICArgument copyOpt, RICArgument posX, RICArgument posY) {
  return ElementList.Add(MakePixel(copyOpt, posX, posY));
}
int NewLine(RICArgument copyOpt, RICArgument x1, RICArgument y1, RICArgument x2, RICArgument y2) {
  return ElementList.Add(MakeLine(copyOpt, x1, y1, x2, y2));
}
int NewRectangle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument width,
                 RICArgument height) {
  return ElementList.Add(MakeRectangle(copyOpt, posX, posY, width, height));
}
int NewCircle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radius) {
  return ElementList.Add(MakeCircle(copyOpt, posX, posY, radius));
}
int NewNumBox(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument value) {
  return ElementList.Add(MakeNumBox(copyOpt, posX, posY, value));
}

int NewEllipse(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radiusX,
               RICArgument radiusY) {
  return ElementList.Add(MakeEllipse(copyOpt, posX, posY, radiusX, radiusY));
}
int NewPolygon(RICArgument copyOpt, std::vector<PolygonPoint> points) {
  return ElementList.Add(MakePolygon(copyOpt, std::move(points)));
}

ElementPtr DuplicateElement(const TRICElement& source) {
  auto e = std::make_unique<TRICElement>(source);  // the canvas copy shares tiles until written
  if (source.Kind == RICElementKind::Sprite) {
    e->MarkedArea = kUnsetRect;
    e->ZoomFactor = 6;
  }
  return e;
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

void FreeElement(ElementPtr element) { element.reset(); }

void ClearElements() {
  // All at once: taking element 0 out again and again would shift the rest
  // every time, quadratic in the length of the document.
  ElementList.Clear();
}

int SpriteDataSize(const TRect& area) {
  if (area.Left == -1) return 2;
  int width = area.Right - area.Left + 1;
  int rows = area.Bottom - area.Top + 1;
  int bytesPerRow = width / 8 + (width % 8 != 0 ? 1 : 0);
  return rows * bytesPerRow;
}

std::size_t ElementFileBytes(const TRICElement& e) {
  switch (e.Kind) {
    case RICElementKind::Sprite: {
      // As the writer lays it out: an unset area is one clear pixel, an empty
      // one carries a zero word, and an odd count of pixel bytes is padded.
      const TRect& a = e.UsedArea.IsSet() ? e.UsedArea : kUnsetRect;
      const std::size_t width = std::size_t(std::max(a.Right - a.Left + 1, 0));
      const std::size_t rows = std::size_t(std::max(a.Bottom - a.Top + 1, 0));
      const std::size_t n = rows * ((width + 7) / 8);
      return n == 0 ? 12 : 10 + n + n % 2;
    }
    case RICElementKind::VarMap:
      return e.Points.empty() ? 16 : 8 + 4 * e.Points.size();
    case RICElementKind::Ellipse:
    case RICElementKind::Polygon: {
      // A short size word cuts the words; extra bytes follow only a full one.
      const std::size_t words = 2 * ShapeRecordWords(e).size();
      const std::size_t size = ShapeSizeWord(e);
      return 2 + std::min(size, words) +
             (size == words + e.ExtraBytes.size() ? e.ExtraBytes.size() : 0);
    }
    case RICElementKind::Pixel:
      return 12;  // its record ends with a zero word
    default:
      return 4 + 2 * ArgumentFields(e.Kind).size();
  }
}

int ComputeFileSize(const RICElementList& list) {
  std::size_t total = 0;
  for (const auto& e : list) total += ElementFileBytes(*e);
  return int(std::min<std::size_t>(total, std::size_t(std::numeric_limits<int>::max())));
}

int ComputeFileSize() { return ComputeFileSize(ElementList); }

int ZoomIndex(int factor) {
  auto it = std::find(ZoomFactors.begin(), ZoomFactors.end(), factor);
  return it == ZoomFactors.end() ? 4 : int(it - ZoomFactors.begin());
}

void InitUndefinedSprite(Rgb buttonFace) {
  UndefinedSprite = TRICElement{};
  UndefinedSprite.Kind = RICElementKind::Sprite;
  UndefinedSprite.ID = 0;
  UndefinedSprite.UsedArea = TRect{0, 448, 99, 511};
  UndefinedSprite.MarkedArea = kUnsetRect;
  UndefinedSprite.ZoomFactor = 4;
  UndefinedSprite.Canvas.Fill(buttonFace);
}

namespace {
std::string Pair(RICArgument a, RICArgument b) {
  return FormatGridArgument(a) + "/" + FormatGridArgument(b);
}

bool IsBitmapKind(RICElementKind kind) {
  return kind == RICElementKind::CopyBits || kind == RICElementKind::NumBox;
}

bool HasCopyOpt(RICElementKind kind) { return kind >= RICElementKind::CopyBits; }

std::string Hex(unsigned bits) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), digits[bits & 15]);
    bits >>= 4;
  } while (bits != 0);
  return "0x" + s;
}

// The options the list shows beside the kind's own items: none for the plain
// default 0, the names for another constant, the reference otherwise.
std::vector<ElementItem> WithOptions(std::vector<ElementItem> items, const TRICElement& e) {
  if (e.CopyOpt == 0) return items;
  const bool constant = DecodeArgument(e.CopyOpt).Mode == ArgumentMode::Constant;
  items.push_back(
      {"Options", constant ? CopyOptionsText(e.CopyOpt, e.Kind) : FormatGridArgument(e.CopyOpt)});
  return items;
}

std::vector<ElementItem> KindItems(const TRICElement& e);
}  // namespace

std::string CopyOptionsText(std::uint16_t word, RICElementKind kind) {
  using copyopt::kFill, copyopt::kInvertBitmap, copyopt::kXor, copyopt::kInvert, copyopt::kPolyline;
  constexpr std::uint16_t kWhiteMode = copyopt::kWhite;
  std::string text;
  auto add = [&](const std::string& name) { text += (text.empty() ? "" : ", ") + name; };
  unsigned rest = word;
  if (rest & kFill) add("fill");
  rest &= ~unsigned(kFill);
  if (IsBitmapKind(kind)) {
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
    if (kind == RICElementKind::Polygon && (rest & kPolyline)) {
      add("polyline");
      rest &= ~unsigned(kPolyline);
    }
  }
  if (rest != 0) add(Hex(rest));
  if (text.empty()) return IsBitmapKind(kind) ? "copy" : "black";
  return text;
}

std::vector<ElementItem> ElementItems(const TRICElement& e) {
  std::vector<ElementItem> items = KindItems(e);
  return HasCopyOpt(e.Kind) ? WithOptions(std::move(items), e) : items;
}

namespace {
std::vector<ElementItem> KindItems(const TRICElement& e) {
  switch (e.Kind) {
    case RICElementKind::Description:
      return {{"Options", FormatGridArgument(e.Options)}, {"Size", Pair(e.Width, e.Height)}};
    case RICElementKind::Sprite: {
      const TRect& a = e.UsedArea;
      std::string size = a.Right == -1 ? "undefined"
                                       : Pair(RICArgument(a.Right - a.Left + 1),
                                              RICArgument(a.Bottom - a.Top + 1));
      return {{"Sprite", std::to_string(e.ID)}, {"Size", size}};
    }
    case RICElementKind::VarMap:
      return {{"ID", FormatGridArgument(e.ID)}, {"Entries", std::to_string(e.Points.size())}};
    case RICElementKind::CopyBits:
      return {{"Sprite", FormatGridArgument(e.SpriteID)},
              {"Source", Pair(e.PosX, e.PosY)},
              {"Size", Pair(e.Width, e.Height)},
              {"Destination", Pair(e.RelX, e.RelY)}};
    case RICElementKind::Pixel:
      return {{"Position", Pair(e.PosX, e.PosY)}};
    case RICElementKind::Line:
      return {{"From", Pair(e.X1, e.Y1)}, {"To", Pair(e.X2, e.Y2)}};
    case RICElementKind::Rectangle:
      return {{"Position", Pair(e.PosX, e.PosY)}, {"Size", Pair(e.Width, e.Height)}};
    case RICElementKind::Circle:
      return {{"Position", Pair(e.PosX, e.PosY)}, {"Radius", FormatGridArgument(e.Radius)}};
    case RICElementKind::NumBox:
      return {{"Position", Pair(e.PosX, e.PosY)}, {"Number", FormatGridArgument(e.Value)}};
    case RICElementKind::Ellipse:
      return {{"Position", Pair(e.PosX, e.PosY)}, {"Radii", Pair(e.RadiusX, e.RadiusY)}};
    case RICElementKind::Polygon:
      return {{"Points", std::to_string(e.PolygonPoints.size())}};
  }
  return {};
}
}  // namespace

}  // namespace tavlin
