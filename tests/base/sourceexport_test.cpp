// NXC and NBC source export: the bytes the exported text denotes, with NXC's
// RIC macros expanded as NXC's API defines them, are the RIC file's bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "ByteFiles.h"
#include "RicFile.h"
#include "SourceExport.h"

namespace tavlin {
namespace {

using tavlin::test::Bytes;

struct Macro {
  std::vector<std::string> params;  // "..." last for a variadic macro
  std::string body;
};

// NXC's RIC macros, as NXC's API reference defines them.
const std::map<std::string, Macro>& NxcMacros() {
  const std::string lo = ")&0xFF, (", hi = ")>>8";
  auto word = [&](const std::string& p) { return "(" + p + lo + p + hi; };
  const std::string sprite = "((_Rows*_BytesPerRow)+((_Rows*_BytesPerRow)%2)+8)";
  static const std::map<std::string, Macro> macros = {
      {"RICImgPoint", {{"_X", "_Y"}, word("_X") + ", " + word("_Y")}},
      {"RICImgRect", {{"_Pt", "_W", "_H"}, "_Pt, " + word("_W") + ", " + word("_H")}},
      {"RICOpDescription",
       {{"_Options", "_Width", "_Height"},
        "8, 0, 0, 0, " + word("_Options") + ", " + word("_Width") + ", " + word("_Height")}},
      {"RICOpCopyBits",
       {{"_CopyOptions", "_DataAddr", "_SrcRect", "_DstPoint"},
        "18, 0, 3, 0, " + word("_CopyOptions") + ", " + word("_DataAddr") +
            ", _SrcRect, _DstPoint"}},
      {"RICOpPixel",
       {{"_CopyOptions", "_Point", "_Value"},
        "10, 0, 4, 0, " + word("_CopyOptions") + ", _Point, " + word("_Value")}},
      {"RICOpLine",
       {{"_CopyOptions", "_Point1", "_Point2"},
        "12, 0, 5, 0, " + word("_CopyOptions") + ", _Point1, _Point2"}},
      {"RICOpRect",
       {{"_CopyOptions", "_Point", "_Width", "_Height"},
        "12, 0, 6, 0, " + word("_CopyOptions") + ", _Point, " + word("_Width") + ", " +
            word("_Height")}},
      {"RICOpCircle",
       {{"_CopyOptions", "_Point", "_Radius"},
        "10, 0, 7, 0, " + word("_CopyOptions") + ", _Point, " + word("_Radius")}},
      {"RICOpNumBox",
       {{"_CopyOptions", "_Point", "_Value"},
        "10, 0, 8, 0, " + word("_CopyOptions") + ", _Point, " + word("_Value")}},
      {"RICOpSprite",
       {{"_DataAddr", "_Rows", "_BytesPerRow", "_SpriteData"},
        sprite + "&0xFF, " + sprite + ">>8, 1, 0, " + word("_DataAddr") + ", " + word("_Rows") +
            ", " + word("_BytesPerRow") + ", _SpriteData"}},
      {"RICSpriteData", {{"..."}, "__VA_ARGS__"}},
      {"RICOpVarMap",
       {{"_DataAddr", "_MapCount", "_MapFunction"},
        "((_MapCount*4)+6)&0xFF, ((_MapCount*4)+6)>>8, 2, 0, " + word("_DataAddr") + ", " +
            word("_MapCount") + ", _MapFunction"}},
      {"RICMapElement", {{"_Domain", "_Range"}, word("_Domain") + ", " + word("_Range")}},
      {"RICMapFunction", {{"_MapElement", "..."}, "_MapElement, __VA_ARGS__"}},
      {"RICArg", {{"_arg"}, "((_arg)|0x1000)"}},
      {"RICMapArg", {{"_mapidx", "_arg"}, "((_arg)|0x1000|(((_mapidx)&0xF)<<8))"}},
  };
  return macros;
}

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

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

// Expands macro calls as the C preprocessor does: arguments first, then the
// substituted body is scanned again.
std::string Expand(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    if (!IsWordChar(text[i])) {
      out += text[i++];
      continue;
    }
    std::size_t end = i;
    while (end < text.size() && IsWordChar(text[end])) ++end;
    const std::string word = text.substr(i, end - i);
    auto macro = NxcMacros().find(word);
    std::size_t open = text.find_first_not_of(' ', end);
    if (macro == NxcMacros().end() || open == std::string::npos || text[open] != '(') {
      out += word;
      i = end;
      continue;
    }
    std::size_t close = open;
    for (int depth = 0; close < text.size(); ++close) {
      depth += text[close] == '(' ? 1 : text[close] == ')' ? -1 : 0;
      if (depth == 0) break;
    }
    EXPECT_LT(close, text.size()) << "unclosed call of " << word;
    std::vector<std::string> args = SplitTopLevel(text.substr(open + 1, close - open - 1));
    for (auto& a : args) a = Expand(a);
    const auto& params = macro->second.params;
    const bool variadic = params.back() == "...";
    EXPECT_TRUE(variadic ? args.size() >= params.size() - 1 : args.size() == params.size())
        << word << " called with " << args.size() << " arguments";
    std::string body;
    const std::string& b = macro->second.body;
    for (std::size_t k = 0; k < b.size();) {
      std::size_t e = k;
      while (e < b.size() && IsWordChar(b[e])) ++e;
      if (e == k) {
        body += b[k++];
        continue;
      }
      std::string name = b.substr(k, e - k);
      if (name == "__VA_ARGS__") {
        for (std::size_t a = params.size() - 1; a < args.size(); ++a)
          body += (a + 1 == params.size() ? "" : ",") + args[a];
      } else {
        std::size_t p = 0;
        while (p < params.size() && params[p] != name) ++p;
        body += p < params.size() && p < args.size() ? args[p] : name;
      }
      k = e;
    }
    out += Expand(body);
    i = close + 1;
  }
  return out;
}

// An integer expression of numbers, parentheses and | & << >> + * %.
class Evaluator {
 public:
  explicit Evaluator(std::string text) : s_(std::move(text)) {}
  long Value() {
    long v = Binary(0);
    Skip();
    EXPECT_EQ(at_, s_.size()) << "left over in '" << s_ << "'";
    return v;
  }

