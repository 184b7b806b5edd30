// Picture decoding (BMP, PNG, JPEG, GIF), damaged and hostile pictures, and
// the brightness threshold and stretch shared by the image import and RicScript.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <gif_lib.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "CliTestUtil.h"
#include "FileIO.h"
#include "PictureFile.h"

namespace tavlin {
namespace {

const std::string kPictures = std::string(TAVLIN_TEST_DATA) + "/pictures/";

// The pixels of pictures/pattern.ppm, the source of the lossless fixtures.
const std::vector<Rgb> kPattern = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0x7F7F7F, 0x808080, 0xC86432,  //
    0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0xFFFF00, 0x00FFFF, 0xFF00FF,  //
    0x010101, 0xFEFEFE, 0x7F0000, 0x007F00, 0x00007F, 0x800000, 0x008000, 0x000080,  //
    0x333333, 0x666666, 0x999999, 0xCCCCCC, 0x123456, 0x654321, 0xABCDEF, 0xFEDCBA,
};
// pictures/pattern-1.bmp, the pattern cut at 50 % by ImageMagick: 1 = black.
const char* const kPatternBits = "10101101111000011011111111001100";

std::vector<std::uint8_t> ReadFixture(const std::string& name) {
  return ReadFileBytes(kPictures + name, 1 << 20);
}

Picture Decode(const std::vector<std::uint8_t>& bytes) {
  return DecodePicture(bytes.data(), bytes.size(), "test");
}

int Channel(Rgb c, int shift) { return int((c >> shift) & 0xFF); }

bool Near(Rgb a, Rgb b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(Channel(a, shift) - Channel(b, shift)) > tolerance) return false;
  return true;
}

std::string Hex(Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "%06X", unsigned(c));
  return text;
}

// The message of the TavlinError that `decode` throws, or "" when it throws none.
template <typename F>
std::string ErrorOf(F decode) {
  try {
    decode();
  } catch (const TavlinError& e) {
    return e.what();
  }
  return "";
}

// ---------------------------------------------------------------------------
// Fixtures of every format decode to the pattern.

struct FixtureCase {
  const char* File;
  PictureFormat Format;
  // Per channel. ImageMagick merges 010101 into black and FEFEFE into white
  // when it makes a palette, and dithers when it makes 16-bit pixels.
  int Tolerance;
};

class PatternFixture : public testing::TestWithParam<FixtureCase> {};

