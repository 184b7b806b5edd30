// The RIC binary file: exact bytes written, what the reader makes of good,
// odd and cut-short input, the three real files, reading into the document
// (open and merge), and saving that refuses or fails without damage.
#include <gtest/gtest.h>

#include "ByteFiles.h"

#include "FileSizeLimit.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FileIO.h"
#include "RICElement.h"
#include "RicFile.h"

namespace tavlin {
namespace {

namespace fs = std::filesystem;
using tavlin::test::Bytes;

// "08 00 0A 00" -> bytes.
Bytes Hex(const std::string& text) {
  Bytes out;
  std::string digits;
  for (char ch : text)
    if (std::isxdigit(static_cast<unsigned char>(ch))) digits += ch;
  for (std::size_t i = 0; i + 1 < digits.size(); i += 2)
    out.push_back(std::uint8_t(std::stoi(digits.substr(i, 2), nullptr, 16)));
  return out;
}

std::string ToHex(const Bytes& bytes) {
  std::string s;
  char buf[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
    s += buf;
  }
  return s;
}

// Decodes from a heap block of exactly the data's size, so that a read past
// its end is caught by the address sanitizer.
RICElementList Decode(const Bytes& bytes, std::vector<std::string>* notes = nullptr) {
  std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[std::max<std::size_t>(bytes.size(), 1)]);
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return DecodeRic(bytes.empty() ? nullptr : exact.get(), bytes.size(), notes);
}

// What the reader passed over, one note after the other.
std::string Notes(const Bytes& bytes) {
  std::vector<std::string> notes;
  Decode(bytes, &notes);
  std::string s;
  for (const std::string& note : notes) s += (s.empty() ? "" : " | ") + note;
  return s;
}

std::string SpriteRows(const TRICElement& e) {
  std::string s;
  const TRect& a = e.UsedArea;
  for (int y = a.Top; y <= a.Bottom; ++y) {
    s += y == a.Top ? "" : "/";
    for (int x = a.Left; x <= a.Right; ++x) {
      Rgb c = e.Canvas.Pixel(x, y);
      s += c == kBlack ? '1' : c == kWhite ? '0' : c == kGrey ? '.' : '?';
    }
  }
  return s;
}

// One line per element with every field that the file stores; sprites
// show their pixels when small.
std::string Summary(const RICElementList& list) {
  std::string s;
  auto num = [&](long v) { s += " " + std::to_string(v); };
  for (const auto& ep : list) {
    const TRICElement& e = *ep;
    if (!s.empty()) s += "; ";
    s += KindName(e.Kind);
    switch (e.Kind) {
      case RICElementKind::Description:
        num(e.Options), num(e.Width), num(e.Height);
        break;
      case RICElementKind::Sprite: {
        num(e.ID);
        const TRect& a = e.UsedArea;
        s += " [" + std::to_string(a.Left) + "," + std::to_string(a.Top) + "," +
             std::to_string(a.Right) + "," + std::to_string(a.Bottom) + "]";
        long pixels = long(a.Right - a.Left + 1) * (a.Bottom - a.Top + 1);
        if (a.IsSet() && pixels > 0 && pixels <= 64) s += " " + SpriteRows(e);
        if (e.MarkedArea.IsSet()) s += " marked";
        if (e.ZoomFactor != 6) s += " zoom" + std::to_string(e.ZoomFactor);
        break;
      }
      case RICElementKind::VarMap:
        num(e.ID);
        for (const auto& p : e.Points)
          s += " (" + std::to_string(p.Domain) + "," + std::to_string(p.Range) + ")";
        break;
      case RICElementKind::CopyBits:
        for (int v : {e.CopyOpt, e.SpriteID, e.PosX, e.PosY, e.Width, e.Height, e.RelX, e.RelY})
          num(v);
        break;
      case RICElementKind::Pixel:
        num(e.CopyOpt), num(e.PosX), num(e.PosY);
        break;
      case RICElementKind::Line:
        num(e.CopyOpt), num(e.X1), num(e.Y1), num(e.X2), num(e.Y2);
        break;
      case RICElementKind::Rectangle:
        num(e.CopyOpt), num(e.PosX), num(e.PosY), num(e.Width), num(e.Height);
        break;
      case RICElementKind::Circle:
        num(e.CopyOpt), num(e.PosX), num(e.PosY), num(e.Radius);
        break;
      case RICElementKind::NumBox:
        num(e.CopyOpt), num(e.PosX), num(e.PosY), num(e.Value);
        break;
      case RICElementKind::Ellipse:
        num(e.CopyOpt), num(e.PosX), num(e.PosY), num(e.RadiusX), num(e.RadiusY);
        break;
      case RICElementKind::Polygon:
        num(e.CopyOpt);
        if (e.PolygonCount) s += " count" + std::to_string(*e.PolygonCount);
        for (const auto& p : e.PolygonPoints)
          s += " (" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")";
        break;
    }
    if (!e.ExtraBytes.empty()) s += " +" + std::to_string(e.ExtraBytes.size()) + "bytes";
    if (e.CutSize != 0) s += " cut" + std::to_string(e.CutSize);
    if (e.DataSize != 0) s += " datasize";
  }
  return s;
}

using tavlin::test::ReadBytes;
using tavlin::test::WriteBytes;

std::string DataFile(const std::string& name) { return std::string(TAVLIN_TEST_DATA) + "/" + name; }

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavlin-ric-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

// Every test starts with an empty document list.
class RicFileTest : public ::testing::Test {
 protected:
  RICElementList ElementList;
  TempFolder dir_;
};

// --- Writing: the exact bytes --------------------------------------------------

struct EncodeCase {
  const char* name;
  std::function<RICElementList()> build;
  std::string hex;
};

class RicEncodeTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(RicEncodeTest, WritesTheseBytes) {
  EXPECT_EQ(ToHex(EncodeRic(GetParam().build())), ToHex(Hex(GetParam().hex)));
}

RICElementList ListOf(std::vector<ElementPtr> elements) {
  RICElementList list;
  for (auto& e : elements) list.Add(std::move(e));
  return list;
}

RICElementList One(ElementPtr e) {
  RICElementList list;
  list.Add(std::move(e));
  return list;
}

RICElementList SpriteWith(std::uint16_t id, TRect area,
                          std::vector<std::pair<std::pair<int, int>, Rgb>> pixels) {
  ElementPtr e = MakeSprite(id);
  e->UsedArea = area;
  for (auto [at, colour] : pixels) e->Canvas.SetPixel(at.first, at.second, colour);
  return One(std::move(e));
}

INSTANTIATE_TEST_SUITE_P(
    Documents, RicEncodeTest,
    ::testing::Values(
        EncodeCase{"Empty", [] { return RICElementList(); }, ""},
        EncodeCase{"DescriptionAndLine",
                   [] {
                     std::vector<ElementPtr> v;
                     v.push_back(MakeDescription(0, 100, 64));
                     v.push_back(MakeLine(0, 0, 0, 10, 10));
                     return ListOf(std::move(v));
                   },
                   "08 00 00 00 00 00 64 00 40 00 0C 00 05 00 00 00 00 00 00 00 0A 00 0A 00"},
        EncodeCase{"DefaultPixel", [] { return One(MakePixel(0, 0, 0)); },
                   "0A 00 04 00 00 00 00 00 00 00 00 00"},
        EncodeCase{"PixelValueWordIsZero", [] { return One(MakePixel(0xF001, 0x1234, 0xABCD)); },
                   "0A 00 04 00 01 F0 34 12 CD AB 00 00"},
        EncodeCase{"SpriteTenByTwo",
                   [] {
                     return SpriteWith(1, {0, 0, 9, 1}, {{{0, 0}, kBlack}, {{9, 1}, kBlack}});
                   },
                   "0C 00 01 00 01 00 02 00 02 00 80 00 00 40"},
        EncodeCase{"SpriteThreeRowsOneByteGetsAPadByte",
                   [] {
                     return SpriteWith(2, {0, 0, 7, 2},
                                       {{{0, 0}, kBlack}, {{7, 1}, kBlack}, {{3, 2}, kWhite}});
                   },
                   "0C 00 01 00 02 00 03 00 01 00 80 01 00 00"},
        EncodeCase{"SpriteOnlyExactBlackIsSet",
                   [] {
                     return SpriteWith(3, {20, 30, 27, 30},
                                       {{{20, 30}, kBlack},
                                        {{21, 30}, kPreviewRed},
                                        {{22, 30}, RgbOf(1, 1, 1)},
                                        {{23, 30}, kWhite},
                                        {{27, 30}, kBlack},
                                        {{20, 29}, kBlack},
                                        {{28, 30}, kBlack}});
                   },
                   "0A 00 01 00 03 00 01 00 01 00 81 00"},
        EncodeCase{"SpriteNotAtTheOrigin",
                   [] {
                     return SpriteWith(4, {100, 200, 111, 201},
                                       {{{100, 200}, kBlack}, {{111, 201}, kBlack}});
                   },
                   "0C 00 01 00 04 00 02 00 02 00 80 00 00 10"},
        EncodeCase{"SpriteUnsetIsOneClearByte", [] { return One(MakeSprite(5)); },
                   "0A 00 01 00 05 00 01 00 01 00 00 00"},
        // Only the left bound says whether an area is set, here as everywhere.
        EncodeCase{"SpriteWithOnlyLeftUnsetIsOneClearByte",
                   [] {
                     return SpriteWith(5, {-1, 0, 99, 63}, {{{0, 0}, kBlack}});
                   },
                   "0A 00 01 00 05 00 01 00 01 00 00 00"},
        EncodeCase{
            "SpriteReachingPastTheRightEdge",
            [] {
              return SpriteWith(6, {1020, 0, 1031, 0}, {{{1020, 0}, kBlack}, {{1023, 0}, kBlack}});
            },
            "0A 00 01 00 06 00 01 00 02 00 90 00"},
        // A used area without pixel bytes: the size word counts the zero word after it.
        EncodeCase{"SpriteWithoutRows",
                   [] {
                     return SpriteWith(7, {0, 0, 39, -1}, {});
                   },
                   "0A 00 01 00 07 00 00 00 05 00 00 00"},
        EncodeCase{"SpriteWithoutColumns",
                   [] {
                     return SpriteWith(8, {0, 0, -1, 2}, {});
                   },
                   "0A 00 01 00 08 00 03 00 00 00 00 00"},
        EncodeCase{"VarMapTwoPoints", [] { return One(MakeVarMap(1, 0)); },
                   "0E 00 02 00 01 00 02 00 00 00 00 00 63 00 3F 00"},
        EncodeCase{"VarMapOnePoint",
                   [] {
                     auto e = MakeVarMap(9, 1);
                     e->Points[0] = {0x1234, 0xFFFF};
                     return One(std::move(e));
                   },
                   "0A 00 02 00 09 00 01 00 34 12 FF FF"},
        EncodeCase{"VarMapWithoutPoints",
                   [] {
                     auto e = MakeVarMap(2, 0);
                     e->Points.clear();
                     return One(std::move(e));
                   },
                   "0E 00 02 00 02 00 00 00 00 00 00 00 00 00 00 00"},
        EncodeCase{"CopyBitsPutsCopyOptFirst",
                   [] { return One(MakeCopyBits(0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88)); },
                   "12 00 03 00 11 00 22 00 33 00 44 00 55 00 66 00 77 00 88 00"},
        EncodeCase{"Rectangle", [] { return One(MakeRectangle(1, 2, 3, 4, 5)); },
                   "0C 00 06 00 01 00 02 00 03 00 04 00 05 00"},
        EncodeCase{"Circle", [] { return One(MakeCircle(0, 20, 20, 10)); },
                   "0A 00 07 00 00 00 14 00 14 00 0A 00"},
        EncodeCase{"NumBoxKeepsTagOneWords", [] { return One(MakeNumBox(0, 1, 2, 0x1005)); },
                   "0A 00 08 00 00 00 01 00 02 00 05 10"},
        EncodeCase{"DescriptionPlainNumbers",
                   [] { return One(MakeDescription(0xFFFF, 0x1000, 7)); },
                   "08 00 00 00 FF FF 00 10 07 00"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Reading: what the bytes become ---------------------------------------------

struct DecodeCase {
  const char* name;
  std::string hex;
  std::string summary;
  std::string notes = "";  // what the reader passed over
};

class RicDecodeTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(RicDecodeTest, ReadsTheseElements) {
  EXPECT_EQ(Summary(Decode(Hex(GetParam().hex))), GetParam().summary);
  EXPECT_EQ(Notes(Hex(GetParam().hex)), GetParam().notes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, RicDecodeTest,
    ::testing::Values(
        DecodeCase{"Empty", "", ""},
        DecodeCase{"DescriptionAndLine",
                   "08 00 00 00 00 00 64 00 40 00 0C 00 05 00 00 00 00 00 00 00 0A 00 0A 00",
                   "Description 0 100 64; Line 0 0 0 10 10"},
        DecodeCase{"DefaultPixelIsOnePixelOnly", "0A 00 04 00 00 00 00 00 00 00 00 00",
                   "Pixel 0 0 0"},
        DecodeCase{"ZeroSizeWordsAreSkipped",
                   "00 00 00 00 00 00 0A 00 04 00 01 00 02 00 03 00 00 00 00 00", "Pixel 1 2 3",
                   "bytes 0 to 5: 3 zero size words skipped | "
                   "bytes 18 to 19: a zero size word skipped"},
        // The Pixel's size word reaches past the Polygon after it: the zero
        // word after the Polygon is still noted, as is one after an unknown opcode.
        DecodeCase{"ZeroSizeWordAfterAnElementInsideAnEarlierOnesSize",
                   "14 00 04 00 01 00 02 00 03 00 06 00 0A 00 00 00 00 00 00 00",
                   "Pixel 1 2 3; Polygon 0", "bytes 18 to 19: a zero size word skipped"},
        DecodeCase{"ZeroSizeWordAfterAnUnknownOpcode",
                   "08 00 0B 00 00 00 0A 00 07 00 00 00 14 00 14 00 0A 00", "Circle 0 20 20 10",
                   "bytes 0 to 5: unknown opcode 11 and a zero size word skipped"},
        DecodeCase{"UnknownOpcodeIsSkippedAndItsFieldsReadAsWords",
                   "04 00 0B 00 0A 00 04 00 01 00 02 00 03 00 00 00", "Pixel 1 2 3",
                   "bytes 0 to 3: unknown opcode 11 skipped"},
        DecodeCase{"EllipseKeepsTheElementsAfterItInStep",
                   "0C 00 09 00 20 00 32 00 1E 00 14 00 0A 00 0A 00 04 00 01 00 02 00 03 00",
                   "Ellipse 32 50 30 20 10; Pixel 1 2 3"},
        DecodeCase{"PolygonPointsByItsCountWord",
                   "12 00 0A 00 00 04 03 00 0A 00 0B 00 28 00 0A 00 19 00 00 F1 "
                   "0A 00 04 00 01 00 02 00 03 00",
                   "Polygon 1024 (10,11) (40,10) (25,61696); Pixel 1 2 3"},
        DecodeCase{"PolygonCountBeyondItsRoomIsKept",
                   "0E 00 0A 00 00 00 09 00 01 00 02 00 03 00 04 00",
                   "Polygon 0 count9 (1,2) (3,4)"},
        DecodeCase{"LongAndOddSizeWordsKeepTheirBytes",
                   "0F 00 09 00 01 00 02 00 03 00 04 00 05 00 AA BB CC "
                   "09 00 0A 00 01 00 00 00 AA BB CC",
                   "Ellipse 1 2 3 4 5 +3bytes; Polygon 1 +3bytes"},
        DecodeCase{"ShortSizeWordsReadWhatTheyHold",
                   "07 00 09 00 01 00 02 00 03 04 00 0A 00 01 00 "
                   "02 00 09 00 0A 00 04 00 01 00 02 00 03 00",
                   "Ellipse 1 2 3 0 0 cut7; Polygon 1 cut4; Ellipse 0 0 0 0 0 cut2; Pixel 1 2 3"},
        DecodeCase{"CutEllipse", "0C 00 09 00 01 00 02 00 03 00 04 00 05", "",
                   "bytes 0 to 12: the file ends inside element 1, an Ellipse, which was left out"},
        DecodeCase{"HighOpcodeIsSkipped", "FF FF FF FF 0A 00 07 00 00 00 14 00 14 00 0A 00",
                   "Circle 0 20 20 10", "bytes 0 to 3: unknown opcode 65535 skipped"},
        DecodeCase{"SkippedWordsInARowAreOneNote",
                   "00 00 04 00 0B 00 FF 00 FF 00 00 00 0A 00 07 00 00 00 14 00 14 00 0A 00",
                   "Circle 0 20 20 10",
                   "bytes 0 to 11: 2 unknown opcodes and 2 zero size words skipped"},
        DecodeCase{"SizeWordNeverStepsOverAnything",
                   "02 00 00 00 01 00 02 00 03 00 FE FF 07 00 00 00 01 00 01 00 02 00",
                   "Description 1 2 3; Circle 0 1 1 2"},
        // A value word that is not zero is taken as the next size word, and the
        // words after it fall out of step.
        DecodeCase{"PixelValueWordThrowsTheReaderOutOfStep",
                   "0A 00 04 00 00 00 01 00 02 00 05 00 0C 00 05 00 00 00 14 00 14 00 0A 00 0A 00",
                   "Pixel 0 1 2; Description 20 20 10",
                   "bytes 10 to 13: unknown opcode 12 skipped | "
                   "bytes 24 to 25: 2 bytes after the last element not read"},
        DecodeCase{"SpriteTenByTwoWidensToWholeBytes", "0C 00 01 00 01 00 02 00 02 00 80 00 00 40",
                   "Sprite 1 [0,0,15,1] 1000000000000000/0000000001000000"},
        DecodeCase{"SpriteBitSevenIsLeftmost", "0A 00 01 00 02 00 01 00 01 00 A5 00",
                   "Sprite 2 [0,0,7,0] 10100101"},
        DecodeCase{"SpritePadByteIsSkippedWhateverItHolds",
                   "0A 00 01 00 02 00 01 00 01 00 01 07 0A 00 07 00 00 00 01 00 01 00 02 00",
                   "Sprite 2 [0,0,7,0] 00000001; Circle 0 1 1 2"},
        DecodeCase{"SpriteThreeRowsAndPad",
                   "0C 00 01 00 03 00 03 00 01 00 FF 00 81 00 08 00 04 00 01 00 02 00 03 00",
                   "Sprite 3 [0,0,7,2] 11111111/00000000/10000001; Pixel 1 2 3"},
        DecodeCase{"SpriteWithoutRows",
                   "0A 00 01 00 04 00 00 00 05 00 00 00 0A 00 04 00 01 00 02 00 03 00",
                   "Sprite 4 [0,0,39,-1]; Pixel 1 2 3"},
        DecodeCase{"SpriteWithoutColumns",
                   "0A 00 01 00 04 00 03 00 00 00 00 00 0A 00 04 00 01 00 02 00 03 00",
                   "Sprite 4 [0,0,-1,2]; Pixel 1 2 3"},
        DecodeCase{"VarMapPoints", "12 00 02 00 05 00 03 00 00 00 00 00 32 00 10 00 FF FF 01 00",
                   "VarMap 5 (0,0) (50,16) (65535,1)"},
        DecodeCase{"VarMapWithoutPointsKeepsTheDefaults",
                   "0E 00 02 00 01 00 00 00 00 00 00 00 00 00 00 00 0A 00 04 00 01 00 02 00 03 00",
                   "VarMap 1 (0,0) (99,63); Pixel 1 2 3"},
        DecodeCase{"CopyBitsFieldsInFileOrder",
                   "12 00 03 00 11 00 22 00 33 00 44 00 55 00 66 00 77 00 88 00",
                   "CopyBits 17 34 51 68 85 102 119 136"},
        DecodeCase{"EveryDrawingKind",
                   "0C 00 05 00 01 00 02 00 03 00 04 00 05 00 "
                   "0C 00 06 00 06 00 07 00 08 00 09 00 0A 00 "
                   "0A 00 07 00 0B 00 0C 00 0D 00 0E 00 "
                   "0A 00 08 00 0F 00 10 00 11 00 12 00",
                   "Line 1 2 3 4 5; Rectangle 6 7 8 9 10; Circle 11 12 13 14; NumBox 15 16 17 18"},
        DecodeCase{"ArgumentWordsStayRaw", "0A 00 08 00 34 12 05 10 FF FF 00 F2",
                   "NumBox 4660 4101 65535 61952"},
        DecodeCase{"OddTrailingByteIsIgnored", "0A 00 04 00 00 00 01 00 02 00 00 00 07",
                   "Pixel 0 1 2", "byte 12: 1 byte after the last element not read"},
        DecodeCase{"LoneSizeWordAtTheEnd", "0A 00 04 00 00 00 01 00 02 00 00 00 0A 00",
                   "Pixel 0 1 2", "bytes 12 to 13: 2 bytes after the last element not read"},
        DecodeCase{"CutLine", "0A 00 04 00 00 00 01 00 02 00 00 00 0C 00 05 00 01 00 02",
                   "Pixel 0 1 2",
                   "bytes 12 to 18: the file ends inside element 2, a Line, which was left out"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- Reading sprites larger than the canvas ---------------------------------------

TEST(RicSpriteDecodeTest, WideSpriteIsPaintedUpToTheEdgeAndItsAreaClamped) {
  // 2 rows of 200 bytes: 1600 pixels per row, of which 1024 fit.
  Bytes file = Hex("FF FF 01 00 09 00 02 00 C8 00");
  for (int r = 0; r < 2; ++r)
    for (int k = 0; k < 200; ++k) file.push_back(k == 127 ? 0x01 : k == 128 ? 0xFF : 0x00);
  file.insert(file.end(), {0x0A, 0x00, 0x07, 0x00, 0, 0, 1, 0, 1, 0, 2, 0});
  RICElementList list = Decode(file);
  ASSERT_EQ(list.Count(), 2);
  const TRICElement& s = *list[0];
  EXPECT_EQ(s.UsedArea, (TRect{0, 0, 1023, 1}));
  EXPECT_EQ(s.Canvas.Pixel(1023, 0), kBlack);  // bit 0 of byte 127
  EXPECT_EQ(s.Canvas.Pixel(1022, 1), kWhite);
  EXPECT_EQ(s.Canvas.Pixel(0, 2), kGrey);
  EXPECT_EQ(s.Canvas.AllocatedTiles(), SpriteCanvas::kTilesX);
  EXPECT_EQ(Summary(list).substr(Summary(list).find(';')), "; Circle 0 1 1 2");
}

TEST(RicSpriteDecodeTest, TallSpriteIsPaintedUpToTheBottomAndItsAreaClamped) {
  Bytes file = Hex("FF FF 01 00 01 00 58 02 01 00");  // 600 rows of 1 byte
  for (int r = 0; r < 600; ++r) file.push_back(r == 511 ? 0x80 : r == 512 ? 0xFF : 0x00);
  RICElementList list = Decode(file);
  ASSERT_EQ(list.Count(), 1);
  const TRICElement& s = *list[0];
  EXPECT_EQ(s.UsedArea, (TRect{0, 0, 7, 511}));
  EXPECT_EQ(s.Canvas.Pixel(0, 511), kBlack);
  EXPECT_EQ(s.Canvas.Pixel(1, 511), kWhite);
  // Written again it holds what fits: 512 rows.
  Bytes again = EncodeRic(list);
  EXPECT_EQ(ToHex(Bytes(again.begin(), again.begin() + 10)),
            ToHex(Hex("08 02 01 00 01 00 00 02 01 00")));
  EXPECT_EQ(again.size(), 10u + 512u);
}

TEST(RicSpriteDecodeTest, ReadSpriteLandsTopLeftWithGreyAroundIt) {
  RICElementList list = Decode(Hex("0C 00 01 00 01 00 02 00 02 00 80 00 00 40"));
  ASSERT_EQ(list.Count(), 1);
  const TRICElement& s = *list[0];
  EXPECT_EQ(s.MarkedArea, kUnsetRect);
  EXPECT_EQ(s.ZoomFactor, 6);
  EXPECT_EQ(s.DataSize, 0);
  EXPECT_EQ(s.Canvas.Pixel(16, 0), kGrey);
  EXPECT_EQ(s.Canvas.Pixel(0, 2), kGrey);
  EXPECT_EQ(s.Canvas.Pixel(15, 1), kWhite);  // a pad bit inside the used area
}

TEST(RicSpriteDecodeTest, HugeHeaderWithoutItsBytesIsDroppedWithoutAllocating) {
  // 65535 x 65535 announced, 8 bytes present.
  RICElementList list =
      Decode(Hex("0A 00 04 00 01 00 02 00 03 00 00 00 FF FF 01 00 01 00 FF FF FF FF 11 22 33 44"
                 " 55 66 77 88"));
  EXPECT_EQ(Summary(list), "Pixel 1 2 3");
}

// Every skipped place is a note up to a limit; the rest are only counted.
TEST(RicNotesTest, ManySkippedPlacesGiveALimitedNumberOfNotes) {
  Bytes file;
  for (int i = 0; i < 100; ++i)
    for (std::uint8_t b : Hex("04 00 0B 00 0A 00 04 00 01 00 02 00 03 00 00 00")) file.push_back(b);
  std::vector<std::string> notes;
  EXPECT_EQ(Decode(file, &notes).Count(), 100);
  ASSERT_EQ(notes.size(), kMaxReadNotes + 1);
  EXPECT_EQ(notes[1], "bytes 16 to 19: unknown opcode 11 skipped");
  EXPECT_EQ(notes.back(), "and " + std::to_string(100 - kMaxReadNotes) + " more places");
}

// How many bytes the reader passed over, whether notes are asked for or not,
// and beyond the limit on notes; the bytes past the largest file count too.
TEST(RicNotesTest, PassedOverBytesAreCounted) {
  const struct {
    const char* hex;
    std::size_t passed;
  } cases[] = {
      {"0A 00 04 00 01 00 02 00 03 00 00 00", 0},                 // a Pixel and its own zero word
      {"00 00 0A 00 04 00 01 00 02 00 03 00 00 00", 2},           // a zero size word before it
      {"04 00 0B 00", 4},                                         // an unknown opcode
      {"0A 00 04 00 01 00 02 00 03 00 00 00 41", 1},              // a trailing byte
      {"0A 00 04 00 01 00 02 00 03 00 00 00 0C 00 05 00 01", 5},  // a cut Line
      {"74 77 6F 20 6C 69 6E 65 73 0A", 10},                      // text
  };
  for (const auto& c : cases) {
    std::size_t withNotes = 99, without = 99;
    std::vector<std::string> notes;
    DecodeRic(Hex(c.hex).data(), Hex(c.hex).size(), &notes, &withNotes);
    DecodeRic(Hex(c.hex).data(), Hex(c.hex).size(), nullptr, &without);
    EXPECT_EQ(withNotes, c.passed) << c.hex;
    EXPECT_EQ(without, c.passed) << c.hex;
  }
  Bytes many;
  for (int i = 0; i < 100; ++i)
    for (std::uint8_t b : Hex("04 00 0B 00")) many.push_back(b);
  std::size_t passed = 0;
  DecodeRic(many.data(), many.size(), nullptr, &passed);
  EXPECT_EQ(passed, many.size());
  const fs::path big =
      fs::temp_directory_path() / ("tavlin-big-" + std::to_string(::getpid()) + ".ric");
  std::ofstream(big, std::ios::binary) << std::string(kRicBufferSize + 10, '\0');
  passed = 0;
  LoadRicFile(big.string(), nullptr, &passed);
  fs::remove(big);
  EXPECT_EQ(passed, kRicBufferSize + 10);
}

// --- Reading files that end inside an element --------------------------------

struct CutCase {
  const char* name;
  std::function<ElementPtr()> make;
  std::size_t needed;  // bytes the reader consumes for the element
};

class RicCutShortTest : public ::testing::TestWithParam<CutCase> {};

// Cut anywhere, the Description before it stays and the cut element is
// dropped; once its words are all there it is read whole.
TEST_P(RicCutShortTest, KeepsTheElementsBeforeTheCut) {
  RICElementList full;
  full.Add(MakeDescription(1, 2, 3));
  full.Add(GetParam().make());
  Bytes bytes = EncodeRic(full);
  std::string whole = Summary(Decode(bytes));
  ASSERT_EQ(whole.rfind("Description 1 2 3; ", 0), 0u) << whole;
  for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
    Bytes part(bytes.begin(), bytes.begin() + long(cut));
    std::string got = Summary(Decode(part));
    std::string expected = cut < 10                       ? ""
                           : cut < 10 + GetParam().needed ? "Description 1 2 3"
                                                          : whole;
    EXPECT_EQ(got, expected) << "cut after " << cut << " bytes";
    // A cut inside a header or an element is noted, a cut between elements not.
    EXPECT_EQ(Notes(part).empty(), cut == 0 || cut == 10 || cut >= 10 + GetParam().needed)
        << "cut after " << cut << " bytes";
  }
}

ElementPtr OddSprite() {
  ElementPtr e = MakeSprite(1);
  e->UsedArea = TRect{0, 0, 7, 2};
  e->Canvas.FillRect(0, 0, 7, 2, kBlack);
  return e;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, RicCutShortTest,
    ::testing::Values(CutCase{"Description", [] { return MakeDescription(4, 5, 6); }, 10},
                      CutCase{"SpriteBeforeItsPadByte", OddSprite, 10 + 3},
                      CutCase{"VarMap", [] { return MakeVarMap(1, 0); }, 16},
                      CutCase{"VarMapThreePoints", [] { return MakeVarMap(1, 3); }, 8 + 12},
                      CutCase{"CopyBits", [] { return MakeCopyBits(1, 2, 3, 4, 5, 6, 7, 8); }, 20},
                      CutCase{"PixelWithoutItsValueWord", [] { return MakePixel(1, 2, 3); }, 10},
                      CutCase{"Line", [] { return MakeLine(1, 2, 3, 4, 5); }, 14},
                      CutCase{"Rectangle", [] { return MakeRectangle(1, 2, 3, 4, 5); }, 14},
                      CutCase{"Circle", [] { return MakeCircle(1, 2, 3, 4); }, 12},
                      CutCase{"NumBox", [] { return MakeNumBox(1, 2, 3, 4); }, 12},
                      CutCase{"Ellipse", [] { return MakeEllipse(1, 2, 3, 4, 5); }, 14},
                      CutCase{"Polygon",
                              [] {
                                return MakePolygon(1, {{2, 3}, {4, 5}, {6, 7}});
                              },
                              20}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RicCutShortTest, VarMapWithoutItsPointsIsDropped) {
  // count 0x4000 announced, two points present
  EXPECT_EQ(Summary(Decode(Hex("0A 00 04 00 01 00 02 00 03 00 00 00 "
                               "0E 00 02 00 01 00 00 40 01 00 02 00 03 00 04 00"))),
            "Pixel 1 2 3");
}

// --- Round trips ------------------------------------------------------------------

RICElementList EveryKind() {
  RICElementList list;
  list.Add(MakeDescription(0, 100, 64));
  ElementPtr s = MakeSprite(1);
  s->UsedArea = TRect{10, 10, 26, 12};  // 17 x 3: 9 bytes, not at the origin
  s->Canvas.FillRect(10, 10, 26, 12, kWhite);
  s->Canvas.FillRect(12, 11, 18, 11, kBlack);
  s->Canvas.SetPixel(26, 12, kBlack);
  s->ZoomFactor = 24;
  s->MarkedArea = TRect{11, 11, 12, 12};
  s->DataSize = 55;
  list.Add(std::move(s));
  list.Add(MakeSprite(2));  // unset used area
  ElementPtr v = MakeVarMap(1, 3);
  v->Points = {{0, 0}, {50, 10}, {100, 99}};
  list.Add(std::move(v));
  ElementPtr one = MakeVarMap(2, 1);
  one->Points[0] = {7, 7};
  list.Add(std::move(one));
  list.Add(MakeCopyBits(0, 1, 0, 0, 11, 5, 0xF001, 0xF102));
  list.Add(MakePixel(0, 5, 5));
  list.Add(MakeLine(0, 0, 0, 99, 63));
  list.Add(MakeRectangle(0x1000, 1, 2, 3, 4));
  list.Add(MakeCircle(0, 50, 32, 0xF0FF));
  list.Add(MakeNumBox(0, 0, 0, 0x1234));
  list.Add(MakeEllipse(0x20, 50, 32, 0xF001, 9));
  list.Add(MakePolygon(0x400, {{1, 2}, {3, 0xF104}, {5, 6}, {7, 8}}));
  return list;
}

TEST(RicRoundTripTest, WrittenFileReadAndWrittenAgainGivesTheSameBytes) {
  Bytes first = EncodeRic(EveryKind());
  RICElementList read = Decode(first);
  EXPECT_EQ(read.Count(), EveryKind().Count());
  EXPECT_EQ(Notes(first), "");
  EXPECT_EQ(ToHex(EncodeRic(read)), ToHex(first));
  EXPECT_EQ(std::size_t(ComputeFileSize(EveryKind())), first.size());
}

// The enhanced firmware's shapes come back byte for byte whatever their size
// and count words say, and so do the elements after an odd one.
TEST(RicRoundTripTest, EllipsesAndPolygonsKeepTheirBytes) {
  for (const char* hex : {
           "0C 00 09 00 20 00 32 00 1E 00 14 00 0A 00",
           "12 00 0A 00 00 04 03 00 0A 00 0B 00 28 00 0A 00 19 00 00 F1",
           "0E 00 0A 00 00 00 09 00 01 00 02 00 03 00 04 00",
           "0F 00 09 00 01 00 02 00 03 00 04 00 05 00 AA BB CC "  // odd, then a sprite
           "0A 00 01 00 02 00 01 00 01 00 A5 00",
           "09 00 0A 00 01 00 00 00 AA BB CC",
           "07 00 09 00 01 00 02 00 03 04 00 0A 00 01 00 02 00 09 00 05 00 0A 00 00 00 07",
       }) {
    const Bytes file = Hex(hex);
    EXPECT_EQ(ToHex(EncodeRic(Decode(file))), ToHex(file)) << hex;
    EXPECT_EQ(std::size_t(ComputeFileSize(Decode(file))), file.size()) << hex;
  }
  // Once its cut-off words are set, a short element is written whole.
  RICElementList list = Decode(Hex("06 00 09 00 01 00 02 00"));
  list[0]->RadiusY = 7;
  EXPECT_EQ(ToHex(EncodeRic(list)), ToHex(Hex("0C 00 09 00 01 00 02 00 00 00 00 00 07 00")));
}

// A file from elsewhere need not come back byte for byte: the unknown
// opcode goes, the pad byte becomes 0, the zero words are dropped; after
// one write it is stable.
TEST(RicRoundTripTest, AFileFromElsewhereSettlesAfterOneWrite) {
  Bytes elsewhere =
      Hex("04 00 0B 00 00 00 "                          // opcode 11, then a zero word
          "0A 00 01 00 02 00 01 00 01 00 01 07 "        // sprite with pad byte 07
          "0A 00 04 00 00 00 01 00 02 00 00 00 00 00 "  // Pixel, value word, a zero word
          "0A 00 07 00 00 00 14 00 14 00 0A 00");       // Circle
  Bytes once = EncodeRic(Decode(elsewhere));
  EXPECT_EQ(ToHex(once), ToHex(Hex("0A 00 01 00 02 00 01 00 01 00 01 00 "
                                   "0A 00 04 00 00 00 01 00 02 00 00 00 "
                                   "0A 00 07 00 00 00 14 00 14 00 0A 00")));
  EXPECT_EQ(ToHex(EncodeRic(Decode(once))), ToHex(once));
}

TEST(RicRoundTripTest, ReadBackDiffersOnlyInTheWaysTheFormatImplies) {
  RICElementList read = Decode(EncodeRic(EveryKind()));
  ASSERT_EQ(read.Count(), 13);
  // The sprite moved to the corner, widened to two bytes, lost its
  // editing state; the unset sprite came back as eight white pixels.
  EXPECT_EQ(Summary(read),
            "Description 0 100 64; "
            "Sprite 1 [0,0,23,2]; "
            "Sprite 2 [0,0,7,0] 00000000; "
            "VarMap 1 (0,0) (50,10) (100,99); VarMap 2 (7,7); "
            "CopyBits 0 1 0 0 11 5 61441 61698; Pixel 0 5 5; Line 0 0 0 99 63; "
            "Rectangle 4096 1 2 3 4; Circle 0 50 32 61695; NumBox 0 0 0 4660; "
            "Ellipse 32 50 32 61441 9; Polygon 1024 (1,2) (3,61700) (5,6) (7,8)");
  const TRICElement& s = *read[1];
  EXPECT_EQ(SpriteRows(s),
            "000000000000000000000000/"
            "001111111000000000000000/"
            "000000000000000010000000");
  EXPECT_EQ(s.Canvas.Pixel(24, 0), kGrey);
  EXPECT_EQ(s.Canvas.Pixel(0, 3), kGrey);
  EXPECT_EQ(s.Canvas.Pixel(10, 10), kGrey);
}

struct RealFileCase {
  const char* file;
  std::string summary;
  // First and last sprite row as they stand in the file (hex), if any.
  std::string firstRow, lastRow;
};

class RicRealFileTest : public ::testing::TestWithParam<RealFileCase> {};

TEST_P(RicRealFileTest, ReadsAsTheFormatSays) {
  const RealFileCase& c = GetParam();
  RICElementList list = LoadRicFile(DataFile(c.file));
  EXPECT_EQ(Summary(list), c.summary);
  if (c.firstRow.empty()) return;
  const TRICElement* sprite = nullptr;
  for (const auto& e : list)
    if (e->Kind == RICElementKind::Sprite) sprite = e.get();
  ASSERT_NE(sprite, nullptr);
  auto bits = [](const std::string& hex) {
    std::string s;
    for (std::uint8_t b : Hex(hex))
      for (int i = 7; i >= 0; --i) s += (b >> i) & 1 ? '1' : '0';
    return s;
  };
  std::string rows = SpriteRows(*sprite);
  EXPECT_EQ(rows.substr(0, rows.find('/')), bits(c.firstRow));
  EXPECT_EQ(rows.substr(rows.rfind('/') + 1), bits(c.lastRow));
}

TEST_P(RicRealFileTest, WritesBackByteForByteAndStably) {
  Bytes original = ReadBytes(DataFile(GetParam().file));
  ASSERT_FALSE(original.empty());
  EXPECT_EQ(Notes(original), "");
  Bytes once = EncodeRic(Decode(original));
  Bytes twice = EncodeRic(Decode(once));
  EXPECT_EQ(ToHex(once), ToHex(original));
  EXPECT_EQ(ToHex(twice), ToHex(once));
}

INSTANTIATE_TEST_SUITE_P(
    TestData, RicRealFileTest,
    ::testing::Values(
        // letters.ric: Description 0 x 96 x 8; a 96 x 8 sprite (12 bytes per row);
        // a CopyBits whose source x is parameter 0 written with tag 0x1.
        RealFileCase{"letters.ric",
                     "Description 0 96 8; Sprite 1 [0,0,95,7]; CopyBits 0 1 4096 0 10 8 0 0",
                     "cc 3f 0f c3 e0 78 3e 0f 82 08 78 1e", "cc 3f 03 03 00 78 3e 0c c0 40 cc 1e"},
        // numgrid.ric: a 104 x 60 sprite (13 bytes per row); the CopyBits takes
        // its source and size from parameters 0 to 3, tag 0x1.
        RealFileCase{"numgrid.ric",
                     "Description 0 100 60; Sprite 1 [0,0,103,59]; "
                     "CopyBits 0 1 4096 4097 4098 4099 0 0",
                     "ff ff ff ff ff ff ff ff ff ff ff ff f0",
                     "80 20 08 02 00 80 20 08 02 00 80 20 00"},
        RealFileCase{"two-circles.ric", "Circle 0 20 20 10; Circle 0 30 30 10", "", ""}),
    [](const auto& info) {
      std::string n = info.param.file;
      n = n.substr(0, n.find('.'));
      n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
      return n;
    });

// --- The document: open, merge, save ------------------------------------------------

TEST_F(RicFileTest, EmptyDocumentWritesAnEmptyFileThatReadsAsEmpty) {
  std::string path = dir_ / "empty.ric";
  EXPECT_TRUE(WriteRicFile(ElementList, path));
  EXPECT_EQ(fs::file_size(path), 0u);
  NewLine(ElementList, 0, 1, 2, 3, 4);
  EXPECT_TRUE(ReadRicFile(ElementList, path, true));
  EXPECT_TRUE(ElementList.Empty());
}

TEST_F(RicFileTest, OpenReplacesTheDocument) {
  std::string path = dir_ / "two.ric";
  WriteBytes(path, ReadBytes(DataFile("two-circles.ric")));
  NewLine(ElementList, 0, 1, 2, 3, 4);
  EXPECT_TRUE(ReadRicFile(ElementList, path, true));
  EXPECT_EQ(Summary(ElementList), "Circle 0 20 20 10; Circle 0 30 30 10");
}

TEST_F(RicFileTest, MergeAppendsAfterTheUntouchedElements) {
  NewDescription(ElementList, 0, 100, 64);
  NewSprite(ElementList, 1);
  ElementList[1]->Canvas.SetPixel(3, 3, kBlack);
  ElementList[1]->ZoomFactor = 12;
  NewPixel(ElementList, 0, 1, 1);
  std::vector<TRICElement*> before = {ElementList[0], ElementList[1], ElementList[2]};
  EXPECT_TRUE(ReadRicFile(ElementList, DataFile("two-circles.ric"), false));
  ASSERT_EQ(ElementList.Count(), 5);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(ElementList[i], before[std::size_t(i)]);
  EXPECT_EQ(ElementList[1]->ZoomFactor, 12);
  EXPECT_EQ(ElementList[1]->Canvas.Pixel(3, 3), kBlack);
  EXPECT_EQ(Summary(ElementList),
            "Description 0 100 64; Sprite 1 [-1,-1,-1,-1] zoom12; Pixel 0 1 1; "
            "Circle 0 20 20 10; Circle 0 30 30 10");
}

class RicFailedReadTest : public RicFileTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RicFailedReadTest, LeavesTheDocumentAsItWas) {
  bool clearFirst = GetParam();
  NewDescription(ElementList, 0, 100, 64);
  NewCircle(ElementList, 0, 5, 5, 5);
  std::vector<TRICElement*> before = {ElementList[0], ElementList[1]};
  fs::create_directory(dir_ / "folder.ric");
  for (auto [path, reason] : {std::pair{dir_ / "missing.ric", std::string("File not found")},
                              {dir_ / "nofolder/x.ric", std::string("File not found")},
                              {dir_ / "folder.ric", std::string("Is a folder, not a file")},
                              {std::string(), std::string("Invalid filename")}}) {
    try {
      ReadRicFile(ElementList, path, clearFirst);
      ADD_FAILURE() << "no error for " << path;
    } catch (const TavlinError& e) {
      EXPECT_EQ(e.File(), path);
      EXPECT_EQ(e.Reason(), reason);
    }
    ASSERT_EQ(ElementList.Count(), 2);
    EXPECT_EQ(ElementList[0], before[0]);
    EXPECT_EQ(ElementList[1], before[1]);
  }
}

INSTANTIATE_TEST_SUITE_P(OpenAndMerge, RicFailedReadTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Open" : "Merge"; });

TEST_F(RicFileTest, OnlyTheFirst262144BytesOfALongFileAreRead) {
  // 18722 Lines and 3 Circles fill the buffer exactly; one more Circle lies beyond it.
  RICElementList list;
  for (int i = 0; i < 18722; ++i) list.Add(MakeLine(0, 1, 2, 3, 4));
  for (int i = 0; i < 3; ++i) list.Add(MakeCircle(0, 1, 1, 1));
  Bytes bytes = EncodeRic(list);
  ASSERT_EQ(bytes.size(), kRicBufferSize);
  for (std::uint8_t b : Hex("0A 00 07 00 00 00 09 00 09 00 09 00")) bytes.push_back(b);
  std::string path = dir_ / "long.ric";
  WriteBytes(path, bytes);
  std::vector<std::string> notes;
  ReadRicFile(ElementList, path, true, &notes);
  EXPECT_EQ(ElementList.Count(), 18725);
  EXPECT_EQ(ElementList[18724]->PosX, 1);
  EXPECT_EQ(notes, std::vector<std::string>{
                       path + ": the file is longer than 262144 bytes; the rest was not read"});
}

TEST_F(RicFileTest, ADocumentOfExactly262144BytesIsWritten) {
  for (int i = 0; i < 18722; ++i) NewLine(ElementList, 0, 1, 2, 3, 4);
  for (int i = 0; i < 3; ++i) NewPixel(ElementList, 0, 1, 1);
  std::string path = dir_ / "full.ric";
  EXPECT_TRUE(WriteRicFile(ElementList, path));
  EXPECT_EQ(fs::file_size(path), kRicBufferSize);
  std::vector<std::string> notes;
  EXPECT_TRUE(ReadRicFile(ElementList, path, true, &notes));
  EXPECT_EQ(ElementList.Count(), 18725);
  EXPECT_TRUE(notes.empty()) << notes.front();
}

TEST_F(RicFileTest, ADocumentTooLargeForTheBufferIsRefusedAndNothingWritten) {
  for (int i = 0; i < 18725; ++i) NewLine(ElementList, 0, 1, 2, 3, 4);  // 262150 bytes
  std::string fresh = dir_ / "fresh.ric", old = dir_ / "old.ric";
  Bytes oldBytes = ReadBytes(DataFile("letters.ric"));
  WriteBytes(old, oldBytes);
  for (const std::string& path : {fresh, old}) {
    try {
      WriteRicFile(ElementList, path);
      ADD_FAILURE() << "no error";
    } catch (const TavlinError& e) {
      EXPECT_EQ(e.File(), path);
      EXPECT_NE(e.Reason().find("262150"), std::string::npos) << e.Reason();
      EXPECT_NE(e.Reason().find("262144"), std::string::npos) << e.Reason();
    }
  }
  EXPECT_EQ(ReadBytes(old), oldBytes);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"old.ric"});
  EXPECT_THROW(EncodeRic(ElementList), TavlinError);
}

TEST_F(RicFileTest, FiveLargeSpritesAreRefused) {
  for (int i = 0; i < 5; ++i)
    ElementList[NewSprite(ElementList, 1)]->UsedArea = TRect{0, 0, 1023, 499};
  std::string path = dir_ / "big.ric";
  try {
    WriteRicFile(ElementList, path);
    ADD_FAILURE() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_NE(e.Reason().find(std::to_string(5 * (10 + 64000))), std::string::npos) << e.Reason();
  }
  EXPECT_FALSE(fs::exists(path));
}

TEST_F(RicFileTest, ASpriteBeyondTheSixteenBitSizeWordIsRefused) {
  // 128 bytes x 512 rows: the size word would wrap and the brick lose its step.
  ElementList[NewSprite(ElementList, 1)]->UsedArea = TRect{0, 0, 1023, 511};
  std::string path = dir_ / "whole.ric";
  try {
    WriteRicFile(ElementList, path);
    ADD_FAILURE() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_EQ(e.File(), path);
    EXPECT_EQ(e.Reason().rfind("element 1: a sprite of 1024 x 512 pixels needs 65536 bytes", 0), 0u)
        << e.Reason();
  }
  EXPECT_FALSE(fs::exists(path));
  // The largest sprite that fits is written with its exact size word.
  ElementList[0]->UsedArea = TRect{0, 0, 1023, 510};
  std::vector<std::uint8_t> bytes = EncodeRic(ElementList);
  EXPECT_EQ(bytes[0] | (bytes[1] << 8), 8 + 128 * 511);
}

using tavlin::test::FileSizeLimit;

TEST_F(RicFileTest, AFailedWriteLeavesTheOldFileAsItWas) {
  std::string path = dir_ / "keep.ric";
  Bytes oldBytes = ReadBytes(DataFile("two-circles.ric"));
  WriteBytes(path, oldBytes);
  for (int i = 0; i < 100; ++i) NewLine(ElementList, 0, 1, 2, 3, 4);  // 1400 bytes
  {
    FileSizeLimit limit(512);
    try {
      WriteRicFile(ElementList, path);
      ADD_FAILURE() << "no error";
    } catch (const TavlinError& e) {
      EXPECT_EQ(e.File(), path);
      EXPECT_EQ(e.Reason(), "File too large");
    }
  }
  EXPECT_EQ(ReadBytes(path), oldBytes);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"keep.ric"});  // no temporary left
  EXPECT_EQ(ElementList.Count(), 100);
}

TEST_F(RicFileTest, WritingOverAFolderFailsAndLeavesIt) {
  std::string path = dir_ / "folder.ric";
  fs::create_directory(path);
  WriteBytes(path + "/inside", Bytes{1, 2, 3});
  NewPixel(ElementList, 0, 1, 2);
  EXPECT_THROW(WriteRicFile(ElementList, path), TavlinError);
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_EQ(ReadBytes(path + "/inside"), (Bytes{1, 2, 3}));
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"folder.ric"});
}

TEST_F(RicFileTest, WritingIntoAMissingFolderFailsNamingTheFile) {
  NewPixel(ElementList, 0, 1, 2);
  std::string path = dir_ / "nofolder/x.ric";
  try {
    WriteRicFile(ElementList, path);
    ADD_FAILURE() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_EQ(std::string(e.what()), path + ": Its folder does not exist");
  }
}

// Saving through a link writes the file it points to and keeps the link.
TEST_F(RicFileTest, SavingThroughASymbolicLinkReplacesItsTarget) {
  std::string real = dir_ / "real.ric", link = dir_ / "link.ric";
  WriteBytes(real, Bytes(40, 0xAA));
  fs::create_symlink("real.ric", link);
  NewCircle(ElementList, 0, 20, 20, 10);
  NewCircle(ElementList, 0, 30, 30, 10);
  WriteRicFile(ElementList, link);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), ReadBytes(DataFile("two-circles.ric")));
  EXPECT_EQ(dir_.Entries(), (std::vector<std::string>{"link.ric", "real.ric"}));
}

