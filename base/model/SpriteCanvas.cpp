#include "SpriteCanvas.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>
#include <utility>

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
// between canvas copies and copied before a write while shared. It holds only
// the band of rows from `top` on; the rows above and below are the background.
// The pixel rows follow the header in the same allocation.
struct SpriteCanvas::Tile {
  int refs;
  std::uint8_t top;
  std::uint8_t rows;

  bool Holds(int row) const { return row >= top && row < top + rows; }
  int Bottom() const { return top + rows - 1; }
  std::uint8_t* Row(int row) {
    return reinterpret_cast<std::uint8_t*>(this + 1) + (row - top) * kTileSize;
  }
  const std::uint8_t* Row(int row) const {
    return reinterpret_cast<const std::uint8_t*>(this + 1) + (row - top) * kTileSize;
  }
  std::size_t Bytes() const { return sizeof(Tile) + std::size_t(rows) * kTileSize; }

  static Tile* Make(int top, int rows) {
    void* memory = ::operator new(sizeof(Tile) + std::size_t(rows) * kTileSize);
    return new (memory) Tile{1, std::uint8_t(top), std::uint8_t(rows)};
  }
  static void Share(Tile* t) { ++t->refs; }
  static void Release(Tile* t) {
    if (--t->refs == 0) ::operator delete(t);
  }
};

SpriteCanvas::SpriteCanvas() = default;

SpriteCanvas::SpriteCanvas(Rgb background) : background_(PaletteIndex(background)) {}

