// RicScript: the text filter, the reader's statements and values, its errors
// with line and column, IMPORT items, the writer's layout and round trips.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "CliTestUtil.h"
#include "DocumentIO.h"
#include "FileIO.h"
#include "PictureFile.h"
#include "QuotedText.h"
#include "RicFile.h"
#include "RicScript.h"

namespace tavlin {
namespace {

namespace fs = std::filesystem;

const std::string kPictures = std::string(TAVLIN_TEST_DATA) + "/pictures/";

std::string Arg(RICArgument w) {
  char text[16];
  if (w < 0x1000)
    std::snprintf(text, sizeof text, "%u", unsigned(w));
  else
    std::snprintf(text, sizeof text, "0x%04X", unsigned(w));
  return text;
}

// One line per element, compact enough to write expectations by hand. Sprite
// rows show the used area: 1 black, 0 white, . anything else.
std::string Describe(const TRICElement& e) {
  std::string s;
  auto add = [&](std::initializer_list<RICArgument> words) {
    for (RICArgument w : words) s.append(" ").append(Arg(w));
  };
  switch (e.Kind) {
    case RICElementKind::Description:
      s = "Desc " + std::to_string(e.Options) + " " + std::to_string(e.Width) + " " +
          std::to_string(e.Height);
      break;
    case RICElementKind::Sprite: {
      const TRect& a = e.UsedArea;
      s = "Sprite " + std::to_string(e.ID) + " [" + std::to_string(a.Left) + "," +
          std::to_string(a.Top) + "," + std::to_string(a.Right) + "," + std::to_string(a.Bottom) +
          "]";
      if (a.IsSet() && (a.Right - a.Left + 1) * (a.Bottom - a.Top + 1) <= 256) {
        for (int y = a.Top; y <= a.Bottom; ++y) {
          s += " ";
          for (int x = a.Left; x <= a.Right; ++x) {
            Rgb c = e.Canvas.Pixel(x, y);
            s += c == kBlack ? '1' : c == kWhite ? '0' : '.';
          }
        }
      }
      break;
    }
    case RICElementKind::VarMap:
      s = "VarMap " + std::to_string(e.ID);
      for (const VarMapPoint& p : e.Points)
        s += " " + std::to_string(p.Domain) + ":" + std::to_string(p.Range);
      break;
    case RICElementKind::CopyBits:
      s = "CopyBits";
      add({e.CopyOpt, e.SpriteID, e.PosX, e.PosY, e.Width, e.Height, e.RelX, e.RelY});
      break;
    case RICElementKind::Pixel:
      s = "Pixel";
      add({e.CopyOpt, e.PosX, e.PosY});
      break;
    case RICElementKind::Line:
      s = "Line";
      add({e.CopyOpt, e.X1, e.Y1, e.X2, e.Y2});
      break;
    case RICElementKind::Rectangle:
      s = "Rect";
      add({e.CopyOpt, e.PosX, e.PosY, e.Width, e.Height});
      break;
    case RICElementKind::Circle:
      s = "Circle";
      add({e.CopyOpt, e.PosX, e.PosY, e.Radius});
      break;
    case RICElementKind::NumBox:
      s = "NumBox";
      add({e.CopyOpt, e.PosX, e.PosY, e.Value});
      break;
    case RICElementKind::Ellipse:
      s = "Ellipse";
      add({e.CopyOpt, e.PosX, e.PosY, e.RadiusX, e.RadiusY});
      break;
    case RICElementKind::Polygon:
      s = "Polygon";
      add({e.CopyOpt});
      for (const PolygonPoint& p : e.PolygonPoints) add({p.X, p.Y});
      break;
  }
  return s;
}

std::string Describe(const RICElementList& list) {
  std::string s;
  for (const ElementPtr& e : list) s += (s.empty() ? "" : "; ") + Describe(*e);
  return s;
}

// The description of the parsed script, then "| stop" and where and at what
// it stopped early; or "error L:C: reason".
std::string Outcome(const std::string& script, const std::string& path = "test.rs") {
  try {
    std::vector<std::string> notes;
    std::string read = Describe(ParseRicScript(script, path, &notes));
    const std::string rest = " is not a RicScript statement; the rest of the file was not read";
    for (const std::string& note : notes)
      read +=
          " | stop " + (note.ends_with(rest) ? note.substr(0, note.size() - rest.size()) : note);
    return read;
  } catch (const RicScriptError& e) {
    return "error " + std::to_string(e.Line()) + ":" + std::to_string(e.Column()) + ": " +
           e.Reason();
  }
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

std::string ReadText(const std::string& path) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(path, 1 << 24);
  return std::string(bytes.begin(), bytes.end());
}

// ---------------------------------------------------------------------------
// The text filter

TEST(ScriptFilter, FoldsDropsAndCutsComments) {
  EXPECT_EQ(FilterScriptText("desc( 0, 100, 64 ); // the size\n").Text, "DESC(0,100,64)");
  EXPECT_EQ(FilterScriptText("a-b+c=d;e.f_g\th[1]").Text, "ABCDEFGH[1]");
  EXPECT_EQ(FilterScriptText("pixel(0,1,1,0); // dot\r\nline").Text, "PIXEL(0,1,1,0)LINE");
  // Characters beyond 7-bit ASCII go outside quotes and stay inside them.
  EXPECT_EQ(FilterScriptText("x\xC3\xA9y \"\xC3\xA9 z\"").Text, "XY\"\xC3\xA9 Z\"");
}

TEST(ScriptFilter, QuotesKeepEverythingAndCarryOverLineEnds) {
  EXPECT_EQ(FilterScriptText("import( \"my Logo.bmp\" )").Text, "IMPORT(\"MY LOGO.BMP\")");
  // The comment is cut before quotes are looked at.
  EXPECT_EQ(FilterScriptText("import(\"a//b.bmp\")").Text, "IMPORT(\"A");
  // Each line is trimmed first; the quote stays open across the line end.
  EXPECT_EQ(FilterScriptText("x \"ab  \n  cd\" y").Text, "X\"ABCD\"Y");
}

TEST(ScriptFilter, EveryLineEndCounts) {
  // LF, CR LF and a lone CR each end a line, and so each ends a comment.
  EXPECT_EQ(FilterScriptText("a//x\nb//x\r\nc//x\rd").Text, "ABCD");
}

TEST(ScriptFilter, KeepsThePlaceOfEveryCharacter) {
  const std::string raw = "  pixel(1,\r\n\tline // x\n\n  \"a b\"";
  ASSERT_EQ(FilterScriptText(raw).Text, "PIXEL(1,LINE\"A B\"");
  EXPECT_EQ(ScriptPositionOf(raw, 0), (ScriptPosition{1, 3}));   // P
  EXPECT_EQ(ScriptPositionOf(raw, 7), (ScriptPosition{1, 10}));  // ,
  EXPECT_EQ(ScriptPositionOf(raw, 8), (ScriptPosition{2, 2}));   // L after the tab
  EXPECT_EQ(ScriptPositionOf(raw, 12), (ScriptPosition{4, 3}));  // opening quote
  EXPECT_EQ(ScriptPositionOf(raw, 14), (ScriptPosition{4, 5}));  // the quoted blank
  EXPECT_EQ(ScriptPositionOf(raw, 17), (ScriptPosition{4, 8}));  // just after the end
  EXPECT_EQ(ScriptPositionOf("", 0), (ScriptPosition{1, 1}));
}

// ---------------------------------------------------------------------------
// Statements and values

TEST(ScriptReader, TheNineKindsOfTheExample) {
  const std::string script =
      "desc( 0, 100, 64 );\n"
      "sprite( 1,\n"
      "        0110,\n"
      "        0X9F  );\n"
      "varmap( 2, \n"
      "        f( 0)= 0,\n"
      "        f( 255)= 100  );\n"
      "copybits( 0, 1, 0, 0, 8, 2, arg(3), maparg( 2, 4 ) );\n"
      "pixel( 0, 10, arg(5), 0 );\n"
      "line( 4, 0, 0, 99, 63 );\n"
      "rect( 0, 10, 10, 20, 8 );\n"
      "circle( 0, 50, 32, 10 );\n"
      "numbox( 0, 0, 0, maparg( 1, 7 ) );\n";
  RICElementList list = ParseRicScript(script, "example.rs");
  ASSERT_EQ(list.Count(), 9);
  EXPECT_EQ(Describe(list),
            "Desc 0 100 64; Sprite 1 [0,0,7,1] 0110.... 10011111; VarMap 2 0:0 255:100; "
            "CopyBits 0 1 0 0 8 2 0xF003 0xF204; Pixel 0 10 0xF005; Line 4 0 0 99 63; "
            "Rect 0 10 10 20 8; Circle 0 50 32 10; NumBox 0 0 0 0xF107");
  // The sprite keeps the never-drawn grey outside its rows and knows its data size.
  EXPECT_EQ(list[1]->Canvas.Pixel(4, 0), kGrey);
  EXPECT_EQ(list[1]->DataSize, 2);
  EXPECT_EQ(list[1]->ZoomFactor, 6);
  EXPECT_FALSE(list[1]->MarkedArea.IsSet());
}

struct ScriptCase {
  const char* Name;
  const char* Script;
  const char* Expected;  // Describe() of the elements, or "error L:C: reason"
};

class ScriptCases : public testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptCases, Read) { EXPECT_EQ(Outcome(GetParam().Script), GetParam().Expected); }

INSTANTIATE_TEST_SUITE_P(
    Statements, ScriptCases,
    testing::Values(
        ScriptCase{"EmptyFile", "", ""}, ScriptCase{"OnlyComments", "// one\n   // two\r\n", ""},
        ScriptCase{"SecondKeywords",
                   "comment(1,2,3) image(4, 1) function(5, f(1)=2, f(3)=4) "
                   "bitblit(1,2,3,4,5,6,7,8) point(1,2,3) linie(1,2,3,4,5) recantle(1,2,3,4,5)",
                   "Desc 1 2 3; Sprite 4 [0,0,0,0] 1; VarMap 5 1:2 3:4; CopyBits 1 2 3 4 5 6 7 8; "
                   "Pixel 1 2 3; Line 1 2 3 4 5; Rect 1 2 3 4 5"},
        ScriptCase{"PixelWithThreeValues", "pixel( 1, 2, 3 )", "Pixel 1 2 3"},
        ScriptCase{"EllipseAndPolygon",
                   "ellipse( 32, 50, 30, 20, 10 ) polygon( 0, 1, 2, 3, arg(4), 5, 6 ) "
                   "POLYGON(0) pixel(0,1,2)",
                   "Ellipse 32 50 30 20 10; Polygon 0 1 2 3 0xF004 5 6; Polygon 0; Pixel 0 1 2"},
        ScriptCase{"PolygonWithAnOddValue", "polygon( 0, 1, 2, 3 ); pixel( 0, 1, 2 );",
                   "error 1:19: a polygon point needs an x and a y value"},
        ScriptCase{"PixelWithFourValues", "pixel( 1, 2, 3, 9 )", "Pixel 1 2 3"},
        ScriptCase{"PixelArgThenLine", "pixel( 0, 1, arg(2), 0 ); line( 0, 0, 0, 9, 9 );",
                   "Pixel 0 1 0xF002; Line 0 0 0 9 9"},
        ScriptCase{"ArgClosingTheList", "pixel( 0, 10, arg(5) ); line( 4, 0, 0, 99, 63 );",
                   "Pixel 0 10 0xF005; Line 4 0 0 99 63"},
        ScriptCase{"ArgAtTheEndOfTheText", "pixel( 0, 1, arg(5)", "Pixel 0 1 0xF005"},
        ScriptCase{"NestedArgWithFourthValue", "pixel(0,1,arg(arg(3)),7) line(0,0,0,1,1)",
                   "Pixel 0 1 0xF003; Line 0 0 0 1 1"},
        ScriptCase{"NestedArgClosingTheList", "pixel(0,1,arg(arg(3))) line(0,0,0,1,1)",
                   "Pixel 0 1 0xF003; Line 0 0 0 1 1"},
        ScriptCase{"MapArgOfArg", "numbox( 0, 0, 0, maparg( 2, arg(5) ) )", "NumBox 0 0 0 0xF205"},
        ScriptCase{"SquareBracketsDoNotEndLists", "numbox( 0, 0, 0, ARG[3] ) pixel[1,2,3,4]",
                   "NumBox 0 0 0 0xF003; Pixel 1 2 3"},
        ScriptCase{"LineMissingAValue", "line( 0, 1, 2, 3 ); pixel( 0, 1, 2 );",
                   "error 1:21: 'PIXEL' is not a number"},
        ScriptCase{"RectWithAValueTooMany", "rect( 0, 1, 2, 3, 4, 5 ); pixel(0,1,2)",
                   "Rect 0 1 2 3 4 | stop test.rs:1:22: '5 );'"},
        ScriptCase{"NoKeywordAtTheStart", "hello pixel( 0, 1, 2 )",
                   " | stop test.rs:1:1: 'hello pixel( 0, 1, 2 )'"},
        ScriptCase{"StopsAtAnUnknownWord", "pixel(0,1,2) stop line(0,0,0,1,1)",
                   "Pixel 0 1 2 | stop test.rs:1:14: 'stop line(0,0,0,1,1)'"},
        ScriptCase{
            "MisspelledStatement",
            "desc( 0, 100, 64 );\r\nline( 0, 0, 0, 99, 63 );\r\n  circel(0,50,32,10); // c\r\n"
            "rect( 0, 10, 10, 20, 8 );",
            "Desc 0 100 64; Line 0 0 0 99 63 | stop test.rs:3:3: 'circel(0,50,32,10);'"},
        ScriptCase{
            "LongStatementIsShortened",
            "pixel(0,1,2) \"abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGH",
            "Pixel 0 1 2 | stop test.rs:1:14: '\"abcdefghijklmnopqrstuvwxyz0123456789ABC...'"},
        ScriptCase{"HexValues", "numbox( 0, 5, 5, 0X10 ) numbox( 0, 5, 5, X1F )",
                   "NumBox 0 5 5 16; NumBox 0 5 5 31"},
        ScriptCase{"LowSixteenBits", "numbox(0,5,5,70000) numbox(0,5,5,65536)",
                   "NumBox 0 5 5 0x1170; NumBox 0 5 5 0"},
        ScriptCase{"BigNumberIsAReference", "numbox( 0, 5, 5, 61443 )", "NumBox 0 5 5 0xF003"},
        ScriptCase{"LargestNumbers", "numbox(0,0,0,2147483647) numbox(0,0,0,0XFFFFFFFF)",
                   "NumBox 0 0 0 0xFFFF; NumBox 0 0 0 0xFFFF"},
        ScriptCase{"DecimalBeyond32Bits", "numbox(0,0,0,2147483648)",
                   "error 1:14: '2147483648' is too large for a number"},
        ScriptCase{"HexBeyond32Bits", "numbox(0,0,0,0X100000000)",
                   "error 1:14: '0X100000000' is too large for a number"},
        ScriptCase{"LettersInANumber", "numbox(0,0,0,12AB)", "error 1:14: '12AB' is not a number"},
        ScriptCase{"HexPrefixAlone", "numbox(0,0,0,0X)", "error 1:14: '0X' is not a number"},
        ScriptCase{"MinusAndBlanksAreDropped", "numbox( 0, 5, 5, -5 ) numbox( 0, 5, 5, 1 2 )",
                   "NumBox 0 5 5 5; NumBox 0 5 5 12"},
        ScriptCase{"HeightAtTheVeryEnd", "desc( 0, 100, 64", "Desc 0 100 64"},
        ScriptCase{"EndsInsideAStatement", "desc( 0, 100",
                   "error 1:13: the script ends in the middle of a statement"},
        ScriptCase{"CommentAfterCode", "pixel( 0, 1, 1, 0 ); // dot", "Pixel 0 1 1"},
        ScriptCase{"VarMapWithOnePoint", "varmap( 1, f( 10)= 20 );",
                   "error 1:1: a VarMap needs at least two points"},
        ScriptCase{"VarMapWithoutPoints", "varmap( 1 );",
                   "error 1:1: a VarMap needs at least two points"},
        ScriptCase{"VarMapPointsReplaceTheDefaults", "varmap( 1, f( 10)= 20, f(30)=40 );",
                   "VarMap 1 10:20 30:40"},
        ScriptCase{"VarMapTakesAnyTokenAndKeepsTheOrder",
                   "varmap( 1, g( 30)= 1, x(10)= 2, f(10)=3 );", "VarMap 1 30:1 10:2 10:3"},
        ScriptCase{"EmptySprite", "sprite( 1 );", "Sprite 1 [-1,-1,-1,-1]"},
        ScriptCase{"SpriteRowsOfDifferentLengths", "sprite( 2, 1, 0110, 0X9F, 01 );",
                   "Sprite 2 [0,0,7,3] 1....... 0110.... 10011111 01......"},
        ScriptCase{"BadBitRow", "sprite( 1,\n  0110,\n  0102 );",
                   "error 3:6: a sprite row may hold only 0 and 1"},
        ScriptCase{"BadHexRow", "sprite( 1, 0XG0 );",
                   "error 1:14: a hexadecimal sprite row may hold only 0 to 9 and A to F"},
        ScriptCase{"EmptyHexRow", "sprite( 1, 0X );",
                   "error 1:12: a hexadecimal sprite row needs at least one digit"},
        ScriptCase{"KeywordInsideAnOpenSprite", "sprite( 1, 0110, pixel(0,1,2)",
                   "error 1:18: a sprite row may hold only 0 and 1"},
        ScriptCase{"SpriteNeverClosed", "sprite( 1, 0110",
                   "error 1:16: the script ends in the middle of a statement"},
        ScriptCase{"ErrorsOnLaterLines", "desc(0,100,64)\n\n   line(0, 1, 2,\n  3, y4 )",
                   "error 4:6: 'Y4' is not a number"}),
    [](const testing::TestParamInfo<ScriptCase>& info) { return std::string(info.param.Name); });

TEST(ScriptReader, ArgumentFormsNestSixteenDeep) {
  auto nested = [](int depth) {
    std::string value;
    for (int i = 0; i < depth; ++i) value += "arg(";
    value += "7" + std::string(std::size_t(depth), ')');
    return "numbox(0,0,0," + value + ") pixel(1,2,3)";
  };
  EXPECT_EQ(Outcome(nested(16)), "NumBox 0 0 0 0xF007; Pixel 1 2 3");
  EXPECT_EQ(Outcome(nested(17)), "error 1:78: ARG and MAPARG may nest at most 16 deep");
  // A hostile depth is refused, not followed down the stack.
  EXPECT_EQ(Outcome(nested(100000)).substr(0, 6), "error ");
}

TEST(ScriptReader, OversizedSpritesAreClampedToTheCanvas) {
  std::string script = "sprite( 3, " + std::string(1100, '1') + ", 0X" + std::string(300, 'F');
  for (int row = 2; row < 600; ++row) script += ", 01";
  script += " ) pixel(1,2,3)";
  RICElementList list = ParseRicScript(script, "big.rs");
  ASSERT_EQ(list.Count(), 2);
  const TRICElement& sprite = *list[0];
  EXPECT_EQ(sprite.UsedArea, (TRect{0, 0, 1023, 511}));
  EXPECT_EQ(SpriteDataSize(sprite.UsedArea), 512 * 128);
  EXPECT_TRUE(sprite.Canvas.IsBlack(1023, 0));
  EXPECT_TRUE(sprite.Canvas.IsBlack(1023, 1));
  EXPECT_TRUE(sprite.Canvas.IsBlack(1, 511));
  EXPECT_EQ(sprite.Canvas.Pixel(0, 511), kWhite);
}

TEST(ScriptReader, RefusesMoreThanARicFileHolds) {
  std::string script;
  for (int i = 0; i < 20000; ++i) script += "line(0,0,0,1,1)";  // 14 bytes each in a RIC file
  std::string outcome = Outcome(script);
  EXPECT_EQ(outcome.rfind("error 1:", 0), 0u) << outcome.substr(0, 80);
  EXPECT_NE(outcome.find("more than a RIC file can hold"), std::string::npos);
}

TEST(ScriptReader, RandomScriptsEndInElementsOrAnError) {
  const char* const pieces[] = {"sprite(", "image[", "varmap(", "f(", "arg(", "maparg(", "import(",
                                "pixel(",  "line(",  "desc(",   "0X", "0110", "1",       "9",
                                "65535",   "x1f",    ")",       "(",  ",",    "[",       "]",
                                "\"",      "//",     "\n",      "\r", " ",    "z",       "numbox("};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string script;
    int count = int(random() % 40);
    for (int i = 0; i < count; ++i) script += pieces[random() % std::size(pieces)];
    try {
      RICElementList list = ParseRicScript(script, "random.rs");
      for (const ElementPtr& e : list)
        if (e->Kind == RICElementKind::Sprite && e->UsedArea.IsSet()) {
          EXPECT_GE(e->UsedArea.Right, 0) << script;
          EXPECT_LT(e->UsedArea.Right, SpriteCanvas::kWidth) << script;
          EXPECT_LT(e->UsedArea.Bottom, SpriteCanvas::kHeight) << script;
        } else if (e->Kind == RICElementKind::VarMap) {
          EXPECT_GE(e->Points.size(), 2u) << script;
        }
    } catch (const RicScriptError& e) {
      EXPECT_GE(e.Line(), 1) << script;
      EXPECT_GE(e.Column(), 1) << script;
      EXPECT_FALSE(e.Reason().empty()) << script;
    }
  }
}

