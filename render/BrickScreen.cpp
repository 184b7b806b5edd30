#include "BrickScreen.h"

#include "Raster.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace tavlin::brick {

namespace {

// The brick's system font, as far as "%d" needs it: six column bytes per
// character, bit 0 the top row.
// clang-format off
constexpr std::array<std::array<std::uint8_t, 6>, 11> kDigitGlyphs = {{
  {0x3E, 0x51, 0x49, 0x45, 0x3E, 0x00},  // 0
  {0x00, 0x42, 0x7F, 0x40, 0x00, 0x00},  // 1
  {0x62, 0x51, 0x49, 0x49, 0x46, 0x00},  // 2
  {0x22, 0x49, 0x49, 0x49, 0x36, 0x00},  // 3
  {0x18, 0x14, 0x12, 0x7F, 0x10, 0x00},  // 4
  {0x2F, 0x49, 0x49, 0x49, 0x31, 0x00},  // 5
  {0x3C, 0x4A, 0x49, 0x49, 0x30, 0x00},  // 6
  {0x01, 0x71, 0x09, 0x05, 0x03, 0x00},  // 7
  {0x36, 0x49, 0x49, 0x49, 0x36, 0x00},  // 8
  {0x06, 0x49, 0x49, 0x29, 0x1E, 0x00},  // 9
  {0x08, 0x08, 0x08, 0x08, 0x08, 0x00},  // -
}};
// clang-format on

// The same glyphs by rows: row b of a glyph as six bits, its leftmost column
// the highest.
constexpr std::array<std::array<std::uint8_t, 8>, 11> kDigitRows = [] {
  std::array<std::array<std::uint8_t, 8>, 11> rows{};
  for (std::size_t g = 0; g < kDigitGlyphs.size(); ++g)
    for (int b = 0; b < 8; ++b) {
      unsigned pattern = 0;
      for (std::size_t k = 0; k < 6; ++k) pattern = pattern << 1 | ((kDigitGlyphs[g][k] >> b) & 1);
      rows[g][std::size_t(b)] = std::uint8_t(pattern);
    }
  return rows;
}();

const std::array<std::uint8_t, 8>& GlyphRowsOf(char c) {
  return c == '-' ? kDigitRows[10] : kDigitRows[std::size_t(c - '0')];
}

// The offsets v >= 0 for which centre + v or centre - v lies in 0..limit, as
// one range [low, high] covering both; false when there are none.
bool ReachableOffsets(int centre, int limit, int& low, int& high) {
  low = std::numeric_limits<int>::max();
  high = -1;
  if (limit - centre >= 0) {
    low = std::min(low, std::max(0, -centre));
    high = std::max(high, limit - centre);
  }
  if (centre >= 0) {
    low = std::min(low, std::max(0, centre - limit));
    high = std::max(high, centre);
  }
  return high >= low;
}

// Where the enhanced firmware's ellipse walk is: its point and, for a filled
// ellipse, the band of rows it has not drawn yet (top ry, height rows, width
// columns from -rx).
struct WalkState {
  std::int16_t x = 0, y = 0, rx = 0, ry = 0;
  std::uint16_t width = 1, height = 1;
};

// The enhanced firmware's ellipse walk over one quadrant, in its own 16- and
// 32-bit arithmetic (large radii overflow on the brick, and draw
// accordingly). Each point (x, y) goes to `point` with the walk's state
// there; it returns false to end the walk. A filled walk hands out
// rectangles that do not overlap, relative to the centre. Both radii are
// non-zero. The walk may start at a later state of the walk (by default it
// starts at (0, b)): the error terms are those the walk has there (t as in
// raster::EllipseWalk, kept to 32 bits).
template <class PointFn, class RectFn>
void WalkEllipse(std::int16_t a, std::int16_t b, bool fill, PointFn&& point, RectFn&& rect,
                 WalkState from = {-1}) {
  if (from.x < 0) from = {0, b, 0, b, 1, 1};
  std::int16_t x = from.x, y = from.y, rx = from.rx, ry = from.ry;
  std::uint16_t width = from.width, height = from.height;
  const std::int32_t a2 = std::int32_t(a) * a, b2 = std::int32_t(b) * b;
  const std::int32_t crit1 = -(a2 / 4 + a % 2 + b2);
  const std::int32_t crit2 = -(b2 / 4 + b % 2 + a2);
  const std::int32_t crit3 = -(b2 / 4 + b % 2);
  std::int32_t t = Wrap32(std::int64_t(b2) * x * (x + 1) + std::int64_t(a2) * y * (y - 1) -
                          std::int64_t(a2) * b * b);
  std::int32_t dxt = Wrap32(2 * std::int64_t(b2) * x), dyt = Wrap32(-2 * std::int64_t(a2) * y);
  const std::int32_t d2xt = Wrap32(2 * std::int64_t(b2)), d2yt = Wrap32(2 * std::int64_t(a2));
  while (y >= 0 && x <= a) {
    if (!point(WalkState{x, y, rx, ry, width, height})) return;
    if (Wrap32(std::int64_t(t) + Wrap32(std::int64_t(b2) * x)) <= crit1 ||
        Wrap32(std::int64_t(t) + Wrap32(std::int64_t(a2) * y)) <= crit3) {
      if (fill) {
        if (height == 1) {
        } else if (ry * 2 + 1 > (height - 1) * 2) {
          rect(-rx, -ry, width - 1, height - 1);
          rect(-rx, ry, width - 1, -(height - 1));
          ry = Wrap16(ry - (height - 1));
          height = 1;
        } else {
          rect(-rx, -ry, width - 1, ry * 2);
          ry = 0;
          height = 1;
        }
        rx = Wrap16(rx + 1);
        width = std::uint16_t(width + 2);
      }
      x = Wrap16(x + 1);
      dxt = Wrap32(std::int64_t(dxt) + d2xt);
      t = Wrap32(std::int64_t(t) + dxt);
    } else if (Wrap32(std::int64_t(t) - Wrap32(std::int64_t(a2) * y)) > crit2) {
      y = Wrap16(y - 1);
      dyt = Wrap32(std::int64_t(dyt) + d2yt);
      t = Wrap32(std::int64_t(t) + dyt);
      if (fill) height = std::uint16_t(height + 1);
    } else {
      if (fill) {
        if (ry * 2 + 1 > height * 2) {
          rect(-rx, -ry, width - 1, height - 1);
          rect(-rx, ry, width - 1, -(height - 1));
        } else {
          rect(-rx, -ry, width - 1, ry * 2);
        }
        width = std::uint16_t(width + 2);
        ry = Wrap16(ry - height);
        height = 1;
        rx = Wrap16(rx + 1);
      }
      x = Wrap16(x + 1);
      dxt = Wrap32(std::int64_t(dxt) + d2xt);
      t = Wrap32(std::int64_t(t) + dxt);
      y = Wrap16(y - 1);
      dyt = Wrap32(std::int64_t(dyt) + d2yt);
      t = Wrap32(std::int64_t(t) + dyt);
    }
  }
  if (fill) {
    if (ry > height) {
      rect(-rx, -ry, width - 1, height - 1);
      rect(-rx, ry, width - 1, -(height - 1));
    } else {
      rect(-rx, -ry, width - 1, ry * 2);
    }
  }
}

// Hollow ellipses of small radii as the rows of pixels they plot around their
// centre (row y + b, column x + a at bit 127 - (x + a)), built once per radii
// and kept for this thread's later renders. No pixel is plotted twice (the
// walk's points are distinct and their mirror images too), so drawing the set
// in any pixel mode, XOR included, is what plotting point by point does.
constexpr int kShapeMaxA = 63, kShapeMaxB = 255;
const std::vector<Row>& EllipseShape(std::int16_t a, std::int16_t b) {
  thread_local std::unordered_map<std::uint32_t, std::vector<Row>> shapes;
  const std::uint32_t key = std::uint32_t(a) << 16 | std::uint32_t(b);
  if (auto it = shapes.find(key); it != shapes.end()) return it->second;
  if (shapes.size() >= 1024) shapes.clear();
  std::vector<Row> rows(std::size_t(2 * b + 1));
  auto plot = [&](int x, int y) { rows[std::size_t(y + b)] |= ColumnBit(x + a); };
  WalkEllipse(
      a, b, false,
      [&](const WalkState& p) {
        plot(p.x, p.y);
        plot(-p.x, -p.y);
        plot(p.x, -p.y);
        plot(-p.x, p.y);
        return true;
      },
      [](int, int, int, int) {});
  return shapes.emplace(key, std::move(rows)).first->second;
}

// A long walk's states at every kMarkSteps-th point, so that a later
// ellipse of the same radii starts near the part of it that reaches the
// screen instead of walking there. Built once per radii and kept for this
// thread's later renders. `lowestTop` is the lowest band top the walk has
// had up to the mark, `reach` the farthest row from the centre (up or down)
// that a rectangle handed out from the mark on can cover.
struct WalkMark {
  WalkState state;
  std::int32_t lowestTop;
  std::int32_t reach;
};
constexpr int kMarkSteps = 64;
// Walks at least this long are marked.
constexpr std::int32_t kLongWalk = 256;
const std::vector<WalkMark>& WalkMarks(std::int16_t a, std::int16_t b) {
  thread_local std::unordered_map<std::uint32_t, std::vector<WalkMark>> walks;
  thread_local std::size_t kept = 0;  // marks in `walks`
  const std::uint32_t key = std::uint32_t(std::uint16_t(a)) << 16 | std::uint16_t(b);
  if (auto it = walks.find(key); it != walks.end()) return it->second;
  // At most some 16 MB: a picture of more radii than that walks them all again.
  if (kept * sizeof(WalkMark) > (16u << 20)) {
    walks.clear();
    kept = 0;
  }
  std::vector<WalkMark> marks;
  std::int32_t lowestTop = b, reach = 0;
  // A band's rectangles cover the rows from its top ry down by height - 1,
  // on either side of the centre, or (a band reaching the centre) those
  // within ry of it.
  auto bandReach = [](const WalkState& s) {
    return std::max(std::abs(std::int32_t(s.ry)), std::abs(std::int32_t(s.ry) - s.height + 1));
  };
  long long steps = 0;
  WalkState last;
  WalkEllipse(
      a, b, true,
      [&](const WalkState& s) {
        if (steps++ % kMarkSteps == 0) {
          if (!marks.empty()) marks.back().reach = reach;
          marks.push_back({s, std::min<std::int32_t>(lowestTop, s.ry), 0});
          reach = 0;
        }
        lowestTop = std::min<std::int32_t>(lowestTop, s.ry);
        reach = std::max(reach, bandReach(s));
        last = s;
        return true;
      },
      [](int, int, int, int) {});
  // The band left when the walk ends is drawn too; the step that ended the
  // walk can have lowered its bottom by one row.
  if (!marks.empty()) marks.back().reach = std::max(reach, bandReach(last) + 1);
  for (std::size_t i = marks.size(); i-- > 1;)
    marks[i - 1].reach = std::max(marks[i - 1].reach, marks[i].reach);
  kept += marks.size();
  return walks.emplace(key, std::move(marks)).first->second;
}

}  // namespace