TEST_P(PatternFixture, DecodesToThePattern) {
  const FixtureCase& c = GetParam();
  std::vector<std::uint8_t> bytes = ReadFixture(c.File);
  EXPECT_EQ(DetectPictureFormat(bytes.data(), bytes.size()), c.Format);
  Picture picture = LoadPicture(kPictures + c.File);
  ASSERT_EQ(picture.Width, 8);
  ASSERT_EQ(picture.Height, 4);
  ASSERT_EQ(picture.Pixels.size(), 32u);
  for (int i = 0; i < 32; ++i)
    EXPECT_TRUE(Near(picture.Pixels[std::size_t(i)], kPattern[std::size_t(i)], c.Tolerance))
        << "pixel " << i % 8 << "," << i / 8 << ": " << Hex(picture.Pixels[std::size_t(i)])
        << " instead of " << Hex(kPattern[std::size_t(i)]);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PatternFixture,
                         testing::Values(FixtureCase{"pattern-24.bmp", PictureFormat::Bmp, 0},
                                         FixtureCase{"pattern-8.bmp", PictureFormat::Bmp, 1},
                                         FixtureCase{"pattern-8rle.bmp", PictureFormat::Bmp, 1},
                                         FixtureCase{"pattern-os2.bmp", PictureFormat::Bmp, 0},
                                         FixtureCase{"pattern-32.bmp", PictureFormat::Bmp, 0},
                                         FixtureCase{"pattern-565.bmp", PictureFormat::Bmp, 10},
                                         FixtureCase{"pattern.png", PictureFormat::Png, 0},
                                         FixtureCase{"pattern-palette.png", PictureFormat::Png, 1},
                                         FixtureCase{"pattern-interlaced.png", PictureFormat::Png,
                                                     0},
                                         FixtureCase{"pattern-16.png", PictureFormat::Png, 0},
                                         FixtureCase{"pattern.gif", PictureFormat::Gif, 1},
                                         FixtureCase{"animated.gif", PictureFormat::Gif, 1}),
                         [](const testing::TestParamInfo<FixtureCase>& info) {
                           std::string name = info.param.File;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

TEST(PictureDecoding, OneBitBmpKeepsItsTwoColours) {
  Picture picture = LoadPicture(kPictures + "pattern-1.bmp");
  ASSERT_EQ(picture.Pixels.size(), 32u);
  for (int i = 0; i < 32; ++i)
    EXPECT_EQ(picture.Pixels[std::size_t(i)], kPatternBits[i] == '1' ? kBlack : kWhite) << i;
}

TEST(PictureDecoding, JpegBlocksComeOutNearTheirColours) {
  const Rgb blocks[4] = {kBlack, kWhite, RgbOf(200, 30, 30), RgbOf(30, 30, 200)};
  for (const char* file : {"blocks.jpg", "blocks-progressive.jpg", "blocks-cmyk.jpg"}) {
    SCOPED_TRACE(file);
    Picture picture = LoadPicture(kPictures + file);
    ASSERT_EQ(picture.Width, 16);
    ASSERT_EQ(picture.Height, 16);
    for (int b = 0; b < 4; ++b) {
      Rgb got = picture.At((b % 2) * 8 + 4, (b / 2) * 8 + 4);
      EXPECT_TRUE(Near(got, blocks[b], 12)) << "block " << b << ": " << Hex(got);
    }
  }
}

TEST(PictureDecoding, GreyJpegGivesGreyPixels) {
  Picture picture = LoadPicture(kPictures + "blocks-grey.jpg");
  ASSERT_EQ(picture.Width, 16);
  Rgb dark = picture.At(4, 4), light = picture.At(12, 4);
  EXPECT_TRUE(Near(dark, kBlack, 8)) << Hex(dark);
  EXPECT_TRUE(Near(light, kWhite, 8)) << Hex(light);
  Rgb red = picture.At(4, 12);  // red 200,30,30 in grey
  EXPECT_EQ(Channel(red, 0), Channel(red, 8));
  EXPECT_EQ(Channel(red, 8), Channel(red, 16));
}

// A GIF of the pattern's colours written with giflib: pixel (x, y) has
// colour index (x + 3 y) % 32; an interlaced file stores its rows in the four
// interlace passes.
std::vector<std::uint8_t> WriteGif(int width, int height, bool interlaced) {
  std::vector<std::uint8_t> out;
  auto write = [](GifFileType* gif, const GifByteType* data, int count) {
    auto* bytes = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    bytes->insert(bytes->end(), data, data + count);
    return count;
  };
  int error = 0;
  GifFileType* gif = EGifOpen(&out, write, &error);
  EXPECT_NE(gif, nullptr);
  ColorMapObject* map = GifMakeMapObject(32, nullptr);
  for (int i = 0; i < 32; ++i) {
    Rgb c = kPattern[std::size_t(i)];
    map->Colors[i] = GifColorType{GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)};
  }
  EXPECT_EQ(EGifPutScreenDesc(gif, width, height, 5, 0, map), GIF_OK);
  EXPECT_EQ(EGifPutImageDesc(gif, 0, 0, width, height, interlaced, nullptr), GIF_OK);
  std::vector<int> order;
  if (interlaced) {
    for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
      for (int y = start; y < height; y += step) order.push_back(y);
  } else {
    for (int y = 0; y < height; ++y) order.push_back(y);
  }
  std::vector<GifPixelType> line(static_cast<std::size_t>(width));
  for (int y : order) {
    for (int x = 0; x < width; ++x) line[std::size_t(x)] = GifPixelType((x + 3 * y) % 32);
    EXPECT_EQ(EGifPutLine(gif, line.data(), width), GIF_OK);
  }
  EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
  GifFreeMapObject(map);
  return out;
}

TEST(PictureDecoding, InterlacedAndPlainGifRows) {
  for (bool interlaced : {false, true}) {
    for (int height : {1, 2, 3, 5, 9, 17}) {
      Picture picture = Decode(WriteGif(7, height, interlaced));
      ASSERT_EQ(picture.Width, 7);
      ASSERT_EQ(picture.Height, height);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < 7; ++x)
          ASSERT_EQ(picture.At(x, y), kPattern[std::size_t((x + 3 * y) % 32)])
              << "interlaced " << interlaced << ", height " << height << ", pixel " << x << ","
              << y;
    }
  }
}