TEST(ScriptReader, ErrorTextsForTheCommandLineAndTheWindow) {
  try {
    ParseRicScript("desc(0,100,64)\nsprite(1,\n    0110,\n    01x0 )", "dir/pic.rs");
    FAIL() << "no error";
  } catch (const RicScriptError& e) {
    EXPECT_STREQ(e.what(), "dir/pic.rs:4:7: a sprite row may hold only 0 and 1");
    EXPECT_EQ(e.File(), "dir/pic.rs:4:7");
    EXPECT_EQ(e.ScriptPath(), "dir/pic.rs");
    EXPECT_EQ(e.Message(), "line 4, column 7: a sprite row may hold only 0 and 1");
  }
}

// Rows cut to the canvas are read, and a note says where: once per sprite.
TEST(ScriptReader, RowsCutToTheCanvasAreNoted) {
  const std::string wide(1030, '1'), row = "0,\n";
  std::string tall = "sprite(2,\n";
  for (int i = 0; i < 515; ++i) tall += row;
  std::vector<std::string> notes;
  const RICElementList list = ParseRicScript(
      "pixel(0,1,1)\nsprite(1, 1,\n " + wide + ", " + wide + ")\n" + tall + "1)\n", "t.rs", &notes);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[1]->UsedArea, (TRect{0, 0, 1023, 2}));
  EXPECT_EQ(list[2]->UsedArea, (TRect{0, 0, 0, 511}));
  EXPECT_EQ(
      notes,
      (std::vector<std::string>{
          "t.rs:3:2: a sprite row of 1030 pixels is wider than the canvas (1024 pixels); it "
          "was cut",
          "t.rs:517:1: the sprite has more rows than the canvas holds (512); this row and the "
          "ones after it were cut"}));
}

