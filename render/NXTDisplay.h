// NXTDisplay: the simulated 100 x 64 screen of the NXT brick and the drawing
// primitives the interpreter calls for each element kind.
//
// The surface is a plain row-major pixel buffer (row 0 is the top row). The
// primitives take NXT coordinates, which grow to the right and upwards from
// the bottom-left corner: NXT point (x, y) is surface column x, row 63 - y,
// after the drawing offset has been added. Pixels outside the surface are
// clipped; nothing else limits coordinates, so shapes may lie partly or wholly
// off the screen. Every primitive does work in proportion to what it can draw
// on the surface, not to the size of the shape, so huge coordinates cost
// nothing.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

#include "Colour.h"

namespace tavlin {

struct TRICElement;

class SpriteCopyCache;

// The offset (dx, dy) added to every primitive's x and y: it shifts the
// whole picture right by dx and up by dy.
struct DrawingOffset {
  int DX = 0;
  int DY = 0;
  bool operator==(const DrawingOffset&) const = default;
};

class NXTDisplay {
 public:
  static constexpr int kWidth = 100;
  static constexpr int kHeight = 64;

  // A cleared (white) display with offset (0, 0).
  NXTDisplay();

  // --- surface access (surface coordinates: column, row from the top) ---
  static bool Contains(int column, int row) {
    return column >= 0 && row >= 0 && column < kWidth && row < kHeight;
  }
  Rgb Pixel(int column, int row) const { return pixels_[Index(column, row)]; }
  void SetPixel(int column, int row, Rgb colour) { pixels_[Index(column, row)] = colour; }
  // The whole surface, row after row from the top.
  const Rgb* Pixels() const { return pixels_.data(); }
  // The same, writable, for renderers that fill the surface themselves.
  Rgb* MutablePixels() { return pixels_.data(); }
  bool operator==(const NXTDisplay& other) const {
    return std::equal(pixels_.begin(), pixels_.begin() + kSpare, other.pixels_.begin());
  }

  // --- drawing offset ---
  void SetDrawingOffset(DrawingOffset offset) { offset_ = offset; }
  void SetDrawingOffset(int dx, int dy) { offset_ = {dx, dy}; }
  DrawingOffset GetDrawingOffset() const { return offset_; }

  // --- primitives (NXT coordinates, the drawing offset last set added) ---

  // Fills the whole surface white.
  void ClearDisplay();
  // Sets NXT point (x, y) black.
  void DrawPixel(int x, int y);
  // Bresenham with a doubled error term; both end points are drawn.
  void DrawLine(int x1, int y1, int x2, int y2);
  // The outline over columns x..x + w and rows y..y + h, drawn as four lines.
  void DrawRectangle(int x, int y, int w, int h);
  // The circle walk over one quadrant, mirrored four ways; r = 0 is one pixel.
  void DrawCircle(int cx, int cy, int r);
  // The enhanced firmware's hollow ellipse, radii as 16-bit signed words: a
  // radius of 0 gives a straight run, a negative one otherwise nothing.
  void DrawEllipse(int cx, int cy, int rx, int ry);
  // Lines between consecutive points and back to the first: `xy` holds
  // `count` x, y pairs. One point is a pixel.
  void DrawPolygon(const int* xy, std::size_t count);
  // The value in black digits on a grey box on the 8-pixel text line that
  // holds y (y rounded down to a multiple of 8); the column left of the box is
  // cleared to white. The box starts at column x and is 6 pixels per digit wide.
  void DrawNumberBox(int x, int y, unsigned value);
  // Copies the block of width x height pixels at sprite coordinates
  // (posX, posY) - counted from the bottom-left of the sprite's used area - to
  // NXT point (relX, relY), one to one with no transparency, then turns every
  // grey pixel white in the block and one column right of it and one row below
  // it. Source pixels outside the canvas (or any pixel of a sprite whose used
  // area is unset) leave the display as it was.
  void CopySpriteBits(const TRICElement& sprite, int posX, int posY, int width, int height,
                      int relX, int relY);
  // The same, sharing converted sprite pixels with the other copies of a
  // render (see SpriteCopyCache.h).
  void CopySpriteBits(const TRICElement& sprite, int posX, int posY, int width, int height,
                      int relX, int relY, SpriteCopyCache& cache);

 private:
  static int Index(int column, int row) { return row * kWidth + column; }
  // The surface, then one spare pixel that nothing reads.
  static constexpr std::size_t kSpare = std::size_t(kWidth) * kHeight;
  std::array<Rgb, kSpare + 1> pixels_;
  DrawingOffset offset_;
};

}  // namespace tavlin