SpriteCanvas::SpriteCanvas(const SpriteCanvas& other)
    : background_(other.background_), count_(other.count_), list_(other.list_) {
  for (const Listed& l : list_) Tile::Share(l.tile);
  if (other.table_) {
    table_ = std::make_unique_for_overwrite<Tile*[]>(kTileCount);
    std::copy_n(other.table_.get(), kTileCount, table_.get());
    for (int i = 0, seen = 0; i < kTileCount && seen < count_; ++i)
      if (table_[i]) Tile::Share(table_[i]), ++seen;
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
    : background_(other.background_),
      count_(std::exchange(other.count_, 0)),
      list_(std::move(other.list_)),
      table_(std::move(other.table_)) {
  other.list_.clear();
}

SpriteCanvas& SpriteCanvas::operator=(SpriteCanvas&& other) noexcept {
  if (this != &other) {
    ReleaseAll();
    background_ = other.background_;
    count_ = std::exchange(other.count_, 0);
    list_ = std::move(other.list_);
    other.list_.clear();
    table_ = std::move(other.table_);
  }
  return *this;
}

SpriteCanvas::~SpriteCanvas() { ReleaseAll(); }

void SpriteCanvas::ReleaseAll() {
  for (const Listed& l : list_) Tile::Release(l.tile);
  list_.clear();
  if (table_) {
    // Stops at the last tile rather than running over the empty rest.
    for (int i = 0, seen = 0; i < kTileCount && seen < count_; ++i)
      if (Tile* t = table_[i]) Tile::Release(t), ++seen;
    table_.reset();
  }
  count_ = 0;
}

SpriteCanvas::Tile** SpriteCanvas::Slot(int index) {
  if (table_) return &table_[index];
  auto it = std::lower_bound(list_.begin(), list_.end(), index,
                             [](const Listed& l, int i) { return l.index < i; });
  return it != list_.end() && it->index == index ? &it->tile : nullptr;
}

const SpriteCanvas::Tile* SpriteCanvas::TileAt(int tx, int ty) const {
  const int index = ty * kTilesX + tx;
  if (table_) return table_[index];
  for (const Listed& l : list_) {
    if (l.index == index) return l.tile;
    if (l.index > index) break;
  }
  return nullptr;
}

void SpriteCanvas::Store(int index, Tile* tile) {
  ++count_;
  if (!table_ && list_.size() < std::size_t(kListedTiles)) {
    auto it = std::lower_bound(list_.begin(), list_.end(), index,
                               [](const Listed& l, int i) { return l.index < i; });
    list_.insert(it, Listed{std::uint16_t(index), tile});
    return;
  }
  if (!table_) {
    table_ = std::make_unique<Tile*[]>(kTileCount);
    for (const Listed& l : list_) table_[l.index] = l.tile;
    std::vector<Listed>().swap(list_);
  }
  table_[index] = tile;
}

void SpriteCanvas::Drop(int index) {
  if (table_) {
    if (Tile*& slot = table_[index]) Tile::Release(slot), slot = nullptr, --count_;
    return;
  }
  auto it = std::lower_bound(list_.begin(), list_.end(), index,
                             [](const Listed& l, int i) { return l.index < i; });
  if (it != list_.end() && it->index == index) {
    Tile::Release(it->tile);
    list_.erase(it);
    --count_;
  }
}

SpriteCanvas::Tile* SpriteCanvas::WritableTile(int tx, int ty, int top, int bottom) {
  const int index = ty * kTilesX + tx;
  Tile** slot = Slot(index);
  Tile* t = slot ? *slot : nullptr;
  if (t && t->refs == 1 && t->Holds(top) && t->Holds(bottom)) return t;
  if (t) {
    const int wantTop = std::min(top, int(t->top)), wantBottom = std::max(bottom, t->Bottom());
    top = wantTop;
    bottom = wantBottom;
    if (top < t->top || bottom > t->Bottom()) {
      // A band that grows at least doubles, so a tile written row by row is
      // copied a few times, not once per row.
      const int rows = std::min(kTileSize, std::max(bottom - top + 1, 2 * int(t->rows)));
      if (top < t->top)
        top = std::max(0, bottom + 1 - rows);
      else
        bottom = std::min(kTileSize - 1, top + rows - 1);
      if (bottom - top + 1 < rows) {
        if (top == 0)
          bottom = rows - 1;
        else
          top = kTileSize - rows;
      }
    }
  }
  Tile* fresh = Tile::Make(top, bottom - top + 1);
  std::memset(fresh->Row(top), background_, std::size_t(fresh->rows) * kTileSize);
  if (t) {
    std::memcpy(fresh->Row(t->top), t->Row(t->top), std::size_t(t->rows) * kTileSize);
    Tile::Release(t);
    *slot = fresh;
  } else {
    Store(index, fresh);
  }
  return fresh;
}

std::uint8_t SpriteCanvas::PixelIndex(int x, int y) const {
  if (!Contains(x, y)) return background_;
  const Tile* t = TileAt(x / kTileSize, y / kTileSize);
  const int row = y % kTileSize;
  return t && t->Holds(row) ? t->Row(row)[x % kTileSize] : background_;
}

void SpriteCanvas::SetPixelIndex(int x, int y, std::uint8_t index) {
  if (!Contains(x, y)) return;
  const int tx = x / kTileSize, ty = y / kTileSize, row = y % kTileSize;
  const Tile* t = TileAt(tx, ty);
  if (t && t->refs == 1 && t->Holds(row)) {
    const_cast<Tile*>(t)->Row(row)[x % kTileSize] = index;
    return;
  }
  // Writing the background where the tile holds none changes nothing.
  if ((!t || !t->Holds(row)) && index == background_) return;
  WritableTile(tx, ty, row, row)->Row(row)[x % kTileSize] = index;
}

void SpriteCanvas::FillRect(int left, int top, int right, int bottom, Rgb colour) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, kWidth - 1);
  bottom = std::min(bottom, kHeight - 1);
  if (left > right || top > bottom) return;
  const std::uint8_t index = PaletteIndex(colour);
  for (int ty = top / kTileSize; ty <= bottom / kTileSize; ++ty) {
    for (int tx = left / kTileSize; tx <= right / kTileSize; ++tx) {
      int x0 = std::max(left, tx * kTileSize), x1 = std::min(right, tx * kTileSize + kTileSize - 1);
      int y0 = std::max(top, ty * kTileSize), y1 = std::min(bottom, ty * kTileSize + kTileSize - 1);
      bool whole = x0 == tx * kTileSize && x1 == x0 + kTileSize - 1 && y0 == ty * kTileSize &&
                   y1 == y0 + kTileSize - 1;
      if (whole && index == background_) {
        // A tile filled with the background needs no memory of its own.
        Drop(ty * kTilesX + tx);
        continue;
      }
      if (!TileAt(tx, ty) && index == background_) continue;
      Tile* t = WritableTile(tx, ty, y0 % kTileSize, y1 % kTileSize);
      for (int y = y0; y <= y1; ++y)
        std::memset(t->Row(y % kTileSize) + x0 % kTileSize, index, std::size_t(x1 - x0 + 1));
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
  const int ty = y / kTileSize, row = y % kTileSize;
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
    const Tile* t = TileAt(tx, ty);
    if (t && t->Holds(row))
      std::memcpy(out + (pos - x), t->Row(row) + pos % kTileSize, std::size_t(stop - pos));
    else
      std::memset(out + (pos - x), background_, std::size_t(stop - pos));
    pos = stop;
  }
}

void SpriteCanvas::WriteRowIndexes(int x, int y, int count, const std::uint8_t* in) {
  if (y < 0 || y >= kHeight || count <= 0) return;
  const int ty = y / kTileSize, row = y % kTileSize;
  int start = std::max(x, 0), end = std::min(x + count, kWidth);
  int pos = start;
  while (pos < end) {
    int tx = pos / kTileSize;
    int stop = std::min(end, (tx + 1) * kTileSize);
    const std::uint8_t* src = in + (pos - x);
    const Tile* existing = TileAt(tx, ty);
    bool allBackground =
        !(existing && existing->Holds(row)) &&
        std::all_of(src, src + (stop - pos), [&](std::uint8_t v) { return v == background_; });
    if (!allBackground)
      std::memcpy(WritableTile(tx, ty, row, row)->Row(row) + pos % kTileSize, src,
                  std::size_t(stop - pos));
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

std::size_t SpriteCanvas::MemoryBytes() const {
  std::size_t bytes = sizeof(*this) + list_.capacity() * sizeof(Listed);
  for (const Listed& l : list_) bytes += l.tile->Bytes();
  if (table_) {
    bytes += kTileCount * sizeof(Tile*);
    for (int i = 0; i < kTileCount; ++i)
      if (const Tile* t = table_[i]) bytes += t->Bytes();
  }
  return bytes;
}

}  // namespace tavlin
