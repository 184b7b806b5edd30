// The display surface and its drawing primitives, pixel by pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "CircleWalk.h"
#include "DrawCommandRenderer.h"
#include "NXTDisplay.h"
#include "NumberFont.h"
#include "RICElement.h"
#include "Raster.h"
#include "RenderTestUtil.h"
#include "SpriteCopyCache.h"

namespace tavlin {
namespace {

using test::BlackPoints;
using test::Grid;
using Points = std::set<std::pair<int, int>>;

// --- DrawPixel and the coordinate system ---

struct PixelCase {
  const char* name;
  int dx, dy, x, y;
  int column, row;  // -1: nothing is drawn
};

class DrawPixelTest : public ::testing::TestWithParam<PixelCase> {};

TEST_P(DrawPixelTest, SetsTheSurfacePixelOrNothing) {
  const PixelCase& c = GetParam();
  NXTDisplay d;
  d.SetDrawingOffset(c.dx, c.dy);
  d.DrawPixel(c.x, c.y);
  NXTDisplay expected;
  if (c.column >= 0) expected.SetPixel(c.column, c.row, kBlack);
  EXPECT_EQ(test::Joined(Grid(d)), test::Joined(Grid(expected)));
}

INSTANTIATE_TEST_SUITE_P(Edges, DrawPixelTest,
                         ::testing::Values(PixelCase{"BottomLeft", 0, 0, 0, 0, 0, 63},
                                           PixelCase{"TopRight", 0, 0, 99, 63, 99, 0},
                                           PixelCase{"RightOfSurface", 0, 0, 100, 0, -1, -1},
                                           PixelCase{"AboveSurface", 0, 0, 0, 64, -1, -1},
                                           PixelCase{"Offset", 10, 5, 0, 0, 10, 58},
                                           PixelCase{"NegativeOffsetOff", -1, 0, 0, 0, -1, -1},
                                           PixelCase{"NegativeOffsetOn", -5, -3, 5, 3, 0, 63},
                                           PixelCase{"FarAway", 0, 0, 65535, 65535, -1, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NXTDisplayTest, ClearDisplayWhitensEverything) {
  NXTDisplay d;
  for (int c = 0; c < 100; ++c) d.SetPixel(c, c % 64, c % 2 ? kGrey : kBlack);
  d.ClearDisplay();
  EXPECT_EQ(d, NXTDisplay());
  EXPECT_EQ(d.Pixel(0, 0), kWhite);
  EXPECT_EQ(d.Pixel(99, 63), kWhite);
}

// --- DrawLine ---

struct LineCase {
  const char* name;
  int x1, y1, x2, y2;
  Points points;
};

class DrawLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(DrawLineTest, PlotsExactlyThesePoints) {
  const LineCase& c = GetParam();
  NXTDisplay d;
  d.DrawLine(c.x1, c.y1, c.x2, c.y2);
  EXPECT_EQ(BlackPoints(d), c.points);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DrawLineTest,
    ::testing::Values(
        LineCase{"XMajor", 0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        LineCase{"YMajor", 0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        LineCase{"SinglePoint", 5, 5, 5, 5, {{5, 5}}},
        LineCase{"Leftwards",
                 9,
                 0,
                 0,
                 0,
                 {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0}}},
        LineCase{"Diagonal", 2, 2, 5, 5, {{2, 2}, {3, 3}, {4, 4}, {5, 5}}},
        LineCase{"DiagonalDown", 5, 0, 2, 3, {{5, 0}, {4, 1}, {3, 2}, {2, 3}}},
        // Entering the surface from far away: only the visible part, exactly
        // where the full walk puts it.
        LineCase{"FromFarLeft", -1000, 0, 1, 0, {{0, 0}, {1, 0}}},
        LineCase{"VerticalOffSurface", 100, 0, 100, 63, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// The clipped line against the plain walk over every point, for lines short
// and long, on the surface and far off it, with offsets.
TEST(DrawLineReferenceTest, MatchesThePlainWalkForRandomLines) {
  std::mt19937 rng(12345);
  auto coord = [&](int range) { return std::uniform_int_distribution<int>(-range, range)(rng); };
  for (int i = 0; i < 4000; ++i) {
    const int range = i % 4 == 0 ? 3000 : (i % 4 == 1 ? 200 : 80);
    int x1 = coord(range) + 50, y1 = coord(range) + 32, x2 = coord(range) + 50,
        y2 = coord(range) + 32;
    int dx = i % 3 == 0 ? coord(40) : 0, dy = i % 5 == 0 ? coord(40) : 0;
    NXTDisplay actual;
    actual.SetDrawingOffset(dx, dy);
    actual.DrawLine(x1, y1, x2, y2);
    NXTDisplay expected;
    for (auto [x, y] : test::ReferenceLine(x1 + dx, y1 + dy, x2 + dx, y2 + dy))
      test::PlotReference(expected, x, y);
    ASSERT_EQ(test::Joined(Grid(actual)), test::Joined(Grid(expected)))
        << "line " << x1 << "," << y1 << " - " << x2 << "," << y2 << " offset " << dx << "," << dy;
  }
}

TEST(DrawLineReferenceTest, LongestLinesCrossingTheSurface) {
  // 16-bit end points far apart, steep and shallow, through the surface.
  const int cases[][4] = {{0, 0, 65535, 40000}, {65535, 0, 0, 63}, {30, 65535, 60, 0},
                          {0, 65535, 65535, 0}, {99, 0, 0, 65535}, {0, 31, 65535, 33}};
  for (const auto& c : cases) {
    NXTDisplay actual;
    actual.DrawLine(c[0], c[1], c[2], c[3]);
    NXTDisplay expected;
    for (auto [x, y] : test::ReferenceLine(c[0], c[1], c[2], c[3]))
      test::PlotReference(expected, x, y);
    EXPECT_EQ(test::Joined(Grid(actual)), test::Joined(Grid(expected)))
        << c[0] << "," << c[1] << " - " << c[2] << "," << c[3];
  }
}

// --- DrawRectangle ---

TEST(DrawRectangleTest, ZeroSizeIsOnePixel) {
  NXTDisplay d;
  d.DrawRectangle(10, 10, 0, 0);
  EXPECT_EQ(BlackPoints(d), (Points{{10, 10}}));
}

TEST(DrawRectangleTest, CoversColumnsXToXPlusWAndRowsYToYPlusH) {
  NXTDisplay d;
  d.DrawRectangle(2, 3, 3, 2);
  EXPECT_EQ(
      BlackPoints(d),
      (Points{{2, 3}, {3, 3}, {4, 3}, {5, 3}, {2, 5}, {3, 5}, {4, 5}, {5, 5}, {2, 4}, {5, 4}}));
}

TEST(DrawRectangleTest, WholeScreenOutline) {
  NXTDisplay d;
  d.DrawRectangle(0, 0, 99, 63);
  std::vector<std::string> expected(64, "#" + std::string(98, '.') + "#");
  expected.front() = expected.back() = std::string(100, '#');
  EXPECT_EQ(test::Joined(Grid(d)), test::Joined(expected));
}

// --- DrawCircle ---

TEST(DrawCircleTest, RadiusZeroIsOnePixel) {
  NXTDisplay d;
  d.DrawCircle(50, 32, 0);
  EXPECT_EQ(BlackPoints(d), (Points{{50, 32}}));
}

TEST(DrawCircleTest, RadiusOneIsFourAxisPixels) {
  NXTDisplay d;
  d.DrawCircle(50, 32, 1);
  EXPECT_EQ(BlackPoints(d), (Points{{51, 32}, {49, 32}, {50, 33}, {50, 31}}));
}

TEST(DrawCircleTest, RadiusTwo) {
  NXTDisplay d;
  d.DrawCircle(10, 10, 2);
  const std::vector<std::string> expected = {".###.", "#...#", "#...#", "#...#", ".###."};
  std::vector<std::string> got;
  for (int row = 63 - 12; row <= 63 - 8; ++row)
    got.push_back(Grid(d)[std::size_t(row)].substr(8, 5));
  EXPECT_EQ(test::Joined(got), test::Joined(expected));
  EXPECT_EQ(BlackPoints(d).size(), 12u);
}

// --- DrawEllipse and DrawPolygon ---

TEST(DrawEllipseTest, TheFirmwaresOutlineAndItsDegenerateRadii) {
  NXTDisplay d;
  d.DrawEllipse(10, 10, 3, 2);
  std::vector<std::string> got;
  for (int row = 63 - 12; row <= 63 - 8; ++row)
    got.push_back(Grid(d)[std::size_t(row)].substr(7, 7));
  EXPECT_EQ(test::Joined(got), "..###..\n##...##\n#.....#\n##...##\n..###..\n");
  EXPECT_EQ(BlackPoints(d).size(), 16u);
  NXTDisplay runs;
  runs.DrawEllipse(50, 32, 0, 2);       // a vertical run
  runs.DrawEllipse(50, 10, 0xFFFE, 0);  // radius -2: a horizontal run
  runs.DrawEllipse(50, 50, 0xFFFF, 5);  // negative with a non-zero radius: nothing
  runs.DrawEllipse(0, 0, 0, 0);
  EXPECT_EQ(BlackPoints(runs), (Points{{0, 0},
                                       {48, 10},
                                       {49, 10},
                                       {50, 10},
                                       {51, 10},
                                       {52, 10},
                                       {50, 30},
                                       {50, 31},
                                       {50, 32},
                                       {50, 33},
                                       {50, 34}}));
}

// Ellipses of every size, from a pixel across to wider than the 16-bit
// range's half, whose arcs cross the surface anywhere or pass it by, against
// the walk plotting every point; and drawn last to first over the ellipse
// before them, whose pixels are then decided already.
TEST(DrawEllipseTest, EveryRadiusMatchesTheWholeWalk) {
  std::mt19937 rng(5);
  auto radius = [&] {  // even over the magnitudes
    const double e = std::uniform_real_distribution<double>(0, std::log(32767.0))(rng);
    return std::max(1, int(std::exp(e)));
  };
  NXTDisplay before;
  const DrawCommand none = {RICElementKind::Ellipse, {0, 0, -1, 1}};  // draws nothing
  DrawCommand pair[2] = {none, none};
  for (int i = 0; i < 3000; ++i) {
    const int rx = radius(), ry = i % 5 ? radius() : rx;
    const auto [cx, cy] = test::RandomEllipseCentre(rng, rx, ry);
    NXTDisplay d, walked, lastToFirst;
    d.DrawEllipse(cx, cy, rx, ry);
    test::PlotReferenceEllipse(walked, cx, cy, rx, ry);
    ASSERT_TRUE(d == walked) << cx << " " << cy << " " << rx << " " << ry;
    pair[0] = pair[1];
    pair[1] = {RICElementKind::Ellipse, {cx, cy, rx, ry}};
    test::PlotReferenceEllipse(before, cx, cy, rx, ry);
    SpriteCopyCache cache;
    DrawLastToFirst(lastToFirst, pair, 2, cache);
    ASSERT_TRUE(lastToFirst == before) << cx << " " << cy << " " << rx << " " << ry;
    before = walked;
  }
}

// Where the walk first reaches the part of its quadrant with x >= xLow and
// y <= yHigh, found without walking, against the walk itself: flat, steep
// and round ellipses, the part anywhere from the walk's start to its end.
TEST(EllipseWalkTest, EntryIsTheWalksFirstPointInReach) {
  std::mt19937 rng(17);
  auto pick = [&](long long lo, long long hi) {
    return std::uniform_int_distribution<long long>(lo, hi)(rng);
  };
  for (int i = 0; i < 400; ++i) {
    const long long a = pick(1, 12000), b = i % 3 ? pick(1, 12000) : std::max(1LL, a + pick(-9, 9));
    const auto walk = test::ReferenceEllipseWalk(a, b);
    const raster::EllipseWalk closed(a, b);
    for (int j = 0; j < 25; ++j) {
      const long long xLow = pick(0, a), yHigh = pick(0, b);
      auto first = std::find_if(walk.begin(), walk.end(), [&](const auto& p) {
        return p.first >= xLow && p.second <= yHigh;
      });
      const auto [x, y] = closed.Entry(xLow, yHigh);
      if (first == walk.end()) {
        EXPECT_TRUE(x > a || y < 0) << a << " " << b << " " << xLow << " " << yHigh;
      } else {
        // The point itself, or one of the walk before it.
        const auto at = std::find(walk.begin(), walk.end(), std::pair(x, y));
        EXPECT_TRUE(at <= first) << a << " " << b << " " << xLow << " " << yHigh;
      }
    }
  }
}

TEST(DrawPolygonTest, LinesBetweenThePointsAndBackToTheFirst) {
  const int xy[] = {10, 10, 40, 12, 25, 50, 5, 30};
  NXTDisplay d, lines;
  d.SetDrawingOffset(3, -2);
  lines.SetDrawingOffset(3, -2);
  d.DrawPolygon(xy, 4);
  for (int i = 0; i < 4; ++i)
    lines.DrawLine(xy[2 * i], xy[2 * i + 1], xy[(2 * i + 2) % 8], xy[(2 * i + 3) % 8]);
  EXPECT_TRUE(d == lines);
  NXTDisplay one;
  one.DrawPolygon(xy, 1);
  EXPECT_EQ(BlackPoints(one), (Points{{10, 10}}));
}

TEST(DrawCircleTest, AtTheCornerOnlyTheQuarterOnTheSurface) {
  NXTDisplay d;
  d.DrawCircle(0, 0, 10);
  NXTDisplay expected;
  for (auto [x, y] : test::ReferenceCircleWalk(10)) test::PlotReference(expected, x, y);
  EXPECT_EQ(test::Joined(Grid(d)), test::Joined(Grid(expected)));
  EXPECT_TRUE(BlackPoints(d).count({10, 0}));
  EXPECT_TRUE(BlackPoints(d).count({0, 10}));
}

// Circles of every size, centred so that different parts of the arc cross
// the surface, against the plain walk.
void ExpectCircleLikeWalk(int cx, int cy, int r, int dx = 0, int dy = 0) {
  NXTDisplay actual;
  actual.SetDrawingOffset(dx, dy);
  actual.DrawCircle(cx, cy, r);
  NXTDisplay expected;
  const long long X = (long long)cx + dx, Y = (long long)cy + dy;
  for (auto [x, y] : test::ReferenceCircleWalk(r)) {
    test::PlotReference(expected, X + x, Y + y);
    test::PlotReference(expected, X - x, Y - y);
    test::PlotReference(expected, X + x, Y - y);
    test::PlotReference(expected, X - x, Y + y);
  }
  ASSERT_EQ(test::Joined(Grid(actual)), test::Joined(Grid(expected)))
      << "circle " << cx << "," << cy << " r " << r << " offset " << dx << "," << dy;
}

TEST(DrawCircleReferenceTest, SmallAndMediumRadiiAnywhere) {
  std::mt19937 rng(777);
  std::uniform_int_distribution<int> cx(-60, 160), cy(-60, 124);
  for (int r = 0; r <= 300; ++r)
    for (int k = 0; k < 4; ++k)
      ExpectCircleLikeWalk(cx(rng), cy(rng), r, k == 3 ? 7 : 0, k == 3 ? -4 : 0);
}

// Circles whose outermost point lies one inside, on, or one past each edge.
TEST(DrawCircleReferenceTest, CirclesAtEachEdge) {
  for (int r = 1; r <= 31; ++r)
    for (int past = -1; past <= 1; ++past) {
      ExpectCircleLikeWalk(r - past, 32, r);                            // left
      ExpectCircleLikeWalk(NXTDisplay::kWidth - 1 - r + past, 32, r);   // right
      ExpectCircleLikeWalk(50, r - past, r);                            // bottom
      ExpectCircleLikeWalk(50, NXTDisplay::kHeight - 1 - r + past, r);  // top
    }
}

TEST(DrawCircleReferenceTest, LargeRadiiWithTheArcThroughTheSurface) {
  std::mt19937 rng(4242);
  for (int i = 0; i < 300; ++i) {
    const int r = std::uniform_int_distribution<int>(129, i < 150 ? 2000 : 65535)(rng);
    // A point on the arc lands inside the surface.
    const double angle = std::uniform_real_distribution<double>(0, 6.283185307179586)(rng);
    const int cx = 50 - int(r * std::cos(angle)), cy = 32 - int(r * std::sin(angle));
    ExpectCircleLikeWalk(cx, cy, r);
  }
  // Centred on the surface, the arc far outside: nothing at all.
  NXTDisplay d;
  d.DrawCircle(50, 32, 60000);
  EXPECT_EQ(d, NXTDisplay());
}

// The closed form of the walk's points, against the walk itself.
TEST(CircleWalkTest, ClosedFormGivesExactlyTheWalkedPoints) {
  std::vector<long long> radii;
  for (long long r = 0; r <= 1500; ++r) radii.push_back(r);
  std::mt19937 rng(99);
  for (int i = 0; i < 40; ++i)
    radii.push_back(std::uniform_int_distribution<long long>(1501, 65535)(rng));
  radii.push_back(65535);
  for (long long r : radii) {
    const auto walk = test::ReferenceCircleWalk(r);
    std::set<std::pair<long long, long long>> walked(walk.begin(), walk.end()), closed;
    for (long long x = 0; x < r; ++x) closed.insert({x, CircleColumnY(r, x)});
    for (long long y = 0; y <= r; ++y) closed.insert({CircleRowX(r, y), y});
    ASSERT_EQ(walked, closed) << "radius " << r;
  }
}

// --- DrawNumberBox ---

// The expected box drawn independently of the primitive: white column at
// px - 1, then the digits' cells, each glyph at its cell's columns 1..5.
std::vector<std::string> ExpectedNumberBoxRows(const std::string& text) {
  std::vector<std::string> rows(8, ".");
  for (int row = 0; row < 8; ++row)
    for (char ch : text)
      for (int col = 1; col <= 6; ++col)
        rows[std::size_t(row)] += col < 6 && FontPixel(ch, col, row) ? '#' : 'g';
  return rows;
}

std::vector<std::string> Cut(const NXTDisplay& d, int col, int row, int width, int height) {
  std::vector<std::string> out;
  const auto g = Grid(d);
  for (int r = row; r < row + height; ++r)
    out.push_back(g[std::size_t(r)].substr(std::size_t(col), std::size_t(width)));
  return out;
}

struct NumberBoxCase {
  const char* name;
  int x, y;
  unsigned value;
  int topRow;  // surface row of the box's top
};

class NumberBoxTest : public ::testing::TestWithParam<NumberBoxCase> {};

TEST_P(NumberBoxTest, DrawsTheBoxOnItsTextLine) {
  const NumberBoxCase& c = GetParam();
  NXTDisplay d;
  d.DrawNumberBox(c.x, c.y, c.value);
  const std::string text = std::to_string(c.value);
  const int width = int(text.size()) * 6 + 1;
  EXPECT_EQ(test::Joined(Cut(d, c.x - 1, c.topRow, width, 8)),
            test::Joined(ExpectedNumberBoxRows(text)));
  // Nothing else changes.
  int changed = 0;
  for (int row = 0; row < 64; ++row)
    for (int col = 0; col < 100; ++col) changed += d.Pixel(col, row) != kWhite;
  int inBox = 0;
  for (const std::string& r : Cut(d, c.x - 1, c.topRow, width, 8))
    for (char ch : r) inBox += ch != '.';
  EXPECT_EQ(changed, inBox);
}

INSTANTIATE_TEST_SUITE_P(Lines, NumberBoxTest,
                         ::testing::Values(NumberBoxCase{"BottomLineY0", 1, 0, 5, 56},
                                           NumberBoxCase{"BottomLineY7", 1, 7, 5, 56},
                                           NumberBoxCase{"SecondLineY8", 1, 8, 5, 48},
                                           NumberBoxCase{"TopLine", 20, 63, 42, 0},
                                           NumberBoxCase{"Largest", 30, 20, 65535, 40},
                                           NumberBoxCase{"AllDigits", 1, 30, 1234567890, 32},
                                           NumberBoxCase{"Zero", 50, 15, 0, 48}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(NumberBoxFontTest, DigitsAreDistinctAndKeepTheirBlankColumnAndRow) {
  std::set<std::array<std::uint8_t, 8>> seen;
  for (char ch : std::string("0123456789-")) {
    const auto& g = FontGlyph(ch);
    EXPECT_TRUE(seen.insert(g).second) << ch;
    EXPECT_EQ(g[7], 0) << ch;
    int set = 0;
    for (int row = 0; row < 8; ++row) {
      EXPECT_FALSE(FontPixel(ch, 0, row)) << ch;
      for (int col = 1; col < 6; ++col) set += FontPixel(ch, col, row);
    }
    EXPECT_GT(set, 4) << ch;
  }
}

TEST(NumberBoxTest, KeepsTheRestOfTheLineAndWhitensTheColumnBefore) {
  NXTDisplay d;
  d.DrawLine(0, 3, 99, 3);
  d.DrawNumberBox(10, 4, 7);
  const auto g = Grid(d);
  const std::string& row = g[63 - 3];
  EXPECT_EQ(row.substr(0, 9), std::string(9, '#'));
  EXPECT_EQ(row[9], '.');   // the column left of the box
  EXPECT_EQ(row[15], 'g');  // the box's last column
  EXPECT_EQ(row.substr(16), std::string(84, '#'));
}

TEST(NumberBoxTest, ClippedAtTheEdges) {
  NXTDisplay d;
  d.DrawNumberBox(97, 0, 123);  // only the white column and the first cell's part show
  const auto g = Grid(d);
  for (int row = 56; row < 64; ++row) {
    EXPECT_EQ(g[std::size_t(row)][96], '.');
    EXPECT_NE(g[std::size_t(row)][97], '.');
  }
  NXTDisplay far;
  far.DrawNumberBox(65535, 65535, 65535);
  EXPECT_EQ(far, NXTDisplay());
}

TEST(NumberBoxTest, OffsetMovesTheLineAndBelowTheScreenStaysHidden) {
  NXTDisplay d;
  d.SetDrawingOffset(0, 8);
  d.DrawNumberBox(1, 0, 5);
  EXPECT_EQ(test::Joined(Cut(d, 0, 48, 7, 8)), test::Joined(ExpectedNumberBoxRows("5")));
  // A line shifted below the bottom does not come back on the bottom line.
  NXTDisplay below;
  below.SetDrawingOffset(0, -3);
  below.DrawNumberBox(1, 0, 5);
  EXPECT_EQ(below, NXTDisplay());
}

// --- CopySpriteBits ---

// A sprite whose used area is (left, top)-(right, bottom), pixels from rows
// of '#' black, '.' white, 'g' grey, top row first.
ElementPtr SpriteWith(int left, int top, const std::vector<std::string>& rows) {
  ElementPtr s = MakeSprite(1);
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const char ch = rows[r][c];
      s->Canvas.SetPixel(left + int(c), top + int(r),
                         ch == '#'   ? kBlack
                         : ch == '.' ? kWhite
                                     : kGrey);
    }
  s->UsedArea = {left, top, left + int(rows[0].size()) - 1, top + int(rows.size()) - 1};
  return s;
}

TEST(CopySpriteBitsTest, CountsSpriteCoordinatesFromTheUsedAreasBottomLeft) {
  ElementPtr s = SpriteWith(100, 200, {"#...", ".#..", "..#.", "...#"});
  NXTDisplay d;
  d.CopySpriteBits(*s, 1, 1, 2, 2, 5, 6);  // sprite x 1..2, y 1..2: rows ".#.." and "..#."
  EXPECT_EQ(BlackPoints(d), (Points{{5, 7}, {6, 6}}));
  EXPECT_EQ(test::Joined(Cut(d, 5, 63 - 7, 2, 2)), test::Joined({"#.", ".#"}));
}

TEST(CopySpriteBitsTest, ReplacesWithoutTransparency) {
  ElementPtr s = SpriteWith(0, 0, {"...", ".#.", "..."});
  NXTDisplay d;
  d.DrawRectangle(0, 0, 4, 4);
  d.CopySpriteBits(*s, 0, 0, 3, 3, 0, 0);
  EXPECT_EQ(test::Joined(Cut(d, 0, 59, 5, 5)),
            test::Joined({"#####", "#...#", "....#", ".#..#", "...##"}));
}

TEST(CopySpriteBitsTest, GreyBecomesWhiteInTheBlockAndOneColumnAndRowBeyond) {
  ElementPtr s = SpriteWith(0, 0, {"g#", "gg"});
  NXTDisplay d;
  for (int row = 0; row < 64; ++row)
    for (int col = 0; col < 100; ++col) d.SetPixel(col, row, kGrey);
  d.CopySpriteBits(*s, 0, 0, 2, 2, 10, 10);
  // Block: columns 10..11, rows 52..53; the fix-up reaches column 12 and row 54.
  EXPECT_EQ(test::Joined(Cut(d, 9, 51, 5, 5)),
            test::Joined({"ggggg", "g.#.g", "g...g", "g...g", "ggggg"}));
}

TEST(CopySpriteBitsTest, WhitensANumberBoxBackgroundItTouches) {
  ElementPtr s = SpriteWith(0, 0, {"#"});
  NXTDisplay d;
  d.DrawNumberBox(1, 0, 8);
  d.CopySpriteBits(*s, 0, 0, 1, 1, 3, 1);  // the block is column 3, row 62
  const auto g = Grid(d);
  EXPECT_EQ(g[62][3], '#');
  EXPECT_EQ(g[63][3], '.');  // the row below: the box's blank bottom row, whitened
  EXPECT_EQ(g[63][4], '.');
  EXPECT_EQ(g[63][5], 'g');  // beyond the fix-up the box stays grey
  EXPECT_EQ(g[61][4], 'g');
}

TEST(CopySpriteBitsTest, UnsetUsedAreaLeavesTheDisplayButStillWhitensGrey) {
  ElementPtr s = MakeSprite(1);
  NXTDisplay d;
  d.DrawLine(0, 0, 99, 0);
  d.SetPixel(3, 62, kGrey);
  d.CopySpriteBits(*s, 0, 0, 100, 2, 0, 0);
  EXPECT_EQ(Grid(d)[63], std::string(100, '#'));
  EXPECT_EQ(d.Pixel(3, 62), kWhite);
}

TEST(CopySpriteBitsTest, SourceOutsideTheCanvasLeavesItsDestination) {
  ElementPtr s = SpriteWith(1020, 508, {"####", "####", "####", "####"});
  NXTDisplay d;
  d.DrawRectangle(0, 0, 7, 7);
  // Sprite x 2..5: columns 1022..1025 of the canvas; 1024 and 1025 lie outside.
  d.CopySpriteBits(*s, 2, 0, 4, 4, 0, 0);
  EXPECT_EQ(test::Joined(Cut(d, 0, 56, 8, 8)),
            test::Joined({"########", "#......#", "#......#", "#......#", "##.....#", "##.....#",
                          "##.....#", "########"}));
}

TEST(CopySpriteBitsTest, HugeBlocksAreClippedToTheDisplay) {
  ElementPtr s = SpriteWith(0, 0, {"#.", ".#"});
  NXTDisplay d;
  d.CopySpriteBits(*s, 0, 0, 65535, 65535, 0, 0);
  // The block's lowest row starts at the bottom; everything outside the 2 x 2 used
  // area is never-drawn grey on the canvas and becomes white.
  EXPECT_EQ(d.Pixel(0, 62), kBlack);
  EXPECT_EQ(d.Pixel(1, 63), kBlack);
  EXPECT_EQ(BlackPoints(d).size(), 2u);
  d.CopySpriteBits(*s, 65535, 65535, 65535, 65535, 65535, 65535);
  EXPECT_EQ(BlackPoints(d).size(), 2u);
}

TEST(CopySpriteBitsTest, OffsetShiftsTheDestination) {
  ElementPtr s = SpriteWith(0, 0, {"#"});
  NXTDisplay d;
  d.SetDrawingOffset(4, 2);
  d.CopySpriteBits(*s, 0, 0, 1, 1, 1, 1);
  EXPECT_EQ(BlackPoints(d), (Points{{5, 3}}));
}

TEST(CopySpriteBitsTest, OtherCanvasColoursAreCopiedAsTheyAre) {
  ElementPtr s = SpriteWith(0, 0, {"#"});
  s->Canvas.SetPixel(0, 0, kBlue);
  NXTDisplay d;
  d.CopySpriteBits(*s, 0, 0, 1, 1, 0, 0);
  EXPECT_EQ(d.Pixel(0, 63), kBlue);
}

}  // namespace
}  // namespace tavlin

namespace tavlin {
namespace {

// Copies through a cache shared by many copies (as a render makes them) give
// what single copies give, inside the used area, beyond it and beyond the canvas.
TEST(SpriteCopyCacheTest, SharedCopiesMatchSingleCopies) {
  ElementPtr s = MakeSprite(1);
  std::mt19937 rng(5);
  auto in = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };
  const Rgb colours[] = {kBlack, kWhite, kGrey, kBlue};
  for (int y = 480; y < 512; ++y)
    for (int x = 990; x < 1024; ++x) s->Canvas.SetPixel(x, y, colours[in(0, 3)]);
  s->UsedArea = {1000, 490, 1030, 520};  // reaching beyond the canvas
  for (int round = 0; round < 20; ++round) {
    NXTDisplay shared, single;
    SpriteCopyCache cache;
    for (int i = 0; i < 30; ++i) {
      const int posX = in(-15, 40), posY = in(-15, 40), w = in(0, 30), h = in(0, 30);
      const int relX = in(-10, 95), relY = in(-10, 60);
      shared.CopySpriteBits(*s, posX, posY, w, h, relX, relY, cache);
      single.CopySpriteBits(*s, posX, posY, w, h, relX, relY);
      ASSERT_EQ(test::Joined(Grid(shared)), test::Joined(Grid(single))) << round << "/" << i;
      ASSERT_EQ(shared, single);  // also the colours Grid shows as '?'
    }
  }
}

}  // namespace
}  // namespace tavlin