TEST(PictureDecoding, TwoBitGreyPngIsExpanded) {
  Picture picture = LoadPicture(kPictures + "grey-2bit.png");
  ASSERT_EQ(picture.Width, 4);
  EXPECT_EQ(picture.Pixels, (std::vector<Rgb>{0x000000, 0x555555, 0xAAAAAA, 0xFFFFFF}));
}

TEST(PictureDecoding, TransparencyIsShownOnWhite) {
  Picture png = LoadPicture(kPictures + "alpha.png");
  ASSERT_EQ(png.Pixels.size(), 3u);
  EXPECT_EQ(png.Pixels[0], 0xFF0000u);
  EXPECT_EQ(png.Pixels[1], kWhite);                                     // fully transparent blue
  EXPECT_TRUE(Near(png.Pixels[2], 0x808080, 1)) << Hex(png.Pixels[2]);  // half-transparent black

  Picture gif = LoadPicture(kPictures + "transparent.gif");
  EXPECT_EQ(gif.Pixels, (std::vector<Rgb>{0xFF0000, kWhite, kBlack}));
}

TEST(PictureDecoding, FormatComesFromTheContentNotTheName) {
  std::vector<std::uint8_t> png = ReadFixture("pattern.png");
  const test::TempFolder temp;
  const std::string path = temp.Path("really-a-png.bmp");
  WriteFileAtomic(path, png.data(), png.size());
  EXPECT_EQ(LoadPicture(path).Pixels, kPattern);
}

TEST(PictureDecoding, PictureFileNames) {
  for (const char* name : {"a.bmp", "B.JPG", "c.Jpeg", "d.gif", "e.PNG", "dir.x/f.png"})
    EXPECT_TRUE(IsPictureFileName(name)) << name;
  for (const char* name : {"a.ric", "b.ppm", "png", "dir.png/file", "c.tif"})
    EXPECT_FALSE(IsPictureFileName(name)) << name;
}

// ---------------------------------------------------------------------------
// BMP variants built byte by byte.

void Put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = std::uint8_t(v);
  b[at + 1] = std::uint8_t(v >> 8);
}
void Put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

struct BmpBuild {
  int Width = 2;
  int Height = 2;  // negative for top-down
  int Bits = 24;
  std::uint32_t Compression = 0;
  std::vector<std::uint32_t> Masks;  // written after the 40-byte header
  std::vector<Rgb> Palette;
  std::uint32_t ColoursUsed = 0;
  std::vector<std::uint8_t> Pixels;  // file order, rows padded by the caller

  std::vector<std::uint8_t> Bytes() const {
    std::size_t paletteAt = 14 + 40 + 4 * Masks.size();
    std::size_t pixelAt = paletteAt + 4 * Palette.size();
    std::vector<std::uint8_t> b(pixelAt + Pixels.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, std::uint32_t(b.size()));
    Put32(b, 10, std::uint32_t(pixelAt));
    Put32(b, 14, 40);
    Put32(b, 18, std::uint32_t(Width));
    Put32(b, 22, std::uint32_t(Height));
    Put16(b, 26, 1);
    Put16(b, 28, std::uint32_t(Bits));
    Put32(b, 30, Compression);
    Put32(b, 46, ColoursUsed);
    for (std::size_t i = 0; i < Masks.size(); ++i) Put32(b, 54 + 4 * i, Masks[i]);
    for (std::size_t i = 0; i < Palette.size(); ++i) {
      b[paletteAt + 4 * i] = std::uint8_t(Palette[i]);
      b[paletteAt + 4 * i + 1] = std::uint8_t(Palette[i] >> 8);
      b[paletteAt + 4 * i + 2] = std::uint8_t(Palette[i] >> 16);
    }
    std::copy(Pixels.begin(), Pixels.end(), b.begin() + std::ptrdiff_t(pixelAt));
    return b;
  }
};

