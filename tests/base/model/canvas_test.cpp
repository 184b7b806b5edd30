// SpriteCanvas: pixel access at and beyond the edges, tiles that cost memory
// only once drawn, copy-on-write sharing, row access and the palette.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "SpriteCanvas.h"

namespace tavlin {
namespace {

constexpr int W = SpriteCanvas::kWidth;
constexpr int H = SpriteCanvas::kHeight;
constexpr int T = SpriteCanvas::kTileSize;

TEST(SpriteCanvasTest, ANewCanvasIsItsBackgroundEverywhereAndHoldsNoTiles) {
  SpriteCanvas grey;
  EXPECT_EQ(grey.Background(), kGrey);
  EXPECT_EQ(grey.AllocatedTiles(), 0);
  SpriteCanvas white(kWhite);
  EXPECT_EQ(white.Pixel(0, 0), kWhite);
  EXPECT_EQ(white.Pixel(W - 1, H - 1), kWhite);
  EXPECT_EQ(white.AllocatedTiles(), 0);
}

TEST(SpriteCanvasTest, PixelsRoundTripAtTheCornersAndTileEdges) {
  SpriteCanvas c;
  const std::vector<std::pair<int, int>> points = {
      {0, 0}, {W - 1, 0}, {0, H - 1}, {W - 1, H - 1}, {T - 1, T - 1}, {T, T}, {T - 1, T}};
  for (auto [x, y] : points) c.SetPixel(x, y, kBlack);
  for (auto [x, y] : points) {
    EXPECT_EQ(c.Pixel(x, y), kBlack) << x << "," << y;
    EXPECT_TRUE(c.IsBlack(x, y));
  }
  EXPECT_EQ(c.Pixel(1, 0), kGrey);
  EXPECT_EQ(c.Pixel(T + 1, T), kGrey);
  c.SetPixel(T, T, kWhite);
  EXPECT_EQ(c.Pixel(T, T), kWhite);
  EXPECT_FALSE(c.IsBlack(T, T));
}

TEST(SpriteCanvasTest, WritesOutsideAreIgnoredAndReadsOutsideGiveTheBackground) {
  SpriteCanvas c;
  for (auto [x, y] : std::vector<std::pair<int, int>>{
           {-1, 0}, {0, -1}, {W, 0}, {0, H}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {W, H}}) {
    c.SetPixel(x, y, kBlack);
    EXPECT_EQ(c.Pixel(x, y), kGrey) << x << "," << y;
    EXPECT_FALSE(SpriteCanvas::Contains(x, y));
  }
  EXPECT_EQ(c.AllocatedTiles(), 0);
}

TEST(SpriteCanvasTest, WritingTheBackgroundIntoAnUntouchedTileCostsNothing) {
  SpriteCanvas c;
  c.SetPixel(10, 10, kGrey);
  c.FillRect(0, 0, 100, 100, kGrey);
  std::vector<std::uint8_t> row(W, kGreyIndex);
  c.WriteRowIndexes(0, 5, W, row.data());
  EXPECT_EQ(c.AllocatedTiles(), 0);
  c.SetPixel(10, 10, kBlack);
  EXPECT_EQ(c.AllocatedTiles(), 1);
}

TEST(SpriteCanvasTest, FillRectIsInclusiveAndClippedToTheCanvas) {
  SpriteCanvas c;
  c.FillRect(-10, -10, 2, 1, kBlack);
  EXPECT_EQ(c.Pixel(0, 0), kBlack);
  EXPECT_EQ(c.Pixel(2, 1), kBlack);
  EXPECT_EQ(c.Pixel(3, 1), kGrey);
  EXPECT_EQ(c.Pixel(2, 2), kGrey);
  c.FillRect(W - 2, H - 2, W + 50, H + 50, kWhite);
  EXPECT_EQ(c.Pixel(W - 1, H - 1), kWhite);
  EXPECT_EQ(c.Pixel(W - 2, H - 2), kWhite);
  EXPECT_EQ(c.Pixel(W - 3, H - 2), kGrey);
  // An empty or inverted rectangle paints nothing.
  int tiles = c.AllocatedTiles();
  c.FillRect(50, 50, 40, 60, kBlack);
  c.FillRect(W, 0, W + 10, 10, kBlack);
  EXPECT_EQ(c.AllocatedTiles(), tiles);
  EXPECT_EQ(c.Pixel(45, 55), kGrey);
}

TEST(SpriteCanvasTest, FillRectOverHugeCoordinatesFillsTheWholeCanvas) {
  SpriteCanvas c;
  c.FillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBlack);
  EXPECT_EQ(c.Pixel(0, 0), kBlack);
  EXPECT_EQ(c.Pixel(W - 1, H - 1), kBlack);
  EXPECT_EQ(c.AllocatedTiles(), SpriteCanvas::kTileCount);
}

TEST(SpriteCanvasTest, FillingWholeTilesWithTheBackgroundReleasesThem) {
  SpriteCanvas c;
  c.FillRect(0, 0, 3 * T - 1, T - 1, kBlack);
  EXPECT_EQ(c.AllocatedTiles(), 3);
  // Covers tile 1 completely and tiles 0 and 2 only in part.
  c.FillRect(T - 1, 0, 2 * T, T - 1, kGrey);
  EXPECT_EQ(c.AllocatedTiles(), 2);
  EXPECT_EQ(c.Pixel(T - 2, 0), kBlack);
  EXPECT_EQ(c.Pixel(T - 1, 0), kGrey);
  EXPECT_EQ(c.Pixel(T + 5, 5), kGrey);
  EXPECT_EQ(c.Pixel(2 * T, T - 1), kGrey);
  EXPECT_EQ(c.Pixel(2 * T + 1, T - 1), kBlack);
}

TEST(SpriteCanvasTest, FillDropsEveryTileAndChangesTheBackground) {
  SpriteCanvas c;
  c.FillRect(0, 0, 500, 300, kBlack);
  ASSERT_GT(c.AllocatedTiles(), 0);
  c.Fill(kWhite);
  EXPECT_EQ(c.AllocatedTiles(), 0);
  EXPECT_EQ(c.Background(), kWhite);
  EXPECT_EQ(c.Pixel(100, 100), kWhite);
  EXPECT_EQ(c.Pixel(-5, 3), kWhite);
}

TEST(SpriteCanvasTest, CopiesShareTilesUntilOneOfThemIsWritten) {
  SpriteCanvas a;
  a.FillRect(0, 0, 4 * T - 1, 4 * T - 1, kBlack);
  SpriteCanvas b(a);
  EXPECT_TRUE(b.SamePixels(a));
  EXPECT_EQ(b.AllocatedTiles(), 16);
  b.SetPixel(0, 0, kWhite);
  EXPECT_EQ(a.Pixel(0, 0), kBlack);
  EXPECT_EQ(b.Pixel(0, 0), kWhite);
  EXPECT_FALSE(b.SamePixels(a));
  a.SetPixel(T, T, kWhite);
  EXPECT_EQ(b.Pixel(T, T), kBlack);

  SpriteCanvas c;
  c = a;
  c.FillRect(0, 0, W, H, kGrey);  // drops c's tiles, not a's
  EXPECT_EQ(a.Pixel(1, 1), kBlack);
  EXPECT_EQ(c.Pixel(1, 1), kGrey);
  EXPECT_EQ(c.AllocatedTiles(), 0);

  // Copies outlive their source.
  auto source = std::make_unique<SpriteCanvas>(a);
  SpriteCanvas d(*source);
  source.reset();
  EXPECT_EQ(d.Pixel(2, 2), kBlack);
}

TEST(SpriteCanvasTest, SelfAssignmentAndMovesKeepThePixels) {
  SpriteCanvas a;
  a.SetPixel(3, 4, kBlack);
  SpriteCanvas& alias = a;
  a = alias;
  EXPECT_EQ(a.Pixel(3, 4), kBlack);
  SpriteCanvas b(std::move(a));
  EXPECT_EQ(b.Pixel(3, 4), kBlack);
  SpriteCanvas c(kWhite);
  c = std::move(b);
  EXPECT_EQ(c.Pixel(3, 4), kBlack);
  EXPECT_EQ(c.Background(), kGrey);
}

TEST(SpriteCanvasTest, ReadRowGivesTheBackgroundForColumnsAndRowsOutside) {
  SpriteCanvas c;
  c.SetPixel(0, 7, kBlack);
  c.SetPixel(W - 1, 7, kWhite);
  c.SetPixel(T, 7, kBlack);
  std::vector<std::uint8_t> row(W + 40, 0xEE);
  c.ReadRowIndexes(-20, 7, W + 40, row.data());
  for (int i = 0; i < 20; ++i) EXPECT_EQ(row[std::size_t(i)], kGreyIndex);
  EXPECT_EQ(row[20], kBlackIndex);
  EXPECT_EQ(row[20 + T], kBlackIndex);
  EXPECT_EQ(row[20 + T + 1], kGreyIndex);
  EXPECT_EQ(row[20 + W - 1], kWhiteIndex);
  for (int i = 20 + W; i < W + 40; ++i) EXPECT_EQ(row[std::size_t(i)], kGreyIndex);

  std::vector<std::uint8_t> outside(10, 0xEE);
  c.ReadRowIndexes(0, -1, 10, outside.data());
  EXPECT_EQ(outside, std::vector<std::uint8_t>(10, kGreyIndex));
  c.ReadRowIndexes(0, H, 10, outside.data());
  EXPECT_EQ(outside, std::vector<std::uint8_t>(10, kGreyIndex));
  // A count of zero touches nothing.
  std::uint8_t untouched = 0xEE;
  c.ReadRowIndexes(0, 0, 0, &untouched);
  EXPECT_EQ(untouched, 0xEE);
}

TEST(SpriteCanvasTest, WriteRowIsClippedToTheCanvas) {
  SpriteCanvas c;
  std::vector<std::uint8_t> row(W + 40);
  for (std::size_t i = 0; i < row.size(); ++i) row[i] = (i % 2) ? kBlackIndex : kWhiteIndex;
  c.WriteRowIndexes(-20, 3, int(row.size()), row.data());
  EXPECT_EQ(c.PixelIndex(0, 3), row[20]);
  EXPECT_EQ(c.PixelIndex(1, 3), row[21]);
  EXPECT_EQ(c.PixelIndex(W - 1, 3), row[20 + W - 1]);
  EXPECT_EQ(c.Pixel(0, 2), kGrey);
  EXPECT_EQ(c.Pixel(0, 4), kGrey);
  EXPECT_EQ(c.AllocatedTiles(), SpriteCanvas::kTilesX);
  c.WriteRowIndexes(0, -1, 10, row.data());
  c.WriteRowIndexes(0, H, 10, row.data());
  c.WriteRowIndexes(W, 0, 10, row.data());
  c.WriteRowIndexes(-10, 0, 10, row.data());
  EXPECT_EQ(c.AllocatedTiles(), SpriteCanvas::kTilesX);
}

TEST(SpriteCanvasTest, SamePixelsComparesColoursNotStorage) {
  SpriteCanvas a, b;
  EXPECT_TRUE(a.SamePixels(b));
  // A tile written with grey holds the same colours as an untouched grey tile.
  a.SetPixel(5, 5, kBlack);
  a.SetPixel(5, 5, kGrey);
  EXPECT_EQ(a.AllocatedTiles(), 1);
  EXPECT_TRUE(a.SamePixels(b));
  EXPECT_TRUE(b.SamePixels(a));
  b.SetPixel(W - 1, H - 1, kWhite);
  EXPECT_FALSE(a.SamePixels(b));
  EXPECT_FALSE(b.SamePixels(a));
  SpriteCanvas white(kWhite);
  EXPECT_FALSE(white.SamePixels(SpriteCanvas()));
  SpriteCanvas painted;
  painted.FillRect(0, 0, W - 1, H - 1, kWhite);
  EXPECT_TRUE(painted.SamePixels(white));
  EXPECT_TRUE(white.SamePixels(painted));
}

TEST(SpriteCanvasTest, MemoryGrowsWithTheDrawnRowsAndTilesOnly) {
  SpriteCanvas c;
  std::size_t empty = c.MemoryBytes();
  c.SetPixel(0, 0, kBlack);
  std::size_t one = c.MemoryBytes();
  EXPECT_LT(one, empty + 128);  // a one-pixel sprite of a file holds no tile table
  c.SetPixel(5, 0, kBlack);     // same row of the same tile
  EXPECT_EQ(c.MemoryBytes(), one);
  c.FillRect(T * 5, T * 5, T * 6 - 1, T * 6 - 1, kBlack);
  EXPECT_GE(c.MemoryBytes() - one, std::size_t(T * T));
  EXPECT_EQ(c.AllocatedTiles(), 2);
  EXPECT_FALSE(c.HasTileTable());
}

// Pixels in n different tiles, at rows written out of order so that each
// tile's band of rows grows up and down.
void ScatterPixels(SpriteCanvas& c, int n, Rgb colour) {
  for (int i = 0; i < n; ++i)
    for (int row : {17, 3, 31, 0})
      c.SetPixel((i * 7) % SpriteCanvas::kTilesX * T + i % T,
                 (i * 7) / SpriteCanvas::kTilesX * T + row, colour);
}

TEST(SpriteCanvasTest, ACanvasGrowingPastTheListKeepsEveryPixelAndCopiesStayApart) {
  const int listed = SpriteCanvas::kListedTiles;
  SpriteCanvas before;
  ScatterPixels(before, listed, kBlack);
  EXPECT_EQ(before.AllocatedTiles(), listed);
  EXPECT_FALSE(before.HasTileTable());

  SpriteCanvas grown(before);
  ScatterPixels(grown, listed + 1, kWhite);
  EXPECT_TRUE(grown.HasTileTable());
  EXPECT_EQ(grown.AllocatedTiles(), listed + 1);
  SpriteCanvas expected;
  ScatterPixels(expected, listed + 1, kWhite);
  EXPECT_TRUE(grown.SamePixels(expected));
  // The copy taken while the tiles were listed still has its black pixels.
  SpriteCanvas black;
  ScatterPixels(black, listed, kBlack);
  EXPECT_TRUE(before.SamePixels(black));

  // Copies of a tabled canvas share its tiles until either side writes.
  SpriteCanvas copy(grown);
  ScatterPixels(copy, listed + 1, kBlack);
  EXPECT_TRUE(grown.SamePixels(expected));
  grown.SetPixel(0, 3, kGrey);
  EXPECT_EQ(copy.Pixel(0, 3), kBlack);
  EXPECT_EQ(grown.Pixel(0, 3), kGrey);
  EXPECT_EQ(grown.Pixel(0, 17), kWhite);

  // Rows between the bands written read as the background, on both sides.
  EXPECT_EQ(copy.Pixel(0, 10), kGrey);
  EXPECT_EQ(before.Pixel(0, 10), kGrey);
  grown.FillRect(0, 0, W - 1, H - 1, kGrey);
  EXPECT_EQ(grown.AllocatedTiles(), 0);
  EXPECT_EQ(copy.AllocatedTiles(), listed + 1);
}

// Random writes, fills, row writes, copies and clears on a few canvases
// agree with plain pixel arrays at every step, whatever the storage does.
TEST(SpriteCanvasTest, RandomOperationsAgreeWithAPlainPicture) {
  std::srand(7);
  auto in = [](int n) { return std::rand() % n; };
  const std::uint8_t colours[] = {kGreyIndex, kBlackIndex, kWhiteIndex, kRedIndex};
  std::vector<SpriteCanvas> canvases(3);
  std::vector<std::vector<std::uint8_t>> model(3, std::vector<std::uint8_t>(W * H, kGreyIndex));
  for (int round = 0; round < 400; ++round) {
    const std::size_t c = std::size_t(in(3));
    const std::uint8_t colour = colours[in(4)];
    // Mostly near one corner, so tiles come and go around the list's limit.
    const int x = in(4) ? in(6 * T) : in(W), y = in(4) ? in(4 * T) : in(H);
    switch (in(5)) {
      case 0:
        canvases[c].SetPixelIndex(x, y, colour);
        model[c][std::size_t(y * W + x)] = colour;
        break;
      case 1: {
        const int right = std::min(W - 1, x + in(70)), bottom = std::min(H - 1, y + in(70));
        canvases[c].FillRect(x, y, right, bottom, PaletteColour(colour));
        for (int j = y; j <= bottom; ++j)
          for (int i = x; i <= right; ++i) model[c][std::size_t(j * W + i)] = colour;
        break;
      }
      case 2: {
        std::vector<std::uint8_t> row(std::size_t(in(90) + 1));
        for (auto& b : row) b = colours[in(4)];
        canvases[c].WriteRowIndexes(x, y, int(row.size()), row.data());
        for (std::size_t i = 0; i < row.size() && x + int(i) < W; ++i)
          model[c][std::size_t(y * W + x) + i] = row[i];
        break;
      }
      case 3: {
        const std::size_t from = std::size_t(in(3));
        canvases[c] = canvases[from];
        model[c] = model[from];
        break;
      }
      default:
        if (in(8) == 0) {
          canvases[c].Fill(PaletteColour(kGreyIndex));
          std::fill(model[c].begin(), model[c].end(), kGreyIndex);
        }
    }
    if (round % 40 == 39)
      for (std::size_t k = 0; k < 3; ++k) {
        std::vector<std::uint8_t> row(W);
        for (int j = 0; j < H; ++j) {
          canvases[k].ReadRowIndexes(0, j, W, row.data());
          ASSERT_TRUE(std::equal(row.begin(), row.end(), model[k].begin() + j * W))
              << "canvas " << k << " row " << j << " after round " << round;
        }
      }
  }
}

TEST(SpritePaletteTest, FixedColoursHaveFixedIndexes) {
  EXPECT_EQ(PaletteIndex(kGrey), kGreyIndex);
  EXPECT_EQ(PaletteIndex(kBlack), kBlackIndex);
  EXPECT_EQ(PaletteIndex(kWhite), kWhiteIndex);
  EXPECT_EQ(PaletteIndex(kPreviewRed), kRedIndex);
  // Only the 24 colour bits count.
  EXPECT_EQ(PaletteIndex(0xFF000000u | kBlack), kBlackIndex);
  EXPECT_EQ(PaletteColour(kBlackIndex), kBlack);
  EXPECT_EQ(PaletteColour(kGreyIndex), kGrey);
}

TEST(SpritePaletteTest, OtherColoursKeepTheirOwnIndex) {
  std::uint8_t blue = PaletteIndex(kBlue);
  EXPECT_EQ(PaletteIndex(kBlue), blue);
  EXPECT_EQ(PaletteColour(blue), kBlue);
  SpriteCanvas c;
  c.SetPixel(1, 1, kBlue);
  EXPECT_EQ(c.Pixel(1, 1), kBlue);
  EXPECT_FALSE(c.IsBlack(1, 1));
}

// The palette is process-wide, so filling it up runs in a child process.
TEST(SpritePaletteDeathTest, AFullPaletteMapsNewColoursToTheNearest) {
  EXPECT_EXIT(
      {
        for (int i = 0; i < 300; ++i) PaletteIndex(RgbOf(i & 0xFF, 7, (i >> 8) * 100));
        // Every index is taken now; a new colour gets the closest one and
        // the fixed colours stay where they were.
        bool ok = PaletteColour(PaletteIndex(RgbOf(3, 8, 1))) == RgbOf(3, 7, 0) &&
                  PaletteIndex(kBlack) == kBlackIndex && PaletteIndex(kWhite) == kWhiteIndex &&
                  PaletteColour(kRedIndex) == kPreviewRed;
        std::exit(ok ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace tavlin
