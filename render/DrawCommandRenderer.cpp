#include "DrawCommandRenderer.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "Raster.h"
#include "SpriteCopyCache.h"

namespace tavlin {

namespace {

constexpr int kW = NXTDisplay::kWidth, kH = NXTDisplay::kHeight;

// Columns from..to (inclusive) of one 64-column word of a row mask.
std::uint64_t Bits(long long from, long long to, int word) {
  const long long lo = std::max(from, 64LL * word), hi = std::min(to, 64LL * word + 63);
  if (lo > hi) return 0;
  const long long n = hi - lo + 1;
  const std::uint64_t m = n == 64 ? ~0ULL : (1ULL << n) - 1;
  return m << (lo - 64 * word);
}

// The display as the walk from the last element back sees it: each pixel is
// open (nothing later touches it), whitened (a later fix-up turns grey white)
// or decided (a later element stores it).
class Surface {
 public:
  explicit Surface(Rgb* pixels) : pixels_(pixels) {
    // Every tile is 8 rows high; the last column of tiles is narrower.
    for (int t = 0; t < kTilesAcross * (kH / 8); ++t) {
      tileUndecided_[t] = std::uint8_t(8 * std::min(8, kW - (t % kTilesAcross) * 8));
      tiles_[t / 64] |= 1ULL << (t % 64);
    }
  }

  bool Done() const { return undecided_ == 0; }

  // When few pixels are left undecided, their surface indexes (else null):
  // a shape that hits none of them is dead, which a test per pixel finds
  // sooner than walking the shape.
  const std::vector<int>* FewLeft() {
    if (undecided_ > kFew) return nullptr;
    if (!listed_) {
      for (int i = 0; i < kW * kH; ++i)
        if (state_[i] != kDecided) left_.push_back(i);
      listed_ = true;
    }
    return &left_;
  }

  // Whether any tile of 8 x 8 surface pixels that still holds an undecided
  // pixel passes near(left, right, top, bottom), its bounds in NXT
  // coordinates.
  template <class Near>
  bool AnyUndecidedTile(Near&& near) const {
    for (int w = 0; w < 2; ++w)
      for (std::uint64_t bits = tiles_[w]; bits; bits &= bits - 1) {
        const int t = 64 * w + std::countr_zero(bits);
        const int column = (t % kTilesAcross) * 8, row = (t / kTilesAcross) * 8;
        if (near(column, std::min(column + 7, kW - 1), 63 - row, 63 - (row + 7))) return true;
      }
    return false;
  }

  // --- the sink of the raster walks: black pixels ---
  void At(long long index) {
    if (state_[index] != kDecided) Decide(int(index / kW), int(index % kW), kBlack);
  }
  void Clipped(long long column, long long row) {
    if (static_cast<unsigned long long>(column) < unsigned(kW) &&
        static_cast<unsigned long long>(row) < unsigned(kH))
      At(row * kW + column);
  }

  // Black spans on the surface: columns c0..c1 of `row`, rows r0..r1 of
  // `column`; a mask test finds their undecided pixels.
  void Row(long long row, long long c0, long long c1) {
    for (int w = 0; w < 2; ++w)
      for (std::uint64_t bits = Bits(c0, c1, w) & ~decided_[row][w]; bits; bits &= bits - 1)
        Decide(int(row), 64 * w + std::countr_zero(bits), kBlack);
  }
  void Column(long long column, long long r0, long long r1) {
    for (std::uint64_t bits = Bits(r0, r1, 0) & ~decidedColumn_[column]; bits; bits &= bits - 1)
      Decide(std::countr_zero(bits), int(column), kBlack);
  }

  // Whether every pixel of columns c0..c1, rows r0..r1 (inclusive, clipped
  // here) is decided; true for a block off the surface.
  bool Decided(long long c0, long long c1, long long r0, long long r1) const {
    r0 = std::max(r0, 0LL);
    r1 = std::min(r1, kH - 1LL);
    for (long long r = r0; r <= r1; ++r)
      if ((Bits(c0, c1, 0) & ~decided_[r][0]) | (Bits(c0, c1, 1) & ~decided_[r][1])) return false;
    return true;
  }

