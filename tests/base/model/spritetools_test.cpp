// SpriteTools: used-area upkeep, shapes, flood fill, area operations, the
// floating picture and the composed view.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SpriteTools.h"

namespace tavlin {
namespace {

constexpr int W = SpriteCanvas::kWidth;
constexpr int H = SpriteCanvas::kHeight;

// Rows of a canvas rectangle: 'B' black, 'W' white, '.' grey, 'R' red.
std::vector<std::string> Rows(const SpriteCanvas& c, int l, int t, int r, int b) {
  std::vector<std::string> rows;
  for (int y = t; y <= b; ++y) {
    std::string s;
    for (int x = l; x <= r; ++x) {
      switch (c.PixelIndex(x, y)) {
        case kBlackIndex:
          s += 'B';
          break;
        case kWhiteIndex:
          s += 'W';
          break;
        case kGreyIndex:
          s += '.';
          break;
        case kRedIndex:
          s += 'R';
          break;
        default:
          s += '?';
      }
    }
    rows.push_back(s);
  }
  return rows;
}

void Paint(SpriteCanvas& c, int l, int t, const std::vector<std::string>& rows) {
  for (int j = 0; j < int(rows.size()); ++j)
    for (int i = 0; i < int(rows[std::size_t(j)].size()); ++i) {
      char ch = rows[std::size_t(j)][std::size_t(i)];
      c.SetPixelIndex(l + i, t + j, ch == 'B' ? kBlackIndex : ch == 'W' ? kWhiteIndex : kGreyIndex);
    }
}

TRect BoundingBoxOf(const SpriteCanvas& c, std::uint8_t index) {
  TRect r = kUnsetRect;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (c.PixelIndex(x, y) == index) {
        if (!r.IsSet()) r = {x, y, x, y};
        r = {std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x), std::max(r.Bottom, y)};
      }
  return r;
}

int Count(const SpriteCanvas& c, std::uint8_t index) {
  int n = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) n += c.PixelIndex(x, y) == index;
  return n;
}

// ---- used area ----

TEST(UsedAreaTest, ExtendingAnUnsetAreaWhitensTheRectangleButKeepsBlack) {
  SpriteCanvas c;
  c.SetPixelIndex(6, 5, kBlackIndex);
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 7, 6, 5, 5);
  EXPECT_EQ(used, (TRect{5, 5, 7, 6}));
  EXPECT_EQ(Rows(c, 4, 4, 8, 7), (std::vector<std::string>{".....", ".WBW.", ".WWW.", "....."}));
}

TEST(UsedAreaTest, ExtendingClampsIntoTheCanvas) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, -10, 600, 2000, -3);
  EXPECT_EQ(used, (TRect{0, 0, W - 1, H - 1}));
  EXPECT_EQ(Count(c, kWhiteIndex), W * H);
}

TEST(UsedAreaTest, ExtendingGrowsEachSideAndCoversTheCorners) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 10, 10, 11, 11);
  ExtendUsedArea(c, used, 8, 8, 8, 8);      // up and left: the corner strip too
  ExtendUsedArea(c, used, 14, 13, 14, 13);  // down and right
  EXPECT_EQ(used, (TRect{8, 8, 14, 13}));
  EXPECT_EQ(Count(c, kWhiteIndex), 7 * 6);
  EXPECT_EQ(BoundingBoxOf(c, kWhiteIndex), used);
  ExtendUsedArea(c, used, 9, 9, 10, 10);  // inside: nothing changes
  EXPECT_EQ(used, (TRect{8, 8, 14, 13}));
}

TEST(UsedAreaTest, CompressShrinksToTheBlackPixelsAndGreysTheRest) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 0, 290, 40, 310);
  c.SetPixelIndex(7, 300, kBlackIndex);
  EXPECT_TRUE(CompressUsedArea(c, used));
  EXPECT_EQ(used, (TRect{7, 300, 7, 300}));
  EXPECT_EQ(Count(c, kWhiteIndex), 0);
  EXPECT_EQ(Count(c, kBlackIndex), 1);
}