// Whatever the input holds, a message quotes a short piece of it on one line.
TEST(ScriptReader, MessagesQuoteShortPiecesOnOneLine) {
  const std::string longToken(1 << 20, 'Q');
  EXPECT_EQ(Outcome("numbox(0,1,1," + longToken + ")"),
            "error 1:14: '" + std::string(kQuotedInputLength, 'Q') + "...' is not a number");
  EXPECT_EQ(
      Outcome("numbox(0,1,1," + std::string(1 << 20, '9') + ")"),
      "error 1:14: '" + std::string(kQuotedInputLength, '9') + "...' is too large for a number");
  EXPECT_EQ(QuoteInput("a\tb\r\n\x01\x7F"), "'a\\tb\\r\\n\\x01\\x7F'");
  // A cut never splits a character of more than one byte.
  EXPECT_EQ(QuoteInput("ab\xC3\xA9", 3), "'ab...'");
  EXPECT_EQ(RicScriptError("dir/a\nb.rs", 2, 3, "why").what(),
            std::string("'dir/a\\nb.rs':2:3: why"));
  EXPECT_EQ(TavlinError("plain name.rs", "why").what(), std::string("plain name.rs: why"));
}

// ---------------------------------------------------------------------------
// Reading into the document

class ScriptDocument : public testing::Test {
 protected:
  RICElementList ElementList;
  std::string Script(const std::string& name, const std::string& text) {
    std::string path = folder_ + "/" + name;
    WriteText(path, text);
    return path;
  }
  test::TempFolder temp_{"ricscript"};  // a fresh folder per test, removed after it
  std::string folder_ = temp_.Dir().string();
};

TEST_F(ScriptDocument, ReplacesOrAppends) {
  NewLine(ElementList, 0, 1, 2, 3, 4);
  std::string path = Script("a.rs", "pixel(0,1,2) circle(0,5,5,3)\ncircel(0,5,5,3)");
  std::vector<std::string> notes;
  EXPECT_TRUE(ReadRicScript(ElementList, path, false, &notes));
  EXPECT_EQ(Describe(ElementList), "Line 0 1 2 3 4; Pixel 0 1 2; Circle 0 5 5 3");
  EXPECT_TRUE(ReadRicScript(ElementList, path, true));
  EXPECT_EQ(Describe(ElementList), "Pixel 0 1 2; Circle 0 5 5 3");
  // Where the reading stopped, as the window and the command line show it.
  EXPECT_EQ(notes, std::vector<std::string>{path + ":2:1: 'circel(0,5,5,3)' is not a RicScript "
                                                   "statement; the rest of the file was not read"});
}

TEST_F(ScriptDocument, AFailedReadLeavesTheDocumentAsItWas) {
  NewLine(ElementList, 0, 1, 2, 3, 4);
  NewSprite(ElementList, 2);
  std::string before = Describe(ElementList);
  std::string path = Script("bad.rs", "pixel(0,1,2)\ncircle(0,5,5,3)\nsprite(1, 012)");
  for (bool clearFirst : {true, false}) {
    try {
      ReadRicScript(ElementList, path, clearFirst);
      ADD_FAILURE() << "no error";
    } catch (const RicScriptError& e) {
      EXPECT_EQ(e.Message(), "line 3, column 13: a sprite row may hold only 0 and 1");
    }
    EXPECT_EQ(Describe(ElementList), before) << "clearFirst " << clearFirst;
  }
}