// Bresenham from the first point to the second; every pixel goes through the
// 8-bit display call, so coordinates wrap. Long lines only visit the steps
// whose wrapped coordinate along the main axis can land on the screen.
void BrickScreen::LegoLine(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  const std::int64_t dx = x2 - x1, dy = y2 - y1;
  const std::int64_t n = dx < 0 ? -dx : dx, m = dy < 0 ? -dy : dy;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = n > m;
  const std::int64_t steps = xMajor ? n : m, minor = xMajor ? m : n;
  // Along the main axis the wrapped coordinate must fall in [0, limit).
  const std::int64_t limit = xMajor ? kW : kH;
  for (std::int64_t k = 0; k <= steps; ++k) {
    // The main coordinate's display value after k steps.
    const std::int64_t mainValue = xMajor ? x1 + sx * k : kH - 1 - (y1 + sy * k);
    const int wrapped = Wrap8(mainValue);
    if (wrapped >= limit) {
      // Skip to the next step that wraps back onto the screen.
      const int direction = xMajor ? sx : -sy;
      const std::int64_t skip = direction > 0 ? 256 - wrapped : wrapped - (limit - 1);
      k += skip - 1;
      continue;
    }
    // The minor coordinate after k steps, in closed form: the error term
    // starting at 2*minor - steps moves the minor axis floor((2*minor*k +
    // steps) / (2*steps)) times.
    const std::int64_t moved = steps == 0 ? 0 : (2 * minor * k + steps) / (2 * steps);
    if (xMajor)
      SetPixel8(x1 + sx * k, y1 + sy * moved);
    else
      SetPixel8(x1 + sx * moved, y1 + sy * k);
  }
}

