// The brick renderer: small pictures built from bytes, each with the screen
// the firmware's rules give, per variant; the real files against stored
// screens; the checks; long LEGO lines against plain step-by-step Bresenham.
#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "BrickRenderer.h"
#include "BrickScreen.h"
#include "CliTestUtil.h"
#include "RenderTestUtil.h"

namespace {

using namespace tavlin;
using Words = std::vector<std::uint16_t>;

std::vector<std::uint8_t> Bytes(const Words& words) {
  std::vector<std::uint8_t> b;
  for (std::uint16_t w : words) b.insert(b.end(), {std::uint8_t(w & 0xFF), std::uint8_t(w >> 8)});
  return b;
}

// One op: its size word, its opcode, its fields.
Words Op(std::uint16_t opcode, Words fields) {
  Words w{std::uint16_t(2 + 2 * fields.size()), opcode};
  w.insert(w.end(), fields.begin(), fields.end());
  return w;
}
Words Ric(std::initializer_list<Words> ops) {
  Words all;
  for (const Words& op : ops) all.insert(all.end(), op.begin(), op.end());
  return all;
}
Words Pixel(std::uint16_t opt, std::uint16_t x, std::uint16_t y) { return Op(4, {opt, x, y, 0}); }

constexpr std::uint16_t P(unsigned n) { return std::uint16_t(0xF000 | n); }

std::string Text(const NXTDisplay& d) {
  std::string s;
  for (int r = 0; r < NXTDisplay::kHeight; ++r) {
    for (int c = 0; c < NXTDisplay::kWidth; ++c) s += test::PixelChar(d.Pixel(c, r));
    s += '\n';
  }
  return s;
}

std::string Screen(const std::vector<std::uint8_t>& ric, const BrickCall& call) {
  NXTDisplay d;
  RenderBrick(d, ric.data(), ric.size(), call);
  return Text(d);
}

// The screen with the given NXT rows (y, pixels from column 0), all else white.
std::string Expected(const std::vector<std::pair<int, std::string>>& rows) {
  std::vector<std::string> grid(NXTDisplay::kHeight, std::string(NXTDisplay::kWidth, '.'));
  for (const auto& [y, pixels] : rows) grid[std::size_t(63 - y)].replace(0, pixels.size(), pixels);
  return test::Joined(grid);
}

struct Case {
  const char* name;
  const char* variants;  // L lego, 1 enhanced 1.31, 2 enhanced 1.32
  Words ric;
  std::vector<std::pair<int, std::string>> rows;
  Words parameters = {};
  int x = 0, y = 0;
};

const Words kSprite = Op(1, {1, 2, 2, 0x00F0, 0x000C});  // rows top first: F0 00, 0C 00
const Words kFontParts =
    Ric({Op(1, {1, 1, 2, 0x00A0}), Op(2, {2, 2, 0, 0, 255, 0}), Op(2, {3, 2, 0, 0, 255, 0}),
         Op(2, {4, 2, 0, 3, 255, 3}), Op(2, {5, 2, 0, 1, 255, 1})});

// clang-format off
const std::vector<Case> kCases = {
  {"PixelCoordinatesWrap", "L", Ric({Pixel(0, 300, 0)}), {{0, std::string(44, '.') + "#"}}},
  {"PixelCoordinatesClip", "12", Ric({Pixel(0, 300, 0)}), {}},
  {"LegoStopsAtTheFirstCircle", "L", Ric({Pixel(0, 0, 0), Op(7, {0, 2, 0, 0}), Pixel(0, 4, 0)}),
   {{0, "#"}}},
  {"CircleOfRadius0IsOnePixel", "12", Ric({Pixel(0, 0, 0), Op(7, {0, 2, 0, 0}), Pixel(0, 4, 0)}),
   {{0, "#.#.#"}}},
  {"UnknownOpcodeStops", "L12", Ric({Pixel(0, 0, 0), Op(11, {0, 0, 0}), Pixel(0, 4, 0)}), {{0, "#"}}},
  {"OddSizeStops", "L12", Ric({Pixel(0, 0, 0), Words{7, 4, 0, 4, 0, 0}, Pixel(0, 4, 0)}), {{0, "#"}}},
  {"ShortOpIsSkipped", "L12", Ric({Words{8, 4, 0, 2, 0}, Pixel(0, 4, 0)}), {{0, "....#"}}},
  {"CopyBitsCountsFromTheBottomLeft", "L12",
   Ric({kSprite, Op(3, {0, 1, 0, 0, 8, 2, 0, 0}), Op(3, {0, 1, 0, 1, 8, 1, 10, 0})}),
   {{0, "....##....####"}, {1, "####"}}},
  {"IdsOutside1To10AreIgnored", "L12",
   Ric({Op(1, {11, 2, 2, 0x00F0, 0x000C}), Op(3, {0, 11, 0, 0, 8, 2, 0, 0})}), {}},
  {"SpritesAndVarMapsShareIds", "L12",
   Ric({kSprite, Op(2, {1, 1, 0, 0}), Op(3, {0, 1, 0, 0, 8, 2, 0, 0})}), {}},
  {"BitClearErasesWhereTheSpriteIsSet", "12",
   Ric({kSprite, Op(6, {0x20, 0, 0, 7, 1}), Op(3, {0x0C, 1, 0, 0, 8, 1, 0, 0})}),
   {{0, "####..##"}, {1, "########"}}},
  {"LegoIgnoresCopyOptions", "L",
   Ric({kSprite, Op(6, {0x20, 0, 0, 7, 1}), Op(3, {0x0C, 1, 0, 0, 8, 1, 0, 0})}),
   {{0, "....##.."}, {1, "########"}}},
  {"ShapeCopyOptions", "12",
   Ric({Op(6, {0x20, 0, 0, 9, 0}), Pixel(0x04, 1, 0), Pixel(0x18, 2, 0), Pixel(0x18, 11, 0),
        Pixel(0x08, 13, 0), Pixel(0x14, 15, 0)}),
   {{0, "#..#######.#.#.#"}}},
  {"LegoDrawsEveryShapeBlack", "L",
   Ric({Op(6, {0x20, 0, 0, 9, 0}), Pixel(0x04, 1, 0), Pixel(0x18, 2, 0), Pixel(0x18, 11, 0),
        Pixel(0x08, 13, 0), Pixel(0x14, 15, 0)}),
   {{0, "##########.#.#.#"}}},
  {"LineEndsAreTrimmed", "12", Ric({Op(5, {0, 0, 0, 10, 3})}),
   {{1, "##"}, {2, "..##"}, {3, "....##"}}, {}, -5, 0},
  {"LegoLineIsClippedPerPixel", "L", Ric({Op(5, {0, 0, 0, 10, 3})}),
   {{2, "####"}, {3, "....##"}}, {}, -5, 0},
  {"LineDrawnForwards", "L12", Ric({Op(5, {0, 0, 0, 4, 1})}), {{0, "##"}, {1, "..###"}}},
  {"EnhancedLinesRunFromTheLeftEnd", "12", Ric({Op(5, {0, 4, 1, 0, 0})}), {{0, "##"}, {1, "..###"}}},
  {"LegoLinesRunFromTheFirstPoint", "L", Ric({Op(5, {0, 4, 1, 0, 0})}), {{0, "###"}, {1, "...##"}}},
  {"RectIsWidthPlusOneWide", "L12", Ric({Op(6, {0, 5, 0, P(0), 1})}),
   {{0, "..####"}, {1, "..####"}}, {0xFFFD}},
  {"HollowRectLinesDoNotOverlap", "12", Ric({Op(6, {0x20, 0, 0, 4, 2}), Op(6, {0x18, 0, 0, 4, 2})}),
   {{1, ".###"}}},
  {"CircleWalk", "12", Ric({Op(7, {0, 2, 2, 2})}),
   {{4, ".###"}, {3, "#...#"}, {2, "#...#"}, {1, "#...#"}, {0, ".###"}}},
  {"FlatEllipseIsALine", "12", Ric({Op(9, {0, 1, 0, 1, 0})}), {{0, "###"}}},
  {"XorPolygonLosesItsVertices", "12", Ric({Op(10, {0x18, 3, 0, 0, 4, 0, 0, 4})}),
   {{0, ".###"}, {1, "#..#"}, {2, "#.#"}, {3, "##"}}},
  {"FilledPolygonLeavesTopAndBottomRows", "12", Ric({Op(10, {0x20, 3, 0, 0, 4, 0, 0, 4})}),
   {{1, "####"}, {2, "###"}, {3, "##"}}},
  {"PolygonIgnoresThePicturePosition", "12", Ric({Op(10, {0x400, 3, 0, 0, 2, 0, 2, 1})}),
   {{0, "###"}, {1, "..#"}}, {}, 5, 5},
  {"NumberBoxSnapsToTextLines", "L1", Ric({Op(5, {0, 0, 9, 9, 9}), Op(8, {0, 0, 10, 7})}),
   {{15, "#####"}, {14, "....#"}, {13, "...#"}, {12, "..#"}, {11, ".#"}, {10, ".#"},
    {9, ".#....####"}}},
  {"NumberBoxSitsAtY", "2", Ric({Op(5, {0, 0, 9, 9, 9}), Op(8, {0, 0, 10, 7})}),
   {{17, "#####"}, {16, "....#"}, {15, "...#"}, {14, "..#"}, {13, ".#"}, {12, ".#"},
    {11, ".#"}, {9, "##########"}}},
  {"NumberBoxMayEndAtColumn99", "2", Ric({Op(8, {0, 94, 0, 1})}),
   {{7, std::string(96, '.') + "#"}, {6, std::string(95, '.') + "##"}, {5, std::string(96, '.') + "#"},
    {4, std::string(96, '.') + "#"}, {3, std::string(96, '.') + "#"}, {2, std::string(96, '.') + "#"},
    {1, std::string(95, '.') + "###"}}},
  {"NumberBoxNeverUsesColumn99", "L1", Ric({Op(8, {0, 94, 0, 1})}), {}},
  {"LegoReadsTheLowNibbleOfTheParameter", "L", Ric({Pixel(0, 0xF013, 0)}), {{0, ".......#"}},
   {0, 0, 0, 7}},
  {"EnhancedUsesTheRawWordPastTheCount", "12", Ric({Pixel(0, 0xF013, 0)}), {}, {0, 0, 0, 7}},
  {"VarMapInterpolatesAndHoldsTheLastRange", "L12",
   Ric({Op(2, {1, 2, 0, 0, 10, 5}), Pixel(0, 0xF100, 0), Pixel(0, 0xF101, 0)}),
   {{0, ".#...#"}}, {3, 20}},
  {"FontPictureDrawsTheText", "12", Ric({kFontParts, Op(0, {0x8001, 8, 8})}), {{0, "#.##.#"}},
   {'A', 'B', 0}},
  {"LegoHasNoFontPictures", "L", Ric({kFontParts, Op(0, {0x8001, 8, 8})}), {}, {'A', 'B', 0}},
};
// clang-format on

class BrickPicture : public ::testing::TestWithParam<Case> {};

TEST_P(BrickPicture, ShowsWhatTheFirmwareDraws) {
  const Case& c = GetParam();
  const std::vector<std::uint8_t> ric = Bytes(c.ric);
  for (char v : std::string(c.variants)) {
    BrickCall call;
    call.Variant = v == 'L'   ? BrickVariant::Lego
                   : v == '1' ? BrickVariant::Enhanced131
                              : BrickVariant::Enhanced132;
    call.Parameters = c.parameters;
    call.X = c.x;
    call.Y = c.y;
    EXPECT_EQ(Screen(ric, call), Expected(c.rows)) << BrickVariantName(call.Variant);
  }
}

INSTANTIATE_TEST_SUITE_P(Facts, BrickPicture, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The real files: each variant's screen against the stored one.
TEST(BrickRealFiles, MatchStoredScreens) {
  struct File {
    const char* name;
    Words parameters;
    int x, y;
  };
  for (const File& f : {File{"letters", {20}, 0, 0}, File{"numgrid", {20, 10, 30, 20}, 5, 3},
                        File{"two-circles", {}, 0, 0}}) {
    std::ifstream in(test::DataFile(std::string(f.name) + ".ric"), std::ios::binary);
    const std::vector<std::uint8_t> ric{std::istreambuf_iterator<char>(in), {}};
    for (BrickVariant v :
         {BrickVariant::Lego, BrickVariant::Enhanced131, BrickVariant::Enhanced132}) {
      BrickCall call{v, f.parameters, f.x, f.y};
      call.Parameters.resize(v == BrickVariant::Lego ? 16 : 256);
      const std::string golden =
          std::string("brick/") + f.name + "-" + BrickVariantName(v) + ".txt";
      EXPECT_EQ(Screen(ric, call), test::Joined(test::ReadGridFile(test::DataFile(golden))))
          << golden;
    }
  }
}

TEST(BrickRender, DrawsOverTheScreenWithoutClearingWhenAsked) {
  NXTDisplay d;
  d.ClearDisplay();
  d.SetPixel(0, 0, kBlack);
  const std::vector<std::uint8_t> ric = Bytes(Ric({Pixel(0, 1, 63)}));
  RenderBrick(d, ric.data(), ric.size(), BrickCall{BrickVariant::Enhanced132, {}, 0, 0, 0});
  EXPECT_EQ(d.Pixel(0, 0), kBlack);
  EXPECT_EQ(d.Pixel(1, 0), kBlack);
  RenderBrick(d, ric.data(), ric.size(), BrickCall{BrickVariant::Enhanced132, {}, 0, 0, 2});
  EXPECT_EQ(d.Pixel(0, 0), kWhite);
}

// Where the brick would read beyond the file or an unset value, the element
// draws nothing and is reported; nothing is read outside the buffer.
TEST(BrickRender, UndefinedElementsDrawNothingAndAreReported) {
  struct Undefined {
    Words ric;
    BrickVariant variant;
    Words parameters;
    int element;
  };
  const Words tall = Op(1, {1, 100, 2, 0xFFFF, 0xFFFF});  // claims 100 rows, holds 2
  for (const Undefined& u : {
           Undefined{
               Ric({tall, Op(3, {0, 1, 0, 50, 8, 2, 0, 0})}), BrickVariant::Enhanced132, {}, 2},
           Undefined{Ric({Pixel(0, P(5), 0)}), BrickVariant::Lego, {1, 2}, 1},
           Undefined{
               Ric({Op(2, {1, 1, 0, 0}), Pixel(0, 0xF100, 0)}), BrickVariant::Enhanced131, {9}, 2},
           Undefined{Ric({Op(10, {0, 200, 0, 0, 5, 0, 5, 5})}), BrickVariant::Enhanced132, {}, 1},
       }) {
    const std::vector<std::uint8_t> ric = Bytes(u.ric);
    std::vector<BrickFinding> found;
    NXTDisplay d;
    RenderBrick(d, ric.data(), ric.size(), BrickCall{u.variant, u.parameters}, &found);
    EXPECT_EQ(Text(d), Expected({}));
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].Element, u.element) << found[0].Text;
  }
}

