// The pixels each primitive touches, handed to a sink, so that the display's
// own drawing and the last-to-first document renderer plot exactly the same
// points.
//
// Coordinates are NXT coordinates with the drawing offset already added. A
// sink has two calls: At(index) for a surface pixel known to lie on the
// surface (index = row * 100 + column), and Clipped(column, row) for a surface
// pixel that may lie off it. Both set the pixel black.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "CircleWalk.h"
#include "Colour.h"
#include "NumberFont.h"

namespace tavlin::raster {

constexpr long long kWidth = 100;
constexpr long long kHeight = 64;

// Division rounding toward minus infinity (b > 0).
inline long long FloorDiv(long long a, long long b) {
  long long q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

inline long long Sign(long long v) { return (v > 0) - (v < 0); }

// Bresenham with a doubled error term from (X1, Y1) to (X2, Y2), both ends
// drawn. Only the steps whose major coordinate lies on the surface are taken:
// the minor coordinate at the first of them follows in closed form from the
// error term, since after i steps the minor axis has moved
// FloorDiv(e0 + (i - 1) * minor, major) + 1 times.
template <class Sink>
void Line(long long X1, long long Y1, long long X2, long long Y2, Sink& sink) {
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
  // moves an index over the surface.
  const bool inside = X1 >= 0 && X1 < kWidth && X2 >= 0 && X2 < kWidth && Y1 >= 0 && Y1 < kHeight &&
                      Y2 >= 0 && Y2 < kHeight;
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
        sink.At(at);
        const long long step = e >= 0;
        at += majorStride + (minorStride & -step);
        e += dMinor - (dMajor & -step);
      }
      return;
    }
    for (long long i = from; i <= to; ++i) {
      const long long major = major0 + sMajor * i, minor = minor0 + sMinor * moved;
      if (xMajor)
        sink.Clipped(major, 63 - minor);
      else
        sink.Clipped(minor, 63 - major);
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
    sink.Clipped(X1, 63 - Y1);  // a single point
  }
  sink.Clipped(X2, 63 - Y2);
}

// Whether the line from (X1, Y1) to (X2, Y2) plots point (X, Y), found in
// closed form from the step that reaches X (or Y, along a steep line).
inline bool LineHits(long long X1, long long Y1, long long X2, long long Y2, long long X,
                     long long Y) {
  if (X == X2 && Y == Y2) return true;
  if (X < std::min(X1, X2) || X > std::max(X1, X2) || Y < std::min(Y1, Y2) || Y > std::max(Y1, Y2))
    return false;
  const long long ax = 2 * std::llabs(X2 - X1), sx = Sign(X2 - X1);
  const long long ay = 2 * std::llabs(Y2 - Y1), sy = Sign(Y2 - Y1);
  auto onStep = [](long long major, long long major0, long long sMajor, long long n,
                   long long minor, long long minor0, long long sMinor, long long dMajor,
                   long long dMinor) {
    const long long i = (major - major0) * sMajor;
    if (i < 0 || i >= n) return false;
    const long long moved = FloorDiv(dMinor - dMajor / 2 + (i - 1) * dMinor, dMajor) + 1;
    return minor == minor0 + sMinor * moved;
  };
  if (ax > ay) return onStep(X, X1, sx, std::llabs(X2 - X1), Y, Y1, sy, ax, ay);
  if (ay > 0) return onStep(Y, Y1, sy, std::llabs(Y2 - Y1), X, X1, sx, ay, ax);
  return X == X1 && Y == Y1;
}

// Circles up to this radius are drawn from their walked points; larger ones
// from the columns and rows that can reach the display.
constexpr long long kWalkedRadius = 128;

struct QuadrantPoint {
  int x, y;
};

// The quadrant points of the circle walk for radius r (0 <= r <=
// kWalkedRadius), walked once per process.
const std::vector<QuadrantPoint>& WalkedCircle(int r);