TEST(BmpReader, BottomUpAndTopDownGiveTheSamePicture) {
  BmpBuild bmp;
  // 2 x 2, 24 bits: rows of 6 bytes padded to 8; bottom row first.
  bmp.Pixels = {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0,   // bottom: red, green
                0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0};  // top: blue, white
  Picture bottomUp = Decode(bmp.Bytes());
  EXPECT_EQ(bottomUp.Pixels, (std::vector<Rgb>{0x0000FF, 0xFFFFFF, 0xFF0000, 0x00FF00}));

  bmp.Height = -2;
  std::swap_ranges(bmp.Pixels.begin(), bmp.Pixels.begin() + 8, bmp.Pixels.begin() + 8);
  EXPECT_EQ(Decode(bmp.Bytes()).Pixels, bottomUp.Pixels);
}

TEST(BmpReader, PalettedRowsOfOneAndFourBits) {
  BmpBuild one;
  one.Width = 10;
  one.Height = -1;
  one.Bits = 1;
  one.Palette = {0x123456, 0xABCDEF};
  one.Pixels = {0b10110000, 0b01000000, 0, 0};
  Picture p1 = Decode(one.Bytes());
  std::vector<Rgb> expected1;
  for (char c : std::string("1011000001")) expected1.push_back(c == '1' ? 0xABCDEF : 0x123456);
  EXPECT_EQ(p1.Pixels, expected1);

  BmpBuild four;
  four.Width = 3;
  four.Height = -1;
  four.Bits = 4;
  four.Palette = {0x000000, 0x111111, 0x222222};
  four.ColoursUsed = 3;
  // Index 5 lies beyond the three colours of the table and comes out black.
  four.Pixels = {0x21, 0x50, 0, 0};
  EXPECT_EQ(Decode(four.Bytes()).Pixels, (std::vector<Rgb>{0x222222, 0x111111, 0x000000}));
}

TEST(BmpReader, SixteenBitsDefaultAndMasked) {
  BmpBuild rgb555;
  rgb555.Width = 2;
  rgb555.Height = -1;
  rgb555.Bits = 16;
  rgb555.Pixels = {0x00, 0x7C, 0x1F, 0x00};  // 0x7C00 red, 0x001F blue
  EXPECT_EQ(Decode(rgb555.Bytes()).Pixels, (std::vector<Rgb>{0xFF0000, 0x0000FF}));

  BmpBuild rgb565 = rgb555;
  rgb565.Compression = 3;
  rgb565.Masks = {0xF800, 0x07E0, 0x001F};
  rgb565.Pixels = {0xE0, 0x07, 0x00, 0xF8};  // 0x07E0 green, 0xF800 red
  EXPECT_EQ(Decode(rgb565.Bytes()).Pixels, (std::vector<Rgb>{0x00FF00, 0xFF0000}));
}

TEST(BmpReader, ThirtyTwoBitsWithAndWithoutAlpha) {
  BmpBuild plain;
  plain.Width = 2;
  plain.Height = -1;
  plain.Bits = 32;
  plain.Pixels = {0x30, 0x20, 0x10, 0x00, 0x01, 0x02, 0x03, 0x00};  // B G R X
  EXPECT_EQ(Decode(plain.Bytes()).Pixels, (std::vector<Rgb>{0x102030, 0x030201}));

  // Alpha bit fields whose alpha says something: transparent goes to white.
  BmpBuild alpha = plain;
  alpha.Compression = 6;
  alpha.Masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
  alpha.Pixels = {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00};  // opaque black, clear black
  EXPECT_EQ(Decode(alpha.Bytes()).Pixels, (std::vector<Rgb>{kBlack, kWhite}));

  // An alpha channel that is 0 throughout is ignored.
  alpha.Pixels = {0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x00};
  EXPECT_EQ(Decode(alpha.Bytes()).Pixels, (std::vector<Rgb>{kBlack, kWhite}));
}