// A plain render runs the ops last first and stops once every pixel is
// decided; asked for the undefined elements, it runs them all first to last.
// Both must leave the same screen, whatever the copy options and whatever
// the screen held, fonts whose glyphs overlap included.
TEST(BrickRender, DrawingLastFirstMatchesDrawingInOrder) {
  std::mt19937 rng(7);
  auto pick = [&](int lo, int hi) {
    return std::uint16_t(std::uniform_int_distribution(lo, hi)(rng));
  };
  // Glyphs 3 wide and 3 high in one sprite; a Description 1 high makes
  // wrapped lines of text overlap.
  const Words font =
      Ric({Op(1, {1, 3, 1, 0x00E0, 0x00A0, 0x00E0}), Op(2, {2, 2, 0, 0, 255, 0}),
           Op(2, {3, 2, 0, 0, 255, 0}), Op(2, {4, 2, 0, 3, 255, 3}), Op(2, {5, 2, 0, 3, 255, 3})});
  for (int round = 0; round < 400; ++round) {
    Words ric = round % 4 == 0 ? font : Ric({kSprite, Op(2, {2, 2, 0, 0, 100, 90})});
    const int count = pick(1, 40);
    for (int k = 0; k < count; ++k) {
      const std::uint16_t opt = pick(0, 0x3F), x = pick(0, 110), y = pick(0, 70);
      const std::uint16_t arg = k % 5 == 0 ? std::uint16_t(0xF200 | pick(0, 3)) : pick(0, 60);
      switch (pick(0, 9)) {
        case 0:
          ric = Ric({ric, Pixel(opt, x, y)});
          break;
        case 1:
          ric = Ric({ric, Op(5, {opt, x, y, pick(0, 110), pick(0, 70)})});
          break;
        case 2:
          ric = Ric({ric, Op(6, {opt, x, y, arg, pick(0, 60)})});
          break;
        case 3:
          ric = Ric({ric, Op(7, {opt, x, y, arg})});
          break;
        case 4:
          ric = Ric({ric, Op(9, {opt, x, y, arg, pick(0, 40)})});
          break;
        case 5:
          ric = Ric({ric, Op(8, {opt, x, y, pick(0, 4095)})});
          break;
        case 6:
          ric = Ric({ric, Op(3, {opt, 1, 0, 0, pick(1, 20), pick(1, 20), x, y})});
          break;
        case 7:
          ric = Ric({ric, Op(10, {opt, 4, x, y, pick(0, 99), pick(0, 63), 50, 5, 0, 40})});
          break;
        case 8:  // a later definition replaces an earlier one from here on
          ric = Ric({ric, pick(0, 1) ? Op(1, {1, 2, 2, pick(0, 0xFFFF), pick(0, 0xFFFF)})
                                     : Op(2, {2, 2, 0, pick(0, 50), 100, pick(0, 90)})});
          break;
        default:
          ric = Ric({ric, Op(0, {0x8001, 20, 1, 0})});
          break;
      }
    }
    BrickCall call{BrickVariant(round % 3), {}, pick(0, 9) - 5, pick(0, 9) - 5, pick(0, 0x3FF)};
    if (round % 4 == 0) {
      // Text last, wrapping across: its glyphs overlap, in any logic.
      ric = Ric({ric, Op(0, {0x8001, 20, 1, 0})});
      call.Options = 0x200u | pick(0, 3) << 6 | (pick(0, 1) ? 0 : pick(0, 0x1F));
    }
    for (int k = pick(0, 60); k > 0; --k) call.Parameters.push_back(pick(1, 4));
    const std::vector<std::uint8_t> bytes = Bytes(ric);
    NXTDisplay lastFirst, inOrder;
    for (NXTDisplay* d : {&lastFirst, &inOrder})
      for (int i = 0; i < 500; ++i) d->SetPixel(i * 37 % 100, i * 11 % 64, kBlack);
    std::vector<BrickFinding> undefined;
    RenderBrick(lastFirst, bytes.data(), bytes.size(), call);
    RenderBrick(inOrder, bytes.data(), bytes.size(), call, &undefined);
    ASSERT_EQ(Text(lastFirst), Text(inOrder)) << "round " << round;
  }
}

