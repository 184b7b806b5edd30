#include "NXTDisplay.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "CircleWalk.h"
#include "NumberFont.h"
#include "RICElement.h"
#include "Raster.h"
#include "SpriteCanvas.h"
#include "SpriteCopyCache.h"

namespace tavlin {

namespace {

using raster::FloorDiv;

// The integer square root: the largest s with s * s <= v (v >= 0).
long long ISqrt(long long v) {
  long long s = (long long)std::sqrt(double(v));
  while (s > 0 && s * s > v) --s;
  while ((s + 1) * (s + 1) <= v) ++s;
  return s;
}

// The circle walk over one quadrant from (0, r) to (r, 0): calls visit(x, y)
// for every point it passes.
template <class Visit>
void WalkCircle(long long r, Visit&& visit) {
  long long x = 0, y = r, d = 2 - 2 * r;
  while (y >= 0) {
    visit(x, y);
    // Right, down, or else diagonal (both); written without branches, as the
    // choice is unpredictable. A diagonal step adds both terms:
    // (2x + 1) + (1 - 2y) = 2x - 2y + 2 with the new x and y.
    const bool right = (d < 0) & (2 * d + 2 * y - 1 <= 0);
    const bool down = (d > 0) & (2 * d - 2 * x - 1 > 0);
    x += !down;
    y -= !right;
    d += (!down ? 2 * x + 1 : 0) + (!right ? 1 - 2 * y : 0);
  }
}

// Plots straight into the display's pixels. Off the surface it writes the
// spare pixel instead, which spares the unpredictable branch.
struct DirectSink {
  Rgb* pixels;
  void At(long long index) { pixels[index] = kBlack; }
  void Clipped(long long column, long long row) {
    const bool on = (static_cast<unsigned long long>(column) < NXTDisplay::kWidth) &
                    (static_cast<unsigned long long>(row) < NXTDisplay::kHeight);
    pixels[on ? std::size_t(row * NXTDisplay::kWidth + column)
              : std::size_t(NXTDisplay::kWidth * NXTDisplay::kHeight)] = kBlack;
  }
};

}  // namespace

namespace raster {

const std::vector<QuadrantPoint>& WalkedCircle(int r) {
  static const std::vector<std::vector<QuadrantPoint>> table = [] {
    std::vector<std::vector<QuadrantPoint>> t(kWalkedRadius + 1);
    for (int radius = 0; radius <= kWalkedRadius; ++radius)
      WalkCircle(radius, [&](long long x, long long y) {
        t[std::size_t(radius)].push_back({int(x), int(y)});
      });
    return t;
  }();
  return table[std::size_t(r)];
}

void NumberBox::Row(int r, long long from, long long to, Rgb* out) const {
  // Each 6-bit row of a glyph cell, as colours.
  struct Patterns {
    Rgb colours[64][kFontCellWidth];
    Patterns() {
      for (int bits = 0; bits < 64; ++bits)
        for (int k = 0; k < kFontCellWidth; ++k)
          colours[bits][k] = (bits >> (kFontCellWidth - 1 - k)) & 1 ? kBlack : kGrey;
    }
  };
  static const Patterns patterns;
  long long c = from;
  // Edges and partial cells a pixel at a time, whole cells a glyph row at a time.
  while (c <= to) {
    const long long o = c - left;
    if (c == left || c == right || o % kFontCellWidth != 0 || c + kFontCellWidth - 1 > to ||
        c + kFontCellWidth - 1 >= right) {
      *out++ = ColourAt(c, r);
      ++c;
      continue;
    }
    const Rgb* row = patterns.colours[FontGlyph(text[o / kFontCellWidth])[std::size_t(r)] & 63];
    for (int k = 0; k < kFontCellWidth; ++k) out[k] = row[k];
    out += kFontCellWidth;
    c += kFontCellWidth;
  }
}

CopyBlock CopyGeometry(long long usedLeft, long long usedBottom, bool usedSet, int posX, int posY,
                       int width, int height, int relX, int relY, long long offsetX,
                       long long offsetY) {
  CopyBlock b;
  const long long w = width, h = height;
  b.srcLeft = usedLeft + posX;
  b.srcTop = usedBottom - posY - h + 1;
  b.dstLeft = offsetX + relX;
  const long long dstBottom = 64 - offsetY - relY;
  b.dstTop = dstBottom - h;
  const long long dstRight = b.dstLeft + w;
  if (usedSet && w > 0 && h > 0) {
    b.c0 = std::max({0LL, b.dstLeft, b.dstLeft - b.srcLeft});
    b.c1 = std::min({kWidth, dstRight, b.dstLeft + SpriteCanvas::kWidth - b.srcLeft});
    b.r0 = std::max({0LL, b.dstTop, b.dstTop - b.srcTop});
    b.r1 = std::min({kHeight, dstBottom, b.dstTop + SpriteCanvas::kHeight - b.srcTop});
    if (b.c0 >= b.c1 || b.r0 >= b.r1) b.c0 = b.c1 = b.r0 = b.r1 = 0;
  }
  b.f0 = std::max(0LL, b.dstLeft);
  b.f1 = std::min(kWidth - 1, dstRight);
  b.g0 = std::max(0LL, b.dstTop);
  b.g1 = std::min(kHeight - 1, dstBottom);
  return b;
}

}  // namespace raster

long long CircleColumnY(long long r, long long x) {
  // y (y - 1) < t, i.e. y (y - 1) <= t - 1, with t = r^2 - x^2 >= 1.
  long long t = r * r - x * x;
  long long y = (1 + ISqrt(4 * t - 3)) / 2;
  while (y > 0 && y * (y - 1) >= t) --y;
  while ((y + 1) * y < t) ++y;
  return y;
}

long long CircleRowX(long long r, long long y) {
  // x (x + 1) >= s with s = r^2 - y^2.
  long long s = r * r - y * y;
  if (s <= 0) return 0;
  long long x = (ISqrt(4 * s + 1) - 1) / 2;
  while (x > 0 && (x - 1) * x >= s) --x;
  while (x * (x + 1) < s) ++x;
  return x;
}

NXTDisplay::NXTDisplay() { pixels_.fill(kWhite); }

void NXTDisplay::ClearDisplay() { pixels_.fill(kWhite); }

void NXTDisplay::DrawPixel(int x, int y) {
  DirectSink sink{pixels_.data()};
  sink.Clipped((long long)x + offset_.DX, 63 - ((long long)y + offset_.DY));
}

void NXTDisplay::DrawLine(int x1, int y1, int x2, int y2) {
  DirectSink sink{pixels_.data()};
  raster::Line((long long)x1 + offset_.DX, (long long)y1 + offset_.DY, (long long)x2 + offset_.DX,
               (long long)y2 + offset_.DY, sink);
}

void NXTDisplay::DrawRectangle(int x, int y, int w, int h) {
  DrawLine(x, y, x + w, y);
  DrawLine(x, y + h, x + w, y + h);
  DrawLine(x, y, x, y + h);
  DrawLine(x + w, y, x + w, y + h);
}

void NXTDisplay::DrawCircle(int cx, int cy, int r) {
  DirectSink sink{pixels_.data()};
  raster::Circle((long long)cx + offset_.DX, (long long)cy + offset_.DY, r, sink);
}

void NXTDisplay::DrawEllipse(int cx, int cy, int rx, int ry) {
  DirectSink sink{pixels_.data()};
  raster::Ellipse((long long)cx + offset_.DX, (long long)cy + offset_.DY, rx, ry, sink,
                  [](long long, long long, long long, long long) { return true; });
}

void NXTDisplay::DrawPolygon(const int* xy, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t j = (i + 1) % count;
    DrawLine(xy[2 * i], xy[2 * i + 1], xy[2 * j], xy[2 * j + 1]);
  }
}

