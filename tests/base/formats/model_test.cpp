// The document model: constructors and their defaults, duplication, the list
// operations, the two size computations and the zoom table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RICElement.h"
#include "RicFile.h"

namespace tavlin {
namespace {

// Every test starts with an empty document list.
class RicModelTest : public ::testing::Test {
 protected:
  RICElementList ElementList;
};

TEST_F(RicModelTest, ConstructorsAppendInOrderAndReturnTheIndex) {
  EXPECT_EQ(NewDescription(ElementList, 1, 100, 64), 0);
  EXPECT_EQ(NewSprite(ElementList, 3), 1);
  EXPECT_EQ(NewVarMap(ElementList, 2, 0), 2);
  EXPECT_EQ(NewCopyBits(ElementList, 1, 2, 3, 4, 5, 6, 7, 8), 3);
  EXPECT_EQ(NewPixel(ElementList, 1, 2, 3), 4);
  EXPECT_EQ(NewLine(ElementList, 1, 2, 3, 4, 5), 5);
  EXPECT_EQ(NewRectangle(ElementList, 1, 2, 3, 4, 5), 6);
  EXPECT_EQ(NewCircle(ElementList, 1, 2, 3, 4), 7);
  EXPECT_EQ(NewNumBox(ElementList, 1, 2, 3, 4), 8);
  ASSERT_EQ(ElementList.Count(), 9);
  for (int i = 0; i < ElementList.Count(); ++i) {
    EXPECT_EQ(int(ElementList[i]->Kind), i) << "element " << i;
    EXPECT_EQ(ElementList[i]->DataSize, 0) << "element " << i;
  }
}

TEST_F(RicModelTest, ConstructorsStoreTheirArgumentsInTheRightFields) {
  NewDescription(ElementList, 0xFFFF, 100, 64);
  NewCopyBits(ElementList, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88);
  NewPixel(ElementList, 0xF001, 0xF102, 0x0FFF);
  NewLine(ElementList, 1, 2, 3, 4, 5);
  NewRectangle(ElementList, 6, 7, 8, 9, 10);
  NewCircle(ElementList, 11, 12, 13, 14);
  NewNumBox(ElementList, 15, 16, 17, 0xF2FF);

  const TRICElement& d = *ElementList[0];
  EXPECT_EQ(d.Options, 0xFFFF);
  EXPECT_EQ(d.Width, 100);
  EXPECT_EQ(d.Height, 64);

  // The constructor takes CopyOpt first, then the sprite id.
  const TRICElement& c = *ElementList[1];
  EXPECT_EQ(c.CopyOpt, 0x11);
  EXPECT_EQ(c.SpriteID, 0x22);
  EXPECT_EQ(c.PosX, 0x33);
  EXPECT_EQ(c.PosY, 0x44);
  EXPECT_EQ(c.Width, 0x55);
  EXPECT_EQ(c.Height, 0x66);
  EXPECT_EQ(c.RelX, 0x77);
  EXPECT_EQ(c.RelY, 0x88);

  const TRICElement& p = *ElementList[2];
  EXPECT_EQ(p.CopyOpt, 0xF001);  // words are stored unchanged, never re-encoded
  EXPECT_EQ(p.PosX, 0xF102);
  EXPECT_EQ(p.PosY, 0x0FFF);

  const TRICElement& l = *ElementList[3];
  EXPECT_EQ((std::vector<int>{l.CopyOpt, l.X1, l.Y1, l.X2, l.Y2}),
            (std::vector<int>{1, 2, 3, 4, 5}));
  const TRICElement& r = *ElementList[4];
  EXPECT_EQ((std::vector<int>{r.CopyOpt, r.PosX, r.PosY, r.Width, r.Height}),
            (std::vector<int>{6, 7, 8, 9, 10}));
  const TRICElement& ci = *ElementList[5];
  EXPECT_EQ((std::vector<int>{ci.CopyOpt, ci.PosX, ci.PosY, ci.Radius}),
            (std::vector<int>{11, 12, 13, 14}));
  const TRICElement& n = *ElementList[6];
  EXPECT_EQ((std::vector<int>{n.CopyOpt, n.PosX, n.PosY, n.Value}),
            (std::vector<int>{15, 16, 17, 0xF2FF}));
}

TEST_F(RicModelTest, NewSpriteIsUnsetGreyAndCostsNoPixelMemory) {
  TRICElement& s = *ElementList[NewSprite(ElementList, 7)];
  EXPECT_EQ(s.ID, 7);
  EXPECT_EQ(s.UsedArea, kUnsetRect);
  EXPECT_FALSE(s.UsedArea.IsSet());
  EXPECT_EQ(s.MarkedArea, kUnsetRect);
  EXPECT_EQ(s.ZoomFactor, 6);
  EXPECT_EQ(s.Canvas.Background(), kGrey);
  for (auto [x, y] : {std::pair{0, 0}, {1023, 511}, {500, 300}, {1023, 0}, {0, 511}})
    EXPECT_EQ(s.Canvas.Pixel(x, y), kGrey) << x << "," << y;
  EXPECT_EQ(s.Canvas.AllocatedTiles(), 0);
}

TEST_F(RicModelTest, NewVarMapWithoutCountGetsTheTwoDefaultPoints) {
  const TRICElement& v = *ElementList[NewVarMap(ElementList, 4, 0)];
  EXPECT_EQ(v.ID, 4);
  EXPECT_EQ(v.Points, (std::vector<VarMapPoint>{{0, 0}, {99, 63}}));
}

TEST_F(RicModelTest, NewVarMapWithCountGetsThatManyZeroPoints) {
  const TRICElement& v3 = *ElementList[NewVarMap(ElementList, 1, 3)];
  EXPECT_EQ(v3.Points, (std::vector<VarMapPoint>{{0, 0}, {0, 0}, {0, 0}}));
  const TRICElement& v1 = *ElementList[NewVarMap(ElementList, 1, 1)];
  EXPECT_EQ(v1.Points, (std::vector<VarMapPoint>{{0, 0}}));
}

// --- SpriteDataSize -------------------------------------------------------

struct DataSizeCase {
  const char* name;
  TRect area;
  int bytes;
};

class RicSpriteDataSizeTest : public ::testing::TestWithParam<DataSizeCase> {};

TEST_P(RicSpriteDataSizeTest, CountsWholeBytesPerRow) {
  EXPECT_EQ(SpriteDataSize(GetParam().area), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(Areas, RicSpriteDataSizeTest,
                         ::testing::Values(DataSizeCase{"Unset", kUnsetRect, 2},
                                           // only Left decides whether an area is unset
                                           DataSizeCase{"LeftUnsetOnly", {-1, 0, 99, 63}, 2},
                                           DataSizeCase{"OneByte", {0, 0, 7, 0}, 1},
                                           DataSizeCase{"NinePixels", {0, 0, 8, 0}, 2},
                                           DataSizeCase{"OnePixel", {5, 5, 5, 5}, 1},
                                           DataSizeCase{"Display", {0, 0, 99, 63}, 64 * 13},
                                           DataSizeCase{"ThreeRowsOneByte", {0, 0, 7, 2}, 3},
                                           DataSizeCase{"Offset", {10, 20, 25, 21}, 2 * 2},
                                           DataSizeCase{
                                               "WholeCanvas", {0, 0, 1023, 511}, 512 * 128},
                                           DataSizeCase{"NoRows", {0, 0, 39, -1}, 0},
                                           DataSizeCase{"NoColumns", {0, 0, -1, 2}, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- ComputeFileSize ------------------------------------------------------

TEST_F(RicModelTest, FileSizeOfTheEmptyDocumentIsZero) {
  EXPECT_EQ(ComputeFileSize(ElementList), 0);
}

TEST_F(RicModelTest, FileSizeOfANewSpriteIsTwelve) {
  NewSprite(ElementList, 1);
  EXPECT_EQ(ComputeFileSize(ElementList), 12);
}

TEST_F(RicModelTest, FileSizeOfANewVarMapIsSixteen) {
  NewVarMap(ElementList, 1, 0);
  EXPECT_EQ(ComputeFileSize(ElementList), 16);
}

TEST_F(RicModelTest, FileSizeIsWhatTheWriterWrites) {
  NewVarMap(ElementList, 1, 1);
  ElementList[NewSprite(ElementList, 2)]->UsedArea =
      TRect{0, 0, 7, 2};  // 3 rows of 1 byte and a pad byte
  ElementList[NewSprite(ElementList, 3)]->UsedArea = TRect{0, 0, 15, 1};
  for (int points : {1, 0, 2, 5}) {
    ElementList[0]->Points.resize(std::size_t(points));
    EXPECT_EQ(std::size_t(ComputeFileSize(ElementList)), EncodeRic(ElementList).size()) << points;
  }
}

TEST_F(RicModelTest, FileSizeAddsEveryKindsBytes) {
  NewDescription(ElementList, 0, 100, 64);           // 10
  NewCopyBits(ElementList, 0, 1, 0, 0, 8, 8, 0, 0);  // 20
  NewPixel(ElementList, 0, 0, 0);                    // 12
  NewLine(ElementList, 0, 0, 0, 0, 0);               // 14
  NewRectangle(ElementList, 0, 0, 0, 0, 0);          // 14
  NewCircle(ElementList, 0, 0, 0, 0);                // 12
  NewNumBox(ElementList, 0, 0, 0, 0);                // 12
  EXPECT_EQ(ComputeFileSize(ElementList), 94);
  // Without odd sprites and short VarMaps the count is exactly the encoding's length.
  EXPECT_EQ(EncodeRic(ElementList).size(), 94u);
}

TEST_F(RicModelTest, FileSizeOfAnyListMatchesItsEncodingByteForByte) {
  RICElementList list;
  list.Add(MakeSprite(1));
  list[0]->UsedArea = TRect{0, 0, 99, 63};  // 832 bytes, even
  list.Add(MakeSprite(2));
  list[1]->UsedArea = TRect{3, 3, 3, 3};  // 1 byte, odd: one pad byte
  list.Add(MakeVarMap(1, 4));
  EXPECT_EQ(ComputeFileSize(list), (10 + 832) + (10 + 1 + 1) + (8 + 16));
  EXPECT_EQ(EncodeRic(list).size(), std::size_t(ComputeFileSize(list)));
}

// --- Duplication, release, clearing ---------------------------------------

TEST_F(RicModelTest, DuplicatedSpriteGetsZoomSixNoMarkAndTheWholeCanvas) {
  TRICElement& s = *ElementList[NewSprite(ElementList, 3)];
  s.DataSize = 77;
  s.ZoomFactor = 24;
  s.MarkedArea = TRect{1, 2, 3, 4};
  s.UsedArea = TRect{0, 0, 9, 9};
  s.Canvas.SetPixel(0, 0, kBlack);
  s.Canvas.SetPixel(1000, 500, kWhite);  // far outside the used area
  s.Canvas.SetPixel(40, 40, kPreviewRed);

  ElementPtr copy = DuplicateElement(s);
  EXPECT_EQ(copy->Kind, RICElementKind::Sprite);
  EXPECT_EQ(copy->DataSize, 77);
  EXPECT_EQ(copy->ID, 3);
  EXPECT_EQ(copy->UsedArea, (TRect{0, 0, 9, 9}));
  EXPECT_EQ(copy->MarkedArea, kUnsetRect);
  EXPECT_EQ(copy->ZoomFactor, 6);
  EXPECT_TRUE(copy->Canvas.SamePixels(s.Canvas));
  EXPECT_EQ(copy->Canvas.Pixel(1000, 500), kWhite);
  // The source keeps its own state.
  EXPECT_EQ(s.ZoomFactor, 24);
  EXPECT_EQ(s.MarkedArea, (TRect{1, 2, 3, 4}));
}

TEST_F(RicModelTest, DrawingOnADuplicatedSpriteLeavesTheSourceAlone) {
  TRICElement& s = *ElementList[NewSprite(ElementList, 1)];
  s.Canvas.SetPixel(5, 5, kBlack);
  ElementPtr copy = DuplicateElement(s);
  copy->Canvas.SetPixel(5, 5, kWhite);
  copy->Canvas.SetPixel(6, 5, kBlack);
  copy->Canvas.FillRect(100, 100, 300, 200, kBlack);
  EXPECT_EQ(s.Canvas.Pixel(5, 5), kBlack);
  EXPECT_EQ(s.Canvas.Pixel(6, 5), kGrey);
  EXPECT_EQ(s.Canvas.Pixel(150, 150), kGrey);
  // And the other way round.
  s.Canvas.SetPixel(7, 7, kBlack);
  EXPECT_EQ(copy->Canvas.Pixel(7, 7), kGrey);
}

TEST_F(RicModelTest, ChangingADuplicatedVarMapLeavesTheSourceAlone) {
  TRICElement& v = *ElementList[NewVarMap(ElementList, 2, 0)];
  ElementPtr copy = DuplicateElement(v);
  EXPECT_EQ(copy->ID, 2);
  ASSERT_EQ(copy->Points, v.Points);
  copy->Points[1] = VarMapPoint{5, 6};
  copy->Points.push_back({7, 8});
  EXPECT_EQ(v.Points, (std::vector<VarMapPoint>{{0, 0}, {99, 63}}));
}

TEST_F(RicModelTest, DuplicatedDrawingElementCopiesEveryField) {
  TRICElement& c = *ElementList[NewCopyBits(ElementList, 1, 2, 3, 4, 5, 6, 7, 8)];
  c.DataSize = 9;
  ElementPtr copy = DuplicateElement(c);
  EXPECT_EQ(copy->DataSize, 9);
  EXPECT_EQ(copy->Kind, RICElementKind::CopyBits);
  RICElementList copied, expected;
  copied.Add(std::move(copy));
  expected.Add(MakeCopyBits(1, 2, 3, 4, 5, 6, 7, 8));
  EXPECT_EQ(EncodeRic(copied), EncodeRic(expected));
  // The copy is not inserted anywhere.
  EXPECT_EQ(ElementList.Count(), 1);
}

TEST_F(RicModelTest, ClearElementsOnAnEmptyDocumentDoesNothing) {
  ClearElements(ElementList);
  EXPECT_TRUE(ElementList.Empty());
  EXPECT_EQ(ElementList.Count(), 0);
}

TEST_F(RicModelTest, ClearElementsEmptiesTheDocument) {
  NewSprite(ElementList, 1);
  NewVarMap(ElementList, 1, 0);
  NewLine(ElementList, 0, 0, 0, 1, 1);
  ClearElements(ElementList);
  EXPECT_TRUE(ElementList.Empty());
  EXPECT_EQ(ComputeFileSize(ElementList), 0);
}

// --- The list ---------------------------------------------------------------

TEST(RicElementListTest, InsertTakeAndExchangeKeepTheOrder) {
  RICElementList list;
  list.Add(MakePixel(0, 1, 0));
  list.Add(MakePixel(0, 2, 0));
  list.Insert(1, MakePixel(0, 9, 0));
  list.Insert(-5, MakePixel(0, 0, 0));   // clamped to the front
  list.Insert(100, MakePixel(0, 3, 0));  // clamped to the end
  auto xs = [&] {
    std::vector<int> v;
    for (const auto& e : list) v.push_back(e->PosX);
    return v;
  };
  EXPECT_EQ(xs(), (std::vector<int>{0, 1, 9, 2, 3}));
  ElementPtr taken = list.Take(2);
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->PosX, 9);
  EXPECT_EQ(list.Take(5), nullptr);
  EXPECT_EQ(list.Take(-1), nullptr);
  list.Exchange(0, 3);
  list.Exchange(0, 4);  // out of range: nothing happens
  EXPECT_EQ(xs(), (std::vector<int>{3, 1, 2, 0}));
  EXPECT_EQ(list.At(4), nullptr);
  EXPECT_EQ(list.At(-1), nullptr);
  EXPECT_EQ(list.At(1)->PosX, 1);
}

TEST(RicElementListTest, AppendMovesEveryElementAndEmptiesTheSource) {
  RICElementList a, b;
  a.Add(MakePixel(0, 1, 0));
  b.Add(MakePixel(0, 2, 0));
  b.Add(MakePixel(0, 3, 0));
  TRICElement* first = b[0];
  a.Append(std::move(b));
  EXPECT_EQ(a.Count(), 3);
  EXPECT_EQ(a[1], first);
  EXPECT_TRUE(b.Empty());
}

TEST(RicElementKindTest, NamesAreTheDumpNames) {
  const char* names[] = {"Description", "Sprite", "VarMap", "CopyBits", "Pixel",  "Line",
                         "Rectangle",   "Circle", "NumBox", "Ellipse",  "Polygon"};
  for (int k = 0; k < kElementKindCount; ++k) EXPECT_STREQ(KindName(RICElementKind(k)), names[k]);
}

// --- Zoom ------------------------------------------------------------------

struct ZoomCase {
  int factor;
  int index;
};

class RicZoomIndexTest : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(RicZoomIndexTest, FindsThePositionOrFallsBackToFour) {
  EXPECT_EQ(ZoomIndex(GetParam().factor), GetParam().index);
}

INSTANTIATE_TEST_SUITE_P(Factors, RicZoomIndexTest,
                         ::testing::Values(ZoomCase{1, 0}, ZoomCase{2, 1}, ZoomCase{3, 2},
                                           ZoomCase{4, 3}, ZoomCase{6, 4}, ZoomCase{8, 5},
                                           ZoomCase{12, 6}, ZoomCase{24, 7}, ZoomCase{5, 4},
                                           ZoomCase{0, 4}, ZoomCase{-6, 4}, ZoomCase{25, 4}),
                         [](const auto& info) {
                           int f = info.param.factor;
                           return (f < 0 ? "Minus" + std::to_string(-f) : std::to_string(f)) +
                                  "To" + std::to_string(info.param.index);
                         });

// --- The placeholder sprite and the element list texts ----------------------

TEST(RicUndefinedSpriteTest, IsADisplaySizedFieldAtTheBottomLeft) {
  const TRICElement UndefinedSprite = MakeUndefinedSprite(RgbOf(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(UndefinedSprite.Kind, RICElementKind::Sprite);
  EXPECT_EQ(UndefinedSprite.DataSize, 0);
  EXPECT_EQ(UndefinedSprite.ID, 0);
  EXPECT_EQ(UndefinedSprite.UsedArea, (TRect{0, 448, 99, 511}));
  EXPECT_EQ(UndefinedSprite.MarkedArea, kUnsetRect);
  EXPECT_EQ(UndefinedSprite.ZoomFactor, 4);
  EXPECT_EQ(UndefinedSprite.Canvas.Pixel(0, 0), RgbOf(0xF0, 0xF0, 0xF0));
  EXPECT_EQ(UndefinedSprite.Canvas.Pixel(99, 511), RgbOf(0xF0, 0xF0, 0xF0));
}

TEST(CopyOptionsTextTest, NamesTheBitsForTheKind) {
  using K = RICElementKind;
  const struct {
    std::uint16_t word;
    K kind;
    const char* text;
  } cases[] = {
      {0, K::Line, "black"},
      {0, K::CopyBits, "copy"},
      {0x04, K::Pixel, "white"},
      {0x04, K::NumBox, "invert"},
      {0x18, K::Rectangle, "invert"},
      {0x18, K::CopyBits, "XOR"},
      {0x0C, K::CopyBits, "invert, AND"},
      {0x30, K::NumBox, "fill, OR"},
      {0x20, K::Circle, "fill"},
      {0x420, K::Polygon, "fill, polyline"},
      {0x400, K::Ellipse, "0x400"},
      {0x13, K::Line, "0x13"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(CopyOptionsText(c.word, c.kind), c.text) << c.word << " " << KindName(c.kind);
}

struct ItemsCase {
  const char* name;
  ElementPtr (*make)();
  std::string text;
};

std::string ItemsText(const TRICElement& e) {
  std::string s;
  for (const ElementItem& item : ElementItems(e))
    s += (s.empty() ? "" : "; ") + item.Label + ": " + item.Value;
  return s;
}

class RicElementItemsTest : public ::testing::TestWithParam<ItemsCase> {};

TEST_P(RicElementItemsTest, ShowsTheLabelledValues) {
  EXPECT_EQ(ItemsText(*GetParam().make()), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RicElementItemsTest,
    ::testing::Values(
        ItemsCase{"Description", [] { return MakeDescription(0, 100, 64); },
                  "Options: 0; Size: 100/64"},
        ItemsCase{"PixelWithParameter", [] { return MakePixel(0, 10, 0xF005); },
                  "Position: 10/P[5]"},
        ItemsCase{"PixelWithMappedParameter", [] { return MakePixel(0, 10, 0xF205); },
                  "Position: 10/V[2:5]"},
        ItemsCase{"NewSprite", [] { return MakeSprite(2); }, "Sprite: 2; Size: undefined"},
        ItemsCase{"SpriteEightByTwo",
                  [] {
                    auto e = MakeSprite(1);
                    e->UsedArea = TRect{0, 0, 7, 1};
                    return e;
                  },
                  "Sprite: 1; Size: 8/2"},
        ItemsCase{"VarMapThreePoints", [] { return MakeVarMap(3, 3); }, "ID: 3; Entries: 3"},
        // Plain numbers, however their bits would read as an argument word.
        ItemsCase{"DescriptionLargeNumbers", [] { return MakeDescription(65535, 40000, 61440); },
                  "Options: 65535; Size: 40000/61440"},
        ItemsCase{"VarMapLargeId", [] { return MakeVarMap(40000, 2); }, "ID: 40000; Entries: 2"},
        ItemsCase{"CopyBits", [] { return MakeCopyBits(9, 1, 2, 3, 4, 5, 6, 0x1000); },
                  "Sprite: 1; Source: 2/3; Size: 4/5; Destination: 6/P[0]; Options: AND, 0x1"},
        ItemsCase{"Line", [] { return MakeLine(0, 1, 2, 3, 4); }, "From: 1/2; To: 3/4"},
        ItemsCase{"Rectangle", [] { return MakeRectangle(0, 1, 2, 3, 4); },
                  "Position: 1/2; Size: 3/4"},
        ItemsCase{"Circle", [] { return MakeCircle(0, 20, 20, 10); },
                  "Position: 20/20; Radius: 10"},
        ItemsCase{"NumBox", [] { return MakeNumBox(0, 1, 2, 0xF1FF); },
                  "Position: 1/2; Number: V[1:255]"},
        ItemsCase{"EllipseFilledWhite", [] { return MakeEllipse(0x24, 50, 30, 20, 0xF003); },
                  "Position: 50/30; Radii: 20/P[3]; Options: fill, white"},
        ItemsCase{"PolygonOptionsFromAParameter",
                  [] {
                    return MakePolygon(0xF002, {{1, 2}, {3, 4}, {5, 6}});
                  },
                  "Points: 3; Options: P[2]"},
        ItemsCase{"NumBoxXor", [] { return MakeNumBox(0x38, 1, 2, 3); },
                  "Position: 1/2; Number: 3; Options: fill, XOR"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavlin
