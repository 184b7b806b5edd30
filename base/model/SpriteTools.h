// SpriteTools: the sprite editor's pixel work on a SpriteCanvas, free of any
// GUI: keeping the used area (grow, whiten, compress), the shapes of the
// drawing tools, the 4-connected flood fill, the marked-area operations, the
// floating picture and the composition of the zoomed view into an RGB buffer.
//
// Colours are palette indexes (kBlackIndex, kWhiteIndex, kRedIndex, ...).
// Coordinates are canvas pixels; rectangles are inclusive.
#pragma once

#include <cstdint>
#include <vector>

#include "Colour.h"
#include "Picture.h"
#include "RICElement.h"
#include "SpriteCanvas.h"

namespace tavlin {

// Display colours of the floating picture and of the view.
constexpr Rgb kFloatingSet = 0x008080;
constexpr Rgb kFloatingClear = 0xC0DCC0;
constexpr Rgb kGridColour = 0x808080;
constexpr Rgb kMarkMask = 0xF0D0F0;
constexpr Rgb kMarkPaint = 0xE000E0;

// (left, top, right, bottom) with left <= right and top <= bottom.
TRect Normalised(int x1, int y1, int x2, int y2);

// ---- used area ----
// Every pixel of the rectangle (any corner order) that is not black becomes white.
void WhitenNonSet(SpriteCanvas& canvas, int x1, int y1, int x2, int y2);
// Grows `used` to contain the rectangle (any corner order, clamped into the
// canvas); newly included pixels turn white unless they are black.
void ExtendUsedArea(SpriteCanvas& canvas, TRect& used, int left, int top, int right, int bottom);
// Shrinks `used` to the smallest rectangle holding its black pixels, painting
// what it leaves grey; unsets it when there is no black pixel. Returns true
// when the area was set.
bool CompressUsedArea(SpriteCanvas& canvas, TRect& used);

// ---- shapes ----
// A one-pixel line with both end pixels.
void DrawLine(SpriteCanvas& canvas, int x1, int y1, int x2, int y2, std::uint8_t colour);
// Filled: the whole box; outline: its border (nothing when both corners coincide).
void DrawRectShape(SpriteCanvas& canvas, int x1, int y1, int x2, int y2, std::uint8_t colour,
                   bool filled);
// The ellipse inscribed in the inclusive box; it touches all four box edges.
void DrawEllipseInBox(SpriteCanvas& canvas, int left, int top, int right, int bottom,
                      std::uint8_t colour, bool filled);
// Circle of radius r about (cx, cy): the ellipse in cx-r..cx+r, cy-r..cy+r.
void DrawCircleShape(SpriteCanvas& canvas, int cx, int cy, int r, std::uint8_t colour, bool filled);
// The ellipse dragged from (x1, y1) to (x2, y2): its box has the x edges x1 and
// x2 + 1 and the y edges y1 and y2 + 1, lower edge inclusive, upper exclusive.
void DrawEllipseShape(SpriteCanvas& canvas, int x1, int y1, int x2, int y2, std::uint8_t colour,
                      bool filled);
// The box DrawEllipseShape fills, or an unset rectangle when it is empty.
TRect EllipseDragBox(int x1, int y1, int x2, int y2);

// 4-connected fill. colour black replaces white, colour white replaces black;
// nothing happens when (x, y) is not of the replaced colour. Returns the
// number of pixels changed.
int FloodFill(SpriteCanvas& canvas, int x, int y, std::uint8_t colour);

// ---- marked-area operations (area normalised and inside the canvas) ----
enum class ScrollDirection { Up, Down, Left, Right };
void ScrollArea(SpriteCanvas& canvas, const TRect& area, ScrollDirection direction);
void MirrorArea(SpriteCanvas& canvas, const TRect& area, bool horizontal);
void InvertArea(SpriteCanvas& canvas, const TRect& area);
void FillArea(SpriteCanvas& canvas, const TRect& area, std::uint8_t colour);

// ---- the floating picture ----
// A picture of its own size held in colours (the view's display colours while floating).
using FloatingPicture = Picture;
// Black -> teal; grey and white -> pale green; other colours stay.
void ConvertToDisplay(FloatingPicture& picture);
// Teal -> black; grey and pale green -> white; other colours stay.
void ConvertToCanvas(FloatingPicture& picture);
// A copy of the canvas rectangle in display colours.
FloatingPicture LiftArea(const SpriteCanvas& canvas, const TRect& area);
// Turns the picture by 90 degrees; W x H becomes H x W.
void RotatePicture(FloatingPicture& picture, bool clockwise);
// Copies the picture (display colours) opaque onto the canvas with its top-left
// at (x, y), cut at the canvas edges.
void StampPicture(SpriteCanvas& canvas, const FloatingPicture& picture, int x, int y);

// ---- undo snapshots ----
// A compact copy of a canvas for the undo stack: tiles holding only the
// first four palette colours (grey, black, white, red) take 2 bits a pixel,
// other tiles a byte a pixel, tiles of nothing but the background nothing.
// Old snapshots share no tiles once every tile has been redrawn, so the
// stack keeps them packed to stay small.
class PackedCanvas {
 public:
  PackedCanvas() = default;
  explicit PackedCanvas(const SpriteCanvas& canvas);
  SpriteCanvas Unpack() const;
  std::size_t Bytes() const;

 private:
  struct Tile {
    int index = 0;
    bool wide = false;  // a byte a pixel
    std::vector<std::uint8_t> data;
  };
  Rgb background_ = kGrey;
  std::vector<Tile> tiles_;
};

// ---- the view ----
struct SpriteViewState {
  int Zoom = 6;
  int ScrollX = 0;
  int ScrollY = 0;
  TRect Marked;
  const FloatingPicture* Floating = nullptr;  // drawn when FloatingX != -1
  int FloatingX = -1;
  int FloatingY = -1;
  // The canvas area of the view: whole multiples of kViewStep, so that every
  // zoom factor shows whole canvas pixels; at most the canvas at zoom 1.
  int AreaWidth = 600;
  int AreaHeight = 384;
};
constexpr int kViewWidth = 602;
constexpr int kViewHeight = 386;
constexpr int kViewStep = 24;  // the least common multiple of the zoom factors
// Composes the view of AreaWidth + 2 x AreaHeight + 2 pixels (canvas scaled
// by the zoom, marked-area tint, floating picture, grid from zoom 3 on, black
// border) as 0xFFRRGGBB pixels into `out`, whose rows are `stride` pixels apart.
void ComposeSpriteView(const SpriteCanvas& canvas, const SpriteViewState& view, std::uint32_t* out,
                       int stride);

}  // namespace tavlin