TEST(BmpReader, RunLengthEightAndFour) {
  BmpBuild rle8;
  rle8.Width = 5;
  rle8.Height = 3;
  rle8.Bits = 8;
  rle8.Compression = 1;
  rle8.Palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  rle8.Pixels = {
      3, 1, 0, 3, 2, 3, 2, 0,  // bottom row: 1 1 1, then literal 2 3 2 (cut at 5 pixels), pad
      0, 0,                    // end of line
      0, 2, 1, 1,              // jump: right 1, up 1 (top row, x 1)
      1, 3,                    // one pixel of colour 3
      0, 1,                    // end of picture
  };
  Picture p8 = Decode(rle8.Bytes());
  const Rgb w = kWhite, r = 0xFF0000, g = 0x00FF00, b = 0x0000FF;
  EXPECT_EQ(p8.Pixels, (std::vector<Rgb>{w, b, w, w, w,  //
                                         w, w, w, w, w,  // skipped by the jump
                                         r, r, r, g, b}));

  BmpBuild rle4 = rle8;
  rle4.Bits = 4;
  rle4.Compression = 2;
  rle4.Height = 1;
  rle4.Pixels = {5, 0x12, 0, 1};  // five pixels alternating 1 and 2
  EXPECT_EQ(Decode(rle4.Bytes()).Pixels, (std::vector<Rgb>{r, g, r, g, r}));
}

struct BadBmpCase {
  const char* Name;
  BmpBuild Build;
  const char* Reason;
};

BmpBuild Bmp(int width, int height, int bits, std::uint32_t compression,
             std::vector<std::uint8_t> pixels, std::vector<Rgb> palette = {}) {
  BmpBuild b;
  b.Width = width;
  b.Height = height;
  b.Bits = bits;
  b.Compression = compression;
  b.Pixels = std::move(pixels);
  b.Palette = std::move(palette);
  return b;
}

class BadBmp : public testing::TestWithParam<BadBmpCase> {};

TEST_P(BadBmp, IsRefusedWithAReason) {
  std::vector<std::uint8_t> bytes = GetParam().Build.Bytes();
  std::string error = ErrorOf([&] { DecodePicture(bytes.data(), bytes.size(), "bad.bmp"); });
  EXPECT_NE(error.find("bad.bmp: "), std::string::npos) << error;
  EXPECT_NE(error.find(GetParam().Reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BadBmp,
    testing::Values(
        BadBmpCase{"HugeWidth", Bmp(100000, 1, 24, 0, {}), "too large"},
        BadBmpCase{"HugeArea", Bmp(16000, 16000, 24, 0, {}), "too large"},
        BadBmpCase{"MinimumHeight", Bmp(1, INT32_MIN, 24, 0, {}), "too large"},
        BadBmpCase{"ZeroWidth", Bmp(0, 1, 24, 0, {}), "no pixels"},
        BadBmpCase{"NegativeWidth", Bmp(-5, 1, 24, 0, {}), "no pixels"},
        BadBmpCase{"RowsCutShort", Bmp(4, 4, 24, 0, std::vector<std::uint8_t>(47)), "cut short"},
        BadBmpCase{"SevenBits", Bmp(1, 1, 7, 0, {0, 0, 0, 0}), "7 bits per pixel"},
        BadBmpCase{"BitFieldsOn24Bits", Bmp(1, 1, 24, 3, {0, 0, 0, 0}), "bit fields"},
        BadBmpCase{"UnknownCompression", Bmp(1, 1, 24, 9, {0, 0, 0, 0}), "compression 9"},
        BadBmpCase{"EmbeddedPng", Bmp(1, 1, 24, 5, {0, 0, 0, 0}), "JPEG or PNG"},
        BadBmpCase{"RleWithoutEnd", Bmp(4, 2, 8, 1, {4, 0, 0, 0}, {0}), "cut short"},
        BadBmpCase{"RleLiteralCutShort", Bmp(4, 1, 8, 1, {0, 4, 1}, {0}), "cut short"},
        BadBmpCase{"RleTopDown", Bmp(4, -1, 8, 1, {0, 1}, {0}), "top-down"}),
    [](const testing::TestParamInfo<BadBmpCase>& info) { return std::string(info.param.Name); });

TEST(BmpReader, HeaderFieldsPointingOutsideTheFile) {
  std::vector<std::uint8_t> good = ReadFixture("pattern-24.bmp");
  auto refused = [](std::vector<std::uint8_t> bytes, const char* reason) {
    std::string error = ErrorOf([&] { DecodePicture(bytes.data(), bytes.size(), "x.bmp"); });
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  };
  std::vector<std::uint8_t> b = good;
  Put32(b, 10, 0x7FFFFFF0);  // pixel data offset
  refused(b, "outside the file");
  b = good;
  Put32(b, 14, 5000);  // header size
  refused(b, "header size 5000");
  b = good;
  Put32(b, 14, 7);
  refused(b, "header size 7");
  refused(std::vector<std::uint8_t>(good.begin(), good.begin() + 20), "cut short");
}

// ---------------------------------------------------------------------------
// Damaged and hostile pictures of every format.

const char* const kAllFixtures[] = {
    "pattern-24.bmp",
    "pattern-8.bmp",
    "pattern-8rle.bmp",
    "pattern-os2.bmp",
    "pattern-32.bmp",
    "pattern-565.bmp",
    "pattern-1.bmp",
    "pattern.png",
    "pattern-palette.png",
    "pattern-16.png",
    "pattern-interlaced.png",
    "grey-2bit.png",
    "alpha.png",
    "pattern.gif",
    "animated.gif",
    "transparent.gif",
    "blocks.jpg",
    "blocks-progressive.jpg",
    "blocks-grey.jpg",
    "blocks-cmyk.jpg",
    "ramp.png",
};

// A decode that does not fail must give a whole, consistent picture.
void ExpectErrorOrConsistent(const std::vector<std::uint8_t>& bytes, const std::string& what) {
  try {
    Picture p = DecodePicture(bytes.data(), bytes.size(), "damaged");
    ASSERT_GT(p.Width, 0) << what;
    ASSERT_GT(p.Height, 0) << what;
    ASSERT_EQ(p.Pixels.size(), std::size_t(p.Width) * std::size_t(p.Height)) << what;
  } catch (const TavlinError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("damaged: ", 0), 0u) << e.what();
  }
}

TEST(DamagedPictures, EveryCutShortFileIsRefused) {
  for (const char* file : kAllFixtures) {
    // Only the first image of an animation is read; the file goes on after it.
    if (std::string(file) == "animated.gif") continue;
    std::vector<std::uint8_t> bytes = ReadFixture(file);
    // The last few bytes of a file (GIF trailer, BMP run-length end) are not
    // all needed for the picture; everything before them is.
    for (std::size_t length = 0; length + 4 < bytes.size(); ++length) {
      std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + std::ptrdiff_t(length));
      std::string error = ErrorOf([&] { Decode(cut); });
      EXPECT_FALSE(error.empty()) << file << " cut to " << length << " bytes was accepted";
    }
  }
}

