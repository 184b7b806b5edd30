#include "SpriteCanvas.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace tavlin {

namespace {

struct Palette {
  std::array<Rgb, 256> colours{};
  int used = 0;
  Palette() {
    colours[kGreyIndex] = kGrey;
    colours[kBlackIndex] = kBlack;
    colours[kWhiteIndex] = kWhite;
    colours[kRedIndex] = kPreviewRed;
    used = 4;
  }
};

Palette& ThePalette() {
  static Palette palette;
  return palette;
}

int ColourDistance(Rgb a, Rgb b) {
  int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
  int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
  int db = int(a & 0xFF) - int(b & 0xFF);
  return dr * dr + dg * dg + db * db;
}

}  // namespace

std::uint8_t PaletteIndex(Rgb colour) {
  colour &= 0xFFFFFF;
  // The common colours first: they are what almost every write uses.
  if (colour == kBlack) return kBlackIndex;
  if (colour == kWhite) return kWhiteIndex;
  if (colour == kGrey) return kGreyIndex;
  Palette& p = ThePalette();
  for (int i = 0; i < p.used; ++i)
    if (p.colours[std::size_t(i)] == colour) return std::uint8_t(i);
  if (p.used < 256) {
    p.colours[std::size_t(p.used)] = colour;
    return std::uint8_t(p.used++);
  }
  int best = 0, bestDistance = std::numeric_limits<int>::max();
  for (int i = 0; i < p.used; ++i) {
    int d = ColourDistance(p.colours[std::size_t(i)], colour);
    if (d < bestDistance) bestDistance = d, best = i;
  }
  return std::uint8_t(best);
}

Rgb PaletteColour(std::uint8_t index) { return ThePalette().colours[index]; }

// A square of pixel indexes with an intrusive share count: a tile is shared
// between canvas copies and copied before a write while shared.
struct SpriteCanvas::Tile {
  int refs = 1;
  std::uint8_t px[kTileSize * kTileSize];
};

SpriteCanvas::SpriteCanvas() = default;

SpriteCanvas::SpriteCanvas(Rgb background) : background_(PaletteIndex(background)) {}

SpriteCanvas::SpriteCanvas(const SpriteCanvas& other) : background_(other.background_) {
  if (other.tiles_) {
    tiles_ = std::make_unique<Tile*[]>(kTileCount);
    for (int i = 0; i < kTileCount; ++i) {
      tiles_[i] = other.tiles_[i];
      if (tiles_[i]) ++tiles_[i]->refs;
    }
  }
}

SpriteCanvas& SpriteCanvas::operator=(const SpriteCanvas& other) {
  if (this != &other) {
    SpriteCanvas copy(other);
    *this = std::move(copy);
  }
  return *this;
}

SpriteCanvas::SpriteCanvas(SpriteCanvas&& other) noexcept
    : background_(other.background_), tiles_(std::move(other.tiles_)) {}

SpriteCanvas& SpriteCanvas::operator=(SpriteCanvas&& other) noexcept {
  if (this != &other) {
    ReleaseAll();
    background_ = other.background_;
    tiles_ = std::move(other.tiles_);
  }
  return *this;
}

SpriteCanvas::~SpriteCanvas() { ReleaseAll(); }

void SpriteCanvas::ReleaseAll() {
  if (!tiles_) return;
  for (int i = 0; i < kTileCount; ++i) {
    Tile* t = tiles_[i];
    if (t && --t->refs == 0) delete t;
  }
  tiles_.reset();
}

const SpriteCanvas::Tile* SpriteCanvas::TileAt(int tx, int ty) const {
  return tiles_ ? tiles_[ty * kTilesX + tx] : nullptr;
}

SpriteCanvas::Tile* SpriteCanvas::WritableTile(int tx, int ty) {
  if (!tiles_) {
    tiles_ = std::make_unique<Tile*[]>(kTileCount);
    std::fill_n(tiles_.get(), kTileCount, nullptr);
  }
  Tile*& slot = tiles_[ty * kTilesX + tx];
  if (!slot) {
    slot = new Tile;
    std::memset(slot->px, background_, sizeof slot->px);
  } else if (slot->refs > 1) {
    Tile* copy = new Tile;
    std::memcpy(copy->px, slot->px, sizeof copy->px);
    --slot->refs;
    slot = copy;
  }
  return slot;
}

std::uint8_t SpriteCanvas::PixelIndex(int x, int y) const {
  if (!Contains(x, y)) return background_;
  const Tile* t = TileAt(x / kTileSize, y / kTileSize);
  return t ? t->px[(y % kTileSize) * kTileSize + x % kTileSize] : background_;
}

void SpriteCanvas::SetPixelIndex(int x, int y, std::uint8_t index) {
  if (!Contains(x, y)) return;
  const Tile* t = TileAt(x / kTileSize, y / kTileSize);
  // Writing the background into an untouched tile changes nothing.
  if (!t && index == background_) return;
  WritableTile(x / kTileSize, y / kTileSize)->px[(y % kTileSize) * kTileSize + x % kTileSize] =
      index;
}