// Whether a circle can reach the surface: its points lie within 1 of radius R
// from the centre (the walk keeps x^2 + y^2 between (R - 1)^2 and (R + 1)^2),
// so a surface wholly beyond or wholly inside that ring shows none of them.
inline bool CircleMayShow(long long CX, long long CY, long long R) {
  if (R < 0 || CX + R < 0 || CX - R > kWidth - 1 || CY + R < 0 || CY - R > kHeight - 1)
    return false;
  const long long nx = CX < 0 ? -CX : CX > kWidth - 1 ? CX - (kWidth - 1) : 0;
  const long long ny = CY < 0 ? -CY : CY > kHeight - 1 ? CY - (kHeight - 1) : 0;
  const long long fx = std::max(std::llabs(CX), std::llabs(CX - (kWidth - 1)));
  const long long fy = std::max(std::llabs(CY), std::llabs(CY - (kHeight - 1)));
  return nx * nx + ny * ny <= (R + 2) * (R + 2) &&
         (R < 2 || fx * fx + fy * fy >= (R - 2) * (R - 2));
}

// Whether the circle plots point (X, Y): whether its offset from the centre,
// folded into the quadrant, is a point of the walk.
inline bool CircleHits(long long CX, long long CY, long long R, long long X, long long Y) {
  const long long qx = std::llabs(X - CX), qy = std::llabs(Y - CY);
  if (R < 0 || qx > R || qy > R) return false;
  if (R == 0) return qx == 0 && qy == 0;
  // Every point of the walk lies between radius R - 1 and R + 1.
  const long long q = qx * qx + qy * qy;
  if (q < (R - 1) * (R - 1) || q > (R + 1) * (R + 1)) return false;
  return (qx < R && CircleColumnY(R, qx) == qy) || CircleRowX(R, qy) == qx;
}

