#include "NXTDisplay.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "CircleWalk.h"
#include "NumberFont.h"
#include "RICElement.h"
#include "SpriteCanvas.h"
#include "SpriteCopyCache.h"

namespace tavlin {

namespace {

// Division rounding toward minus infinity (b > 0).
long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

long long Sign(long long v) { return (v > 0) - (v < 0); }

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

// Circles up to this radius are drawn from their walked points; larger ones
// from the columns and rows that can reach the display.
constexpr long long kWalkedRadius = 128;

struct QuadrantPoint {
  int x, y;
};

// The quadrant points of the walk for radius r (0 <= r <= kWalkedRadius),
// walked once per process: a circle then only plots.
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

}  // namespace

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
  PlotSurface((long long)x + offset_.DX, 63 - ((long long)y + offset_.DY));
}

void NXTDisplay::DrawLine(int x1, int y1, int x2, int y2) {
  // Work in NXT coordinates with the offset added; plot (X, Y) is surface
  // (X, 63 - Y). Only the steps whose major coordinate lies on the surface are
  // taken: the minor coordinate at the first of them follows in closed form
  // from the error term, since after i steps the minor axis has moved
  // FloorDiv(e0 + (i - 1) * minor, major) + 1 times.
  const long long X1 = (long long)x1 + offset_.DX, Y1 = (long long)y1 + offset_.DY;
  const long long X2 = (long long)x2 + offset_.DX, Y2 = (long long)y2 + offset_.DY;
  const long long ax = 2 * std::llabs(X2 - X1), sx = Sign(X2 - X1);
  const long long ay = 2 * std::llabs(Y2 - Y1), sy = Sign(Y2 - Y1);

  // Steps i in [0, n) whose major coordinate start + s * i lies in [0, size).
  auto visibleSteps = [](long long start, long long s, long long n, long long size, long long& from,
                         long long& to) {
    if (s > 0) {
      from = -start;
      to = size - 1 - start;
    } else {
      from = start - (size - 1);
      to = start;
    }
    from = std::max(from, 0LL);
    to = std::min(to, n - 1);
  };

  // Both ends on the surface: so is every point between them, and the walk
  // moves a pointer over the surface.
  const bool inside = X1 >= 0 && X1 < kWidth && X2 >= 0 && X2 < kWidth && Y1 >= 0 && Y1 < kHeight &&
                      Y2 >= 0 && Y2 < kHeight;
  // Steps from..to of the walk along the major axis, plotting (major, minor)
  // through `plot`, or through a pointer with the given strides when inside.
  auto walk = [&](long long from, long long to, long long major0, long long sMajor,
                  long long minor0, long long sMinor, long long dMajor, long long dMinor,
                  bool xMajor) {
    const long long e0 = dMinor - dMajor / 2;
    long long moved = FloorDiv(e0 + (from - 1) * dMinor, dMajor) + 1;
    long long e = e0 + from * dMinor - moved * dMajor;
    // The step pattern is unpredictable, so the steps are written without branches.
    if (inside) {
      const long long x = xMajor ? major0 + sMajor * from : minor0 + sMinor * moved;
      const long long y = xMajor ? minor0 + sMinor * moved : major0 + sMajor * from;
      long long at = (63 - y) * kWidth + x;
      const long long majorStride = xMajor ? sMajor : -sMajor * kWidth;
      const long long minorStride = xMajor ? -sMinor * kWidth : sMinor;
      for (long long i = from; i <= to; ++i) {
        pixels_[std::size_t(at)] = kBlack;
        const long long step = e >= 0;
        at += majorStride + (minorStride & -step);
        e += dMinor - (dMajor & -step);
      }
      return;
    }
    for (long long i = from; i <= to; ++i) {
      const long long major = major0 + sMajor * i, minor = minor0 + sMinor * moved;
      if (xMajor)
        PlotSurface(major, 63 - minor);
      else
        PlotSurface(minor, 63 - major);
      const long long step = e >= 0;
      moved += step;
      e += dMinor - (dMajor & -step);
    }
  };

  if (ax > ay) {
    long long from, to;
    visibleSteps(X1, sx, std::llabs(X2 - X1), kWidth, from, to);
    walk(from, to, X1, sx, Y1, sy, ax, ay, true);
  } else if (ay > 0) {
    long long from, to;
    visibleSteps(Y1, sy, std::llabs(Y2 - Y1), kHeight, from, to);
    walk(from, to, Y1, sy, X1, sx, ay, ax, false);
  } else {
    PlotSurface(X1, 63 - Y1);  // a single point
  }
  PlotSurface(X2, 63 - Y2);
}

