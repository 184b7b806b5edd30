// SpriteCanvas: the 1024 x 512 picture a Sprite element owns.
//
// The canvas is tiled. A tile that was never written holds the canvas's
// background colour (grey for a new sprite) and costs no memory. A tile keeps
// only the band of rows that was written (a one-row sprite holds 32 bytes per
// tile), and a canvas with few tiles keeps them in a short sorted list rather
// than the full table, so a file of thousands of tiny sprites stays small.
// Tiles are shared between copies and copied on the first write
// (copy-on-write), which makes duplicating a sprite and taking undo snapshots
// cheap. Pixels are stored as one-byte indexes into a process-wide palette of
// the colours the system paints with.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "Colour.h"

namespace tavlin {

// Process-wide palette: colour <-> one-byte index. Index 0 is grey, 1 black,
// 2 white, 3 the preview red. Further colours get the next free index; once
// all 256 are taken, a colour maps to the nearest one already there.
std::uint8_t PaletteIndex(Rgb colour);
Rgb PaletteColour(std::uint8_t index);
constexpr std::uint8_t kGreyIndex = 0;
constexpr std::uint8_t kBlackIndex = 1;
constexpr std::uint8_t kWhiteIndex = 2;
constexpr std::uint8_t kRedIndex = 3;

class SpriteCanvas {
 public:
  static constexpr int kWidth = 1024;
  static constexpr int kHeight = 512;
  static constexpr int kTileSize = 32;
  static constexpr int kTilesX = kWidth / kTileSize;
  static constexpr int kTilesY = kHeight / kTileSize;
  static constexpr int kTileCount = kTilesX * kTilesY;

  SpriteCanvas();
  explicit SpriteCanvas(Rgb background);
  SpriteCanvas(const SpriteCanvas& other);
  SpriteCanvas& operator=(const SpriteCanvas& other);
  SpriteCanvas(SpriteCanvas&& other) noexcept;
  SpriteCanvas& operator=(SpriteCanvas&& other) noexcept;
  ~SpriteCanvas();

  static bool Contains(int x, int y) { return x >= 0 && y >= 0 && x < kWidth && y < kHeight; }

  // Reads outside the canvas give the background colour.
  Rgb Pixel(int x, int y) const { return PaletteColour(PixelIndex(x, y)); }
  std::uint8_t PixelIndex(int x, int y) const;
  bool IsBlack(int x, int y) const { return PixelIndex(x, y) == kBlackIndex; }

  // Writes outside the canvas are ignored.
  void SetPixel(int x, int y, Rgb colour) { SetPixelIndex(x, y, PaletteIndex(colour)); }
  void SetPixelIndex(int x, int y, std::uint8_t index);

  // Fills an inclusive rectangle, clipped to the canvas.
  void FillRect(int left, int top, int right, int bottom, Rgb colour);
  // Fills the whole canvas: every tile is dropped and the background becomes the colour.
  void Fill(Rgb colour);

  // Copies `count` pixel indexes of row y starting at column x into out;
  // columns outside the canvas give the background index.
  void ReadRowIndexes(int x, int y, int count, std::uint8_t* out) const;
  // Writes `count` pixel indexes into row y from column x, clipped to the canvas.
  void WriteRowIndexes(int x, int y, int count, const std::uint8_t* in);

  Rgb Background() const { return PaletteColour(background_); }
  std::uint8_t BackgroundIndex() const { return background_; }

  // Same colour at every pixel.
  bool SamePixels(const SpriteCanvas& other) const;
  // Bytes of tile memory this canvas holds alone or shares (an upper estimate).
  std::size_t MemoryBytes() const;
  // Number of tiles that hold pixels of their own (not the background).
  int AllocatedTiles() const { return count_; }
  // True once the canvas keeps the full tile table rather than the short list.
  bool HasTileTable() const { return table_ != nullptr; }

  // A canvas keeps up to this many tiles in its short list; one more turns
  // the list into the full table.
  static constexpr int kListedTiles = 16;

 private:
  struct Tile;
  struct Listed {
    std::uint16_t index;
    Tile* tile;
  };
  // The tile at (tx, ty), exclusive to this canvas and holding at least the
  // rows from `top` to `bottom` (tile rows, 0 to kTileSize - 1).
  Tile* WritableTile(int tx, int ty, int top, int bottom);
  const Tile* TileAt(int tx, int ty) const;
  Tile** Slot(int index);
  void Store(int index, Tile* tile);
  void Drop(int index);
  void ReleaseAll();

  std::uint8_t background_ = kGreyIndex;
  int count_ = 0;
  // The tiles sorted by index while there are few of them...
  std::vector<Listed> list_;
  // ...then a table of kTileCount tile pointers (null for the background).
  std::unique_ptr<Tile*[]> table_;
};

}  // namespace tavlin