TEST_F(ScriptDocument, AnUnreadableFileIsAnErrorNotAnEmptyScript) {
  NewLine(ElementList, 0, 1, 2, 3, 4);
  std::string missing = folder_ + "/missing.rs";
  try {
    ReadRicScript(ElementList, missing, true);
    ADD_FAILURE() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_EQ(std::string(e.what()), missing + ": File not found");
  }
  EXPECT_EQ(Describe(ElementList), "Line 0 1 2 3 4");
  EXPECT_THROW(ReadRicScript(ElementList, folder_, true), TavlinError);  // a folder
}

TEST_F(ScriptDocument, LoadAndSaveDocumentByExtension) {
  std::string path = Script("doc.RS", "desc(0,100,64) line(0,0,0,99,63)");
  RICElementList list = LoadDocument(path);
  EXPECT_EQ(Describe(list), "Desc 0 100 64; Line 0 0 0 99 63");
  std::string copy = folder_ + "/copy.rs";
  SaveDocument(copy, list);
  EXPECT_EQ(ReadText(copy), "desc( 0, 100, 64 );\r\n\r\nline( 0, 0, 0, 99, 63 );\r\n\r\n");
}

// ---------------------------------------------------------------------------
// IMPORT items

class ScriptImport : public ScriptDocument {
 protected:
  void SetUp() override {
    ScriptDocument::SetUp();
    fs::copy_file(kPictures + "ramp.png", folder_ + "/ramp.png");
  }
  std::string Read(const std::string& text) { return Outcome(text, folder_ + "/import.rs"); }
  RICElementList Parse(const std::string& text) {
    return ParseRicScript(text, folder_ + "/import.rs");
  }
};

// Black pixels of row 0 of the ramp (grey = column) stretched to `width`.
int RampBlack(int width, int threshold) {
  int black = 0;
  for (int x = 0; x < width; ++x)
    if (100 * (x * 256 / width) <= 255 * threshold) ++black;
  return black;
}

int BlackInRow(const TRICElement& sprite, int y) {
  int black = 0;
  for (int x = sprite.UsedArea.Left; x <= sprite.UsedArea.Right; ++x)
    black += sprite.Canvas.IsBlack(x, y) ? 1 : 0;
  return black;
}

TEST_F(ScriptImport, ThresholdAndTheDisplaySizeByDefault) {
  // The upper-cased name finds the lower-case file.
  RICElementList list = Parse("IMAGE( 7, IMPORT( \"RAMP.PNG\", 40 ) ) pixel(1,2,3)");
  ASSERT_EQ(list.Count(), 2);
  const TRICElement& sprite = *list[0];
  EXPECT_EQ(sprite.ID, 7);
  EXPECT_EQ(sprite.UsedArea, (TRect{0, 0, 99, 63}));
  EXPECT_EQ(sprite.DataSize, 64 * 13);
  for (int y : {0, 31, 63}) EXPECT_EQ(BlackInRow(sprite, y), RampBlack(100, 40)) << y;
  EXPECT_TRUE(sprite.Canvas.IsBlack(0, 0));
  EXPECT_EQ(sprite.Canvas.Pixel(99, 0), kWhite);
  EXPECT_EQ(sprite.Canvas.Pixel(100, 0), kGrey);
}

TEST_F(ScriptImport, FileNameAloneMeansThresholdFifty) {
  RICElementList list = Parse("sprite( 1, import( \"ramp.png\" ) )");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list[0]->UsedArea, (TRect{0, 0, 99, 63}));
  EXPECT_EQ(BlackInRow(*list[0], 10), RampBlack(100, 50));
}

TEST_F(ScriptImport, SizesAreTakenAndLimited) {
  RICElementList list = Parse(
      "sprite( 1, import( \"ramp.png\", 20, 256, 2 ) ) "
      "sprite( 2, import( \"ramp.png\", 100, 5000, 9999 ) )");
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0]->UsedArea, (TRect{0, 0, 255, 1}));
  EXPECT_EQ(BlackInRow(*list[0], 1), 255 * 20 / 100 + 1);
  EXPECT_EQ(list[1]->UsedArea, (TRect{0, 0, 1023, 511}));
  EXPECT_EQ(BlackInRow(*list[1], 511), 1024);
}