void NXTDisplay::DrawRectangle(int x, int y, int w, int h) {
  DrawLine(x, y, x + w, y);
  DrawLine(x, y + h, x + w, y + h);
  DrawLine(x, y, x, y + h);
  DrawLine(x + w, y, x + w, y + h);
}

void NXTDisplay::DrawCircle(int cx, int cy, int r) {
  if (r < 0) return;
  const long long CX = (long long)cx + offset_.DX, CY = (long long)cy + offset_.DY;
  const long long R = r;
  // Every point lies within r of the centre on both axes.
  if (CX + R < 0 || CX - R > kWidth - 1 || CY + R < 0 || CY - R > kHeight - 1) return;

  auto plot4 = [&](long long x, long long y) {
    PlotSurface(CX + x, 63 - (CY + y));
    PlotSurface(CX - x, 63 - (CY - y));
    PlotSurface(CX + x, 63 - (CY - y));
    PlotSurface(CX - x, 63 - (CY + y));
  };

  if (R <= kWalkedRadius) {
    const std::vector<QuadrantPoint>& points = WalkedCircle(int(R));
    if (CX - R >= 0 && CX + R < kWidth && CY - R >= 0 && CY + R < kHeight) {
      // Wholly on the surface: no clipping needed.
      Rgb* centre = &pixels_[Index(int(CX), int(63 - CY))];
      for (const QuadrantPoint& p : points) {
        const int up = -p.y * kWidth, down = p.y * kWidth;
        centre[up + p.x] = kBlack;
        centre[down - p.x] = kBlack;
        centre[down + p.x] = kBlack;
        centre[up - p.x] = kBlack;
      }
    } else {
      for (const QuadrantPoint& p : points) plot4(p.x, p.y);
    }
    return;
  }

  // A large circle: only the quadrant columns x whose mirror images CX +- x
  // reach the display, and the rows y whose images CY +- y do, can show.
  auto clampRange = [&](long long from, long long to, auto&& visit) {
    from = std::max(from, 0LL);
    to = std::min(to, R);
    for (long long v = from; v <= to; ++v) visit(v);
  };
  auto columnPoint = [&](long long x) {
    if (x < R) plot4(x, CircleColumnY(R, x));
  };
  auto rowPoint = [&](long long y) { plot4(CircleRowX(R, y), y); };
  clampRange(-CX, kWidth - 1 - CX, columnPoint);
  clampRange(CX - (kWidth - 1), CX, columnPoint);
  clampRange(-CY, kHeight - 1 - CY, rowPoint);
  clampRange(CY - (kHeight - 1), CY, rowPoint);
}