TEST(DamagedPictures, FlippedBytesNeverCrash) {
  for (const char* file : kAllFixtures) {
    std::vector<std::uint8_t> bytes = ReadFixture(file);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      for (std::uint8_t flip : {std::uint8_t(0xFF), std::uint8_t(0x80)}) {
        std::vector<std::uint8_t> damaged = bytes;
        damaged[i] ^= flip;
        ExpectErrorOrConsistent(damaged, std::string(file) + " byte " + std::to_string(i));
      }
    }
  }
}

TEST(DamagedPictures, RandomBytesBehindEverySignature) {
  std::mt19937 random(20240611);
  const std::string signatures[] = {
      "", "BM", std::string("\x89PNG\r\n\x1a\n", 8), "\xFF\xD8\xFF", "GIF89a", "GIF87a"};
  for (const std::string& signature : signatures) {
    for (int round = 0; round < 300; ++round) {
      std::vector<std::uint8_t> bytes(signature.begin(), signature.end());
      std::size_t extra = random() % 600;
      for (std::size_t i = 0; i < extra; ++i) bytes.push_back(std::uint8_t(random()));
      if (bytes.empty()) bytes.push_back(0);
      ExpectErrorOrConsistent(bytes, "random round " + std::to_string(round));
    }
  }
}

std::uint32_t Crc(const std::uint8_t* data, std::size_t size) {
  return std::uint32_t(crc32(0, data, unsigned(size)));
}