TEST(UsedAreaTest, CompressKeepsTheBoxOfSeveralBlackPixels) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 0, 0, 20, 20);
  c.SetPixelIndex(3, 9, kBlackIndex);
  c.SetPixelIndex(12, 4, kBlackIndex);
  EXPECT_TRUE(CompressUsedArea(c, used));
  EXPECT_EQ(used, (TRect{3, 4, 12, 9}));
  EXPECT_EQ(Count(c, kWhiteIndex), 10 * 6 - 2);
  EXPECT_EQ(Count(c, kBlackIndex), 2);
}

TEST(UsedAreaTest, CompressWithoutBlackUnsetsAndLeavesAllGrey) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 100, 100, 300, 200);
  EXPECT_FALSE(CompressUsedArea(c, used));
  EXPECT_FALSE(used.IsSet());
  EXPECT_EQ(Count(c, kGreyIndex), W * H);
  EXPECT_FALSE(CompressUsedArea(c, used));  // unset: nothing
}

// ---- shapes ----

TEST(ShapeTest, LineSetsBothEndsAndAZeroLineIsOnePixel) {
  SpriteCanvas c;
  DrawLine(c, 3, 3, 3, 3, kBlackIndex);
  EXPECT_EQ(Count(c, kBlackIndex), 1);
  SpriteCanvas d;
  DrawLine(d, 10, 20, 17, 23, kBlackIndex);
  EXPECT_TRUE(d.IsBlack(10, 20));
  EXPECT_TRUE(d.IsBlack(17, 23));
  EXPECT_EQ(Count(d, kBlackIndex), 8);  // one pixel per column of the steep axis
  EXPECT_EQ(BoundingBoxOf(d, kBlackIndex), (TRect{10, 20, 17, 23}));
}

TEST(ShapeTest, RectangleOutlineCoversTheBorderAndNothingWhenCornersCoincide) {
  SpriteCanvas c;
  DrawRectShape(c, 5, 5, 5, 5, kBlackIndex, false);
  EXPECT_EQ(Count(c, kBlackIndex), 0);
  DrawRectShape(c, 6, 4, 2, 1, kBlackIndex, false);
  EXPECT_EQ(Rows(c, 2, 1, 6, 4), (std::vector<std::string>{"BBBBB", "B...B", "B...B", "BBBBB"}));
  SpriteCanvas col;
  DrawRectShape(col, 9, 2, 9, 6, kBlackIndex, false);  // one column wide
  EXPECT_EQ(Count(col, kBlackIndex), 5);
}

TEST(ShapeTest, FilledRectangleFillsTheBoxInAnyCornerOrder) {
  SpriteCanvas c;
  DrawRectShape(c, 8, 9, 4, 2, kWhiteIndex, true);
  EXPECT_EQ(Count(c, kWhiteIndex), 5 * 8);
  EXPECT_EQ(BoundingBoxOf(c, kWhiteIndex), (TRect{4, 2, 8, 9}));
}

struct EllipseCase {
  const char* name;
  int left, top, right, bottom;
};

class EllipseBoxTest : public ::testing::TestWithParam<EllipseCase> {};