  // Stores colourAt(column) into the undecided pixels of columns c0..c1 of
  // `row` (on the surface); before the first, prepare() is called once.
  template <class ColourAt, class Prepare>
  void StoreSpan(int row, long long c0, long long c1, Prepare&& prepare, ColourAt&& colourAt) {
    std::uint64_t m[2] = {Bits(c0, c1, 0) & ~decided_[row][0], Bits(c0, c1, 1) & ~decided_[row][1]};
    if (!(m[0] | m[1])) return;
    prepare();
    for (int w = 0; w < 2; ++w)
      for (std::uint64_t bits = m[w]; bits; bits &= bits - 1) {
        const int column = 64 * w + std::countr_zero(bits);
        Decide(row, column, colourAt(column));
      }
  }

  // A fix-up over columns c0..c1 of `row`: open pixels become whitened.
  void Whiten(int row, long long c0, long long c1) {
    if (open_ == 0) return;
    for (int w = 0; w < 2; ++w) {
      const std::uint64_t m = Bits(c0, c1, w) & ~settled_[row][w];
      if (!m) continue;
      settled_[row][w] |= m;
      open_ -= std::popcount(m);
      for (std::uint64_t bits = m; bits; bits &= bits - 1)
        state_[row * kW + 64 * w + std::countr_zero(bits)] = kWhitened;
    }
  }

 private:
  static constexpr std::uint8_t kOpen = 0, kWhitened = 1, kDecided = 2;
  static constexpr int kFew = 256;
  static constexpr int kTilesAcross = (kW + 7) / 8;

  static int TileOf(int row, int column) { return (row / 8) * kTilesAcross + column / 8; }

  void Decide(int row, int column, Rgb colour) {
    const int i = row * kW + column;
    if (state_[i] == kOpen) --open_;
    pixels_[i] = state_[i] == kWhitened && colour == kGrey ? kWhite : colour;
    state_[i] = kDecided;
    const std::uint64_t bit = 1ULL << (column & 63);
    decided_[row][column >> 6] |= bit;
    settled_[row][column >> 6] |= bit;
    decidedColumn_[column] |= 1ULL << row;
    --undecided_;
    const int t = TileOf(row, column);
    if (--tileUndecided_[t] == 0) tiles_[t / 64] &= ~(1ULL << (t % 64));
    if (listed_) left_.erase(std::find(left_.begin(), left_.end(), i));
  }