// Long LEGO lines skip the steps that wrap off the screen; what they draw
// must be what stepping through every pixel draws.
TEST(BrickRender, LongLegoLinesMatchPlainBresenham) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(0, 1500);
  for (int n = 0; n < 300; ++n) {
    const int x1 = coordinate(random), y1 = coordinate(random) % 700;
    const int x2 = coordinate(random), y2 = coordinate(random) % 700;
    std::vector<std::string> grid(64, std::string(100, '.'));
    const int dx = x2 - x1, dy = y2 - y1, ax = std::abs(dx) * 2, ay = std::abs(dy) * 2;
    const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
    int x = x1, y = y1, d = ax > ay ? ay - ax / 2 : ax - ay / 2;
    for (;;) {
      const int c = x & 0xFF, r = (63 - y) & 0xFF;
      if (c < 100 && r < 64) grid[std::size_t(r)][std::size_t(c)] = '#';
      if (ax > ay ? x == x2 : y == y2) break;
      if (ax > ay) {
        if (d >= 0) y += sy, d -= ax;
        x += sx, d += ay;
      } else {
        if (d >= 0) x += sx, d -= ay;
        y += sy, d += ax;
      }
    }
    const std::vector<std::uint8_t> ric =
        Bytes(Op(5, {0, Words::value_type(x1), Words::value_type(y1), Words::value_type(x2),
                     Words::value_type(y2)}));
    BrickCall lego;
    lego.Variant = BrickVariant::Lego;
    ASSERT_EQ(Screen(ric, lego), test::Joined(grid)) << x1 << "," << y1 << " - " << x2 << "," << y2;
  }
}