TEST_P(EllipseBoxTest, OutlineAndFillTouchEveryBoxEdgeAndStayInside) {
  const EllipseCase& e = GetParam();
  for (bool filled : {false, true}) {
    SpriteCanvas c;
    DrawEllipseInBox(c, e.left, e.top, e.right, e.bottom, kBlackIndex, filled);
    EXPECT_EQ(BoundingBoxOf(c, kBlackIndex), (TRect{e.left, e.top, e.right, e.bottom})) << filled;
    // Symmetric about both axes of the box.
    for (int y = e.top; y <= e.bottom; ++y)
      for (int x = e.left; x <= e.right; ++x) {
        ASSERT_EQ(c.IsBlack(x, y), c.IsBlack(e.left + e.right - x, y)) << x << "," << y;
        ASSERT_EQ(c.IsBlack(x, y), c.IsBlack(x, e.top + e.bottom - y)) << x << "," << y;
      }
    if (filled) {
      // The outline lies inside the fill, and the fill has no holes in any row.
      SpriteCanvas o;
      DrawEllipseInBox(o, e.left, e.top, e.right, e.bottom, kBlackIndex, false);
      for (int y = e.top; y <= e.bottom; ++y) {
        int first = -1, last = -1;
        for (int x = e.left; x <= e.right; ++x) {
          if (o.IsBlack(x, y)) {
            ASSERT_TRUE(c.IsBlack(x, y));
          }
          if (c.IsBlack(x, y)) last = x, first = first < 0 ? x : first;
        }
        for (int x = first; x <= last; ++x) ASSERT_TRUE(c.IsBlack(x, y));
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, EllipseBoxTest,
    ::testing::Values(EllipseCase{"dot", 5, 5, 5, 5}, EllipseCase{"two_by_two", 5, 5, 6, 6},
                      EllipseCase{"flat", 10, 10, 60, 11}, EllipseCase{"tall", 10, 10, 12, 90},
                      EllipseCase{"circle7", 47, 47, 53, 53}, EllipseCase{"big", 0, 0, 1023, 511}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShapeTest, EllipseOutlineIsClosedSoAFillInsideStaysInside) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 0, 0, 200, 200);
  DrawEllipseInBox(c, 20, 30, 180, 120, kBlackIndex, false);
  int filled = FloodFill(c, 100, 75, kBlackIndex);
  EXPECT_GT(filled, 0);
  EXPECT_TRUE((c.PixelIndex(0, 0) == kWhiteIndex)) << "the fill leaked out of the outline";
}

TEST(ShapeTest, CircleFromACentreAndRadiusCoversItsSquare) {
  SpriteCanvas c;
  DrawCircleShape(c, 50, 50, 3, kBlackIndex, false);
  EXPECT_EQ(BoundingBoxOf(c, kBlackIndex), (TRect{47, 47, 53, 53}));
  EXPECT_FALSE(c.IsBlack(50, 50));
  SpriteCanvas r0;
  DrawCircleShape(r0, 4, 4, 0, kBlackIndex, true);
  EXPECT_EQ(Count(r0, kBlackIndex), 1);
}

TEST(ShapeTest, EllipseDragBoxFollowsTheDirectionOfTheDrag) {
  EXPECT_EQ(EllipseDragBox(10, 10, 20, 15), (TRect{10, 10, 20, 15}));
  EXPECT_EQ(EllipseDragBox(20, 15, 10, 10), (TRect{11, 11, 19, 14}));
  EXPECT_EQ(EllipseDragBox(5, 5, 5, 5), (TRect{5, 5, 5, 5}));
  EXPECT_FALSE(EllipseDragBox(5, 5, 4, 9).IsSet());  // dragging one left: empty
  SpriteCanvas c;
  DrawEllipseShape(c, 5, 5, 4, 9, kBlackIndex, true);
  EXPECT_EQ(Count(c, kBlackIndex), 0);
}

TEST(ShapeTest, ShapesPartlyOffTheCanvasAreCut) {
  SpriteCanvas c;
  DrawCircleShape(c, 0, 0, 40, kBlackIndex, true);
  DrawLine(c, -50, 3, 5000, 3, kBlackIndex);
  DrawRectShape(c, 1000, 500, 1100, 600, kBlackIndex, false);
  EXPECT_TRUE(c.IsBlack(0, 0));
  EXPECT_TRUE(c.IsBlack(W - 1, 3));
  EXPECT_TRUE(c.IsBlack(1000, H - 1));
}

// ---- flood fill ----

TEST(FloodFillTest, FillsOnlyTheClosedRegionAndDiagonalGapsDoNotLeak) {
  SpriteCanvas c;
  Paint(c, 0, 0,
        {"WWWWWWW",  //
         "WBBBBBW",  //
         "WBWWWBW",  //
         "WBWWBWW",  //  diagonal-only gap at the right
         "WBBBWWW",  //
         "WWWWWWW"});
  EXPECT_EQ(FloodFill(c, 2, 2, kBlackIndex), 5);
  EXPECT_EQ(Rows(c, 0, 0, 6, 5), (std::vector<std::string>{"WWWWWWW", "WBBBBBW", "WBBBBBW",
                                                           "WBBBBWW", "WBBBWWW", "WWWWWWW"}));
}

TEST(FloodFillTest, WrongStartPixelsChangeNothing) {
  SpriteCanvas c;
  Paint(c, 0, 0, {"WB.", "WWW"});
  const SpriteCanvas before = c;
  EXPECT_EQ(FloodFill(c, 1, 0, kBlackIndex), 0);  // black under black
  EXPECT_EQ(FloodFill(c, 2, 0, kBlackIndex), 0);  // grey
  EXPECT_EQ(FloodFill(c, 0, 0, kWhiteIndex), 0);  // white under white
  EXPECT_EQ(FloodFill(c, -1, 0, kBlackIndex), 0);
  EXPECT_TRUE(c.SamePixels(before));
}

TEST(FloodFillTest, WhiteFillsBlackAndGreyBoundsTheRegion) {
  SpriteCanvas c;
  Paint(c, 0, 0, {"BBB.B", "B.BBB"});
  EXPECT_EQ(FloodFill(c, 0, 0, kWhiteIndex), 8);
  EXPECT_EQ(Rows(c, 0, 0, 4, 1), (std::vector<std::string>{"WWW.W", "W.WWW"}));
}

TEST(FloodFillTest, WholeCanvasAndUntouchedTilesStayShared) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 0, 0, W - 1, H - 1);
  EXPECT_EQ(FloodFill(c, 500, 300, kBlackIndex), W * H);
  EXPECT_EQ(Count(c, kBlackIndex), W * H);

  SpriteCanvas d;
  d.FillRect(0, 0, 40, 40, kWhite);
  SpriteCanvas snapshot = d;
  d.FillRect(900, 400, 950, 450, kWhite);
  int before = d.AllocatedTiles();
  FloodFill(d, 1, 1, kBlackIndex);
  EXPECT_EQ(d.AllocatedTiles(), before);
  EXPECT_TRUE((snapshot.PixelIndex(1, 1) == kWhiteIndex));
  EXPECT_TRUE(d.IsBlack(40, 40));
  EXPECT_TRUE((d.PixelIndex(900, 400) == kWhiteIndex));
}