TEST_F(ScriptImport, RowsAroundAnImport) {
  // Square brackets keep the sprite open after the IMPORT item; the row
  // counter is not moved by the picture.
  RICElementList list = Parse("sprite( 1, 111, import[ \"ramp.png\", 100, 4, 2 ], 0 )");
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(Describe(*list[0]), "Sprite 1 [0,0,3,1] 1111 0111");
}

TEST_F(ScriptImport, NamesMatchRegardlessOfCaseInFolders) {
  fs::create_directories(folder_ + "/Pics/Small");
  fs::copy_file(kPictures + "ramp.png", folder_ + "/Pics/Small/Ramp.Png");
  EXPECT_EQ(Describe(Parse("sprite(1, import(\"pics/SMALL/ramp.png\", 100, 3, 1))")),
            "Sprite 1 [0,0,2,0] 111");
  // Backslashes of scripts written on Windows are folder separators too.
  EXPECT_EQ(Describe(Parse("sprite(1, import(\"PICS\\SMALL\\RAMP.PNG\", 100, 3, 1))")),
            "Sprite 1 [0,0,2,0] 111");
  // An absolute name, upper-cased with all its folders.
  std::string absolute = fs::absolute(folder_ + "/ramp.png").string();
  EXPECT_EQ(Describe(Parse("sprite(1, import(\"" + absolute + "\", 0, 2, 1))")),
            "Sprite 1 [0,0,1,0] 10");
}

// A name is made plain before it is looked up: folders named and left again
// cost nothing, whether they exist or not. A large folder read to match a
// name's case asks its caller now and then whether to go on.
TEST_F(ScriptImport, NamesAreMadePlainAndFolderReadingCanBeCancelled) {
  fs::create_directories(folder_ + "/pics");
  fs::copy_file(kPictures + "ramp.png", folder_ + "/pics/ramp.png");
  std::string detours;
  for (int i = 0; i < 150; ++i) detours += "PICS/../NOWHERE/../";
  EXPECT_EQ(Describe(Parse("sprite(1, import(\"" + detours + "PICS/RAMP.PNG\", 100, 2, 1))")),
            "Sprite 1 [0,0,1,0] 11");
  for (int i = 0; i < 3000; ++i) std::ofstream(folder_ + "/pics/f" + std::to_string(i));
  EXPECT_THROW(ParseRicScript("sprite(1, import(\"PICS/MISSING.PNG\"))", folder_ + "/import.rs",
                              nullptr, [](std::size_t, std::size_t) { return false; }),
               RicScriptCancelled);
}

TEST_F(ScriptImport, NamesAreResolvedAgainstTheScriptFolder) {
  std::string path = Script("s.rs", "sprite(1, import(\"ramp.png\", 100, 2, 1))");
  fs::path old = fs::current_path();
  fs::current_path(fs::temp_directory_path());
  RICElementList list = LoadRicScript(path);
  fs::current_path(old);
  EXPECT_EQ(Describe(list), "Sprite 1 [0,0,1,0] 11");
}

TEST_F(ScriptImport, FailedChecks) {
  EXPECT_EQ(Read("sprite(1,\n import(\"ramp.png\", 101))"),
            "error 2:21: the IMPORT threshold must be 0 to 100, not 101");
  EXPECT_EQ(Read("sprite(1, import(\"ramp.png\", 50, 0, 10))"),
            "error 1:34: the IMPORT size must be at least 1 x 1, not 0 x 10");
  EXPECT_EQ(Read("sprite(1, import(\"ramp.png\", 50, 10, 0))"),
            "error 1:34: the IMPORT size must be at least 1 x 1, not 10 x 0");
  EXPECT_EQ(Read("sprite(1, import(\"nothing.png\"))"),
            "error 1:18: picture file 'NOTHING.PNG' not found");
  // Without quotes the dot is dropped and the first and last letters go.
  EXPECT_EQ(Read("sprite(1, import(ramp.png))"), "error 1:18: picture file 'AMPPN' not found");
  EXPECT_EQ(Read("sprite(1, import(\"\"))"), "error 1:18: picture file '' not found");
}

TEST_F(ScriptImport, APictureThatCannotBeDecoded) {
  std::vector<std::uint8_t> png = ReadFileBytes(kPictures + "ramp.png", 1 << 20);
  png.resize(png.size() / 2);
  WriteFileAtomic(folder_ + "/half.png", png.data(), png.size());
  std::string outcome = Read("sprite(1, import(\"half.png\"))");
  EXPECT_EQ(outcome.rfind("error 1:18: " + folder_ + "/half.png: damaged PNG picture", 0), 0u)
      << outcome;
}

// A 1-bit BMP of width x height black pixels (a few MB for millions of pixels).
void WriteBlackBmp(const std::string& path, int width, int height) {
  const std::uint32_t stride = std::uint32_t((width + 31) / 32 * 4);
  const std::uint32_t size = 62 + stride * std::uint32_t(height);
  std::vector<std::uint8_t> b;
  auto put = [&](std::uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(std::uint8_t(v >> (8 * i)));
  };
  b = {'B', 'M'};
  put(size, 4), put(0, 4), put(62, 4);
  put(40, 4), put(std::uint32_t(width), 4), put(std::uint32_t(height), 4), put(1, 2), put(1, 2);
  put(0, 4), put(stride * std::uint32_t(height), 4), put(2835, 4), put(2835, 4), put(2, 4);
  put(0, 4), put(0, 4), put(0xFFFFFF, 4);
  b.resize(size, 0);
  WriteFileAtomic(path, b.data(), b.size());
}

// Each picture is decoded once per script however often it is named, and the
// pixels of all pictures together are bounded.
TEST_F(ScriptImport, PicturesAreDecodedOnceAndTheirPixelsBounded) {
  const int side = 16384, rows = int(kMaxScriptPicturePixels / 2 / side);
  for (const char* name : {"a.bmp", "b.bmp", "c.bmp"})
    WriteBlackBmp(folder_ + "/" + name, side, rows);
  const std::string twoPictures =
      "sprite(1, import[\"a.bmp\", 50, 2, 1], import[\"a.bmp\", 50, 3, 1], "
      "import(\"b.bmp\", 50, 3, 1))\n";
  EXPECT_EQ(Read(twoPictures), "Sprite 1 [0,0,2,0] 111");
  EXPECT_EQ(Read(twoPictures + "sprite(2, import(\"c.bmp\"))"),
            "error 2:18: the pictures the script imports hold more than " +
                std::to_string(kMaxScriptPicturePixels) + " pixels in all");
  // Drawing the same picture again and again is bounded as well.
  std::string many = "sprite(3";
  for (std::size_t i = 0; i * 1024 * 512 <= kMaxScriptPicturePixels; ++i)
    many += ", import[\"ramp.png\", 50, 1024, 512]";
  const std::string outcome = Read(many + ")");
  EXPECT_NE(outcome.find(": the IMPORT items of the script draw more than " +
                         std::to_string(kMaxScriptPicturePixels) + " pixels in all"),
            std::string::npos)
      << outcome;
}

