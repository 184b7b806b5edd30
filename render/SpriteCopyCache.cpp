#include "SpriteCopyCache.h"

#include <algorithm>
#include <cstring>

#include "RICElement.h"
#include "SpriteCanvas.h"

namespace tavlin {

// The used area of one sprite, clipped to the canvas, in display colours;
// rows are converted when first read.
struct SpriteCopyCache::Area {
  int left = 0, top = 0, width = 0, height = 0;
  std::vector<Rgb> pixels;
  std::vector<bool> ready;
};

SpriteCopyCache::SpriteCopyCache(bool keepAreas) : keepAreas_(keepAreas) {}

void SpriteCopyCache::MakeColours() {
  for (int i = 0; i < 256; ++i) {
    const Rgb c = PaletteColour(std::uint8_t(i));
    colours_[std::size_t(i)] = c == kGrey ? kWhite : c;
  }
  indexes_.resize(SpriteCanvas::kWidth);
  coloursMade_ = true;
}

SpriteCopyCache::~SpriteCopyCache() {
  for (Area* a : owned_) delete a;
}

SpriteCopyCache::Reader SpriteCopyCache::ReaderFor(const TRICElement& sprite) {
  // Made on first use: a render without copies does not pay for it.
  if (!coloursMade_) MakeColours();
  if (!keepAreas_) return Reader(*this, sprite, nullptr);
  auto it = areas_.find(&sprite);
  if (it != areas_.end()) return Reader(*this, sprite, it->second);
  Area* area = nullptr;
  const TRect& u = sprite.UsedArea;
  if (u.IsSet()) {
    const int left = std::max(u.Left, 0), top = std::max(u.Top, 0);
    const int right = std::min(u.Right, SpriteCanvas::kWidth - 1);
    const int bottom = std::min(u.Bottom, SpriteCanvas::kHeight - 1);
    const std::size_t size = left <= right && top <= bottom
                                 ? std::size_t(right - left + 1) * std::size_t(bottom - top + 1)
                                 : 0;
    if (size > 0 && cachedPixels_ + size <= kMaxCachedPixels) {
      area = new Area;
      owned_.push_back(area);
      area->left = left;
      area->top = top;
      area->width = right - left + 1;
      area->height = bottom - top + 1;
      area->pixels.resize(size);
      area->ready.assign(std::size_t(area->height), false);
      cachedPixels_ += size;
    }
  }
  areas_.emplace(&sprite, area);
  return Reader(*this, sprite, area);
}

void SpriteCopyCache::Reader::ReadCanvas(int column, int row, int count, Rgb* out) {
  if (count <= 0) return;
  std::uint8_t* idx = cache_.indexes_.data();
  sprite_.Canvas.ReadRowIndexes(column, row, count, idx);
  for (int c = 0; c < count; ++c) out[c] = cache_.colours_[idx[c]];
}

void SpriteCopyCache::Reader::ReadRow(int column, int row, int count, Rgb* out) {
  Area* a = area_;
  if (a && row >= a->top && row < a->top + a->height) {
    const int from = std::max(column, a->left), to = std::min(column + count, a->left + a->width);
    if (from < to) {
      const std::size_t r = std::size_t(row - a->top);
      Rgb* line = a->pixels.data() + r * std::size_t(a->width);
      if (!a->ready[r]) {
        ReadCanvas(a->left, row, a->width, line);
        a->ready[r] = true;
      }
      // The part within the used area from its converted row; only what
      // reaches past it is read from the canvas.
      ReadCanvas(column, row, from - column, out);
      std::memcpy(out + (from - column), line + (from - a->left),
                  std::size_t(to - from) * sizeof(Rgb));
      ReadCanvas(to, row, column + count - to, out + (to - column));
      return;
    }
  }
  ReadCanvas(column, row, count, out);
}

}  // namespace tavlin
