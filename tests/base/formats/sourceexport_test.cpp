// NXC and NBC source export: the bytes the exported text denotes, with NXC's
// RIC macros expanded as NXC's API defines them, are the RIC file's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "ByteFiles.h"
#include "RicFile.h"
#include "SourceExport.h"
#include "TavlinError.h"

namespace tavlin {
namespace {

using tavlin::test::Bytes;

// NXC's RIC macros as its API reference defines them, one a line ("\" continues a line).
const char* const kNxcRicMacros = R"(
RICImgPoint(_X, _Y) (_X)&0xFF, (_X)>>8, (_Y)&0xFF, (_Y)>>8
RICImgRect(_Pt, _W, _H) _Pt, (_W)&0xFF, (_W)>>8, (_H)&0xFF, (_H)>>8
RICOpDescription(_Options, _Width, _Height) 8, 0, 0, 0, (_Options)&0xFF, (_Options)>>8, \
  (_Width)&0xFF, (_Width)>>8, (_Height)&0xFF, (_Height)>>8
RICOpCopyBits(_CopyOptions, _DataAddr, _SrcRect, _DstPoint) 18, 0, 3, 0, \
  (_CopyOptions)&0xFF, (_CopyOptions)>>8, (_DataAddr)&0xFF, (_DataAddr)>>8, _SrcRect, _DstPoint
RICOpPixel(_CopyOptions, _Point, _Value) 10, 0, 4, 0, (_CopyOptions)&0xFF, (_CopyOptions)>>8, \
  _Point, (_Value)&0xFF, (_Value)>>8
RICOpLine(_CopyOptions, _Point1, _Point2) 12, 0, 5, 0, (_CopyOptions)&0xFF, (_CopyOptions)>>8, \
  _Point1, _Point2
RICOpRect(_CopyOptions, _Point, _Width, _Height) 12, 0, 6, 0, (_CopyOptions)&0xFF, \
  (_CopyOptions)>>8, _Point, (_Width)&0xFF, (_Width)>>8, (_Height)&0xFF, (_Height)>>8
RICOpCircle(_CopyOptions, _Point, _Radius) 10, 0, 7, 0, (_CopyOptions)&0xFF, (_CopyOptions)>>8, \
  _Point, (_Radius)&0xFF, (_Radius)>>8
RICOpNumBox(_CopyOptions, _Point, _Value) 10, 0, 8, 0, (_CopyOptions)&0xFF, (_CopyOptions)>>8, \
  _Point, (_Value)&0xFF, (_Value)>>8
RICOpEllipse(_CopyOptions, _Point, _RadiusX, _RadiusY) 12, 0, 9, 0, (_CopyOptions)&0xFF, \
  (_CopyOptions)>>8, _Point, (_RadiusX)&0xFF, (_RadiusX)>>8, (_RadiusY)&0xFF, (_RadiusY)>>8
RICOpPolygon(_CopyOptions, _Count, _ThePoints) ((_Count*4)+6)&0xFF, ((_Count*4)+6)>>8, 10, 0, \
  (_CopyOptions)&0xFF, (_CopyOptions)>>8, (_Count)&0xFF, (_Count)>>8, _ThePoints
RICPolygonPoints(_pPoint1, _pPoint2, ...) _pPoint1, _pPoint2, __VA_ARGS__
RICOpSprite(_DataAddr, _Rows, _BytesPerRow, _SpriteData) \
  ((_Rows*_BytesPerRow)+((_Rows*_BytesPerRow)%2)+8)&0xFF, \
  ((_Rows*_BytesPerRow)+((_Rows*_BytesPerRow)%2)+8)>>8, 1, 0, (_DataAddr)&0xFF, (_DataAddr)>>8, \
  (_Rows)&0xFF, (_Rows)>>8, (_BytesPerRow)&0xFF, (_BytesPerRow)>>8, _SpriteData
RICSpriteData(...) __VA_ARGS__
RICOpVarMap(_DataAddr, _MapCount, _MapFunction) ((_MapCount*4)+6)&0xFF, ((_MapCount*4)+6)>>8, \
  2, 0, (_DataAddr)&0xFF, (_DataAddr)>>8, (_MapCount)&0xFF, (_MapCount)>>8, _MapFunction
RICMapElement(_Domain, _Range) (_Domain)&0xFF, (_Domain)>>8, (_Range)&0xFF, (_Range)>>8
RICMapFunction(_MapElement, ...) _MapElement, __VA_ARGS__
RICArg(_arg) ((_arg)|0x1000)
RICMapArg(_mapidx, _arg) ((_arg)|0x1000|(((_mapidx)&0xF)<<8))
)";

// Splits at the commas outside parentheses.
std::vector<std::string> SplitTopLevel(const std::string& text) {
  std::vector<std::string> parts(1);
  int depth = 0;
  for (char c : text) {
    depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (c == ',' && depth == 0)
      parts.emplace_back();
    else
      parts.back() += c;
  }
  return parts;
}

struct Macro {
  std::vector<std::string> params;  // "..." last for a variadic macro
  std::string body;
};

const std::map<std::string, Macro>& NxcMacros() {
  static const std::map<std::string, Macro> macros = [] {
    std::map<std::string, Macro> m;
    std::istringstream lines(std::regex_replace(kNxcRicMacros, std::regex("\\\\\n"), ""));
    std::smatch d;
    for (std::string line; std::getline(lines, line);)
      if (std::regex_match(line, d, std::regex(R"((\w+)\(([^)]*)\) (.*))"))) {
        Macro& macro = m[d[1]] = {SplitTopLevel(d[2]), d[3]};
        for (auto& p : macro.params) p = std::regex_replace(p, std::regex(" "), "");
      }
    return m;
  }();
  return macros;
}

// Expands macro calls as the C preprocessor does: arguments first (they end
// up without names, so replacing names in turn is safe), then the result again.
std::string Expand(const std::string& text) {
  static const std::regex call(R"((RIC\w+)\s*\()");
  std::smatch m;
  if (!std::regex_search(text, m, call)) return text;
  const std::size_t open = std::size_t(m.position(0) + m.length(0)) - 1;
  std::size_t close = open;
  for (int depth = 0; close < text.size(); ++close)
    if ((depth += text[close] == '(' ? 1 : text[close] == ')' ? -1 : 0) == 0) break;
  EXPECT_LT(close, text.size()) << "unclosed call of " << m[1];
  EXPECT_TRUE(NxcMacros().count(m[1])) << m[1] << " is no RIC macro of NXC";
  const Macro& macro = NxcMacros().at(m[1]);
  std::vector<std::string> args = SplitTopLevel(text.substr(open + 1, close - open - 1));
  for (auto& a : args) a = Expand(a);
  const std::size_t named = macro.params.size() - (macro.params.back() == "..." ? 1 : 0);
  EXPECT_TRUE(named < macro.params.size() ? args.size() > named : args.size() == named)
      << m[1] << " called with " << args.size() << " arguments";
  std::string body = macro.body, rest;
  for (std::size_t i = named; i < args.size(); ++i) rest += (i > named ? "," : "") + args[i];
  body = std::regex_replace(body, std::regex("__VA_ARGS__"), rest);
  for (std::size_t i = 0; i < named && i < args.size(); ++i)
    body = std::regex_replace(body, std::regex("\\b" + macro.params[i] + "\\b"), args[i]);
  return text.substr(0, std::size_t(m.position(0))) + Expand(body) + Expand(text.substr(close + 1));
}

// Evaluates an integer expression of numbers, parentheses and | & << >> + * %.
long Evaluate(const std::string& text, std::size_t& at, int minPrecedence = 0) {
  static const std::vector<std::string> ops = {"|", "&", "<<", ">>", "+", "*", "%"};
  static const int precedence[] = {1, 2, 3, 3, 4, 5, 5};
  auto skip = [&] { at = std::min(text.find_first_not_of(' ', at), text.size()); };
  skip();
  long left = 0;
  if (text[at] == '(') {
    left = Evaluate(text, ++at);
    skip();
    EXPECT_EQ(text[at++], ')') << text;
  } else {
    std::size_t used = 0;
    left = std::stol(text.substr(at), &used, 0);
    at += used;
  }
  for (;;) {
    skip();
    std::size_t k = 0;
    while (k < ops.size() && text.compare(at, ops[k].size(), ops[k]) != 0) ++k;
    if (k == ops.size() || precedence[k] <= minPrecedence) return left;
    at += ops[k].size();
    const long right = Evaluate(text, at, precedence[k]);
    // Only the operator asked for: the others may be undefined (a shift by 255).
    using Op = long (*)(long, long);
    static const Op apply[] = {
        [](long a, long b) { return a | b; },        [](long a, long b) { return a & b; },
        [](long a, long b) { return a << b; },       [](long a, long b) { return a >> b; },
        [](long a, long b) { return a + b; },        [](long a, long b) { return a * b; },
        [](long a, long b) { return b ? a % b : 0; }};
    left = apply[k](left, right);
  }
}

// The bytes an exported file's array holds: comments taken out, the text
// between its braces expanded and every value evaluated.
Bytes DenotedBytes(const std::string& source) {
  const std::string code = std::regex_replace(source, std::regex(R"(//[^\n]*|/\*.*?\*/)"), "");
  std::size_t open = code.find('{'), close = code.rfind('}');
  const std::string body =
      open == std::string::npos ? "" : Expand(code.substr(open + 1, close - open - 1));
  if (body.find_first_not_of(" \n") == std::string::npos) return {};
  Bytes bytes;
  for (const std::string& item : SplitTopLevel(std::regex_replace(body, std::regex("\n"), " "))) {
    std::size_t at = 0;
    const long v = Evaluate(item, at);
    EXPECT_EQ(item.find_first_not_of(' ', at), std::string::npos) << "left over: " << item;
    EXPECT_TRUE(v >= 0 && v <= 255) << item << " is no byte";
    bytes.push_back(std::uint8_t(v));
  }
  return bytes;
}

void ExpectDenotes(const RICElementList& list, const Bytes& expected) {
  EXPECT_EQ(DenotedBytes(SourceText(list, "x.ric", SourceLanguage::Nxc, NxcStyle::Macros)),
            expected);
  EXPECT_EQ(DenotedBytes(SourceText(list, "x.ric", SourceLanguage::Nxc, NxcStyle::Bytes)),
            expected);
  EXPECT_EQ(DenotedBytes(SourceText(list, "x.ric", SourceLanguage::Nbc)), expected);
}

ElementPtr SpriteOf(std::uint16_t id, TRect area) {
  ElementPtr s = MakeSprite(id);
  s->UsedArea = area;
  for (int y = area.Top; y <= area.Bottom; ++y)
    for (int x = area.Left; x <= area.Right; ++x)
      if ((x + y) % 3 == 0) s->Canvas.SetPixelIndex(x, y, kBlackIndex);
  return s;
}

TEST(SourceExportTest, EveryElementKindDenotesTheRicBytes) {
  // Constants, our own references (tag 0xF), those NXC's macros write (tag
  // 0x1), and a word of another tag.
  const RICArgument param = EncodeParameter(3), mapped = EncodeMapped(2, 7), nxcParam = 0x1005,
                    nxcMapped = 0x1A05, other = 0x2305;
  RICElementList list;
  list.Add(MakeDescription(1, 100, 64));
  list.Add(SpriteOf(1, {0, 0, 9, 1}));   // 2 rows of 2 bytes
  list.Add(SpriteOf(2, {3, 0, 10, 2}));  // 3 rows of 1 byte: a pad byte
  list.Add(MakeSprite(3));               // unset area
  list.Add(SpriteOf(4, {5, 0, 2, 0}));   // a set area without pixel bytes
  for (int count : {0, 1, 3}) {
    ElementPtr map = MakeVarMap(std::uint16_t(count + 1), 0);
    map->Points.clear();
    for (int i = 0; i < count; ++i) map->Points.push_back({std::uint16_t(i * 300), 0xFFFF});
    list.Add(std::move(map));
  }
  list.Add(MakeCopyBits(0x20, nxcParam, param, 4095, mapped, nxcMapped, other, 0));
  list.Add(MakePixel(nxcMapped, 99, param));
  list.Add(MakeLine(0, 1, 2, other, nxcParam));
  list.Add(MakeRectangle(4, mapped, 6, 7, 8));
  list.Add(MakeCircle(0, nxcParam, 30, param));
  list.Add(MakeNumBox(1, 2, 3, nxcMapped));
  list.Add(MakeEllipse(0x20, 50, nxcParam, mapped, 4095));
  list.Add(MakePolygon(0x418, {{1, 2}, {other, nxcMapped}, {99, 63}}));
  list.Add(MakePolygon(0, {{1, 2}, {3, 4}}));  // too few for the points macro
  // Size and count words made elsewhere: only bytes can say them.
  const Bytes odd{0x0F, 0, 9,  0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 0xAA, 0xBB, 0xCC,
                  0x0E, 0, 10, 0, 0, 0, 9, 0, 1, 0, 2, 0, 3, 0, 4,    0};
  list.Append(DecodeRic(odd.data(), odd.size()));
  ExpectDenotes(list, EncodeRic(list));

  const std::string macros = SourceText(list, "x.ric", SourceLanguage::Nxc);
  EXPECT_NE(macros.find("RICArg(5)"), std::string::npos);
  EXPECT_NE(macros.find("RICMapArg(10, 5)"), std::string::npos);
  EXPECT_NE(macros.find("RICOpEllipse("), std::string::npos);
  // Sprites of an even and of an odd byte count.
  for (const char* sprite :
       {"RICOpSprite(1, 2, 2, RICSpriteData(", "RICOpSprite(2, 3, 1, RICSpriteData("})
    EXPECT_NE(macros.find(sprite), std::string::npos) << sprite;
  EXPECT_NE(macros.find("RICOpPolygon(1048, 3, RICPolygonPoints("), std::string::npos);
  // One line per element between the braces.
  std::size_t open = macros.find("{\n"), close = macros.find("\n};");
  EXPECT_EQ(std::count(macros.begin() + long(open), macros.begin() + long(close), '\n'),
            list.Count());
}

TEST(SourceExportTest, RealFilesDenoteTheirBytes) {
  for (const char* name : {"letters.ric", "numgrid.ric", "two-circles.ric"}) {
    SCOPED_TRACE(name);
    const std::string path = std::string(TAVLIN_TEST_DATA) + "/" + name;
    ExpectDenotes(LoadRicFile(path), tavlin::test::ReadBytes(path));
  }
  ExpectDenotes(RICElementList(), {});
}

// An NXC or NBC array's length is a 16-bit number: 65,534 bytes (the largest
// even size) export, 65,536 are refused with the reason.
TEST(SourceExportTest, ArraysLongerThanTheCompilerCountsAreRefused) {
  for (std::size_t size : {std::size_t(65534), std::size_t(65536)}) {
    RICElementList list;
    while (std::size_t(ComputeFileSize(list)) + 10 + 16 < size) list.Add(MakeDescription(0, 0, 0));
    // An ellipse with the two bytes its own size word covers beyond its words.
    const std::uint16_t extra = std::uint16_t(size - std::size_t(ComputeFileSize(list)) - 2);
    Bytes ellipse(std::size_t(extra) + 2, 0);
    ellipse[0] = std::uint8_t(extra);
    ellipse[2] = 9;
    list.Append(DecodeRic(ellipse.data(), ellipse.size()));
    ASSERT_EQ(EncodeRic(list).size(), size);
    for (SourceLanguage language : {SourceLanguage::Nxc, SourceLanguage::Nbc}) {
      if (size <= kMaxSourceArrayBytes) {
        EXPECT_NO_THROW(SourceText(list, "big.ric", language));
        continue;
      }
      try {
        SourceText(list, "big.ric", language);
        ADD_FAILURE() << "an array of " << size << " bytes was written";
      } catch (const TavlinError& e) {
        EXPECT_NE(std::string(e.what()).find("at most 65535 (its length is a 16-bit number"),
                  std::string::npos)
            << e.what();
      }
    }
  }
}

TEST(SourceExportTest, TheArrayIsNamedAfterTheFile) {
  EXPECT_EQ(SourceArrayName("letters.ric"), "letters_ric");
  EXPECT_EQ(SourceArrayName("/home/me/2 small-gauges.RIC"), "ric_2_small_gauges_RIC");
  EXPECT_EQ(SourceArrayName("zähler.ric"), "z_hler_ric");
  const std::string nxc = SourceText(RICElementList(), "pics/letters.ric", SourceLanguage::Nxc);
  EXPECT_EQ(nxc.substr(0, nxc.find('\n')).find("letters.ric"), 3u);
  // The array inside an include guard of its own name, the stock firmware's way beside it.
  EXPECT_NE(nxc.find("GraphicArrayOut(0, 0, letters_ric);\n"), std::string::npos);
  EXPECT_NE(nxc.find("GraphicOut(0, 0, \"letters.ric\");\n"), std::string::npos);
  EXPECT_NE(nxc.find("\n#ifndef TAVLIN_ARRAY_letters_ric\n#define TAVLIN_ARRAY_letters_ric\n"
                     "byte letters_ric[] = {"),
            std::string::npos);
  EXPECT_EQ(nxc.substr(nxc.size() - 10), "};\n#endif\n");
  const std::string nbc = SourceText(RICElementList(), "letters.ric", SourceLanguage::Nbc);
  EXPECT_NE(nbc.find("dseg segment\n  letters_ric byte[]"), std::string::npos);
  // A name of one's own, for the array and its guard.
  for (SourceLanguage language : {SourceLanguage::Nxc, SourceLanguage::Nbc}) {
    const std::string named =
        SourceText(RICElementList(), "a-b.ric", language, NxcStyle::Macros, "gauge");
    EXPECT_NE(
        named.find(language == SourceLanguage::Nxc ? "#define TAVLIN_ARRAY_gauge\nbyte gauge[]"
                                                   : "  gauge byte[]"),
        std::string::npos)
        << named;
    EXPECT_EQ(named.find("a_b_ric"), std::string::npos);
  }
  for (const char* good : {"gauge", "_x1", "A_b_2"}) EXPECT_TRUE(IsSourceArrayName(good)) << good;
  for (const char* bad : {"", "1x", "a-b", "a b", "zähler", "byte", "task", "dseg"})
    EXPECT_FALSE(IsSourceArrayName(bad)) << bad;
  EXPECT_EQ(SourceLanguageOfPath("a/B.NXC"), SourceLanguage::Nxc);
  EXPECT_EQ(SourceLanguageOfPath("b.nbc"), SourceLanguage::Nbc);
  EXPECT_EQ(SourceLanguageOfPath("b.rs"), std::nullopt);
}

}  // namespace
}  // namespace tavlin