TEST(DamagedPictures, AbsurdSizesAreRefusedBeforeAllocating) {
  // PNG: an IHDR of 20000 x 20000 with a correct checksum.
  std::vector<std::uint8_t> png = ReadFixture("pattern.png");
  auto putBig32 = [](std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (24 - 8 * i));
  };
  putBig32(png, 16, 20000);
  putBig32(png, 20, 20000);
  putBig32(png, 29, Crc(png.data() + 12, 17));
  std::string error = ErrorOf([&] { Decode(png); });
  EXPECT_FALSE(error.empty());
  EXPECT_NE(error.find("PNG"), std::string::npos) << error;

  // PNG: 12000 x 12000 is within libpng's limits we set but beyond the pixel count.
  putBig32(png, 16, 12000);
  putBig32(png, 20, 12000);
  putBig32(png, 29, Crc(png.data() + 12, 17));
  EXPECT_NE(ErrorOf([&] { Decode(png); }).find("too large"), std::string::npos);

  // GIF: a logical screen of 65535 x 65535.
  std::vector<std::uint8_t> gif = ReadFixture("pattern.gif");
  gif[6] = gif[7] = gif[8] = gif[9] = 0xFF;
  EXPECT_NE(ErrorOf([&] { Decode(gif); }).find("too large"), std::string::npos);

  // JPEG: the frame header says 65000 x 65000.
  std::vector<std::uint8_t> jpeg = ReadFixture("blocks.jpg");
  bool patched = false;
  for (std::size_t i = 2; i + 9 < jpeg.size() && !patched; ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = jpeg[i + 7] = 0xFD;
      jpeg[i + 6] = jpeg[i + 8] = 0xE8;
      patched = true;
    }
  }
  ASSERT_TRUE(patched);
  EXPECT_NE(ErrorOf([&] { Decode(jpeg); }).find("too large"), std::string::npos);
}

// The process's peak resident memory in KiB (VmHWM).
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