// The walk of a hollow ellipse does not depend on where it is drawn; only the
// clipping does. So moving the picture moves the pixels, whatever the radii
// (large ones overflow the firmware's arithmetic) and whatever the mode.
TEST(BrickRender, HollowEllipsesMoveWithThePicture) {
  std::mt19937 random(11);
  auto in = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int n = 0; n < 400; ++n) {
    const int big = in(0, 2) == 0 ? 4000 : 150;
    const std::uint16_t a = std::uint16_t(in(1, big)), b = std::uint16_t(in(1, big));
    // Centres from which the ellipse may cross the screen.
    const std::uint16_t x = std::uint16_t(in(0, std::min(99 + a, 4095)));
    const std::uint16_t y = std::uint16_t(in(0, std::min(63 + b, 4095)));
    const std::uint16_t mode = in(0, 1) ? 0x18 : 0;
    const std::vector<std::uint8_t> ric = Bytes(Op(9, {mode, x, y, a, b}));
    BrickCall first, second;
    first.X = -in(0, 60);
    first.Y = -in(0, 40);
    second.X = -in(0, 60);
    second.Y = -in(0, 40);
    const std::string before = Screen(ric, first), after = Screen(ric, second);
    const int dx = second.X - first.X, dy = second.Y - first.Y;
    for (int r = 0; r < 64; ++r)
      for (int c = 0; c < 100; ++c) {
        const int r0 = r + dy, c0 = c - dx;  // where the pixel was before the move
        if (r0 >= 0 && r0 < 64 && c0 >= 0 && c0 < 100) {
          ASSERT_EQ(after[std::size_t(r * 101 + c)], before[std::size_t(r0 * 101 + c0)])
              << "ellipse " << x << "," << y << " radii " << a << "," << b << " at " << first.X
              << "," << first.Y << " and " << second.X << "," << second.Y;
        }
      }
  }
}