// The circle walk over one quadrant, mirrored four ways; r = 0 is one pixel.
template <class Sink>
void Circle(long long CX, long long CY, long long R, Sink& sink) {
  if (!CircleMayShow(CX, CY, R)) return;
  auto plot4 = [&](long long x, long long y) {
    sink.Clipped(CX + x, 63 - (CY + y));
    sink.Clipped(CX - x, 63 - (CY - y));
    sink.Clipped(CX + x, 63 - (CY - y));
    sink.Clipped(CX - x, 63 - (CY + y));
  };

  if (R <= kWalkedRadius) {
    const std::vector<QuadrantPoint>& points = WalkedCircle(int(R));
    if (CX - R >= 0 && CX + R < kWidth && CY - R >= 0 && CY + R < kHeight) {
      // Wholly on the surface: no clipping needed.
      const long long centre = (63 - CY) * kWidth + CX;
      for (const QuadrantPoint& p : points) {
        const long long up = centre - p.y * kWidth, down = centre + p.y * kWidth;
        sink.At(up + p.x);
        sink.At(down - p.x);
        sink.At(down + p.x);
        sink.At(up - p.x);
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

// The ellipse outline of the enhanced NXT firmware, centre (CX, CY), radii
// A across and B up, each taken as the 16-bit signed word the brick reads. A
// radius of 0 gives the straight run from -R to R along the other axis;
// otherwise a negative radius draws nothing. The walk goes over one quadrant
// from (0, B) and steps right, down or diagonally by the firmware's error
// terms, each point mirrored four ways. `near(left, right, bottom, top)` is
// asked first with the outline's bounds (on the surface) and may refuse it.
template <class Sink, class Near>
void Ellipse(long long CX, long long CY, long long A, long long B, Sink& sink, Near&& near) {
  A = (std::int16_t)A;
  B = (std::int16_t)B;
  if (A == 0 || B == 0) {
    const long long rx = std::llabs(A), ry = std::llabs(B);
    if (CX + rx < 0 || CX - rx > kWidth - 1 || CY + ry < 0 || CY - ry > kHeight - 1) return;
    if (!near(CX - rx, CX + rx, CY - ry, CY + ry)) return;
    // Only the part on the surface: a run as long as the radius costs nothing.
    for (long long x = std::max(CX - rx, 0LL); x <= std::min(CX + rx, kWidth - 1); ++x)
      for (long long y = std::max(CY - ry, 0LL); y <= std::min(CY + ry, kHeight - 1); ++y)
        sink.At((63 - y) * kWidth + x);
    return;
  }
  if (A < 0 || B < 0 || CX + A < 0 || CX - A > kWidth - 1 || CY + B < 0 || CY - B > kHeight - 1)
    return;
  if (!near(CX - A, CX + A, CY - B, CY + B)) return;
  const long long a2 = A * A, b2 = B * B;
  // Every point of the walk lies within a pixel of the true ellipse, so a
  // surface that lies, with a margin of 2, wholly inside it shows none.
  auto inside = [&](long long x, long long y) {
    const double dx = double(x - CX) / double(A), dy = double(y - CY) / double(B);
    return dx * dx + dy * dy < 1;
  };
  if (inside(-2, -2) && inside(kWidth + 1, -2) && inside(-2, kHeight + 1) &&
      inside(kWidth + 1, kHeight + 1))
    return;
  const long long crit1 = -(a2 / 4 + A % 2 + b2);
  const long long crit2 = -(b2 / 4 + B % 2 + a2);
  const long long crit3 = -(b2 / 4 + B % 2);
  long long x = 0, y = B;
  long long t = -a2 * y, dxt = 0, dyt = -2 * a2 * y;
  const long long d2xt = 2 * b2, d2yt = 2 * a2;
  while (y >= 0 && x <= A) {
    sink.Clipped(CX + x, 63 - (CY + y));
    sink.Clipped(CX - x, 63 - (CY - y));
    sink.Clipped(CX + x, 63 - (CY - y));
    sink.Clipped(CX - x, 63 - (CY + y));
    const bool right = t + b2 * x <= crit1 || t + a2 * y <= crit3;
    const bool down = !right && t - a2 * y > crit2;
    if (!down) {
      ++x;
      dxt += d2xt;
      t += dxt;
    }
    if (!right) {
      --y;
      dyt += d2yt;
      t += dyt;
    }
  }
}

// A number box: surface columns left..right (inclusive, unclipped) over rows
// top..top + 7. Column `left` is white, the last column grey, and between
// them the text's cells from their column 1 on, black glyph pixels on grey.
struct NumberBox {
  long long left = 0, right = -1, top = 0;
  char text[24] = {};
  int length = 0;

  NumberBox(long long x, long long y, unsigned value) {
    const std::string s = std::to_string(value);
    length = int(s.size());
    for (int i = 0; i < length; ++i) text[i] = s[std::size_t(i)];
    const long long tw = (long long)length * kFontCellWidth;
    // The text line holding y: rounded down to a multiple of 8 (toward minus
    // infinity, so a line shifted below the screen stays below it).
    top = 63 - FloorDiv(y, 8) * 8 - 7;
    left = x - 1;
    right = x + tw - 1;
  }
  bool MayShow() const {
    return top <= kHeight - 1 && top + 7 >= 0 && right >= 0 && left <= kWidth - 1;
  }
  // The colour of the box at column c (left <= c <= right) in cell row r.
  Rgb ColourAt(long long c, int r) const {
    if (c == left) return kWhite;
    if (c == right) return kGrey;
    const long long o = c - left;
    return FontPixel(text[o / kFontCellWidth], int(o % kFontCellWidth), r) ? kBlack : kGrey;
  }
  // Writes the box's row r for columns from..to (inclusive, within the box)
  // into out[0 ..], a whole glyph row at a time.
  void Row(int r, long long from, long long to, Rgb* out) const;
};

// The geometry of a copy-bits on the surface.
struct CopyBlock {
  // Source block on the canvas: left column and top row.
  long long srcLeft = 0, srcTop = 0;
  long long dstLeft = 0, dstTop = 0;
  // The copied part, on the surface: columns c0..c1 - 1, rows r0..r1 - 1
  // (empty when c0 == c1).
  long long c0 = 0, c1 = 0, r0 = 0, r1 = 0;
  // The area the fix-up whitens, on the surface: columns f0..f1, rows g0..g1
  // (inclusive; empty when f0 > f1 or g0 > g1).
  long long f0 = 0, f1 = -1, g0 = 0, g1 = -1;
};

// offsetX/offsetY: the drawing offset; used: the sprite's used area left and
// bottom, and whether it is set.
CopyBlock CopyGeometry(long long usedLeft, long long usedBottom, bool usedSet, int posX, int posY,
                       int width, int height, int relX, int relY, long long offsetX,
                       long long offsetY);

}  // namespace tavlin::raster