void SpriteCanvas::FillRect(int left, int top, int right, int bottom, Rgb colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, kWidth - 1);
  bottom = std::min(bottom, kHeight - 1);
  if (left > right || top > bottom) return;
  std::uint8_t index = PaletteIndex(colour);
  for (int ty = top / kTileSize; ty <= bottom / kTileSize; ++ty) {
    for (int tx = left / kTileSize; tx <= right / kTileSize; ++tx) {
      int x0 = std::max(left, tx * kTileSize), x1 = std::min(right, tx * kTileSize + kTileSize - 1);
      int y0 = std::max(top, ty * kTileSize), y1 = std::min(bottom, ty * kTileSize + kTileSize - 1);
      bool whole = x0 == tx * kTileSize && x1 == x0 + kTileSize - 1 && y0 == ty * kTileSize &&
                   y1 == y0 + kTileSize - 1;
      if (whole && index == background_) {
        // A tile filled with the background needs no memory of its own.
        if (tiles_) {
          Tile*& slot = tiles_[ty * kTilesX + tx];
          if (slot && --slot->refs == 0) delete slot;
          slot = nullptr;
        }
        continue;
      }
      if (!TileAt(tx, ty) && index == background_) continue;
      Tile* t = WritableTile(tx, ty);
      for (int y = y0; y <= y1; ++y)
        std::memset(t->px + (y % kTileSize) * kTileSize + x0 % kTileSize, index,
                    std::size_t(x1 - x0 + 1));
    }
  }
}

void SpriteCanvas::Fill(Rgb colour) {
  ReleaseAll();
  background_ = PaletteIndex(colour);
}

void SpriteCanvas::ReadRowIndexes(int x, int y, int count, std::uint8_t* out) const {
  if (count <= 0) return;
  if (y < 0 || y >= kHeight) {
    std::memset(out, background_, std::size_t(count));
    return;
  }
  int end = x + count;
  int pos = x;
  while (pos < end) {
    if (pos < 0 || pos >= kWidth) {
      int stop = pos < 0 ? std::min(end, 0) : end;
      std::memset(out + (pos - x), background_, std::size_t(stop - pos));
      pos = stop;
      continue;
    }
    int tx = pos / kTileSize;
    int stop = std::min(end, (tx + 1) * kTileSize);
    const Tile* t = TileAt(tx, y / kTileSize);
    if (t)
      std::memcpy(out + (pos - x), t->px + (y % kTileSize) * kTileSize + pos % kTileSize,
                  std::size_t(stop - pos));
    else
      std::memset(out + (pos - x), background_, std::size_t(stop - pos));
    pos = stop;
  }
}

void SpriteCanvas::WriteRowIndexes(int x, int y, int count, const std::uint8_t* in) {
  if (y < 0 || y >= kHeight || count <= 0) return;
  int start = std::max(x, 0), end = std::min(x + count, kWidth);
  int pos = start;
  while (pos < end) {
    int tx = pos / kTileSize;
    int stop = std::min(end, (tx + 1) * kTileSize);
    const std::uint8_t* src = in + (pos - x);
    const Tile* existing = TileAt(tx, y / kTileSize);
    bool allBackground =
        !existing && std::all_of(src, src + (stop - pos), [&](std::uint8_t v) { return v == background_; });
    if (!allBackground) {
      Tile* t = WritableTile(tx, y / kTileSize);
      std::memcpy(t->px + (y % kTileSize) * kTileSize + pos % kTileSize, src,
                  std::size_t(stop - pos));
    }
    pos = stop;
  }
}

bool SpriteCanvas::SamePixels(const SpriteCanvas& other) const {
  std::uint8_t a[kTileSize], b[kTileSize];
  for (int ty = 0; ty < kTilesY; ++ty)
    for (int tx = 0; tx < kTilesX; ++tx) {
      const Tile* ta = TileAt(tx, ty);
      const Tile* tb = other.TileAt(tx, ty);
      if (ta == tb && ta) continue;
      if (!ta && !tb) {
        if (PaletteColour(background_) != PaletteColour(other.background_)) return false;
        continue;
      }
      for (int y = ty * kTileSize; y < (ty + 1) * kTileSize; ++y) {
        ReadRowIndexes(tx * kTileSize, y, kTileSize, a);
        other.ReadRowIndexes(tx * kTileSize, y, kTileSize, b);
        if (std::memcmp(a, b, kTileSize) != 0) return false;
      }
    }
  return true;
}

int SpriteCanvas::AllocatedTiles() const {
  if (!tiles_) return 0;
  return int(std::count_if(tiles_.get(), tiles_.get() + kTileCount, [](Tile* t) { return t != nullptr; }));
}

std::size_t SpriteCanvas::MemoryBytes() const {
  std::size_t bytes = sizeof(*this);
  if (tiles_) bytes += kTileCount * sizeof(Tile*) + std::size_t(AllocatedTiles()) * sizeof(Tile);
  return bytes;
}

}  // namespace tavlin
