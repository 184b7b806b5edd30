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
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
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

// The quadrant walk of the firmware's ellipse outline, radii A across and B
// up (both > 0), in closed form. The walk starts at (0, B) with t = -a2 * B;
// each step right adds 2 * b2 * x (the new x) to t and each step down
// -2 * a2 * y (the new y) + ..., so wherever it is,
//   t(x, y) = b2 * x * (x + 1) + a2 * y * (y - 1) - a2 * B * B,
// and the step taken from (x, y) depends on (x, y) only: right while Right(),
// otherwise down while Below(), otherwise diagonally. Right() holds on a set
// closed toward smaller x and y, Below() on one closed toward larger x and y
// (for y >= 1), which lets a row's or a column's run be solved for directly.
// `Entry` finds where the walk first reaches a region without walking to it.
class EllipseWalk {
 public:
  EllipseWalk(long long A, long long B)
      : A_(A),
        B_(B),
        a2_(A * A),
        b2_(B * B),
        crit1_(-(a2_ / 4 + A % 2 + b2_)),
        crit2_(-(b2_ / 4 + B % 2 + a2_)),
        crit3_(-(b2_ / 4 + B % 2)) {}

  long long T(long long x, long long y) const {
    return b2_ * x * (x + 1) + a2_ * y * (y - 1) - a2_ * B_ * B_;
  }
  bool Right(long long x, long long y) const {
    const long long t = T(x, y);
    return t + b2_ * x <= crit1_ || t + a2_ * y <= crit3_;
  }
  bool Below(long long x, long long y) const { return T(x, y) - a2_ * y > crit2_; }