// Hollow ellipses too wide for the shape table whose arithmetic stays within
// 32 bits (up to a radius of about 640 for a circle) plot the points of the
// plain walk, wherever they are drawn.
TEST(BrickRender, HollowEllipsesPlotTheWholeWalk) {
  std::mt19937 random(12);
  auto in = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int n = 0; n < 600;) {
    const long long a = in(1, in(0, 1) ? 1000 : 60), b = in(1, in(0, 1) ? 4000 : 300);
    const long long a2 = a * a, b2 = b * b;
    if ((a <= 63 && b <= 255) || 4 * (b2 * (a + 2) + a2 * (b + 2)) > 2147483647) continue;
    ++n;
    const auto [x, y] = test::RandomEllipseCentre(random, int(a), int(b));
    const std::vector<std::uint8_t> ric =
        Bytes(Op(9, {0, std::uint16_t(x), std::uint16_t(y), std::uint16_t(a), std::uint16_t(b)}));
    NXTDisplay walked;
    test::PlotReferenceEllipse(walked, std::int16_t(x), std::int16_t(y), a, b);
    ASSERT_EQ(Screen(ric, BrickCall{}), Text(walked))
        << "ellipse " << x << "," << y << " radii " << a << "," << b;
  }
}

// Every hollow ellipse small enough for the shape table, centred, plots the
// points of the plain walk.
TEST(BrickRender, SmallHollowEllipsesPlotTheWholeWalk) {
  std::vector<std::pair<std::uint16_t, std::uint16_t>> different;  // radii
  for (std::uint16_t a = 1; a <= 63; ++a)
    for (std::uint16_t b = 1; b <= 64; ++b) {
      NXTDisplay walked;
      test::PlotReferenceEllipse(walked, 50, 32, a, b);
      if (Screen(Bytes(Op(9, {0, 50, 32, a, b})), BrickCall{}) != Text(walked))
        different.emplace_back(a, b);
    }
  EXPECT_EQ(different, (std::vector<std::pair<std::uint16_t, std::uint16_t>>{}));
}