void BrickScreen::LegoRect(std::int64_t left, std::int64_t bottom, std::int64_t width,
                           std::int64_t height) {
  const std::int64_t right = left + width, top = bottom + height;
  LegoLine(left, top, right, top);
  LegoLine(right, top, right, bottom);
  LegoLine(right, bottom, left, bottom);
  LegoLine(left, bottom, left, top);
}

// The ends are first trimmed to the screen with integer division, then the
// line is drawn from its lower-left end.
void BrickScreen::Line(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                       PixelMode mode) {
  const std::int32_t dx = Wrap32(std::int64_t(x2) - x1), dy = Wrap32(std::int64_t(y2) - y1);
  if (y1 > y2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (y2 < 0 || y1 >= kH) return;
  if (y1 < 0) {
    if (dx && dy) x1 = Wrap32(x1 + std::int64_t(Divide(Wrap32(std::int64_t(-y1) * dx), dy)));
    y1 = 0;
  }
  if (y2 > kH - 1) {
    if (dx && dy)
      x2 = Wrap32(x2 - std::int64_t(Divide(Wrap32(std::int64_t(y2 - (kH - 1)) * dx), dy)));
    y2 = kH - 1;
  }
  if (x1 > x2) {
    std::swap(x1, x2);
    std::swap(y1, y2);
  }
  if (x2 < 0 || x1 >= kW) return;
  if (x1 < 0) {
    if (dx && dy) y1 = Wrap32(y1 + std::int64_t(Divide(Wrap32(-std::int64_t(x1) * dy), dx)));
    x1 = 0;
  }
  if (x2 > kW - 1) {
    if (dx && dy)
      y2 = Wrap32(y2 - std::int64_t(Divide(Wrap32((std::int64_t(x2) - (kW - 1)) * dy), dx)));
    x2 = kW - 1;
  }
  auto display = [&](std::int64_t x, std::int64_t y) {
    const std::uint8_t c = Wrap8(x), r = Wrap8(kH - 1 - y);
    if (c < kW && r < kH) Plot(c, r, mode);
  };
  if (x1 == x2) {
    const int r1 = Wrap8(kH - 1 - y1), r2 = Wrap8(kH - 1 - y2);
    const int c = Wrap8(x1);
    if (c >= kW) return;
    const Row bit = ColumnBit(c);
    for (int r = std::min(r1, r2); r <= std::min(std::max(r1, r2), kH - 1); ++r)
      Apply(r, bit, mode);
    return;
  }
  if (y1 == y2) {
    const int c1 = Wrap8(x1), c2 = Wrap8(x2), r = Wrap8(kH - 1 - y1);
    const int from = std::min(c1, c2), to = std::min(std::max(c1, c2), kW - 1);
    if (r < kH && from <= to) Apply(r, Span(from, to - from + 1), mode);
    return;
  }
  const std::int64_t ddx = std::int64_t(x2) - x1, ddy = std::int64_t(y2) - y1;
  const std::int64_t ax = (ddx < 0 ? -ddx : ddx) * 2, ay = (ddy < 0 ? -ddy : ddy) * 2;
  const int sx = ddx < 0 ? -1 : 1, sy = ddy < 0 ? -1 : 1;
  std::int64_t x = x1, y = y1;
  if (ax > ay && x1 >= 0 && x2 < kW && y1 >= 0 && y1 < kH && y2 >= 0 && y2 < kH) {
    // On the screen, as trimmed lines are: the pixels of each row as one run.
    std::int64_t d = ay - ax / 2, runStart = x;
    for (;;) {
      const bool last = x == x2;
      if (last || d >= 0) {
        const int from = int(std::min(runStart, x)), to = int(std::max(runStart, x));
        Apply(int(kH - 1 - y), Span(from, to - from + 1), mode);
        if (last) return;
        y += sy;
        d -= ax;
        runStart = x + sx;
      }
      x += sx;
      d += ay;
    }
  }
  if (ax <= ay && x1 >= 0 && x2 < kW && y1 >= 0 && y1 < kH && y2 >= 0 && y2 < kH) {
    std::int64_t d = ax - ay / 2;
    for (;;) {
      Apply(int(kH - 1 - y), ColumnBit(int(x)), mode);
      if (y == y2) return;
      if (d >= 0) {
        x += sx;
        d -= ay;
      }
      y += sy;
      d += ax;
    }
  }
  if (ax > ay) {
    std::int64_t d = ay - ax / 2;
    for (;;) {
      display(x, y);
      if (x == x2) return;
      if (d >= 0) {
        y += sy;
        d -= ax;
      }
      x += sx;
      d += ay;
    }
  }
  std::int64_t d = ax - ay / 2;
  for (;;) {
    display(x, y);
    if (y == y2) return;
    if (d >= 0) {
      x += sx;
      d -= ay;
    }
    y += sy;
    d += ax;
  }
}

// Corners normalised; a zero width or height is one line; filled rects are a
// clipped region, hollow ones four lines that never overlap.
void BrickScreen::Rect(std::int32_t left, std::int32_t bottom, std::int32_t width,
                       std::int32_t height, PixelMode mode, bool fill) {
  std::int32_t x1 = left, x2 = Wrap32(std::int64_t(left) + width);
  std::int32_t y1 = bottom, y2 = Wrap32(std::int64_t(bottom) + height);
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  // A filled one of no width or height is the line the firmware draws for
  // it: the same clipped run.
  if (!fill && (y1 == y2 || x1 == x2)) {
    Line(x1, y1, x2, y2, mode);
    return;
  }
  if (fill) {
    if (x2 < 0 || y2 < 0 || x1 > kW - 1 || y1 > kH - 1) return;
    x1 = std::max(x1, 0);
    y1 = std::max(y1, 0);
    x2 = std::min(x2, kW - 1);
    y2 = std::min(y2, kH - 1);
    const Row span = Span(x1, x2 - x1 + 1);
    for (int y = y1; y <= y2; ++y) Apply(kH - 1 - y, span, mode);
    return;
  }
  Line(x1, y1, x2, y1, mode);
  if (y2 > y1) {
    Line(x1, y2, x2, y2, mode);
    if (y2 > y1 + 1) {
      Line(x2, y1 + 1, x2, y2 - 1, mode);
      if (x2 > x1) Line(x1, y1 + 1, x1, y2 - 1, mode);
    }
  }
}

void BrickScreen::Ellipse(std::int16_t xc, std::int16_t yc, std::int16_t a, std::int16_t b,
                          PixelMode mode, bool fill) {
  if (b == 0) {
    Rect(xc - a, yc, 2 * a, 0, mode, fill);
    return;
  }
  if (a == 0) {
    Rect(xc, yc - b, 0, 2 * b, mode, fill);
    return;
  }
  // Long walks start from the last mark before the part that can reach the
  // screen (see WalkMarks).
  const bool marked = !plainWalks && a > 0 && b > 0 && std::int32_t(a) + b > kLongWalk;
  int xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
  if (!ReachableOffsets(xc, kW - 1, xLow, xHigh) || !ReachableOffsets(yc, kH - 1, yLow, yHigh))
    return;
  if (fill) {
    // Every band handed out before a mark whose lowest top lies above the
    // screen's rows lay farther out than they; none handed out after a mark
    // whose reach falls short of them can meet them.
    WalkState from{-1};
    const std::vector<WalkMark>* marks = nullptr;
    std::size_t first = 0;
    if (marked) {
      marks = &WalkMarks(a, b);
      const auto after = std::partition_point(
          marks->begin(), marks->end(), [&](const WalkMark& m) { return m.lowestTop > yHigh; });
      first = after == marks->begin() ? 0 : std::size_t(after - marks->begin()) - 1;
      from = (*marks)[first].state;
    }
    long long steps = 0;
    WalkEllipse(
        a, b, true,
        [&](const WalkState&) {
          if (marks && steps % kMarkSteps == 0 &&
              (*marks)[first + std::size_t(steps / kMarkSteps)].reach < yLow)
            return false;
          ++steps;
          return true;
        },
        [&](std::int32_t l, std::int32_t bottom, std::int32_t w, std::int32_t h) {
          const std::int32_t y1 = yc + bottom, y2 = y1 + h;  // in either order
          if (std::max(y1, y2) >= 0 && std::min(y1, y2) <= kH - 1)
            Rect(xc + l, y1, w, h, mode, true);
        },
        from);
    return;
  }
  if (!plainWalks && a > 0 && b > 0 && a <= kShapeMaxA && b <= kShapeMaxB) {
    const std::vector<Row>& shape = EllipseShape(a, b);
    const int shift = xc - a;  // shape column k is screen column k + shift
    if (shift >= kW || shift <= -128) return;
    const Row screen = Span(0, kW);
    for (int dy = std::max(-int(b), -int(yc)); dy <= std::min(int(b), kH - 1 - yc); ++dy) {
      const Row bits = shape[std::size_t(dy + b)];
      Apply(kH - 1 - (yc + dy), (shift >= 0 ? bits >> shift : bits << -shift) & screen, mode);
    }
    return;
  }
  // Otherwise point by point. The walk's x only grows and its y only falls
  // (x cannot wrap below a radius of 32767), so it ends once x has passed
  // every column or y every row a mirrored point could reach, and plots
  // nothing before both are in reach. Where its arithmetic stays within 32
  // bits it is the exact walk, which can start right where both are; a long
  // walk beyond that starts from the last mark before them.
  const bool canStop = !plainWalks && a < 32767;
  WalkState from{-1};
  const std::int64_t a2 = std::int64_t(a) * a, b2 = std::int64_t(b) * b;
  // Along the walk t stays within 2 * b2 * (a + 1) + 2 * a2 * (b + 1) + b2
  // of 0: a step right is taken only with t < 0, a diagonal one with
  // t <= crit2 + a2 * y, and a step down leaves t above crit2 - a2 * b. Every
  // other term is t plus at most 2 * b2 * (a + 1).
  if (!plainWalks && a > 0 && b > 0 &&
      4 * (b2 * (a + 2) + a2 * (b + 2)) <= std::numeric_limits<std::int32_t>::max()) {
    if (xLow > a || yLow > b) return;
    const auto [x, y] = raster::EllipseWalk(a, b).Entry(xLow, yHigh);
    if (x > a || y < 0) return;
    from = {std::int16_t(x), std::int16_t(y)};
  } else if (canStop && marked) {
    const std::vector<WalkMark>& marks = WalkMarks(a, b);
    const auto inReach = std::partition_point(marks.begin(), marks.end(), [&](const WalkMark& m) {
      return m.state.x < xLow || m.state.y > yHigh;
    });
    from = (inReach == marks.begin() ? inReach : inReach - 1)->state;
  }
  WalkEllipse(
      a, b, false,
      [&](const WalkState& p) {
        const int x = p.x, y = p.y;
        if (canStop) {
          if (x > xHigh || y < yLow) return false;
          if (x < xLow || y > yHigh) return true;
        }
        SetPixel(xc + x, yc + y, mode);
        if (x != 0 || y != 0) SetPixel(xc - x, yc - y, mode);
        if (x != 0 && y != 0) {
          SetPixel(xc + x, yc - y, mode);
          SetPixel(xc - x, yc + y, mode);
        }
        return true;
      },
      [](int, int, int, int) {}, from);
}

// Hollow: lines between consecutive points, closed unless a polyline. Filled:
// a scanline fill of the rows strictly between the lowest and highest vertex.
void BrickScreen::Polygon(const std::vector<std::array<std::int16_t, 2>>& points, PixelMode mode,
                          bool fill, bool polyline) {
  const int n = int(points.size());
  if (!fill) {
    int j = 0;
    for (int i = 1; i < n; j = i++)
      Line(points[i][0], points[i][1], points[j][0], points[j][1], mode);
    if (!polyline) {
      // With no points the firmware reads the first point's words anyway;
      // the caller always passes at least the three the op must hold.
      Line(points[0][0], points[0][1], points[j][0], points[j][1], mode);
    }
    return;
  }
  int top = -1, bottom = 1024, right = -1, left = 1024;
  for (const auto& p : points) {
    top = std::max<int>(top, p[1]);
    bottom = std::min<int>(bottom, p[1]);
    right = std::max<int>(right, p[0]);
    left = std::min<int>(left, p[0]);
  }
  // Rows off the screen draw nothing: only the visible ones are walked.
  std::vector<std::int32_t> nodes;
  for (int pixelY = std::max(bottom, -1); pixelY < std::min(top, kH + 1); ++pixelY) {
    nodes.clear();
    for (int i = 0, j = n - 1; i < n; j = i++) {
      const auto& pi = points[std::size_t(i)];
      const auto& pj = points[std::size_t(j)];
      if ((pi[1] < pixelY && pj[1] >= pixelY) || (pj[1] < pixelY && pi[1] >= pixelY))
        nodes.push_back(Wrap32(
            pi[0] + std::int64_t(Divide(Wrap32(std::int64_t(pixelY - pi[1]) * (pj[0] - pi[0])),
                                        pj[1] - pi[1]))));
    }
    std::sort(nodes.begin(), nodes.end());
    for (std::size_t i = 0; i + 1 < nodes.size(); i += 2) {
      if (nodes[i] >= right) break;
      if (nodes[i + 1] > left) {
        const std::int32_t from = std::max(nodes[i], left), to = std::min(nodes[i + 1], right);
        Line(from, pixelY, to, pixelY, mode);
      }
    }
  }
}

// The number box's text: whole 6 x 8 cells from the system font, the cell's
// bottom row at y (1.32) or at the bottom of y's text line (LEGO, 1.31).
void BrickScreen::Text(const std::string& text, std::uint8_t x, std::uint8_t y, BitmapMode mode,
                       bool atAnyY) {
  const std::uint32_t screenY = std::uint32_t(kH - 1) - y;  // unsigned, as the firmware has it
  std::int32_t line = std::int32_t((screenY & 0xF8) / 8);
  unsigned shift = 0;
  if (atAnyY) {
    shift = (screenY - 7) % 8;
    if (shift) --line;
  }
  if (line >= 8) return;
  const int topRow = line * 8 + int(shift);
  std::uint32_t column = x;
  for (char ch : text) {
    column += 6;
    if (atAnyY ? column > std::uint32_t(kW) : column >= std::uint32_t(kW)) break;
    const auto& glyph = GlyphRowsOf(ch);
    const int first = int(column) - 6;
    const int shift = 128 - first - 6;
    const Row cell = Row(0x3F) << shift;
    for (int b = std::max(0, -topRow); b < std::min(8, kH - topRow); ++b) {
      unsigned pattern = mode.Fill ? 0x3F : glyph[std::size_t(b)];
      if (mode.Invert) pattern ^= 0x3F;
      Combine(topRow + b, Row(pattern) << shift, cell, mode.Op);
    }
  }
}

void BrickScreen::BeginBackward() {
  before_ = rows;
  backward_ = true;
  decided_.fill(0);
  flip_.fill(0);
  openRows_ = kH;
}

void BrickScreen::EndBackward() {
  for (std::size_t r = 0; r < rows.size(); ++r)
    rows[r] = (rows[r] & decided_[r]) | ((before_[r] ^ flip_[r]) & ~decided_[r]);
  backward_ = false;
}

void BrickScreen::BeginParts() {
  if (!backward_) return;
  parts_.clear();
  recording_ = &parts_;
}

void BrickScreen::EndParts() {
  if (!recording_) return;
  recording_ = nullptr;
  for (auto part = parts_.rbegin(); part != parts_.rend(); ++part) {
    if (part->combine)
      Combine(part->row, part->bits, part->mask, Logic(part->how));
    else
      Apply(part->row, part->bits, PixelMode(part->how));
  }
}

}  // namespace tavlin::brick