// ---- area operations ----

TEST(AreaTest, ScrollingWrapsAndAFullTurnGivesBackThePixels) {
  SpriteCanvas c;
  Paint(c, 10, 10, {"BWW", "WBW", "WWB", "BBW"});
  const TRect a{10, 10, 12, 13};
  const SpriteCanvas start = c;
  ScrollArea(c, a, ScrollDirection::Up);
  EXPECT_EQ(Rows(c, 10, 10, 12, 13), (std::vector<std::string>{"WBW", "WWB", "BBW", "BWW"}));
  ScrollArea(c, a, ScrollDirection::Down);
  EXPECT_TRUE(c.SamePixels(start));
  ScrollArea(c, a, ScrollDirection::Left);
  EXPECT_EQ(Rows(c, 10, 10, 12, 10), (std::vector<std::string>{"WWB"}));
  ScrollArea(c, a, ScrollDirection::Right);
  EXPECT_TRUE(c.SamePixels(start));
  for (int i = 0; i < 4; ++i) ScrollArea(c, a, ScrollDirection::Up);
  for (int i = 0; i < 3; ++i) ScrollArea(c, a, ScrollDirection::Right);
  EXPECT_TRUE(c.SamePixels(start));
}

TEST(AreaTest, ScrollingAOnePixelWideAreaSidewaysChangesNothing) {
  SpriteCanvas c;
  Paint(c, 0, 0, {"B", "W", "B"});
  const SpriteCanvas start = c;
  ScrollArea(c, {0, 0, 0, 2}, ScrollDirection::Left);
  ScrollArea(c, {0, 0, 0, 2}, ScrollDirection::Right);
  ScrollArea(c, {0, 1, 0, 1}, ScrollDirection::Up);
  EXPECT_TRUE(c.SamePixels(start));
}

