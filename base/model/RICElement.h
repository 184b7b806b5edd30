// The RIC document model: element records, their kinds, the element list
// that is the document, and the operations on them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RICArgument.h"
#include "SpriteCanvas.h"

namespace tavlin {

// The value equals the RIC opcode.
enum class RICElementKind : std::uint8_t {
  Description = 0,
  Sprite = 1,
  VarMap = 2,
  CopyBits = 3,
  Pixel = 4,
  Line = 5,
  Rectangle = 6,
  Circle = 7,
  NumBox = 8,
  Ellipse = 9,
  Polygon = 10,
};
constexpr int kElementKindCount = 11;

// "Description", "Sprite", ... as the command-line tool and the dump name them.
const char* KindName(RICElementKind kind);

// An inclusive pixel rectangle of a sprite canvas; unset when Left is -1.
struct TRect {
  std::int32_t Left = -1, Top = -1, Right = -1, Bottom = -1;
  bool IsSet() const { return Left != -1; }
  bool operator==(const TRect&) const = default;
};
constexpr TRect kUnsetRect{-1, -1, -1, -1};

struct PolygonPoint {
  RICArgument X = 0;
  RICArgument Y = 0;
  bool operator==(const PolygonPoint&) const = default;
};

struct VarMapPoint {
  std::uint16_t Domain = 0;
  std::uint16_t Range = 0;
  bool operator==(const VarMapPoint&) const = default;
};

// One drawing step. The fields a kind does not use keep their defaults;
// Width and Height serve Description (plain numbers), CopyBits and Rectangle
// (argument words).
struct TRICElement {
  std::uint16_t DataSize = 0;
  RICElementKind Kind = RICElementKind::Description;

  // Description
  std::uint16_t Options = 0;
  std::uint16_t Width = 0;
  std::uint16_t Height = 0;

  // Sprite and VarMap
  std::uint16_t ID = 0;

  // Sprite
  SpriteCanvas Canvas;
  TRect UsedArea;
  TRect MarkedArea;
  std::int32_t ZoomFactor = 6;

  // VarMap
  std::vector<VarMapPoint> Points;

  // CopyBits and the drawing elements: argument words
  RICArgument SpriteID = 0;
  RICArgument CopyOpt = 0;
  RICArgument PosX = 0;
  RICArgument PosY = 0;
  RICArgument RelX = 0;
  RICArgument RelY = 0;
  RICArgument X1 = 0;
  RICArgument Y1 = 0;
  RICArgument X2 = 0;
  RICArgument Y2 = 0;
  RICArgument Radius = 0;
  RICArgument Value = 0;

  // Ellipse
  RICArgument RadiusX = 0;
  RICArgument RadiusY = 0;

  // Polygon: the points its size word has room for, and the count word as read
  // when it differs from their number (unset: the count is the points'). The
  // brick uses that many points, fewer or more than the element holds.
  // Changing the points clears PolygonCount.
  std::vector<PolygonPoint> PolygonPoints;
  std::optional<std::uint16_t> PolygonCount;

  // Ellipse and Polygon are read by their size words, and keep what a size
  // word made elsewhere covers beyond or short of their words, so that such a
  // file is written back byte for byte:
  // - ExtraBytes: the bytes after the element's words (a longer or odd size
  //   word; for a Polygon, the bytes after the last whole point);
  // - CutSize: a size word too small for the element's words (0: none). The
  //   words it cuts off read as 0 (a cut word keeps its low byte), and the
  //   short size is written again only while they still are.
  std::vector<std::uint8_t> ExtraBytes;
  std::uint16_t CutSize = 0;
};

using ElementPtr = std::unique_ptr<TRICElement>;

// Element makers: a new element with the kind's defaults, owned by the caller.
ElementPtr MakeDescription(std::uint16_t options, std::uint16_t width, std::uint16_t height);
ElementPtr MakeSprite(std::uint16_t id);
ElementPtr MakeVarMap(std::uint16_t id, std::uint16_t count);
ElementPtr MakeCopyBits(RICArgument copyOpt, RICArgument spriteID, RICArgument posX,
                        RICArgument posY, RICArgument width, RICArgument height, RICArgument relX,
                        RICArgument relY);
ElementPtr MakePixel(RICArgument copyOpt, RICArgument posX, RICArgument posY);
ElementPtr MakeLine(RICArgument copyOpt, RICArgument x1, RICArgument y1, RICArgument x2,
                    RICArgument y2);
ElementPtr MakeRectangle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument width,
                         RICArgument height);
ElementPtr MakeCircle(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radius);
ElementPtr MakeNumBox(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument value);
ElementPtr MakeEllipse(RICArgument copyOpt, RICArgument posX, RICArgument posY, RICArgument radiusX,
                       RICArgument radiusY);
