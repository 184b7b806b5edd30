// The interpreter: argument evaluation, VarMap and sprite lookup, rendering.
#include <gtest/gtest.h>

#include <random>

#include "RICInterpreter.h"
#include "RenderTestUtil.h"
#include "SpriteCopyCache.h"

namespace tavlin {
namespace {

using test::BlackPoints;
using Points = std::set<std::pair<int, int>>;

ElementPtr VarMapOf(std::uint16_t id, std::vector<VarMapPoint> points) {
  ElementPtr m = MakeVarMap(id, 0);
  m->Points = std::move(points);
  return m;
}

// --- VarMap evaluation ---

struct MapCase {
  const char* name;
  std::vector<VarMapPoint> points;
  std::uint16_t a;
  std::uint16_t expected;
};

class EvaluateVarMapTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(EvaluateVarMapTest, GivesTheInterpolatedValue) {
  const MapCase& c = GetParam();
  EXPECT_EQ(EvaluateVarMap(*VarMapOf(1, c.points), c.a), c.expected);
}

const std::vector<VarMapPoint> kRamp = {{0, 0}, {10, 100}, {20, 100}};
const std::vector<VarMapPoint> kShort = {{10, 40}, {20, 60}};

INSTANTIATE_TEST_SUITE_P(
    Maps, EvaluateVarMapTest,
    ::testing::Values(
        MapCase{"RampAt0", kRamp, 0, 0}, MapCase{"RampAt5", kRamp, 5, 50},
        MapCase{"RampAt10", kRamp, 10, 100}, MapCase{"RampAt15", kRamp, 15, 100},
        MapCase{"RampBeyondLast", kRamp, 25, 100}, MapCase{"BelowFirst", kShort, 3, 40},
        MapCase{"At13", kShort, 13, 46}, MapCase{"At19", kShort, 19, 58},
        MapCase{"Far", kShort, 1000, 60}, MapCase{"SinglePointBelow", {{10, 40}}, 0, 40},
        MapCase{"SinglePointAbove", {{10, 40}}, 65535, 40},
        // Falling segments round toward the earlier point: 100 + trunc(-33.3).
        MapCase{"FallingTruncatesTowardEarlier", {{0, 100}, {3, 0}}, 1, 67},
        // The product needs more than 32 bits.
        MapCase{"WideProduct", {{0, 0}, {65535, 65535}}, 65534, 65534},
        MapCase{"WideFalling", {{0, 65535}, {65535, 0}}, 1, 65534},
        MapCase{"WideFallingMiddle", {{0, 65535}, {65535, 0}}, 32768, 32767},
        // A point whose domain equals a is passed over: its range comes
        // through the next segment.
        MapCase{"EqualDomainUsesNextSegment", {{0, 0}, {10, 50}, {20, 70}}, 10, 50},
        // Of two points with the same domain, the later one starts the next segment.
        MapCase{"RepeatedDomainAtIt", {{0, 0}, {10, 50}, {10, 90}, {20, 100}}, 10, 90},
        MapCase{"RepeatedDomainBeyond", {{0, 0}, {10, 50}, {10, 90}, {20, 100}}, 15, 95},
        // Stored order, not sorted: the walk keeps the last point at or below a.
        MapCase{"UnsortedPoints", {{10, 0}, {5, 1000}, {20, 100}}, 12, 580}),
    [](const auto& info) { return std::string(info.param.name); });

// --- ArgumentValue ---

class ArgumentValueTest : public ::testing::Test {
 protected:
  RICElementList list;
  TParameterSet params{};
};

TEST_F(ArgumentValueTest, ConstantsAreTheLow12Bits) {
  EXPECT_EQ(ArgumentValue(0x0000, 0, list, params), 0);
  EXPECT_EQ(ArgumentValue(0x0FFF, 0, list, params), 4095);
  EXPECT_EQ(ArgumentValue(0x0123, 0, list, params), 0x123);
}

TEST_F(ArgumentValueTest, ParameterReferencesGiveTheValueWithAnyTag) {
  params[3] = 777;
  params[255] = 4095;
  params[5] = 0xF005;  // a tag but no map id: the plain number
  params[6] = 65535;   // reads as VarMap 15, parameter 255: mapped, and no such map
  EXPECT_EQ(ArgumentValue(0xF003, 0, list, params), 777);
  EXPECT_EQ(ArgumentValue(0x1003, 0, list, params), 777);
  EXPECT_EQ(ArgumentValue(0xF0FF, 0, list, params), 4095);
  EXPECT_EQ(ArgumentValue(0xF005, 0, list, params), 0xF005);
  EXPECT_EQ(ArgumentValue(0xF006, 0, list, params), 0);
}

TEST_F(ArgumentValueTest, MappedWithoutAVarMapBeforeTheElementIsZero) {
  params[1] = 5;
  list.Add(MakePixel(0, 0, 0));
  list.Add(VarMapOf(2, {{0, 10}, {10, 20}}));
  EXPECT_EQ(ArgumentValue(0xF201, 1, list, params), 0);  // the map comes at 1, not before
  EXPECT_EQ(ArgumentValue(0xF301, 2, list, params), 0);  // no map 3 at all
  EXPECT_EQ(ArgumentValue(0xF201, 2, list, params), 15);
  EXPECT_EQ(ArgumentValue(0x1201, 2, list, params), 15);  // any non-zero tag
}

TEST_F(ArgumentValueTest, TheLaterOfTwoVarMapsWins) {
  params[0] = 10;
  list.Add(VarMapOf(1, {{0, 0}, {100, 100}}));
  list.Add(VarMapOf(1, {{0, 0}, {100, 1000}}));
  list.Add(MakePixel(0, 0, 0));
  EXPECT_EQ(ArgumentValue(0xF100, 2, list, params), 100);
  EXPECT_EQ(ArgumentValue(0xF100, 1, list, params), 10);
  EXPECT_EQ(FindVarMap(1, 2, list), list[1]);
  EXPECT_EQ(FindVarMap(1, 0, list), nullptr);
}

TEST_F(ArgumentValueTest, AParameterHoldingAMappedWordTakesOneMoreStep) {
  // 0x1388 = 5000 reads as VarMap 3, parameter 0x88.
  params[7] = 0x1388;
  params[0x88] = 4;
  list.Add(VarMapOf(3, {{0, 0}, {8, 800}}));
  EXPECT_EQ(ArgumentValue(0xF007, 1, list, params), 400);
  // Through a mapped reference the parameter is the plain input 5000.
  list.Add(VarMapOf(4, {{0, 0}, {10000, 2}}));
  EXPECT_EQ(ArgumentValue(0xF407, 2, list, params), 1);
  // A chain stops after the second step: parameter 0x88 holding a mapped word
  // is used as the plain input there.
  params[0x88] = 0xF305;
  EXPECT_EQ(ArgumentValue(0xF007, 2, list, params), 800);
}

TEST_F(ArgumentValueTest, PositionMinusOneStandsForTheSelectedElement) {
  params[0] = 5;
  list.Add(MakePixel(0, 0, 0));
  list.Add(VarMapOf(1, {{0, 0}, {10, 10}}));
  list.Add(MakePixel(0, 0, 0));
  EXPECT_EQ(ArgumentValue(0xF100, -1, list, params, 2), 5);
  EXPECT_EQ(ArgumentValue(0xF100, -1, list, params, 0), 0);
  EXPECT_EQ(FindVarMap(1, -1, list, 2), list[1]);
  EXPECT_EQ(FindVarMap(1, -1, list, -1), nullptr);
}

TEST_F(ArgumentValueTest, VarMapsOfOtherIdsAndSpritesDoNotMatter) {
  params[0] = 5;
  list.Add(VarMapOf(1, {{0, 0}, {10, 10}}));
  list.Add(MakeSprite(1));
  list.Add(VarMapOf(2, {{0, 0}, {10, 100}}));
  EXPECT_EQ(ArgumentValue(0xF100, 3, list, params), 5);
}

// --- FindSprite ---

TEST(FindSpriteTest, SpritesAndVarMapsShareOneIdSpace) {
  RICElementList list;
  list.Add(MakeSprite(1));     // 0
  list.Add(MakeSprite(2));     // 1
  list.Add(MakeVarMap(1, 0));  // 2: hides sprite 1
  list.Add(MakeSprite(1));     // 3: defines it again
  EXPECT_EQ(FindSprite(1, 0, list), nullptr);
  EXPECT_EQ(FindSprite(1, 1, list), list[0]);
  EXPECT_EQ(FindSprite(1, 3, list), nullptr);
  EXPECT_EQ(FindSprite(2, 3, list), list[1]);
  EXPECT_EQ(FindSprite(1, 4, list), list[3]);
  EXPECT_EQ(FindSprite(1, 100, list), list[3]);
  EXPECT_EQ(FindSprite(3, 4, list), nullptr);
}

// --- RenderDocument and RenderElement ---

// A sprite with id 1 whose used area is the single black pixel at (0, 0).
ElementPtr OnePixelSprite(std::uint16_t id) {
  ElementPtr s = MakeSprite(id);
  s->Canvas.SetPixel(0, 0, kBlack);
  s->UsedArea = {0, 0, 0, 0};
  return s;
}

TEST(RenderDocumentTest, APixelFollowsItsParameter) {
  RICElementList list;
  list.Add(MakePixel(0, 0xF003, 5));
  TParameterSet params{};
  params[3] = 17;
  NXTDisplay d;
  RenderDocument(d, 0, 0, list, params);
  EXPECT_EQ(BlackPoints(d), (Points{{17, 5}}));
  params[3] = 40;
  RenderDocument(d, 0, 0, list, params);
  EXPECT_EQ(BlackPoints(d), (Points{{40, 5}}));
}

TEST(RenderDocumentTest, ClearsFirstAndAppliesTheOffset) {
  RICElementList list;
  list.Add(MakePixel(0, 1, 2));
  TParameterSet params{};
  NXTDisplay d;
  d.DrawLine(0, 0, 99, 63);
  RenderDocument(d, 10, 20, list, params);
  EXPECT_EQ(BlackPoints(d), (Points{{11, 22}}));
}

TEST(RenderDocumentTest, LaterElementsDrawOverEarlierOnes) {
  RICElementList list;
  list.Add(MakeLine(0, 0, 0, 9, 0));
  ElementPtr white = MakeSprite(1);
  white->Canvas.FillRect(0, 0, 1, 0, kWhite);
  white->UsedArea = {0, 0, 1, 0};
  list.Add(std::move(white));
  list.Add(MakeCopyBits(0, 1, 0, 0, 2, 1, 3, 0));  // two white pixels over the line
  list.Add(MakePixel(0, 4, 0));                    // and one black pixel over those
  TParameterSet params{};
  NXTDisplay d;
  RenderDocument(d, 0, 0, list, params);
  EXPECT_EQ(test::Grid(d)[63].substr(0, 11), "###.######.");
}

TEST(RenderDocumentTest, CopyBitsNeedsItsSpriteBeforeIt) {
  TParameterSet params{};
  NXTDisplay d;
  {
    RICElementList list;
    list.Add(MakeCopyBits(0, 1, 0, 0, 1, 1, 5, 5));
    list.Add(OnePixelSprite(1));
    RenderDocument(d, 0, 0, list, params);
    EXPECT_TRUE(BlackPoints(d).empty());
  }
  {
    RICElementList list;
    list.Add(OnePixelSprite(1));
    list.Add(MakeVarMap(1, 0));
    list.Add(MakeCopyBits(0, 1, 0, 0, 1, 1, 5, 5));
    RenderDocument(d, 0, 0, list, params);
    EXPECT_TRUE(BlackPoints(d).empty());
  }
  {
    RICElementList list;
    list.Add(OnePixelSprite(1));
    list.Add(MakeCopyBits(0, 1, 0, 0, 1, 1, 5, 5));
    RenderDocument(d, 0, 0, list, params);
    EXPECT_EQ(BlackPoints(d), (Points{{5, 5}}));
  }
}

TEST(RenderDocumentTest, EveryKindCallsItsPrimitiveWithEvaluatedArguments) {
  RICElementList list;
  list.Add(MakeDescription(0, 100, 64));
  list.Add(VarMapOf(2, {{0, 0}, {10, 20}}));
  list.Add(OnePixelSprite(3));
  list.Add(MakePixel(0, 0xF000, 1));                     // P0 = 4
  list.Add(MakeLine(0xFFFF, 0, 10, 0xF200, 10));         // x2 = V[2:0] = 8
  list.Add(MakeRectangle(0, 20, 20, 0xF001, 2));         // w = P1 = 3
  list.Add(MakeCircle(0, 50, 30, 0xF201));               // r = V[2:1] = 6
  list.Add(MakeNumBox(0, 70, 50, 0xF002));               // P2 = 12
  list.Add(MakeCopyBits(0, 0xF003, 0, 0, 1, 1, 90, 5));  // sprite P3 = 3
  list.Add(MakeEllipse(0, 30, 45, 0xF201, 4));           // rx = V[2:1] = 6
  ElementPtr polygon = MakePolygon(0, {{60, 5}, {0xF002, 5}, {66, 0xF001}, {0, 0}});
  polygon->PolygonCount = 3;  // the count word leaves out the fourth point
  list.Add(std::move(polygon));
  TParameterSet params{};
  params[0] = 4;
  params[1] = 3;
  params[2] = 12;
  params[3] = 3;

  NXTDisplay expected;
  expected.DrawPixel(4, 1);
  expected.DrawLine(0, 10, 8, 10);
  expected.DrawRectangle(20, 20, 3, 2);
  expected.DrawCircle(50, 30, 6);
  expected.DrawNumberBox(70, 50, 12);
  expected.CopySpriteBits(*list[2], 0, 0, 1, 1, 90, 5);
  expected.DrawEllipse(30, 45, 6, 4);
  const int corners[] = {60, 5, 12, 5, 66, 3};
  expected.DrawPolygon(corners, 3);

  NXTDisplay d;
  RenderDocument(d, 0, 0, list, params);
  EXPECT_EQ(test::Joined(test::Grid(d)), test::Joined(test::Grid(expected)));
}

TEST(RenderElementTest, ElementPageShowsTheElementAloneAsEvaluatedAtItsPlace) {
  RICElementList list;
  list.Add(MakeLine(0, 0, 0, 99, 63));
  list.Add(VarMapOf(1, {{0, 0}, {100, 50}}));
  list.Add(MakeLine(0, 0, 0, 0xF100, 0));  // x2 = P0 through map 1
  TParameterSet params{};
  params[0] = 60;
  NXTDisplay d;
  d.ClearDisplay();
  RenderElement(d, *list[2], 0, 0, -1, list, params, 2);
  Points expected;
  for (int x = 0; x <= 30; ++x) expected.insert({x, 0});
  EXPECT_EQ(BlackPoints(d), expected);
  // At another place the same word finds no map.
  d.ClearDisplay();
  RenderElement(d, *list[2], 0, 0, 0, list, params);
  EXPECT_EQ(BlackPoints(d), (Points{{0, 0}}));
}

TEST(RenderElementTest, CopyBitsTakesItsSpriteFromItsOwnPlace) {
  RICElementList list;
  list.Add(OnePixelSprite(1));
  list.Add(MakeCopyBits(0, 1, 0, 0, 1, 1, 7, 7));
  TParameterSet params{};
  NXTDisplay d;
  RenderElement(d, *list[1], 0, 0, -1, list, params, 1);
  EXPECT_EQ(BlackPoints(d), (Points{{7, 7}}));
  // An element that is not in the list has no place and no sprite.
  ElementPtr loose = MakeCopyBits(0, 1, 0, 0, 1, 1, 8, 8);
  d.ClearDisplay();
  RenderElement(d, *loose, 0, 0, 1, list, params);
  EXPECT_TRUE(BlackPoints(d).empty());
}

TEST(RenderElementTest, DrawsOverTheDisplayWithTheOffset) {
  RICElementList list;
  list.Add(MakePixel(0, 1, 1));
  TParameterSet params{};
  NXTDisplay d;
  d.DrawPixel(0, 0);
  RenderElement(d, *list[0], 3, 4, 0, list, params);
  EXPECT_EQ(BlackPoints(d), (Points{{0, 0}, {4, 5}}));
}

// The whole-document render evaluates with its own table of the maps and
// sprites in scope and draws large documents last to first; both it and the
// last-to-first drawing must draw what element-by-element rendering, first
// to last with the plain lookups, draws: for
// documents that redefine ids in every order, mix every kind at every size
// (number-box grey under later copy fix-ups, copies reaching past their
// sprite, shapes far off the screen) and sit at any offset.
TEST(RenderDocumentTest, AgreesWithElementByElementRendering) {
  std::mt19937 rng(2024);
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  auto arg = [&]() -> RICArgument {
    switch (pick(6)) {
      case 0:
        return EncodeConstant(unsigned(pick(4096)));
      case 1:
        return EncodeParameter(unsigned(pick(8)));
      case 2:
        return EncodeMapped(unsigned(1 + pick(4)), unsigned(pick(8)));
      default:
        return EncodeConstant(unsigned(pick(110)));
    }
  };
  for (int doc = 0; doc < 3000; ++doc) {
    RICElementList list;
    const int n = 1 + pick(doc % 2 ? 12 : 60);
    for (int i = 0; i < n; ++i) {
      switch (pick(10)) {
        case 0: {
          ElementPtr s = MakeSprite(std::uint16_t(1 + pick(4)));
          const int left = pick(40), top = pick(20), w = 1 + pick(120), h = 1 + pick(70);
          s->Canvas.FillRect(left, top, left + w - 1, top + h - 1, pick(2) ? kBlack : kWhite);
          s->Canvas.FillRect(left + pick(w), top + pick(h), left + w - 1, top + h - 1, kBlack);
          s->Canvas.FillRect(left, top, left + pick(w), top + pick(h), kGrey);
          if (pick(8)) s->UsedArea = {left, top, left + w - 1, top + h - 1};
          list.Add(std::move(s));
          break;
        }
        case 1:
          list.Add(VarMapOf(std::uint16_t(1 + pick(4)),
                            {{0, std::uint16_t(pick(60))},
                             {std::uint16_t(1 + pick(100)), std::uint16_t(pick(100))}}));
          break;
        case 2:
          list.Add(MakeCopyBits(0, EncodeConstant(unsigned(1 + pick(4))), arg(), arg(), arg(),
                                arg(), arg(), arg()));
          break;
        case 3:
          list.Add(MakeLine(0, arg(), arg(), arg(), arg()));
          break;
        case 4:
          list.Add(MakeCircle(0, arg(), arg(), arg()));
          break;
        case 5:
          list.Add(MakeNumBox(0, arg(), arg(), arg()));
          break;
        case 6:
          list.Add(MakePixel(0, arg(), arg()));
          break;
        case 7:
          list.Add(MakeEllipse(0, arg(), arg(), arg(), arg()));
          break;
        case 8: {
          std::vector<PolygonPoint> points(std::size_t(pick(6)));
          for (PolygonPoint& p : points) p = {arg(), arg()};
          list.Add(MakePolygon(0, std::move(points)));
          break;
        }
        default:
          list.Add(MakeRectangle(0, arg(), arg(), arg(), arg()));
          break;
      }
    }
    if (doc % 2 == 0) {
      // Four copies that cover the screen but for a few pixels, which the
      // elements before them then decide alone.
      ElementPtr cover = MakeSprite(9);
      cover->Canvas.FillRect(0, 0, 127, 79, kBlack);
      cover->Canvas.FillRect(0, 0, 60, 40, kWhite);
      cover->UsedArea = {0, 0, 127, 79};
      list.Insert(0, std::move(cover));
      const unsigned x = unsigned(pick(97)), y = unsigned(pick(62)), w = unsigned(1 + pick(3)),
                     h = unsigned(1 + pick(3));
      const int at = 1 + pick(list.Count());
      list.Insert(at, MakeCopyBits(0, 9, 0, 0, 100, y, 0, 0));
      list.Insert(at, MakeCopyBits(0, 9, 0, 0, 100, 64 - y - h, 0, y + h));
      list.Insert(at, MakeCopyBits(0, 9, 0, 0, x, h, 0, y));
      list.Insert(at, MakeCopyBits(0, 9, 0, 0, 100 - x - w, h, x + w, y));
    }
    TParameterSet params{};
    for (int p = 0; p < 8; ++p) params[std::size_t(p)] = std::uint16_t(pick(p ? 120 : 65536));
    int dx = pick(5) ? pick(9) - 4 : pick(400) - 200, dy = pick(5) ? pick(9) - 4 : pick(400) - 200;
    if (doc % 2 == 0) dx = dy = 0;
    NXTDisplay whole, lastToFirst, byElement;
    RenderDocument(whole, dx, dy, list, params);
    std::vector<DrawCommand> commands;
    EvaluateDocument(list, params, commands);
    SpriteCopyCache cache;
    lastToFirst.SetDrawingOffset(dx, dy);
    DrawLastToFirst(lastToFirst, commands.data(), commands.size(), cache);
    byElement.ClearDisplay();
    for (int i = 0; i < list.Count(); ++i)
      RenderElement(byElement, *list[i], dx, dy, i, list, params);
    ASSERT_EQ(test::Joined(test::Grid(lastToFirst)), test::Joined(test::Grid(byElement)))
        << "document " << doc;
    ASSERT_TRUE(whole == byElement) << "document " << doc;
  }
}

}  // namespace
}  // namespace tavlin