TEST(AreaTest, MirrorsSwapSidesAndTwiceGiveBackThePixels) {
  SpriteCanvas c;
  Paint(c, 3, 3, {"BWW", "BBW"});
  const SpriteCanvas start = c;
  MirrorArea(c, {3, 3, 5, 4}, true);
  EXPECT_EQ(Rows(c, 3, 3, 5, 4), (std::vector<std::string>{"WWB", "WBB"}));
  MirrorArea(c, {3, 3, 5, 4}, true);
  EXPECT_TRUE(c.SamePixels(start));
  MirrorArea(c, {3, 3, 5, 4}, false);
  EXPECT_EQ(Rows(c, 3, 3, 5, 4), (std::vector<std::string>{"BBW", "BWW"}));
}

TEST(AreaTest, InvertSwapsBlackAndWhiteAndFillErases) {
  SpriteCanvas c;
  Paint(c, 0, 0, {"BW", "WB"});
  InvertArea(c, {0, 0, 1, 1});
  EXPECT_EQ(Rows(c, 0, 0, 1, 1), (std::vector<std::string>{"WB", "BW"}));
  FillArea(c, {0, 0, 1, 0}, kWhiteIndex);
  EXPECT_EQ(Rows(c, 0, 0, 1, 1), (std::vector<std::string>{"WW", "BW"}));
}

TEST(AreaTest, AreasOutsideTheCanvasAreRefused) {
  SpriteCanvas c;
  const SpriteCanvas start = c;
  InvertArea(c, {-1, 0, 5, 5});
  MirrorArea(c, {0, 0, W, 5}, true);
  ScrollArea(c, kUnsetRect, ScrollDirection::Up);
  EXPECT_TRUE(c.SamePixels(start));
  EXPECT_TRUE(LiftArea(c, {5, 5, 4, 5}).Empty());
}

// ---- floating picture ----

TEST(FloatingTest, LiftTurnsGreyIntoClearAndStampWritesWhite) {
  SpriteCanvas c;
  Paint(c, 0, 0, {".B", ".W"});
  FloatingPicture f = LiftArea(c, {0, 0, 1, 1});
  ASSERT_EQ(f.Width, 2);
  EXPECT_EQ(f.At(0, 0), kFloatingClear);
  EXPECT_EQ(f.At(1, 0), kFloatingSet);
  EXPECT_EQ(f.At(1, 1), kFloatingClear);
  StampPicture(c, f, 20, 20);
  EXPECT_EQ(Rows(c, 20, 20, 21, 21), (std::vector<std::string>{"WB", "WW"}));
  StampPicture(c, f, W - 1, H - 1);  // cut at the edge
  EXPECT_TRUE((c.PixelIndex(W - 1, H - 1) == kWhiteIndex));
  StampPicture(c, f, -1, -1);
  EXPECT_TRUE((c.PixelIndex(0, 0) == kWhiteIndex));
}

TEST(FloatingTest, ColourConversionsRoundTrip) {
  FloatingPicture f{3, 1, {kBlack, kGrey, 0x123456}};
  ConvertToDisplay(f);
  EXPECT_EQ(f.Pixels, (std::vector<Rgb>{kFloatingSet, kFloatingClear, 0x123456}));
  ConvertToCanvas(f);
  EXPECT_EQ(f.Pixels, (std::vector<Rgb>{kBlack, kWhite, 0x123456}));
}

TEST(FloatingTest, RotationsTurnAPictureAndFourTurnsGiveItBack) {
  // 3 x 2: top row a b c, bottom row d e f.
  FloatingPicture p{3, 2, {1, 2, 3, 4, 5, 6}};
  FloatingPicture cw = p;
  RotatePicture(cw, true);
  EXPECT_EQ(cw.Width, 2);
  EXPECT_EQ(cw.Height, 3);
  EXPECT_EQ(cw.Pixels, (std::vector<Rgb>{4, 1, 5, 2, 6, 3}));  // top row becomes right column
  FloatingPicture ccw = p;
  RotatePicture(ccw, false);
  EXPECT_EQ(ccw.Pixels,
            (std::vector<Rgb>{3, 6, 2, 5, 1, 4}));  // top row becomes left column, upwards
  for (int i = 0; i < 3; ++i) RotatePicture(cw, true);
  EXPECT_EQ(cw.Pixels, p.Pixels);
  EXPECT_EQ(cw.Width, 3);
}