// A read-only file is not replaced behind its owner's back, although its
// folder would allow it. Runs as an unprivileged user in a child process.
TEST_F(RicFileTest, AReadOnlyFileIsNotReplaced) {
  std::string folder = dir_ / "shared";
  fs::create_directory(folder);
  ::chmod(folder.c_str(), 0777);
  ::chmod(fs::path(folder).parent_path().c_str(), 0755);
  std::string path = folder + "/locked.ric";
  Bytes oldBytes = ReadBytes(DataFile("letters.ric"));
  WriteBytes(path, oldBytes);
  ::chmod(path.c_str(), 0444);
  NewPixel(ElementList, 0, 1, 2);
  EXPECT_EXIT(
      {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
        std::string reason;
        try {
          WriteRicFile(ElementList, path);
        } catch (const TavlinError& e) {
          reason = e.Reason();
        }
        bool kept = ReadBytes(path) == oldBytes &&
                    std::distance(fs::directory_iterator(folder), fs::directory_iterator()) == 1;
        std::_Exit(reason == "File access denied" ? (kept ? 0 : 2) : reason.empty() ? 4 : 5);
      },
      ::testing::ExitedWithCode(0), "");
}

// In a folder that refuses new files, a writable file is rewritten in place
// and keeps its mode; a new file there is still refused, and a rewrite that
// fails half-way puts the old bytes back. Runs unprivileged in a child process.
TEST_F(RicFileTest, AWritableFileInAReadOnlyFolderIsSavedInPlace) {
  std::string folder = dir_ / "readonly";
  fs::create_directory(folder);
  ::chmod(fs::path(folder).parent_path().c_str(), 0755);
  std::string path = folder + "/picture.ric";
  WriteBytes(path, Bytes(5000, 0xAA));
  ::chmod(path.c_str(), 0646);
  ::chmod(folder.c_str(), 0555);
  EXPECT_EXIT(
      {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
        NewCircle(ElementList, 0, 20, 20, 10);
        NewCircle(ElementList, 0, 30, 30, 10);
        WriteRicFile(ElementList, path);
        EXPECT_THROW(WriteRicFile(ElementList, folder + "/new.ric"), TavlinError);
        for (int i = 0; i < 100; ++i) NewLine(ElementList, 0, 1, 2, 3, 4);
        FileSizeLimit limit(512);
        EXPECT_THROW(WriteRicFile(ElementList, path), TavlinError);
        std::_Exit(::testing::Test::HasFailure() ? 4 : 0);
      },
      ::testing::ExitedWithCode(0), "");
  ::chmod(folder.c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), ReadBytes(DataFile("two-circles.ric")));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0646u);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// Mode and owner survive the replace (another user's file only when we are root).
TEST_F(RicFileTest, SavingReplacesALongerOldFileCompletelyAndKeepsItsMode) {
  std::string path = dir_ / "replace.ric";
  WriteBytes(path, Bytes(5000, 0xAA));
  ::chmod(path.c_str(), 0600);
  const uid_t owner = ::getuid() == 0 ? 65534 : ::getuid();
  const gid_t group = ::getuid() == 0 ? 65534 : ::getgid();
  ASSERT_EQ(::chown(path.c_str(), owner, group), 0);
  NewCircle(ElementList, 0, 20, 20, 10);
  NewCircle(ElementList, 0, 30, 30, 10);
  SaveRicFile(path, ElementList);
  EXPECT_EQ(ReadBytes(path), ReadBytes(DataFile("two-circles.ric")));
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(st.st_uid, owner);
  EXPECT_EQ(st.st_gid, group);
  EXPECT_EQ(dir_.Entries(), std::vector<std::string>{"replace.ric"});
}

}  // namespace
}  // namespace tavlin