 private:
  static int Precedence(const std::string& op) {
    if (op == "|") return 1;
    if (op == "&") return 2;
    if (op == "<<" || op == ">>") return 3;
    if (op == "+") return 4;
    if (op == "*" || op == "%") return 5;
    return 0;
  }
  void Skip() {
    while (at_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[at_]))) ++at_;
  }
  std::string PeekOperator() {
    Skip();
    if (at_ >= s_.size()) return "";
    std::string two = s_.substr(at_, 2);
    return two == "<<" || two == ">>" ? two : s_.substr(at_, 1);
  }
  long Binary(int minPrecedence) {
    long left = Primary();
    for (std::string op = PeekOperator(); Precedence(op) > minPrecedence; op = PeekOperator()) {
      at_ += op.size();
      long right = Binary(Precedence(op));
      left = op == "|"    ? left | right
             : op == "&"  ? left & right
             : op == "<<" ? left << right
             : op == ">>" ? left >> right
             : op == "+"  ? left + right
             : op == "*"  ? left * right
                          : left % right;
    }
    return left;
  }
  long Primary() {
    Skip();
    if (at_ < s_.size() && s_[at_] == '(') {
      ++at_;
      long v = Binary(0);
      Skip();
      EXPECT_EQ(s_[at_], ')');
      ++at_;
      return v;
    }
    std::size_t used = 0;
    long v = 0;
    try {
      v = std::stol(s_.substr(at_), &used, 0);
    } catch (const std::exception&) {
      ADD_FAILURE() << "no number at '" << s_.substr(at_) << "'";
    }
    at_ += used;
    return v;
  }
  std::string s_;
  std::size_t at_ = 0;
};

// The bytes an exported file's array holds: comments taken out, the text
// between its braces expanded and every value evaluated.
Bytes DenotedBytes(const std::string& source) {
  std::string code;
  for (std::size_t i = 0; i < source.size(); ++i) {
    if (source.compare(i, 2, "//") == 0)
      i = source.find('\n', i) - 1;
    else if (source.compare(i, 2, "/*") == 0)
      i = source.find("*/", i) + 1;
    else
      code += source[i];
  }
  std::size_t open = code.find('{'), close = code.rfind('}');
  const std::string body =
      open == std::string::npos ? "" : Expand(code.substr(open + 1, close - open - 1));
  if (body.find_first_not_of(" \n") == std::string::npos) return {};
  Bytes bytes;
  for (const std::string& item : SplitTopLevel(body)) {
    long v = Evaluator(item).Value();
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
    for (int i = 0; i < count; ++i) map->Points.push_back({std::uint16_t(i * 300), 0xFFFF});
    list.Add(std::move(map));
  }
  list.Add(MakeCopyBits(0x20, nxcParam, param, 4095, mapped, nxcMapped, other, 0));
  list.Add(MakePixel(nxcMapped, 99, param));
  list.Add(MakeLine(0, 1, 2, other, nxcParam));
  list.Add(MakeRectangle(4, mapped, 6, 7, 8));
  list.Add(MakeCircle(0, nxcParam, 30, param));
  list.Add(MakeNumBox(1, 2, 3, nxcMapped));
  ExpectDenotes(list, EncodeRic(list));

  const std::string macros = SourceText(list, "x.ric", SourceLanguage::Nxc);
  EXPECT_NE(macros.find("RICArg(5)"), std::string::npos);
  EXPECT_NE(macros.find("RICMapArg(10, 5)"), std::string::npos);
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

TEST(SourceExportTest, TheArrayIsNamedAfterTheFile) {
  EXPECT_EQ(SourceArrayName("letters.ric"), "letters_ric");
  EXPECT_EQ(SourceArrayName("/home/me/2 small-gauges.RIC"), "ric_2_small_gauges_RIC");
  EXPECT_EQ(SourceArrayName("zähler.ric"), "z_hler_ric");
  const std::string nxc = SourceText(RICElementList(), "pics/letters.ric", SourceLanguage::Nxc);
  EXPECT_EQ(nxc.substr(0, nxc.find('\n')).find("letters.ric"), 3u);
  EXPECT_NE(nxc.find("GraphicArrayOut(0, 0, letters_ric);\nbyte letters_ric[] = {"),
            std::string::npos);
  const std::string nbc = SourceText(RICElementList(), "letters.ric", SourceLanguage::Nbc);
  EXPECT_NE(nbc.find("dseg segment\n  letters_ric byte[]"), std::string::npos);
  EXPECT_EQ(SourceLanguageOfPath("a/B.NXC"), SourceLanguage::Nxc);
  EXPECT_EQ(SourceLanguageOfPath("b.nbc"), SourceLanguage::Nbc);
  EXPECT_EQ(SourceLanguageOfPath("b.rs"), std::nullopt);
}

}  // namespace
}  // namespace tavlin