// ---------------------------------------------------------------------------
// The writer

TEST(ScriptWriter, ArgumentForms) {
  EXPECT_EQ(FormatScriptArgument(300), "300");
  EXPECT_EQ(FormatScriptArgument(4095), "4095");
  EXPECT_EQ(FormatScriptArgument(0), "0");
  EXPECT_EQ(FormatScriptArgument(0xF007), "arg(7)");
  EXPECT_EQ(FormatScriptArgument(0xF0FF), "arg(255)");
  EXPECT_EQ(FormatScriptArgument(0xF207), "maparg( 2, 7 )");
  EXPECT_EQ(FormatScriptArgument(0xFAFF), "maparg( 10, 255 )");
  EXPECT_EQ(FormatScriptArgument(0x1005), "maparg( 0, 5 )");
  EXPECT_EQ(FormatScriptArgument(0x1234), "maparg( 2, 52 )");
}

TEST(ScriptWriter, TheExampleDocument) {
  RICElementList list;
  list.Add(MakeDescription(0, 100, 64));
  ElementPtr sprite = MakeSprite(1);
  sprite->UsedArea = {0, 0, 3, 1};
  for (int i = 0; i < 8; ++i)
    sprite->Canvas.SetPixel(i % 4, i / 4,
                            std::string("01101001")[std::size_t(i)] == '1' ? kBlack : kWhite);
  list.Add(std::move(sprite));
  ElementPtr map = MakeVarMap(2, 0);
  map->Points = {{0, 0}, {255, 100}};
  list.Add(std::move(map));
  list.Add(MakePixel(0, 10, EncodeParameter(5)));
  EXPECT_EQ(RicScriptText(list),
            "desc( 0, 100, 64 );\r\n"
            "\r\n"
            "sprite( 1,\r\n"
            "        0110,\r\n"
            "        1001  );\r\n"
            "\r\n"
            "varmap( 2, \r\n"
            "        f( 0)= 0,\r\n"
            "        f( 255)= 100  );\r\n"
            "\r\n"
            "pixel( 0, 10, arg(5), 0 );\r\n"
            "\r\n");
}

TEST(ScriptWriter, EveryOtherStatement) {
  const RICArgument arg7 = EncodeParameter(7);
  RICElementList list;
  list.Add(MakeCopyBits(1, 2, 3, 4, 5, 6, EncodeParameter(7), EncodeMapped(3, 8)));
  list.Add(MakeLine(4, 0, 0, 99, 63));
  list.Add(MakeRectangle(0, 10, 10, 20, 8));
  list.Add(MakeCircle(0, 50, 32, 10));
  list.Add(MakeNumBox(0, 0, 0, EncodeMapped(1, 7)));
  list.Add(MakeDescription(65535, 100, 64));
  list.Add(MakeEllipse(0, 50, 32, 20, arg7));
  list.Add(MakePolygon(0x400, {{1, 2}, {3, arg7}}));
  EXPECT_EQ(RicScriptText(list),
            "copybits( 1, 2, 3, 4, 5, 6, arg(7), maparg( 3, 8 ) );\r\n\r\n"
            "line( 4, 0, 0, 99, 63 );\r\n\r\n"
            "rect( 0, 10, 10, 20, 8 );\r\n\r\n"
            "circle( 0, 50, 32, 10 );\r\n\r\n"
            "numbox( 0, 0, 0, maparg( 1, 7 ) );\r\n\r\n"
            "desc( 65535, 100, 64 );\r\n\r\n"
            "ellipse( 0, 50, 32, 20, arg(7) );\r\n\r\n"
            "polygon( 1024,\r\n        1, 2,\r\n        3, arg(7)  );\r\n\r\n");
  EXPECT_EQ(RicScriptText(RICElementList{}), "");
}

TEST(ScriptWriter, SpritesWithoutPixelsStillCloseTheirStatement) {
  RICElementList list;
  list.Add(MakeSprite(1));  // unset used area
  ElementPtr black = MakeSprite(2);
  black->Canvas.Fill(kBlack);  // reading outside the canvas gives black now
  list.Add(std::move(black));
  ElementPtr empty = MakeSprite(3);
  empty->UsedArea = {0, 0, -1, 0};  // no columns, as a RIC file with 0 bytes per row gives
  list.Add(std::move(empty));
  const std::string text = RicScriptText(list);
  EXPECT_EQ(text,
            "sprite( 1,\r\n        0  );\r\n\r\n"
            "sprite( 2,\r\n        0  );\r\n\r\n"
            "sprite( 3,\r\n        empty( 0, 1 )  );\r\n\r\n");
  EXPECT_EQ(Describe(ParseRicScript(text, "x.rs")),
            "Sprite 1 [0,0,0,0] 0; Sprite 2 [0,0,0,0] 0; Sprite 3 [0,0,-1,0] ");
}

// ---------------------------------------------------------------------------
// Round trips