ElementPtr MakePolygon(RICArgument copyOpt, std::vector<PolygonPoint> points);

// An ordered list of elements that owns them. The document is one such list.
class RICElementList {
 public:
  RICElementList() = default;
  RICElementList(RICElementList&&) noexcept = default;
  RICElementList& operator=(RICElementList&&) noexcept = default;

  int Count() const { return int(items_.size()); }
  bool Empty() const { return items_.empty(); }
  bool ValidIndex(int index) const { return index >= 0 && index < Count(); }
  TRICElement* operator[](int index) const { return items_[std::size_t(index)].get(); }
  TRICElement* At(int index) const { return ValidIndex(index) ? (*this)[index] : nullptr; }

  // Appends and returns the new element's index.
  int Add(ElementPtr element);
  void Insert(int index, ElementPtr element);
  // Takes the element out without releasing it.
  ElementPtr Take(int index);
  void Exchange(int a, int b);
  void Clear() { items_.clear(); }
  // Moves every element of `other` to the end of this list.
  void Append(RICElementList&& other);

  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<ElementPtr> items_;
};

// Constructors: append a new element to `list` (the document's ElementList)
// and return its index.
int NewDescription(RICElementList& list, std::uint16_t options, std::uint16_t width,
                   std::uint16_t height);
int NewSprite(RICElementList& list, std::uint16_t id);
int NewVarMap(RICElementList& list, std::uint16_t id, std::uint16_t count);
int NewCopyBits(RICElementList& list, RICArgument copyOpt, RICArgument spriteID, RICArgument posX,
                RICArgument posY, RICArgument width, RICArgument height, RICArgument relX,
                RICArgument relY);
int NewPixel(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY);
int NewLine(RICElementList& list, RICArgument copyOpt, RICArgument x1, RICArgument y1,
            RICArgument x2, RICArgument y2);
int NewRectangle(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
                 RICArgument width, RICArgument height);
int NewCircle(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
              RICArgument radius);
int NewNumBox(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
              RICArgument value);
int NewEllipse(RICElementList& list, RICArgument copyOpt, RICArgument posX, RICArgument posY,
               RICArgument radiusX, RICArgument radiusY);
int NewPolygon(RICElementList& list, RICArgument copyOpt, std::vector<PolygonPoint> points);

// The named bits of a CopyOpt word. Shapes (Pixel, Line, Rectangle, Circle,
// Ellipse, Polygon): pixel mode black 0, white or invert; fill; polyline (a
// Polygon without its closing line). Bitmaps (CopyBits, NumBox): invert the
// source; logic copy 0, AND, OR or XOR with the screen; fill (a solid source).
namespace copyopt {
constexpr std::uint16_t kWhite = 0x04, kInvert = 0x18, kFill = 0x20, kPolyline = 0x400;
constexpr std::uint16_t kInvertBitmap = 0x04, kAnd = 0x08, kOr = 0x10, kXor = 0x18;
}  // namespace copyopt

// A constant CopyOpt word by name for an element of this kind: "black" or
// "copy" for 0, else the set options joined by ", " ("fill, XOR",
// "invert"); bits without a name for the kind follow in hex ("fill, 0x0100").
std::string CopyOptionsText(std::uint16_t word, RICElementKind kind);

// A copy for the Double command: a sprite copy gets zoom 6 and no marked area.
ElementPtr DuplicateElement(const TRICElement& source);
// Ellipse and Polygon: their words after the size word, opcode first, and the
// size word the writer gives them (the short CutSize while the words it cuts
// off are 0, else the words and ExtraBytes). A size word past 65535 wraps.
std::vector<std::uint16_t> ShapeRecordWords(const TRICElement& e);
std::uint16_t ShapeSizeWord(const TRICElement& e);
// Releases an element taken out of a list.
void FreeElement(ElementPtr element);
// Empties the list.
void ClearElements(RICElementList& list);

// Pixel bytes of a sprite with this used area (2 when unset).
int SpriteDataSize(const TRect& area);
// The size of the RIC file the list is written as, byte for byte.
int ComputeFileSize(const RICElementList& list);

constexpr std::array<int, 8> ZoomFactors{1, 2, 3, 4, 6, 8, 12, 24};
int ZoomIndex(int factor);

// The placeholder picture for a CopyBits whose sprite is not defined (the
// document's UndefinedSprite). Its record, used area and canvas background
// are set here; the editor paints its texts with the desktop's font.
TRICElement MakeUndefinedSprite(Rgb buttonFace);

// The labelled values the element list shows for an element ("From": "0/P[3]").
struct ElementItem {
  std::string Label;
  std::string Value;
};
std::vector<ElementItem> ElementItems(const TRICElement& element);

}  // namespace tavlin