// Filled polygons of more than 128 points are skipped, and the check says so.
TEST(BrickRender, FilledPolygonsOfUpTo128PointsAreDrawn) {
  for (std::uint16_t count : {128, 129}) {
    Words fields{0x20, count};  // a square, its last corner repeated to the count
    for (unsigned i = 0; i < count; ++i)
      fields.insert(fields.end(),
                    {std::uint16_t(i == 1 || i == 2 ? 20 : 0), std::uint16_t(i >= 2 ? 20 : 0)});
    const std::vector<std::uint8_t> ric = Bytes(Op(10, fields));
    const bool drawn = count <= 128;
    const std::vector<BrickFinding> skipped{
        {1, "filled polygon with more than 128 points: the brick skips it"}};
    EXPECT_EQ(Screen(ric, BrickCall{}) != Expected({}), drawn) << count << " points";
    EXPECT_EQ(CheckBrick(ric.data(), ric.size(), BrickCall{}),
              drawn ? std::vector<BrickFinding>{} : skipped)
        << count << " points";
  }
}

// Ellipses start their walk near the part that can reach the screen: from
// the closed form, or from the marks of an earlier walk of the same radii,
// whose arithmetic may overflow. Filled or hollow, any mode, they draw what
// walking every point from the start draws.
TEST(BrickRender, EllipsesDrawWhatTheWholeWalkDraws) {
  std::mt19937 random(13);
  auto in = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int n = 0; n < 300; ++n) {
    const int big = in(0, 3) == 0 ? 32767 : in(0, 1) ? 4095 : 700;
    const std::int16_t a = std::int16_t(in(1, big)), b = std::int16_t(in(1, big));
    const std::int16_t x = std::int16_t(in(-a - 100, a + 200)),
                       y = std::int16_t(in(-b - 70, b + 130));
    const auto mode = brick::PixelMode(in(0, 2));
    const bool fill = in(0, 1);
    brick::BrickScreen shortcut, plain;
    plain.plainWalks = true;
    for (int k = 0; k < 2; ++k) {  // the second time from the marks
      shortcut.rows.fill(0);
      shortcut.Ellipse(x, y, a, b, mode, fill);
    }
    plain.Ellipse(x, y, a, b, mode, fill);
    ASSERT_TRUE(shortcut.rows == plain.rows) << (fill ? "filled" : "hollow") << " ellipse " << x
                                             << "," << y << " radii " << a << "," << b;
  }
}

// CopyBits takes each pixel from the sprite's bit at the same distance from
// the source corner, at any bit offset and width, clipped at the screen's
// edges; Fill copies solid, and Invert the opposite bits.
TEST(BrickRender, CopyBitsCopiesEveryBitInPlace) {
  auto bit = [](int x, int y) { return (x * 7 + y * 3) % 5 < 2; };  // sprite x right, y up
  Words sprite{1, 3, 14};                                           // id 1, 3 rows of 14 bytes
  for (int row = 2; row >= 0; --row) {
    std::vector<std::uint8_t> bytes(14, 0);
    for (int x = 0; x < 112; ++x)
      if (bit(x, row)) bytes[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    for (int k = 0; k < 14; k += 2)
      sprite.push_back(std::uint16_t(bytes[std::size_t(k)] | bytes[std::size_t(k) + 1] << 8));
  }
  for (const auto [srcX, width, dstX, options] : {std::array<int, 4>{0, 100, 0, 0},
                                                  {3, 100, -5, 0},
                                                  {11, 70, 9, 0},
                                                  {5, 90, 17, 0x04},
                                                  {1, 40, 70, 0x20}}) {
    const std::vector<std::uint8_t> ric =
        Bytes(Ric({Op(1, sprite), Op(3, {std::uint16_t(options), 1, std::uint16_t(srcX), 0,
                                         std::uint16_t(width), 3, 0, 0})}));
    std::vector<std::pair<int, std::string>> rows;
    for (int y = 0; y < 3; ++y) {
      std::string line(100, '.');
      for (int c = 0; c < width; ++c)
        if (dstX + c >= 0 && dstX + c < 100) {
          const bool on = options == 0x20 || (bit(srcX + c, y) != (options == 0x04));
          line[std::size_t(dstX + c)] = on ? '#' : '.';
        }
      rows.emplace_back(y, line);
    }
    BrickCall call;
    call.X = dstX;
    EXPECT_EQ(Screen(ric, call), Expected(rows)) << srcX << " " << width << " " << dstX;
  }
}

}  // namespace