void NXTDisplay::DrawNumberBox(int x, int y, unsigned value) {
  const long long px = (long long)x + offset_.DX;
  // The text line holding y: rounded down to a multiple of 8 (toward minus
  // infinity, so a line shifted below the screen stays below it).
  const long long bottom = 63 - FloorDiv((long long)y + offset_.DY, 8) * 8;
  const long long top = bottom - 7;
  if (top > kHeight - 1 || bottom < 0) return;

  const std::string text = std::to_string(value);
  const long long tw = (long long)text.size() * kFontCellWidth;
  const long long textLeft = px - 1;

  auto column = [&](long long c, Rgb colour) {
    if (c < 0 || c >= kWidth) return;
    for (long long row = std::max(top, 0LL); row <= std::min(bottom, (long long)kHeight - 1); ++row)
      pixels_[Index(int(c), int(row))] = colour;
  };

  // The text, opaque: glyph pixels black on the grey background.
  const long long first = std::max(0LL, textLeft),
                  last = std::min(textLeft + tw - 1, (long long)kWidth - 1);
  for (long long c = first; c <= last; ++c) {
    const long long offsetInText = c - textLeft;
    const char ch = text[std::size_t(offsetInText / kFontCellWidth)];
    const int cellColumn = int(offsetInText % kFontCellWidth);
    for (long long row = std::max(top, 0LL); row <= std::min(bottom, (long long)kHeight - 1); ++row)
      pixels_[Index(int(c), int(row))] = FontPixel(ch, cellColumn, int(row - top)) ? kBlack : kGrey;
  }
  column(px + tw - 1, kGrey);
  column(px - 1, kWhite);
}

void NXTDisplay::CopySpriteBits(const TRICElement& sprite, int posX, int posY, int width,
                                int height, int relX, int relY) {
  SpriteCopyCache cache(false);
  CopySpriteBits(sprite, posX, posY, width, height, relX, relY, cache);
}

void NXTDisplay::CopySpriteBits(const TRICElement& sprite, int posX, int posY, int width,
                                int height, int relX, int relY, SpriteCopyCache& cache) {
  const TRect& area = sprite.UsedArea;
  const long long w = width, h = height;
  // Source block on the canvas (right and bottom exclusive).
  const long long srcLeft = (long long)area.Left + posX;
  const long long srcTop = (long long)area.Bottom - posY - h + 1;
  // Destination block on the surface (right and bottom exclusive).
  const long long dstLeft = (long long)offset_.DX + relX;
  const long long dstBottom = 64 - (long long)offset_.DY - relY;
  const long long dstTop = dstBottom - h;
  const long long dstRight = dstLeft + w;

  // The part of the block whose source lies on the canvas: copied, with grey
  // whitened on the way (the fix-up below would whiten it anyway).
  long long c0 = 0, c1 = 0, r0 = 0, r1 = 0;
  if (area.IsSet() && w > 0 && h > 0) {
    c0 = std::max({0LL, dstLeft, dstLeft - srcLeft});
    c1 = std::min({(long long)kWidth, dstRight, dstLeft + SpriteCanvas::kWidth - srcLeft});
    r0 = std::max({0LL, dstTop, dstTop - srcTop});
    r1 = std::min({(long long)kHeight, dstBottom, dstTop + SpriteCanvas::kHeight - srcTop});
    if (c0 >= c1 || r0 >= r1) c0 = c1 = r0 = r1 = 0;
    SpriteCopyCache::Reader source = cache.ReaderFor(sprite);
    for (long long row = r0; row < r1; ++row)
      source.ReadRow(int(srcLeft + (c0 - dstLeft)), int(srcTop + (row - dstTop)), int(c1 - c0),
                     &pixels_[Index(int(c0), int(row))]);
  }

  // Grey means never drawn: whiten it in the rest of the block and one column
  // and one row beyond it.
  auto whiten = [&](long long row, long long from, long long to) {
    Rgb* p = &pixels_[Index(0, int(row))];
    for (long long c = from; c <= to; ++c)
      if (p[c] == kGrey) p[c] = kWhite;
  };
  const long long f0 = std::max(0LL, dstLeft), f1 = std::min((long long)kWidth - 1, dstRight);
  const long long g0 = std::max(0LL, dstTop), g1 = std::min((long long)kHeight - 1, dstBottom);
  for (long long row = g0; row <= g1; ++row) {
    if (row >= r0 && row < r1) {
      whiten(row, f0, c0 - 1);
      whiten(row, c1, f1);
    } else {
      whiten(row, f0, f1);
    }
  }
}

}  // namespace tavlin