void NXTDisplay::DrawNumberBox(int x, int y, unsigned value) {
  const raster::NumberBox box((long long)x + offset_.DX, (long long)y + offset_.DY, value);
  if (!box.MayShow()) return;
  const long long from = std::max(box.left, 0LL), to = std::min(box.right, (long long)kWidth - 1);
  for (int r = 0; r < kFontCellHeight; ++r) {
    const long long row = box.top + r;
    if (row < 0 || row >= kHeight) continue;
    box.Row(r, from, to, &pixels_[Index(int(from), int(row))]);
  }
}

void NXTDisplay::CopySpriteBits(const TRICElement& sprite, int posX, int posY, int width,
                                int height, int relX, int relY) {
  SpriteCopyCache cache(false);
  CopySpriteBits(sprite, posX, posY, width, height, relX, relY, cache);
}

void NXTDisplay::CopySpriteBits(const TRICElement& sprite, int posX, int posY, int width,
                                int height, int relX, int relY, SpriteCopyCache& cache) {
  const TRect& area = sprite.UsedArea;
  const raster::CopyBlock b =
      raster::CopyGeometry(area.Left, area.Bottom, area.IsSet(), posX, posY, width, height, relX,
                           relY, offset_.DX, offset_.DY);
  // The part of the block whose source lies on the canvas: copied, with grey
  // whitened on the way (the fix-up below would whiten it anyway).
  if (b.c0 < b.c1) {
    SpriteCopyCache::Reader source = cache.ReaderFor(sprite);
    for (long long row = b.r0; row < b.r1; ++row)
      source.ReadRow(int(b.srcLeft + (b.c0 - b.dstLeft)), int(b.srcTop + (row - b.dstTop)),
                     int(b.c1 - b.c0), &pixels_[Index(int(b.c0), int(row))]);
  }

  // Grey means never drawn: whiten it in the rest of the block and one column
  // and one row beyond it.
  auto whiten = [&](long long row, long long from, long long to) {
    Rgb* p = &pixels_[Index(0, int(row))];
    for (long long c = from; c <= to; ++c)
      if (p[c] == kGrey) p[c] = kWhite;
  };
  for (long long row = b.g0; row <= b.g1; ++row) {
    if (row >= b.r0 && row < b.r1) {
      whiten(row, b.f0, b.c0 - 1);
      whiten(row, b.c1, b.f1);
    } else {
      whiten(row, b.f0, b.f1);
    }
  }
}

}  // namespace tavlin