namespace tavlin {
void PrintTo(const BrickFinding& f, std::ostream* os) { *os << f.Element << ": " << f.Text; }
}  // namespace tavlin

namespace {

TEST(BrickCheck, ListsWhatTheBrickTreatsDifferently) {
  struct Checked {
    Words ric;
    BrickVariant variant;
    std::size_t parameterCount;
    std::vector<BrickFinding> findings;
    int x = 0;
  };
  const auto E132 = BrickVariant::Enhanced132, E131 = BrickVariant::Enhanced131,
             Lego = BrickVariant::Lego;
  // clang-format off
  const std::vector<Checked> cases = {
    {Ric({Pixel(0, 1, 1), Op(7, {0, 5, 5, 3}), Pixel(0, 2, 2)}), Lego, 16,
     {{2, "the LEGO firmware has no Circle: the brick stops here and draws nothing after it"}}},
    {Ric({Pixel(0, 1, 1), Op(7, {0, 5, 5, 3})}), E132, 256, {}},
    {Ric({Op(1, {0, 1, 2, 0}), Op(2, {12, 2, 0, 0, 1, 1})}), E132, 256,
     {{1, "id 0 is outside 1 to 10: the brick ignores this Sprite"},
      {2, "id 12 is outside 1 to 10: the brick ignores this VarMap"}}},
    // NXC's RICArg/RICMapArg words (tag 0x1) read the same in the editor and on the brick.
    {Ric({Pixel(0, 0x1388, 2), Pixel(0, 0x1000, 0x1001)}), E132, 256, {}},
    {Ric({Pixel(0x24, 300, 2), Pixel(0, 50, 300), Pixel(0, 200, 2), Op(6, {0x38, 1, 1, 5, 5}),
          kSprite, Op(3, {0x0C, 1, 0, 0, 2, 2, 0, 0}), Op(8, {0x20, 0, 0, 7})}), Lego, 16,
     {{1, "copy options fill, invert: the LEGO firmware ignores them and draws hollow and black"},
      {1, "pixel at (300, 2): the LEGO firmware wraps the position and draws it at (44, 2)"},
      {2, "pixel at (50, 300): the LEGO firmware wraps the position and draws it at (50, 44)"},
      {4, "copy options fill, XOR: the LEGO firmware ignores them and draws hollow and black"},
      {6, "copy options invert, AND: the LEGO firmware ignores them and copies the sprite as it is"},
      {7, "copy options solid: the LEGO firmware ignores them and draws the digits as they are"}}},
    {Ric({Pixel(0x24, 300, 2)}), E132, 256, {}},
    {Ric({kSprite, Op(2, {1, 2, 0, 0, 1, 1}), Op(3, {0, 1, 0, 0, 2, 2, 0, 0})}), E132, 256,
     {{3, "finds no sprite with id 1 here: the VarMap at step 2 took id 1, so nothing is drawn"}}},
    {Ric({Pixel(0, P(20), 2)}), E131, 16,
     {{1, "PosX uses parameter 20, but the program passes 16: the raw word -4076 is used"}}},
    {Ric({Pixel(0, P(2), 2)}), Lego, 2,
     {{1, "PosX uses parameter 2, but the program passes 2: the value is undefined"}}},
    {Ric({Op(2, {1, 1, 0, 0})}), E132, 256,
     {{1, "VarMap with fewer than 2 points: values above its first domain are undefined"}}},
    {Ric({kSprite, Op(3, {0, 1, 4, 0, 16, 2, 0, 0})}), E132, 256,
     {{2, "the source lies outside sprite 1: the brick copies the bytes around it"}}},
    {Ric({Op(3, {0, 3, 0, 0, 8, 2, 0, 0})}), E132, 256,
     {{1, "finds no sprite with id 3 here: nothing is drawn"}}},
    {Ric({Op(8, {0, 94, 0, 1})}), E131, 256,
     {{1, "number box at x 94 cannot draw: its first digit does not fit"}}},
    {Ric({Op(8, {0, 94, 0, 1})}), E132, 256, {}},
    {Ric({Op(8, {0, 88, 0, 123})}), E132, 256, {{1, "number box shows only 2 of its 3 characters"}}},
    {Ric({Words{8, 5, 0, 1, 2}}), E132, 256,
     {{1, "Line is too short (size 8, needs 12): the brick skips it"}}},
    {Ric({Op(10, {0, 3, 0, 0, P(1), 0, 2, 2})}), E132, 256,
     {{1, "polygon points use parameters: drawn from a file, the brick uses the raw words"},
      {1, "drawn from a file, the brick does not move polygon points by the picture position"}}, 3},
  };
  // clang-format on
  for (const Checked& c : cases) {
    const std::vector<std::uint8_t> ric = Bytes(c.ric);
    BrickCall call{c.variant, Words(c.parameterCount, 0), c.x, 0};
    EXPECT_EQ(CheckBrick(ric.data(), ric.size(), call), c.findings)
        << BrickVariantName(c.variant) << " " << (c.findings.empty() ? "" : c.findings[0].Text);
  }
}

// Drawn from an array, a polygon's points are resolved (parameters, picture
// position) and written into the bytes before drawing; from a file the raw
// words are drawn. A count beyond the op rewrites the op after it.
TEST(BrickSources, AnArrayDrawsPolygonsResolvedAndAFileAsWritten) {
  const Words params(16, 0);
  Words withParam = params;
  withParam[1] = 30;
  struct SourceCase {
    const char* name;
    Words ric, parameters;
    int x, y;
    Words resolved;  // the same picture with the points the array path draws
  };
  const Words line = Op(5, {0, 0, 0, 0, 0});  // a one-pixel line at 0,0
  const std::vector<SourceCase> cases = {
      {"parameter", Ric({Op(10, {0, 3, 10, 10, P(1), 10, 20, 40})}), withParam, 0, 0,
       Ric({Op(10, {0, 3, 10, 10, 30, 10, 20, 40})})},
      {"offset", Ric({Op(10, {0, 3, 10, 10, 50, 10, 20, 40})}), params, 5, 3,
       Ric({Op(10, {0, 3, 15, 13, 55, 13, 25, 43})})},
      // Count 4 in room for 3: the fourth point is the line's size and opcode
      // words (12, 5), moved to 15, 7: an odd size, where the walk stops.
      {"count", Ric({Op(10, {0, 4, 10, 10, 50, 10, 20, 40}), line}), params, 3, 2,
       Ric({Op(10, {0, 4, 13, 12, 53, 12, 23, 42}), Words{15, 7, 0, 0, 0, 0, 0}})},
  };
  for (const SourceCase& c : cases) {
    BrickCall call{BrickVariant::Enhanced132, c.parameters, c.x, c.y};
    const std::string file = Screen(Bytes(c.ric), call);
    call.Source = BrickSource::Array;
    const std::string array = Screen(Bytes(c.ric), call);
    EXPECT_NE(array, file) << c.name;
    call.Source = BrickSource::File;
    call.X = call.Y = 0;
    EXPECT_EQ(array, Screen(Bytes(c.resolved), call)) << c.name;
  }
  // The checks name the element and the file path, which draws it as written;
  // drawn from an array, also the count that runs over what follows.
  const std::vector<std::uint8_t> ric = Bytes(Ric({Op(10, {0, 4, 10, 10, 50, 10, 20, 40}), line}));
  BrickCall call{BrickVariant::Enhanced132, params, 3, 0};
  call.Source = BrickSource::Array;
  const std::vector<BrickFinding> expected = {
      {1, "drawn from a file, the brick does not move polygon points by the picture position"},
      {1,
       "polygon count 4 runs past its element: drawn from an array, the brick writes points "
       "over the bytes that follow"}};
  EXPECT_EQ(CheckBrick(ric.data(), ric.size(), call), expected);
  EXPECT_EQ(ParseBrickSource("array"), BrickSource::Array);
  EXPECT_EQ(ParseBrickSource("flash"), std::nullopt);
}

// The firmware's memory pool for a program's data holds 32,768 bytes: a
// picture of that size may still be an array, one even word more may not.
TEST(BrickCheck, PicturesLargerThanTheProgramPoolAreReported) {
  for (std::size_t size : {std::size_t(32768), std::size_t(32770)}) {
    std::vector<std::uint8_t> ric;
    // Descriptions of 10 bytes, the last one longer so that the sizes add up.
    while (ric.size() + 10 != size && ric.size() + 18 != size)
      ric.insert(ric.end(), {8, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const std::uint8_t last = std::uint8_t(size - ric.size() - 2);
    ric.insert(ric.end(), {last, 0});
    ric.resize(size, 0);
    const auto findings = CheckBrick(ric.data(), ric.size(), BrickCall{});
    const bool reported = !findings.empty() && findings[0].Element == 0 &&
                          findings[0].Text.find("32768 bytes the brick holds") != std::string::npos;
    EXPECT_EQ(reported, size > 32768) << size << (findings.empty() ? "" : findings[0].Text);
  }
}

TEST(BrickVariants, NamesRoundTrip) {
  for (BrickVariant v : {BrickVariant::Lego, BrickVariant::Enhanced131, BrickVariant::Enhanced132})
    EXPECT_EQ(ParseBrickVariant(BrickVariantName(v)), v);
  EXPECT_EQ(ParseBrickVariant("enhanced"), std::nullopt);
}

}  // namespace