  Rgb* pixels_;
  std::uint8_t state_[kW * kH] = {};
  // Per row, one bit per column: decided; decided or whitened.
  std::uint64_t decided_[kH][2] = {};
  std::uint64_t settled_[kH][2] = {};
  // Per column, one bit per row: decided.
  std::uint64_t decidedColumn_[kW] = {};
  int undecided_ = kW * kH;
  int open_ = kW * kH;
  // Per tile of 8 x 8 pixels, how many are undecided; one bit per tile that
  // has any.
  std::uint8_t tileUndecided_[kTilesAcross * (kH / 8)] = {};
  std::uint64_t tiles_[2] = {};
  bool listed_ = false;
  std::vector<int> left_;
};

void DrawCopy(Surface& s, const DrawCommand& c, DrawingOffset offset, SpriteCopyCache& cache) {
  const TRect& area = c.sprite->UsedArea;
  const raster::CopyBlock b =
      raster::CopyGeometry(area.Left, area.Bottom, area.IsSet(), c.a[0], c.a[1], c.a[2], c.a[3],
                           c.a[4], c.a[5], offset.DX, offset.DY);
  if (b.c0 < b.c1) {
    SpriteCopyCache::Reader source = cache.ReaderFor(*c.sprite);
    Rgb row[kW];
    for (long long r = b.r0; r < b.r1; ++r)
      s.StoreSpan(
          int(r), b.c0, b.c1 - 1,
          [&] {
            source.ReadRow(int(b.srcLeft + (b.c0 - b.dstLeft)), int(b.srcTop + (r - b.dstTop)),
                           int(b.c1 - b.c0), row);
          },
          [&](int column) { return row[column - b.c0]; });
  }
  // The copied pixels are decided now, so the fix-up leaves them alone.
  for (long long r = b.g0; r <= b.g1; ++r) s.Whiten(int(r), b.f0, b.f1);
}

void DrawNumberBox(Surface& s, const DrawCommand& c, DrawingOffset offset) {
  const raster::NumberBox box((long long)c.a[0] + offset.DX, (long long)c.a[1] + offset.DY,
                              unsigned(c.a[2]));
  if (!box.MayShow()) return;
  const long long from = std::max(box.left, 0LL), to = std::min(box.right, kW - 1LL);
  for (int r = 0; r < kFontCellHeight; ++r) {
    const long long row = box.top + r;
    if (row < 0 || row >= kH) continue;
    s.StoreSpan(
        int(row), from, to, [] {}, [&](int column) { return box.ColourAt(column, r); });
  }
}

}  // namespace

void DrawLastToFirst(NXTDisplay& display, const DrawCommand* commands, std::size_t count,
                     SpriteCopyCache& cache) {
  display.ClearDisplay();
  const DrawingOffset o = display.GetDrawingOffset();
  Surface s(display.MutablePixels());
  // The surface rows and columns a shape between NXT points (x1, y1) and
  // (x2, y2) can reach are all decided.
  auto covered = [&](long long x1, long long y1, long long x2, long long y2) {
    return s.Decided(std::min(x1, x2) + o.DX, std::max(x1, x2) + o.DX,
                     63 - (std::max(y1, y2) + o.DY), 63 - (std::min(y1, y2) + o.DY));
  };
  // Whether a shape that walks about `plots` points may plot one of the
  // pixels still undecided, by hits(X, Y) on each in NXT coordinates; true
  // when more are left than testing them would pay for.
  auto mayHit = [&](long long plots, auto&& hits) {
    const std::vector<int>* left = s.FewLeft();
    if (!left || (long long)left->size() > plots) return true;
    for (int i : *left)
      if (hits((long long)(i % kW), 63 - (long long)(i / kW))) return true;
    return false;
  };
  // About how many points a line walks: those of its visible major steps.
  auto steps = [](long long x1, long long y1, long long x2, long long y2) {
    return std::max(std::min(std::llabs(x2 - x1), (long long)kW),
                    std::min(std::llabs(y2 - y1), (long long)kH)) +
           1;
  };
  // Whether the line from (x1, y1) to (x2, y2), NXT coordinates with the
  // offset added, reaches a tile that still holds an undecided pixel. Its
  // points stray at most half a pixel from the straight segment, so the
  // segment is clipped against each tile widened by two pixels.
  auto lineNearUndecided = [&](double x1, double y1, double x2, double y2) {
    return s.AnyUndecidedTile([&](double left, double right, double top, double bottom) {
      double t0 = 0, t1 = 1;
      const double dx = x2 - x1, dy = y2 - y1;
      auto clip = [&](double p, double q) {
        if (p == 0) return q >= 0;
        const double r = q / p;
        if (p < 0) {
          if (r > t1) return false;
          t0 = std::max(t0, r);
        } else {
          if (r < t0) return false;
          t1 = std::min(t1, r);
        }
        return true;
      };
      return clip(-dx, x1 - (left - 2)) && clip(dx, right + 2 - x1) &&
             clip(-dy, y1 - (bottom - 2)) && clip(dy, top + 2 - y1);
    });
  };
  for (std::size_t k = count; k-- > 0 && !s.Done();) {
    const DrawCommand& c = commands[k];
    const int* a = c.a;
    switch (c.kind) {
      case RICElementKind::Pixel:
        s.Clipped((long long)a[0] + o.DX, 63 - ((long long)a[1] + o.DY));
        break;
      case RICElementKind::Line: {
        const long long x1 = (long long)a[0] + o.DX, y1 = (long long)a[1] + o.DY;
        const long long x2 = (long long)a[2] + o.DX, y2 = (long long)a[3] + o.DY;
        if (!covered(a[0], a[1], a[2], a[3]) && lineNearUndecided(x1, y1, x2, y2) &&
            mayHit(steps(x1, y1, x2, y2), [&](long long X, long long Y) {
              return raster::LineHits(x1, y1, x2, y2, X, Y);
            }))
          raster::Line(x1, y1, x2, y2, s);
        break;
      }
      case RICElementKind::Rectangle: {
        const long long x = a[0], y = a[1], x2 = x + a[2], y2 = y + a[3];
        const long long X = x + o.DX, Y = y + o.DY, X2 = x2 + o.DX, Y2 = y2 + o.DY;
        if (covered(x, y, x2, y2) ||
            !(lineNearUndecided(X, Y, X2, Y) || lineNearUndecided(X, Y2, X2, Y2) ||
              lineNearUndecided(X, Y, X, Y2) || lineNearUndecided(X2, Y, X2, Y2)) ||
            !mayHit(2 * steps(x, y, x2, y2), [&](long long X, long long Y) {
              X -= o.DX, Y -= o.DY;
              return raster::LineHits(x, y, x2, y, X, Y) || raster::LineHits(x, y2, x2, y2, X, Y) ||
                     raster::LineHits(x, y, x, y2, X, Y) || raster::LineHits(x2, y, x2, y2, X, Y);
            }))
          break;
        raster::Line(x + o.DX, y + o.DY, x2 + o.DX, y + o.DY, s);
        raster::Line(x + o.DX, y2 + o.DY, x2 + o.DX, y2 + o.DY, s);
        raster::Line(x + o.DX, y + o.DY, x + o.DX, y2 + o.DY, s);
        raster::Line(x2 + o.DX, y + o.DY, x2 + o.DX, y2 + o.DY, s);
        break;
      }
      case RICElementKind::Circle: {
        const long long r = a[2];
        const long long cx = (long long)a[0] + o.DX, cy = (long long)a[1] + o.DY;
        // A ring that no tile with undecided pixels reaches is dead.
        auto ringNear = [&](long long left, long long right, long long top, long long bottom) {
          const long long nx = std::max({left - cx, 0LL, cx - right});
          const long long ny = std::max({bottom - cy, 0LL, cy - top});
          const long long fx = std::max(std::llabs(cx - left), std::llabs(cx - right));
          const long long fy = std::max(std::llabs(cy - bottom), std::llabs(cy - top));
          return nx * nx + ny * ny <= (r + 1) * (r + 1) && fx * fx + fy * fy >= (r - 1) * (r - 1);
        };
        if (r >= 0 && raster::CircleMayShow(cx, cy, r) && s.AnyUndecidedTile(ringNear) &&
            !covered(a[0] - r, a[1] - r, a[0] + r, a[1] + r) &&
            mayHit(4 * (r <= raster::kWalkedRadius ? (long long)raster::WalkedCircle(int(r)).size()
                                                   : kW + kH),
                   [&](long long X, long long Y) { return raster::CircleHits(cx, cy, r, X, Y); }))
          raster::Circle(cx, cy, r, s);
        break;
      }
      case RICElementKind::Ellipse: {
        // Dead when its bounds reach no undecided pixel.
        auto near = [&](long long left, long long right, long long bottom, long long top) {
          if (s.Decided(left, right, 63 - top, 63 - bottom)) return false;
          return s.AnyUndecidedTile([&](long long l, long long r, long long t, long long b) {
            return l <= right && r >= left && b <= top && t >= bottom;
          });
        };
        raster::Ellipse((long long)a[0] + o.DX, (long long)a[1] + o.DY, a[2], a[3], s, near);
        break;
      }
      case RICElementKind::NumBox:
        DrawNumberBox(s, c, o);
        break;
      case RICElementKind::CopyBits:
        if (c.sprite) DrawCopy(s, c, o, cache);
        break;
      default:
        break;
    }
  }
}

}  // namespace tavlin