// ---- undo snapshots ----

TEST(PackedCanvasTest, RoundTripsEveryColourAndStaysSmall) {
  SpriteCanvas c;
  TRect used = kUnsetRect;
  ExtendUsedArea(c, used, 0, 0, 300, 100);
  DrawEllipseInBox(c, 10, 10, 290, 90, kBlackIndex, false);
  c.SetPixelIndex(5, 5, kRedIndex);
  c.SetPixel(700, 400, 0x123456);  // a colour beyond the first four
  const PackedCanvas packed(c);
  EXPECT_TRUE(packed.Unpack().SamePixels(c));
  // 40 tiles of four colours at a quarter of a byte a pixel, one tile at a byte.
  EXPECT_LT(packed.Bytes(), std::size_t(40 * 256 + 1024 + 4096));
  SpriteCanvas white(kWhite);
  white.SetPixelIndex(1, 1, kBlackIndex);
  EXPECT_TRUE(PackedCanvas(white).Unpack().SamePixels(white));
  EXPECT_EQ(PackedCanvas(white).Unpack().Background(), kWhite);
}

// ---- the view ----

struct ViewCase {
  int zoom;
  bool grid;
};

class ComposeViewTest : public ::testing::TestWithParam<ViewCase> {};

TEST_P(ComposeViewTest, BlocksGridAndBorder) {
  const int z = GetParam().zoom;
  SpriteCanvas c;
  c.SetPixelIndex(3, 450, kBlackIndex);
  SpriteViewState v;
  v.Zoom = z;
  v.ScrollX = 1;
  v.ScrollY = 448;
  std::vector<std::uint32_t> out(std::size_t(kViewWidth) * kViewHeight, 0);
  ComposeSpriteView(c, v, out.data(), kViewWidth);
  auto at = [&](int x, int y) {
    return out[std::size_t(y) * kViewWidth + std::size_t(x)] & 0xFFFFFF;
  };
  EXPECT_EQ(at(0, 0), kBlack);
  EXPECT_EQ(at(601, 385), kBlack);
  // Canvas (3, 450) is view block (2, 2): pixels 2z+1 .. 3z.
  EXPECT_EQ(at(2 * z + 1 + (z > 2 ? 1 : 0), 2 * z + 1 + (z > 2 ? 1 : 0)), kBlack);
  EXPECT_EQ(at(2 * z, 2 * z + 2), (z > 2 ? kGridColour : kGrey));
  EXPECT_EQ(at(600, 384), GetParam().grid ? kGridColour : kGrey);
}

INSTANTIATE_TEST_SUITE_P(Zooms, ComposeViewTest,
                         ::testing::Values(ViewCase{1, false}, ViewCase{2, false},
                                           ViewCase{3, true}, ViewCase{6, true},
                                           ViewCase{24, true}),
                         [](const auto& info) { return "zoom" + std::to_string(info.param.zoom); });

TEST(ComposeViewTest, MarkTintAndFloatingPicture) {
  SpriteCanvas c;
  c.SetPixelIndex(0, 0, kBlackIndex);
  c.SetPixelIndex(1, 0, kWhiteIndex);
  FloatingPicture f{1, 1, kFloatingSet};
  SpriteViewState v;
  v.Zoom = 1;
  v.Marked = {0, 0, 2, 0};
  v.Floating = &f;
  v.FloatingX = 4;
  v.FloatingY = 0;
  std::vector<std::uint32_t> out(std::size_t(kViewWidth) * kViewHeight, 0);
  ComposeSpriteView(c, v, out.data(), kViewWidth);
  auto at = [&](int x, int y) {
    return out[std::size_t(y) * kViewWidth + std::size_t(x)] & 0xFFFFFF;
  };
  EXPECT_EQ(at(1, 1), 0xE000E0u);
  EXPECT_EQ(at(2, 1), 0xF0D0F0u);
  EXPECT_EQ(at(3, 1), 0xE080E0u);
  EXPECT_EQ(at(4, 1), kGrey);
  EXPECT_EQ(at(5, 1), kFloatingSet);
}

}  // namespace
}  // namespace tavlin