  // The first point of the walk with x >= xLow and y <= yHigh (0 <= xLow,
  // yHigh), or a point of the walk before it, or one past the walk's end
  // (x > A or y < 0) when it never gets there.
  std::pair<long long, long long> Entry(long long xLow, long long yHigh) const {
    yHigh = std::min(yHigh, B_);
    if (xLow == 0 && yHigh == B_) return {0, B_};
    // While each row's run ends at least one column right of the run above
    // it, the walk enters each row no further right than where the row's run
    // ends, so it leaves row y at RowEnd(y). flat(y) tells that row y - 1 is
    // entered so; it holds from some row up to B when RowEnd(B) >= 1 (with
    // `x` the end of a run on the row above, b2 * (2 * x + 1) <= 2 * a2 *
    // (y - 1) makes Right hold on the row below one column further).
    const bool topRun = Right(0, B_);  // RowEnd(B) >= 1
    // The last row flat() failed on and its run's end.
    long long notFlat = -1, notFlatEnd = 0;
    auto flatEnd = [&](long long y, long long end) {
      const bool f = (__int128)b2_ * (2 * end + 1) <= (__int128)2 * a2_ * (y - 1);
      if (!f) notFlat = y, notFlatEnd = end;
      return f;
    };
    auto flat = [&](long long y) { return flatEnd(y, RowEnd(y)); };
    // The entry lies on a row entered so when flat() holds on the row above
    // it; that row is yHigh + 1 or higher, so where flat(yHigh + 1) fails it
    // does not.
    const long long highEnd = RowEnd(yHigh + 1);
    if (yHigh == B_ || (topRun && flatEnd(yHigh + 1, highEnd))) {
      // The last row whose run reaches column xLow: row yHigh or one above
      // it when Right holds there.
      const long long reach =
          xLow == 0 || Right(xLow - 1, yHigh) ? B_ : std::min(LastRow(xLow - 1), B_);
      const long long entryRow = std::min(yHigh, reach);
      if (reach >= 0) {
        if (entryRow == B_) return {xLow, B_};
        // Where the walk enters row y, given that it left row y + 1 at its
        // run's end: always diagonally, since where flat(y + 1) holds, Below
        // fails at the end of a run on row y + 1.
        const long long above = entryRow == yHigh ? highEnd : RowEnd(entryRow + 1);
        if (topRun && flatEnd(entryRow + 1, above)) return {std::max(above + 1, xLow), entryRow};
      }
    }

    // Otherwise the entry lies past the rows entered so: start from the end
    // of the last of them.
    long long x = 0, y = B_;
    if (topRun) {
      // The lowest row with flat(), B + 1 for none: near where the true
      // ellipse runs at 45 degrees, y = b2 / sqrt(a2 + b2), a row or two
      // above for the half pixels of the test, so it is searched for outward
      // from there, in steps that double, and then halved down.
      auto flatOrPast = [&](long long y) { return y > B_ || flat(y); };
      const double guess =
          double(b2_) / std::sqrt(double(a2_) + double(b2_)) + 1.5 + double(b2_) / double(2 * a2_);
      long long lo = 1, hi = std::clamp((long long)guess, 1LL, B_ + 1);
      // Most often the guess is that row: both ends asked for at once.
      const long long guessEnd = hi <= B_ ? RowEnd(hi) : 0, beforeEnd = hi > 1 ? RowEnd(hi - 1) : 0;
      if ((hi > B_ || flatEnd(hi, guessEnd)) && hi > 1 && !flatEnd(hi - 1, beforeEnd)) {
        lo = hi;
      } else if (flatOrPast(hi)) {
        for (long long step = 1; hi - step >= 1; step *= 2) {
          if (!flat(hi - step)) {
            lo = hi - step + 1;
            break;
          }
          hi -= step;
        }
      } else {
        lo = hi + 1;
        for (long long step = 1;; step *= 2) {
          const long long probe = std::min(lo + step - 1, B_ + 1);
          if (flatOrPast(probe)) {
            hi = probe;
            break;
          }
          lo = probe + 1;
        }
      }
      while (lo < hi) {
        const long long mid = lo + (hi - lo) / 2;
        if (flat(mid))
          hi = mid;
        else
          lo = mid + 1;
      }
      y = lo - 1;
      x = notFlat == y ? notFlatEnd : RowEnd(y);
    }
    // The first column whose run reaches row yHigh, once the columns' runs
    // are known to end a row lower each (found below), and where the walk
    // enters it; asked for here, apart from what the steps find.
    const long long reachHigh = std::max({xLow, highEnd, BelowFrom(yHigh + 1)});
    const long long reachEnd = reachHigh >= 1 && reachHigh <= A_ ? ColumnEnd(reachHigh - 1) : -1;
    // Step on until a column is entered at or above the end of its run,
    // with the columns' runs ending at least a row lower each from there on.
    bool columnStart = x == 0 && y == B_;
    for (;;) {
      if ((x >= xLow && y <= yHigh) || x > A_ || y < 0) return {x, y};
      // ColumnEnd(x) <= y: the walk would not stop going down column x on
      // the row above (where it stops is closed toward smaller y).
      if (columnStart && (__int128)2 * b2_ * (x + 1) >= (__int128)a2_ * (2 * y + 1) &&
          !Right(x, y + 1) && Below(x, y + 1))
        break;
      const bool right = Right(x, y), down = !right && Below(x, y);
      if (!down) ++x;
      if (!right) --y;
      columnStart = !down;
    }
    const long long target = std::max(x, reachHigh);
    if (target == x) return {x, std::min(y, yHigh)};
    if (target > A_) return {A_ + 1, -1};
    const long long end = target == reachHigh ? reachEnd : ColumnEnd(target - 1);
    if (end < 0) return {A_ + 1, -1};
    const long long start = end - (Right(target - 1, end) ? 0 : 1);
    return {target, std::min(start, yHigh)};
  }

  // The smallest x >= 0 where Right(x, y) fails (at most A).
  long long RowEnd(long long y) const {
    // Right(x, y) is x * (x + 2) * b2 <= k1 or x * (x + 1) * b2 <= k3.
    const long long k1 = crit1_ + a2_ * B_ * B_ - a2_ * y * (y - 1);
    const long long k3 = crit3_ + a2_ * B_ * B_ - a2_ * y * y;
    const long long x1 = LastX(k1, 2), x3 = LastX(k3, 1);
    return std::max(x1, x3) + 1;
  }

  // The largest y >= 0 where a walk going down column x stops: Right(x, y)
  // or not Below(x, y); -1 when there is none.
  long long ColumnEnd(long long x) const {
    const long long k2 = crit2_ + a2_ * B_ * B_ - b2_ * x * (x + 1);
    return std::max(LastRow(x), LastY(k2, -2));
  }