TEST(DamagedPictures, SmallDamagedFilesAllocateNothingLarge) {
  // A 100-byte PNG whose tEXt chunk announces 1.6 GB: the chunk is skipped
  // unread. A 46-byte JPEG whose header says 9967 x 2816 and whose tables are
  // missing: refused before 112 MB of pixels are spent.
  const char jpeg[] =
      "\xFF\xD8\xFF\xC0\x00\x0B\x08\x0B\x00\x26\xEF\x01\x01\x11"
      "333333333333333333333\xF7\xFF\xDA\x00\x08\x01\x01\x01\xFF\x7E\x00";
  for (const std::vector<std::uint8_t>& bytes :
       {ReadFixture("damaged-text-length.png"),
        std::vector<std::uint8_t>(jpeg, jpeg + sizeof jpeg - 1)}) {
    // The decoding runs in a child, whose peak memory starts at what it
    // holds, so that the peak's growth can be read.
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const long before = PeakKiB();
      bool refused = false;
      try {
        Decode(bytes);
      } catch (const tavlin::TavlinError&) {
        refused = true;
      }
      std::_Exit(refused && PeakKiB() - before < 64 * 1024 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "status " << status << " for the file of " << bytes.size() << " bytes";
  }
}

TEST(DamagedPictures, ErrorsNameTheFile) {
  EXPECT_EQ(ErrorOf([] { LoadPicture(kPictures + "pattern.ppm"); }),
            kPictures + "pattern.ppm: not a BMP, PNG, JPEG or GIF picture");
  EXPECT_EQ(ErrorOf([] { LoadPicture(kPictures + "no-such-picture.png"); }),
            kPictures + "no-such-picture.png: File not found");
  const test::TempFolder temp;
  const std::string empty = temp.Path("empty.png");
  { std::ofstream(empty).flush(); }
  EXPECT_EQ(ErrorOf([&] { LoadPicture(empty); }), empty + ": the picture file is empty");
  std::vector<std::uint8_t> jpeg = ReadFixture("blocks.jpg");
  jpeg.resize(jpeg.size() / 2);
  EXPECT_EQ(ErrorOf([&] { DecodePicture(jpeg.data(), jpeg.size(), "half.jpg"); }),
            "half.jpg: damaged JPEG picture: the file is cut short");
}

// ---------------------------------------------------------------------------
// Brightness, threshold and stretching.

TEST(Brightness, IsTheBrightestChannelInPercent) {
  EXPECT_DOUBLE_EQ(BrightnessPercent(0, 0, 0), 0.0);
  EXPECT_DOUBLE_EQ(BrightnessPercent(255, 0, 0), 100.0);
  EXPECT_DOUBLE_EQ(BrightnessPercent(10, 51, 20), 20.0);
  EXPECT_DOUBLE_EQ(BrightnessPercent(RgbOf(0, 0, 51)), 20.0);
}

struct ThresholdCase {
  const char* Name;
  Rgb Colour;
  int Threshold;
  bool Black;
};

class Threshold : public testing::TestWithParam<ThresholdCase> {};

TEST_P(Threshold, CutsAtBrightness) {
  const ThresholdCase& c = GetParam();
  EXPECT_EQ(IsBlackAtThreshold(c.Colour, c.Threshold), c.Black);
  EXPECT_EQ(IsBlackAtThreshold(c.Colour, c.Threshold),
            double(c.Threshold) >= BrightnessPercent(c.Colour));
}

INSTANTIATE_TEST_SUITE_P(Pictures, Threshold,
                         testing::Values(ThresholdCase{"Grey127At50", 0x7F7F7F, 50, true},
                                         ThresholdCase{"Grey128At50", 0x808080, 50, false},
                                         ThresholdCase{"BlackAt0", 0x000000, 0, true},
                                         ThresholdCase{"NearBlackAt0", 0x000100, 0, false},
                                         ThresholdCase{"WhiteAt100", 0xFFFFFF, 100, true},
                                         ThresholdCase{"WhiteAt99", 0xFFFFFF, 99, false},
                                         ThresholdCase{"RedAt99", 0xFF0000, 99, false},
                                         ThresholdCase{"GreenAt99", 0x00FF00, 99, false},
                                         ThresholdCase{"BlueAt99", 0x0000FF, 99, false},
                                         ThresholdCase{"Exactly20", 0x330000, 20, true},
                                         ThresholdCase{"Above20", 0x340000, 20, false}),
                         [](const testing::TestParamInfo<ThresholdCase>& info) {
                           return std::string(info.param.Name);
                         });

TEST(Stretch, RepeatsAndDropsPixels) {
  Picture two{2, 2, {1, 2, 3, 4}};
  Picture big = StretchPicture(two, 4, 3);
  EXPECT_EQ(big.Width, 4);
  EXPECT_EQ(big.Height, 3);
  EXPECT_EQ(big.Pixels, (std::vector<Rgb>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4}));

  Picture pattern = LoadPicture(kPictures + "pattern.png");
  Picture small = StretchPicture(pattern, 4, 2);
  EXPECT_EQ(small.Pixels,
            (std::vector<Rgb>{kPattern[0], kPattern[2], kPattern[4], kPattern[6], kPattern[16],
                              kPattern[18], kPattern[20], kPattern[22]}));
  EXPECT_EQ(StretchPicture(pattern, 8, 4).Pixels, kPattern);
}

TEST(Stretch, EmptySizesAndSources) {
  Picture pattern = LoadPicture(kPictures + "pattern.png");
  EXPECT_TRUE(StretchPicture(pattern, 0, 64).Empty());
  EXPECT_TRUE(StretchPicture(pattern, 100, 0).Pixels.empty());
  Picture white = StretchPicture(Picture{}, 3, 2);
  EXPECT_EQ(white.Pixels, std::vector<Rgb>(6, kWhite));
  EXPECT_THROW(StretchPicture(pattern, 20000, 1), TavlinError);
}

TEST(Stretch, BlackAndWhiteConversionOfTheRamp) {
  // ramp.png: grey x at column x, 256 x 2.
  Picture ramp = LoadPicture(kPictures + "ramp.png");
  ASSERT_EQ(ramp.Width, 256);
  for (int t : {0, 1, 20, 50, 99, 100}) {
    Picture cut = ConvertToBlackAndWhite(ramp, 256, 1, t);
    int black = 0;
    for (int x = 0; x < 256; ++x) {
      Rgb p = cut.At(x, 0);
      ASSERT_TRUE(p == kBlack || p == kWhite);
      if (p == kBlack) {
        EXPECT_EQ(black, x) << "black pixels must be the darkest ones, t = " << t;
        ++black;
      }
    }
    EXPECT_EQ(black, 255 * t / 100 + 1) << "t = " << t;
  }
}

}  // namespace
}  // namespace tavlin
