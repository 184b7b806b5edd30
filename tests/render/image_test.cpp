// Painting the display into pictures, mouse positions back to NXT points, and
// PNG files.
#include <gtest/gtest.h>

#include <filesystem>

#include "DisplayImage.h"
#include "FileIO.h"
#include "PngWriter.h"
#include "RenderTestUtil.h"

namespace tavlin {
namespace {

NXTDisplay Checkerboard() {
  NXTDisplay d;
  for (int row = 0; row < 64; ++row)
    for (int col = 0; col < 100; ++col)
      d.SetPixel(col, row,
                 (row * 7 + col * 3) % 5 == 0 ? kBlack : (col % 11 == 0 ? kGrey : kWhite));
  return d;
}

void ExpectBlackFrame(const RgbImage& image) {
  for (int x = 0; x < image.Width; ++x) {
    ASSERT_EQ(image.At(x, 0), kBlack) << x;
    ASSERT_EQ(image.At(x, image.Height - 1), kBlack) << x;
  }
  for (int y = 0; y < image.Height; ++y) {
    ASSERT_EQ(image.At(0, y), kBlack) << y;
    ASSERT_EQ(image.At(image.Width - 1, y), kBlack) << y;
  }
}

TEST(PaintZoomedDisplayTest, MainWindowImageIsTheDisplayInAFrameWithoutGrid) {
  const NXTDisplay d = Checkerboard();
  RgbImage image(102, 66, 0x123456);
  PaintZoomedDisplay(d, image);
  ExpectBlackFrame(image);
  for (int row = 0; row < 64; ++row)
    for (int col = 0; col < 100; ++col)
      ASSERT_EQ(image.At(col + 1, row + 1), d.Pixel(col, row)) << col << "," << row;
}

TEST(PaintZoomedDisplayTest, PageImageHasEachPixelAsASquareUnderItsGridLines) {
  const NXTDisplay d = Checkerboard();
  RgbImage image(602, 386, 0x123456);
  PaintZoomedDisplay(d, image);
  ExpectBlackFrame(image);
  for (int y = 1; y < 385; ++y)
    for (int x = 1; x < 601; ++x) {
      const int col = (x - 1) / 6, row = (y - 1) / 6;
      Rgb expected = d.Pixel(col, row);
      if ((x - 1) % 6 == 0) expected = col % 10 == 0 ? kGridDark : kGridLight;
      if ((y - 1) % 6 == 0) expected = (64 - row) % 10 == 0 ? kGridDark : kGridLight;
      ASSERT_EQ(image.At(x, y), expected) << x << "," << y;
    }
}

TEST(PaintZoomedDisplayTest, GridHas100ColumnsAnd64RowsOfLines) {
  NXTDisplay d;
  RgbImage image(602, 386);
  PaintZoomedDisplay(d, image);
  int vertical = 0, darkVertical = 0, horizontal = 0, darkHorizontal = 0;
  for (int x = 1; x < 601; ++x) {
    const Rgb c = image.At(x, 3);
    vertical += c == kGridDark || c == kGridLight;
    darkVertical += c == kGridDark;
  }
  for (int y = 1; y < 385; ++y) {
    const Rgb c = image.At(3, y);
    horizontal += c == kGridDark || c == kGridLight;
    darkHorizontal += c == kGridDark;
  }
  EXPECT_EQ(vertical, 100);
  EXPECT_EQ(darkVertical, 10);
  EXPECT_EQ(horizontal, 64);
  EXPECT_EQ(darkHorizontal, 6);
  // Dark lines: left edge of NXT column 10, bottom edge of NXT row 10 (the
  // top edge of surface row 54).
  EXPECT_EQ(image.At(61, 3), kGridDark);
  EXPECT_EQ(image.At(3, 6 * 54 + 1), kGridDark);
  EXPECT_EQ(image.At(3, 6 * 53 + 1), kGridLight);
}

TEST(PaintZoomedDisplayTest, OddSizesStayInsideTheImage) {
  const NXTDisplay d = Checkerboard();
  for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {3, 3}, {50, 30}, {250, 100}, {1000, 700}}) {
    RgbImage image(w, h);
    PaintZoomedDisplay(d, image);
    ExpectBlackFrame(image);
  }
}

struct MouseCase {
  const char* name;
  int width, height, mouseX, mouseY;
  NXTPoint expected;
};

class DisplayPointFromMouseTest : public ::testing::TestWithParam<MouseCase> {};

TEST_P(DisplayPointFromMouseTest, MapsAndClamps) {
  const MouseCase& c = GetParam();
  EXPECT_EQ(DisplayPointFromMouse(c.width, c.height, c.mouseX, c.mouseY), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, DisplayPointFromMouseTest,
                         ::testing::Values(MouseCase{"TopLeft", 602, 386, 1, 1, {0, 63}},
                                           MouseCase{"FrameCorner", 602, 386, 0, 0, {0, 63}},
                                           MouseCase{"BottomRight", 602, 386, 601, 385, {99, 0}},
                                           MouseCase{"Beyond", 602, 386, 5000, 9000, {99, 0}},
                                           MouseCase{"Negative", 602, 386, -50, -50, {0, 63}},
                                           MouseCase{"LastPixelOfColumn0", 602, 386, 6, 6, {0, 63}},
                                           MouseCase{
                                               "FirstPixelOfColumn1", 602, 386, 7, 7, {1, 62}},
                                           MouseCase{"MainImage", 102, 66, 100, 64, {99, 0}},
                                           MouseCase{"TinyImage", 1, 1, 0, 0, {0, 63}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DisplayPointFromMouseTest, EveryPaintedSquareMapsBackToItsPoint) {
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 64; ++y) {
      const int left = 6 * x + 1, top = 6 * (63 - y) + 1;
      for (int k = 0; k < 6; ++k)
        ASSERT_EQ(DisplayPointFromMouse(602, 386, left + k, top + k), (NXTPoint{x, y}));
    }
}

TEST(ScaleDisplayTest, EachPixelBecomesASquare) {
  const NXTDisplay d = Checkerboard();
  const RgbImage image = ScaleDisplay(d, 3);
  ASSERT_EQ(image.Width, 300);
  ASSERT_EQ(image.Height, 192);
  for (int y = 0; y < 192; ++y)
    for (int x = 0; x < 300; ++x) ASSERT_EQ(image.At(x, y), d.Pixel(x / 3, y / 3));
}

TEST(PngWriterTest, WritesAFileThatReadsBackPixelForPixel) {
  const RgbImage image = ScaleDisplay(Checkerboard(), 2);
  const std::string path =
      (std::filesystem::temp_directory_path() / "tavlin_png_writer_test.png").string();
  WritePngFile(path, image);
  RgbImage back;
  ASSERT_TRUE(test::ReadPng(path, back));
  EXPECT_EQ(back, image);
  std::filesystem::remove(path);
}

TEST(PngWriterTest, AFailedWriteNamesTheFileAndLeavesNothing) {
  const std::string path = "/nonexistent-folder/x.png";
  try {
    WritePngFile(path, ScaleDisplay(NXTDisplay(), 1));
    FAIL() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_EQ(e.File(), path);
  }
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_THROW(EncodePng(RgbImage()), TavlinError);
}

}  // namespace
}  // namespace tavlin