 private:
  // The largest x >= 0 with b2 * x * (x + c) <= k, or -1.
  long long LastX(long long k, long long c) const {
    if (k < 0) return -1;
    const double q = double(k) * inverseB2_;
    long long x = (long long)(std::sqrt(q + c * c / 4.0) - c / 2.0);
    x = std::clamp(x, 0LL, A_ + 2);
    while (x > 0 && b2_ * x * (x + c) > k) --x;
    while (b2_ * (x + 1) * (x + 1 + c) <= k) ++x;
    return x;
  }
  // The largest y >= 0 with a2 * y * (y + c) <= k, or -1 (c is 0, -1 or -2:
  // y * (y + c) grows from y = 1 on, and y = 0 gives what y = -c does).
  long long LastY(long long k, long long c) const {
    const long long low = c < 0 ? 1 : 0;
    if (a2_ * low * (low + c) > k) return -1;
    const double q = double(k) * inverseA2_;
    long long y = (long long)(std::sqrt(std::max(0.0, q + c * c / 4.0)) - c / 2.0);
    y = std::clamp(y, low, B_ + 2);
    while (y > low && a2_ * y * (y + c) > k) --y;
    while (a2_ * (y + 1) * (y + 1 + c) <= k) ++y;
    return y;
  }
  // The largest y >= 0 with Right(x, y), or -1.
  long long LastRow(long long x) const {
    const long long k1 = crit1_ + a2_ * B_ * B_ - b2_ * x * (x + 2);
    const long long k3 = crit3_ + a2_ * B_ * B_ - b2_ * x * (x + 1);
    return std::max(LastY(k1, -1), LastY(k3, 0));
  }
  // The smallest x >= 0 with Below(x, y) (y >= 1).
  long long BelowFrom(long long y) const {
    const long long k = crit2_ + a2_ * B_ * B_ - a2_ * y * (y - 2);
    return LastX(k, 1) + 1;
  }

  long long A_, B_, a2_, b2_, crit1_, crit2_, crit3_;
  double inverseA2_ = 1.0 / double(a2_), inverseB2_ = 1.0 / double(b2_);
};

