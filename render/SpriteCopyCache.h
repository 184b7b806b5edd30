// SpriteCopyCache: what the copy-bits of one render share, so that copying a
// sprite many times costs little more than moving its pixels.
//
// It holds the display colour of every palette index (grey, never drawn,
// already turned white) and, for each sprite copied, the canvas rows of its
// used area turned into display colours on first use. It is a snapshot: make
// one per render and drop it before any canvas or the palette changes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "Colour.h"

namespace tavlin {

struct TRICElement;

class SpriteCopyCache {
  struct Area;

 public:
  // keepAreas false: read the canvases each time (for a single copy, where
  // converting whole used areas would not pay).
  explicit SpriteCopyCache(bool keepAreas = true);
  ~SpriteCopyCache();
  SpriteCopyCache(const SpriteCopyCache&) = delete;
  SpriteCopyCache& operator=(const SpriteCopyCache&) = delete;

  // Reads display colours from one sprite's canvas.
  class Reader {
   public:
    // `count` colours of canvas row `row` from column `column`; all of them
    // must lie on the canvas, and count must be at most 1024.
    void ReadRow(int column, int row, int count, Rgb* out);

   private:
    friend class SpriteCopyCache;
    Reader(SpriteCopyCache& cache, const TRICElement& sprite, Area* area)
        : cache_(cache), sprite_(sprite), area_(area) {}
    // Converts `count` canvas pixels (none when count <= 0).
    void ReadCanvas(int column, int row, int count, Rgb* out);
    SpriteCopyCache& cache_;
    const TRICElement& sprite_;
    Area* area_;  // null: read the canvas each time
  };
  Reader ReaderFor(const TRICElement& sprite);

 private:
  // Converted pixels kept at most, over all sprites (16 MiB of colours).
  static constexpr std::size_t kMaxCachedPixels = std::size_t(4) << 20;

  void MakeColours();

  bool keepAreas_;
  bool coloursMade_ = false;
  std::array<Rgb, 256> colours_;
  std::unordered_map<const TRICElement*, Area*> areas_;
  std::vector<Area*> owned_;
  std::size_t cachedPixels_ = 0;
  std::vector<std::uint8_t> indexes_;
};

}  // namespace tavlin