TEST(ScriptRoundTrip, ExportThenImportGivesTheDocumentBack) {
  RICElementList list;
  list.Add(MakeDescription(3, 100, 64));
  ElementPtr sprite = MakeSprite(4);
  sprite->UsedArea = {5, 3, 14, 5};  // not at the origin
  sprite->MarkedArea = {6, 3, 7, 4};
  sprite->ZoomFactor = 24;
  sprite->Canvas.FillRect(5, 3, 14, 5, kWhite);
  sprite->Canvas.SetPixel(5, 3, kBlack);
  sprite->Canvas.SetPixel(14, 5, kBlack);
  sprite->Canvas.SetPixel(9, 4, kPreviewRed);  // neither black nor white
  sprite->Canvas.SetPixel(10, 4, kGrey);
  sprite->Canvas.SetPixel(0, 0, kBlack);  // outside the used area
  list.Add(std::move(sprite));
  list.Add(MakeSprite(5));  // unset used area
  ElementPtr map = MakeVarMap(6, 3);
  map->Points = {{0, 65535}, {300, 2}, {65535, 0}};
  list.Add(std::move(map));
  list.Add(MakeCopyBits(0, 4, 0, 0, 10, 3, EncodeParameter(255), EncodeMapped(6, 1)));
  list.Add(MakePixel(0, 10, EncodeMapped(2, 5)));
  list.Add(MakeLine(4095, 300, 4095, 0, 1));
  list.Add(MakeRectangle(0x1005, 0x1234, 0xF0FF, 0xFA00, 1));  // words from other tools
  list.Add(MakeCircle(0, 50, 32, 10));
  list.Add(MakeNumBox(0, 0, 0, EncodeParameter(9)));
  list.Add(MakeEllipse(0x20, 50, 32, EncodeParameter(1), EncodeMapped(6, 2)));
  list.Add(MakePolygon(0x418, {{10, 4095}, {EncodeParameter(3), 0x1102}, {99, 63}}));
  list.Add(MakePolygon(0, {}));

  RICElementList back = ParseRicScript(RicScriptText(list), "roundtrip.rs");
  ASSERT_EQ(back.Count(), list.Count());
  EXPECT_EQ(Describe(back),
            "Desc 3 100 64; "
            "Sprite 4 [0,0,9,2] 1000000000 0000000000 0000000001; "  // red and grey come back white
            "Sprite 5 [0,0,0,0] 0; "
            "VarMap 6 0:65535 300:2 65535:0; "
            "CopyBits 0 4 0 0 10 3 0xF0FF 0xF601; "
            "Pixel 0 10 0xF205; "
            "Line 4095 300 4095 0 1; "
            "Rect 0xF005 0xF234 0xF0FF 0xFA00 1; "  // the tag nibble comes back as F
            "Circle 0 50 32 10; "
            "NumBox 0 0 0 0xF009; "
            "Ellipse 32 50 32 0xF001 0xF602; "
            "Polygon 1048 10 4095 0xF003 0xF102 99 63; "
            "Polygon 0");
  EXPECT_EQ(back[1]->Canvas.Pixel(0, 3), kGrey);  // nothing outside the used area
  EXPECT_EQ(back[1]->ZoomFactor, 6);
  EXPECT_FALSE(back[1]->MarkedArea.IsSet());
  // A second round changes nothing more.
  EXPECT_EQ(RicScriptText(back), RicScriptText(ParseRicScript(RicScriptText(back), "again.rs")));
}

class RicFileRoundTrip : public testing::TestWithParam<const char*> {};

// Argument words of other tools (tag nibble 1) come back with the tag F.
void SetReferenceTags(RICElementList& list) {
  for (const ElementPtr& e : list) {
    if (e->Kind == RICElementKind::Description || e->Kind == RICElementKind::Sprite ||
        e->Kind == RICElementKind::VarMap)
      continue;
    for (RICArgument* w :
         {&e->SpriteID, &e->CopyOpt, &e->PosX, &e->PosY, &e->RelX, &e->RelY, &e->X1, &e->Y1, &e->X2,
          &e->Y2, &e->Radius, &e->Value, &e->Width, &e->Height})
      if (*w & 0xF000) *w |= 0xF000;
  }
}

TEST_P(RicFileRoundTrip, ScriptKeepsTheRicBytes) {
  RICElementList list = LoadRicFile(std::string(TAVLIN_TEST_DATA) + "/" + GetParam());
  ASSERT_GT(list.Count(), 0);
  RICElementList back = ParseRicScript(RicScriptText(list), "from-ric.rs");
  SetReferenceTags(list);
  EXPECT_EQ(EncodeRic(back), EncodeRic(list));
  EXPECT_EQ(Describe(back), Describe(list));
}

INSTANTIATE_TEST_SUITE_P(Files, RicFileRoundTrip,
                         testing::Values("letters.ric", "numgrid.ric", "two-circles.ric"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           std::string name = info.param;
                           name = name.substr(0, name.find('.'));
                           for (char& c : name)
                             if (c == '-') c = '_';
                           return name;
                         });

// A RIC file may hold sprites of no rows or of rows of no bytes; the script keeps them.
TEST(ScriptRoundTrip, SpritesWithoutPixelsKeepTheirRicBytes) {
  std::vector<std::uint8_t> bytes;
  for (unsigned rows : {0u, 3u, 0u}) {
    const unsigned bytesPerRow = rows ? 0 : 2;
    for (unsigned w : {10u, 1u, 7u, rows, bytesPerRow, 0u}) {
      bytes.push_back(std::uint8_t(w));
      bytes.push_back(std::uint8_t(w >> 8));
    }
  }
  RICElementList list = DecodeRic(bytes.data(), bytes.size());
  ASSERT_EQ(list.Count(), 3);
  const std::string script = RicScriptText(list);
  EXPECT_EQ(EncodeRic(ParseRicScript(script, "empty.rs")), bytes) << script;
  EXPECT_EQ(Outcome("sprite( 1, empty( 3, 2 ) )"),
            "error 1:12: EMPTY needs a width or a height of 0, not 3 x 2");
}

TEST_F(ScriptDocument, WriteRicScriptSavesTheDocumentAtomically) {
  NewDescription(ElementList, 0, 100, 64);
  NewCircle(ElementList, 0, 50, 32, 10);
  std::string path = folder_ + "/out.rs";
  WriteText(path, "old contents");
  EXPECT_TRUE(WriteRicScript(ElementList, path));
  EXPECT_EQ(ReadText(path), RicScriptText(ElementList));
  // Nothing but the file itself is left in the folder.
  int files = 0;
  for (const auto& entry : fs::directory_iterator(folder_)) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
  EXPECT_THROW(WriteRicScript(ElementList, folder_ + "/no/such/folder/out.rs"), TavlinError);
  // A save that cannot finish leaves the old file as it was.
  fs::create_directories(folder_ + "/taken.rs/inside");
  EXPECT_THROW(WriteRicScript(ElementList, folder_ + "/taken.rs"), TavlinError);
  EXPECT_TRUE(fs::is_directory(folder_ + "/taken.rs/inside"));
}

}  // namespace
}  // namespace tavlin