// Columns c0..c1 of surface row `row`, or rows r0..r1 of surface `column`
// (all on the surface), handed to the sink as one span where it takes spans.
template <class Sink>
void RowSpan(Sink& sink, long long row, long long c0, long long c1) {
  if constexpr (requires { sink.Row(row, c0, c1); })
    sink.Row(row, c0, c1);
  else
    for (long long c = c0; c <= c1; ++c) sink.At(row * kWidth + c);
}
template <class Sink>
void ColumnSpan(Sink& sink, long long column, long long r0, long long r1) {
  if constexpr (requires { sink.Column(column, r0, r1); })
    sink.Column(column, r0, r1);
  else
    for (long long r = r0; r <= r1; ++r) sink.At(r * kWidth + column);
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
  // Only the quadrant's points with x in xLow..xHigh and y in yLow..yHigh
  // have a mirror image on the surface; the walk moves right and down only,
  // so it visits them in one stretch, from its first point with x >= xLow and
  // y <= yHigh until x passes xHigh or y drops below yLow.
  auto reachable = [](long long centre, long long limit, long long& low, long long& high) {
    low = centre <= limit ? std::max(0LL, -centre) : centre - limit;
    high = centre >= 0 ? std::max(centre, limit - centre) : limit - centre;
  };
  long long xLow, xHigh, yLow, yHigh;
  reachable(CX, kWidth - 1, xLow, xHigh);
  reachable(CY, kHeight - 1, yLow, yHigh);
  const EllipseWalk walk(A, B);
  auto [x, y] = walk.Entry(xLow, yHigh);
  const long long xEnd = std::min(A, xHigh);
  auto on = [](long long v, long long size) {
    return (unsigned long long)v < (unsigned long long)size;
  };
  // The walk's points (x0..x1, qy), mirrored: a span on each of two rows.
  auto rowRun = [&](long long qy, long long x0, long long x1) {
    for (const long long row : {63 - (CY + qy), 63 - (CY - qy)}) {
      if (on(row, kHeight)) {
        const long long e0 = std::max(CX + x0, 0LL), e1 = std::min(CX + x1, kWidth - 1);
        if (e0 <= e1) RowSpan(sink, row, e0, e1);
        const long long w0 = std::max(CX - x1, 0LL), w1 = std::min(CX - x0, kWidth - 1);
        if (w0 <= w1 && x1 > 0) RowSpan(sink, row, w0, w1);
      }
      if (qy == 0) break;
    }
  };
  // The walk's points (qx, y1..y0), mirrored: two spans on each of two columns.
  auto columnRun = [&](long long qx, long long y1, long long y0) {
    for (const long long column : {CX + qx, CX - qx}) {
      if (on(column, kWidth)) {
        const long long n0 = std::max(63 - (CY + y0), 0LL);
        const long long n1 = std::min(63 - (CY + y1), kHeight - 1);
        if (n0 <= n1) ColumnSpan(sink, column, n0, n1);
        const long long s0 = std::max(63 - CY + y1, 0LL), s1 = std::min(63 - CY + y0, kHeight - 1);
        if (s0 <= s1 && y0 > 0) ColumnSpan(sink, column, s0, s1);
      }
      if (qx == 0) break;
    }
  };
  // The mirror images that can reach the surface: image (sx, sy) of point
  // (x, y) is surface index base + sx * x - sy * kWidth * y, on the surface
  // for x in x0..x0 + xSpan and y in y0..y0 + ySpan.
  struct Image {
    long long sx, rowStep, x0, xSpan, y0, ySpan;
  };
  Image images[4];
  int imageCount = 0;
  const long long base = (63 - CY) * kWidth + CX;
  for (const long long sx : {1, -1})
    for (const long long sy : {1, -1}) {
      const long long x0 = std::max(xLow, sx > 0 ? -CX : CX - (kWidth - 1));
      const long long x1 = std::min(xEnd, sx > 0 ? kWidth - 1 - CX : CX);
      const long long y0 = std::max(yLow, sy > 0 ? -CY : CY - (kHeight - 1));
      const long long y1 = std::min(yHigh, sy > 0 ? kHeight - 1 - CY : CY);
      if (x0 <= x1 && y0 <= y1) images[imageCount++] = {sx, -sy * kWidth, x0, x1 - x0, y0, y1 - y0};
    }
  auto point = [&](long long qx, long long qy) {
    for (int i = 0; i < imageCount; ++i) {
      const Image& m = images[i];
      if ((unsigned long long)(qx - m.x0) <= (unsigned long long)m.xSpan &&
          (unsigned long long)(qy - m.y0) <= (unsigned long long)m.ySpan)
        sink.At(base + m.sx * qx + m.rowStep * qy);
    }
  };
  // The walk run by run: a run along a row (steps right) or down a column
  // (steps down) is stepped while it is short, its end solved for once it
  // is not; a few points go on point by point, more as spans, and diagonal
  // steps point by point.
  const long long crit1 = -(a2 / 4 + A % 2 + b2);
  const long long crit2 = -(b2 / 4 + B % 2 + a2);
  const long long crit3 = -(b2 / 4 + B % 2);
  auto right = [&](long long px, long long py, long long t) {
    return t + b2 * px <= crit1 || t + a2 * py <= crit3;
  };
  auto below = [&](long long py, long long t) { return t - a2 * py > crit2; };
  constexpr int kSteps = 8;
  long long t = walk.T(x, y);
  while (y >= yLow && x <= xEnd) {
    bool plotted = false;
    if (right(x, y, t)) {
      long long xe = x + 1, te = t + 2 * b2 * xe;
      for (int n = 0; xe <= xEnd && right(xe, y, te); ++xe, te += 2 * b2 * xe)
        if (++n == kSteps) {
          xe = walk.RowEnd(y);
          te = walk.T(xe, y);
          break;
        }
      if (xe - x < 4)
        for (long long px = x; px <= std::min(xe, xEnd); ++px) point(px, y);
      else
        rowRun(y, x, std::min(xe, xEnd));
      if (xe > xEnd) return;
      x = xe;
      t = te;
      plotted = true;
    }
    if (below(y, t)) {
      long long ye = y - 1, te = t - 2 * a2 * ye;
      for (int n = 0; ye >= yLow && !right(x, ye, te) && below(ye, te); --ye, te -= 2 * a2 * ye)
        if (++n == kSteps) {
          ye = walk.ColumnEnd(x);
          te = walk.T(x, ye);
          break;
        }
      if (y - ye < 4)
        for (long long py = y; py >= std::max(ye, yLow); --py) point(x, py);
      else
        columnRun(x, std::max(ye, yLow), y);
      if (ye < yLow) return;
      y = ye;
      t = te;
      if (right(x, y, t)) continue;
      plotted = true;
    }
    if (!plotted) point(x, y);
    ++x;
    t += 2 * b2 * x;
    --y;
    t -= 2 * a2 * y;
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
