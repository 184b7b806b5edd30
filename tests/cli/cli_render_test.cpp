// tavlin-cli render, run as the built program: the pictures it writes, its
// options, and its exit codes and messages; a failed render leaves no file.
#include <gtest/gtest.h>

#include <gif_lib.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "../render/RenderTestUtil.h"
#include "CliMain.h"
#include "CliTestUtil.h"
#include "RICInterpreter.h"

namespace {

namespace fs = std::filesystem;
using tavlin::RgbImage;

using tavlin::test::DataFile;
using RenderRun = tavlin::test::CliResult;

class CliRenderTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  RenderRun Run(const std::vector<std::string>& args) const { return tavlin::test::RunCli(args); }

  // Renders with the output file last and expects success with no output;
  // returns the picture.
  RgbImage Render(std::vector<std::string> args) {
    const std::string png = Path("out.png");
    args.insert(args.begin(), "render");
    args.push_back(png);
    const RenderRun r = Run(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    RgbImage image;
    EXPECT_TRUE(tavlin::test::ReadPng(png, image)) << "no PNG written";
    fs::remove(png);
    return image;
  }

  std::vector<std::string> Entries() const { return folder_.Entries(); }

  tavlin::test::TempFolder folder_{"tavlin-render"};
};

std::string Golden(const std::string& name) {
  return tavlin::test::Joined(tavlin::test::ReadGridFile(DataFile("render/" + name)));
}

std::string Picture(const RgbImage& image) {
  return tavlin::test::Joined(tavlin::test::Grid(image));
}

TEST_F(CliRenderTest, WritesTheDisplayAs100By64Png) {
  const RgbImage image = Render({DataFile("two-circles.ric")});
  EXPECT_EQ(image.Width, 100);
  EXPECT_EQ(image.Height, 64);
  EXPECT_EQ(Picture(image), Golden("two-circles.txt"));
}

TEST_F(CliRenderTest, ZoomEnlargesEveryPixelWithoutGrid) {
  const RgbImage small = Render({DataFile("letters.ric"), "--param", "0=90"});
  const RgbImage big = Render({DataFile("letters.ric"), "--param", "0=90", "--zoom", "4"});
  ASSERT_EQ(big.Width, 400);
  ASSERT_EQ(big.Height, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 400; ++x) ASSERT_EQ(big.At(x, y), small.At(x / 4, y / 4)) << x << "," << y;
}

TEST_F(CliRenderTest, ParameterOptionsInBothSpellings) {
  EXPECT_EQ(Picture(Render({DataFile("letters.ric"), "--param", "0=20"})),
            Golden("letters-p20.txt"));
  EXPECT_EQ(Picture(Render({DataFile("letters.ric"), "--param=0=20"})), Golden("letters-p20.txt"));
  EXPECT_EQ(Picture(Render({"--param", "0=20", DataFile("letters.ric")})),
            Golden("letters-p20.txt"));
}

TEST_F(CliRenderTest, ParameterFileFirstThenEachParam) {
  const std::string rpa = Path("values.rpa");
  std::ofstream(rpa) << "# values\r\n  0 : 90\r\n  1 : 7\r\n";
  EXPECT_EQ(Picture(Render({DataFile("letters.ric"), "--params", rpa})), Golden("letters-p90.txt"));
  // --param wins over the file wherever it stands on the line.
  EXPECT_EQ(Picture(Render({DataFile("letters.ric"), "--param", "0=20", "--params", rpa})),
            Golden("letters-p20.txt"));
  EXPECT_EQ(Picture(Render({DataFile("letters.ric"), "--params=" + rpa, "--param", "0=20"})),
            Golden("letters-p20.txt"));
}

TEST_F(CliRenderTest, OffsetTakesNegativeNumbersAsItsValue) {
  const std::vector<std::string> block = {"--param", "0=20", "--param", "1=10",
                                          "--param", "2=30", "--param", "3=20"};
  std::vector<std::string> args = {DataFile("numgrid.ric"), "--offset", "5,3"};
  args.insert(args.end(), block.begin(), block.end());
  EXPECT_EQ(Picture(Render(args)), Golden("numgrid-20-10-30-20-offset-5-3.txt"));

  // Shifted by (-3, 2) from there: (2, 5).
  args = {DataFile("numgrid.ric"), "--offset", "2,5"};
  args.insert(args.end(), block.begin(), block.end());
  const std::string expected = Picture(Render(args));
  args = {DataFile("numgrid.ric"), "--offset=2,5"};
  args.insert(args.end(), block.begin(), block.end());
  EXPECT_EQ(Picture(Render(args)), expected);

  // Negative: only the part left on the screen.
  RgbImage shifted = Render({DataFile("two-circles.ric"), "--offset", "-15,2"});
  RgbImage plain = Render({DataFile("two-circles.ric")});
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 100; ++x) {
      const int sx = x + 15, sy = y + 2;
      const tavlin::Rgb want = sx < 100 && sy < 64 ? plain.At(sx, sy) : tavlin::kWhite;
      ASSERT_EQ(shifted.At(x, y), want) << x << "," << y;
    }
}

TEST_F(CliRenderTest, ElementAloneIsResolvedAtItsOwnPlace) {
  // numgrid.ric: 1 Description, 2 Sprite, 3 CopyBits, numbered as info lists
  // them. The CopyBits alone still finds the sprite before it; the Sprite
  // alone draws nothing.
  const std::vector<std::string> block = {"--param", "0=20",    "--param", "1=10",     "--param",
                                          "2=30",    "--param", "3=20",    "--offset", "5,3"};
  std::vector<std::string> args = {DataFile("numgrid.ric"), "--element", "3"};
  args.insert(args.end(), block.begin(), block.end());
  EXPECT_EQ(Picture(Render(args)), Golden("numgrid-20-10-30-20-offset-5-3.txt"));
  args = {DataFile("numgrid.ric"), "--element=2"};
  args.insert(args.end(), block.begin(), block.end());
  EXPECT_EQ(Picture(Render(args)),
            tavlin::test::Joined(std::vector<std::string>(64, std::string(100, '.'))));
}

TEST_F(CliRenderTest, ElementOutsideTheDocumentIsAnError) {
  const std::string out = Path("out.png");
  for (const char* k : {"4", "0", "-1", "70000"}) {
    const RenderRun r = Run({"render", DataFile("numgrid.ric"), out, "--element", k});
    EXPECT_EQ(r.exitCode, 1) << k;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "tavlin-cli: " + DataFile("numgrid.ric") + ": element " + k +
                         " is outside the document (3 elements)\n");
  }
  EXPECT_TRUE(Entries().empty());
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;  // after "render IN OUT"
  std::string message;
};

class CliRenderUsageTest : public CliRenderTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliRenderUsageTest, ExitsWithUsageErrorAndWritesNothing) {
  std::vector<std::string> args = {"render", DataFile("two-circles.ric"), Path("out.png")};
  args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
  const RenderRun r = Run(args);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("tavlin-cli: " + GetParam().message + "\n", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("Usage:"), std::string::npos);
  EXPECT_TRUE(Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    BadArguments, CliRenderUsageTest,
    ::testing::Values(
        UsageCase{"ExtraFile", {"more.png"}, "render needs IN and OUT.png or OUT.gif"},
        UsageCase{"UnknownOption", {"--colour", "red"}, "unknown option '--colour'"},
        UsageCase{"UnknownOptionLast", {"--foo"}, "unknown option '--foo'"},
        UsageCase{
            "LongValueIsCut",
            {"--zoom", std::string(100000, '7')},
            "--zoom needs a whole number from 1 to 32, not '" + std::string(40, '7') + "...'"},
        UsageCase{"MissingValue", {"--zoom"}, "option --zoom needs a value"},
        UsageCase{"ZoomZero", {"--zoom", "0"}, "--zoom needs a whole number from 1 to 32, not '0'"},
        UsageCase{
            "ZoomTooBig", {"--zoom=33"}, "--zoom needs a whole number from 1 to 32, not '33'"},
        UsageCase{"ParamIndex",
                  {"--param", "256=1"},
                  "--param needs N=V with N from 0 to 255 and V from 0 to 65535, not '256=1'"},
        UsageCase{"ParamValue",
                  {"--param", "1=65536"},
                  "--param needs N=V with N from 0 to 255 and V from 0 to 65535, not '1=65536'"},
        UsageCase{"ParamForm",
                  {"--param", "1"},
                  "--param needs N=V with N from 0 to 255 and V from 0 to 65535, not '1'"},
        UsageCase{
            "OffsetForm", {"--offset", "3"}, "--offset needs DX,DY, two whole numbers, not '3'"},
        UsageCase{"OffsetText",
                  {"--offset", "a,b"},
                  "--offset needs DX,DY, two whole numbers, not 'a,b'"},
        UsageCase{"ElementText",
                  {"--element", "first"},
                  "--element needs an element number, not 'first'"},
        UsageCase{"SweepForm",
                  {"--sweep", "1=5"},
                  "--sweep needs N=FROM..TO[:STEP] (N 0..255, FROM and TO 0..65535, STEP not "
                  "0), not '1=5'"},
        UsageCase{"SweepStepZero",
                  {"--sweep", "1=0..5:0"},
                  "--sweep needs N=FROM..TO[:STEP] (N 0..255, FROM and TO 0..65535, STEP not "
                  "0), not '1=0..5:0'"},
        UsageCase{"SweepValue",
                  {"--sweep=1=0..65536"},
                  "--sweep needs N=FROM..TO[:STEP] (N 0..255, FROM and TO 0..65535, STEP not "
                  "0), not '1=0..65536'"},
        UsageCase{"SweepRisingNegative",
                  {"--sweep", "1=0..5:-1"},
                  "--sweep needs N=FROM..TO[:STEP] (a negative STEP needs FROM above TO), not "
                  "'1=0..5:-1'"},
        UsageCase{"SweepTwice",
                  {"--sweep", "1=0..5", "--sweep", "1=5..0"},
                  "--sweep: parameter 1 is swept twice"},
        UsageCase{"FpsZero", {"--fps", "0"}, "--fps needs a whole number from 1 to 50, not '0'"}),
    [](const auto& info) { return std::string(info.param.name); });

// render writes only to a name that says what it writes: a PNG, or with a
// sweep a GIF or numbered PNGs. Anything else is a usage error that leaves
// the file there as it was.
TEST_F(CliRenderTest, OutputMustBeNamedForWhatIsWritten) {
  const std::string ric = Path("clobber.ric");
  fs::copy_file(DataFile("two-circles.ric"), ric);
  const std::string old = tavlin::test::ReadText(ric);
  for (const auto& [out, sweep] : std::vector<std::pair<std::string, bool>>{
           {ric, false}, {Path("one.gif"), false}, {ric, true}, {Path("x.PNG.txt"), true}}) {
    std::vector<std::string> args = {"render", DataFile("two-circles.ric"), out};
    if (sweep) args.insert(args.end(), {"--sweep", "1=0..2"});
    const RenderRun r = Run(args);
    EXPECT_EQ(r.exitCode, 2) << out;
    EXPECT_NE(r.err.find("OUT must end in"), std::string::npos) << r.err;
  }
  EXPECT_EQ(tavlin::test::ReadText(ric), old);
  EXPECT_EQ(Entries(), std::vector<std::string>{"clobber.ric"});
}

// A folder given as a parameter file is named as one.
TEST_F(CliRenderTest, ParameterFileThatIsAFolder) {
  fs::create_directory(Path("params.rpa"));
  const RenderRun r =
      Run({"render", DataFile("two-circles.ric"), Path("out.png"), "--params", Path("params.rpa")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: " + Path("params.rpa") + ": Is a folder, not a file\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"params.rpa"});
}

// Frame `index` of a GIF file in the colours its palettes give.
struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};
using GifFile = std::unique_ptr<GifFileType, GifCloser>;

tavlin::Rgb GifPixel(const GifFileType& gif, int index, int x, int y) {
  const SavedImage& image = gif.SavedImages[index];
  const ColorMapObject* map = image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif.SColorMap;
  const GifColorType c = map->Colors[image.RasterBits[y * image.ImageDesc.Width + x]];
  return tavlin::RgbOf(c.Red, c.Green, c.Blue);
}

TEST_F(CliRenderTest, SweepsWriteALoopingGifOfTheRendersTheyRunTogether) {
  const std::string script = Path("gauge.rs"), out = Path("out.gif");
  tavlin::test::WriteText(script,
                          "line( 0, 0, 0, arg(0), 63 );\nnumbox( 0, arg(0), 8, arg(1) );\n");
  const RenderRun r = Run({"render", script, out, "--sweep", "0=10..110:5", "--sweep=1=7..8",
                           "--fps", "4", "--zoom", "2"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  int error = 0;
  GifFile gif(DGifOpenFileName(out.c_str(), &error));
  ASSERT_TRUE(gif);
  ASSERT_EQ(DGifSlurp(gif.get()), GIF_OK);
  ASSERT_EQ(gif->ImageCount, 21);  // the longer sweep's frames
  ASSERT_EQ(gif->SWidth, 200);
  ASSERT_EQ(gif->SHeight, 128);

  // NETSCAPE2.0 with a loop count of 0: for ever.
  const SavedImage& first = gif->SavedImages[0];
  bool loops = false;
  for (int k = 0; k + 1 < first.ExtensionBlockCount; ++k) {
    const ExtensionBlock& b = first.ExtensionBlocks[k];
    const ExtensionBlock& data = first.ExtensionBlocks[k + 1];
    loops |= b.Function == APPLICATION_EXT_FUNC_CODE &&
             std::string(reinterpret_cast<const char*>(b.Bytes), std::size_t(b.ByteCount)) ==
                 "NETSCAPE2.0" &&
             data.ByteCount == 3 && data.Bytes[0] == 1 && data.Bytes[1] == 0 && data.Bytes[2] == 0;
  }
  EXPECT_TRUE(loops);
  for (int i = 0; i < 21; ++i) {
    GraphicsControlBlock control{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif.get(), i, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, 25) << i;  // 4 frames per second
  }

  // The first frame, with the number box's grey, and the last, with the box
  // off the screen, the second sweep holding its last value 8.
  std::ostringstream notes;
  const tavlin::RICElementList list = tavlin::cli::ReadInputDocument(script, notes);
  for (auto [frame, p0, p1] : {std::tuple{0, 10, 7}, std::tuple{20, 110, 8}}) {
    tavlin::TParameterSet parameters{};
    parameters[0] = std::uint16_t(p0);
    parameters[1] = std::uint16_t(p1);
    tavlin::NXTDisplay display;
    tavlin::RenderDocument(display, 0, 0, list, parameters);
    for (int y = 0; y < 128; ++y)
      for (int x = 0; x < 200; ++x)
        ASSERT_EQ(GifPixel(*gif, frame, x, y), display.Pixel(x / 2, y / 2))
            << frame << ": " << x << "," << y;
  }
}

TEST_F(CliRenderTest, SweepIntoPngWritesNumberedFrames) {
  const RenderRun r =
      Run({"render", DataFile("letters.ric"), Path("out.png"), "--sweep", "0=40..20:-10"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Entries(), (std::vector<std::string>{"out-0001.png", "out-0002.png", "out-0003.png"}));
  RgbImage last;
  ASSERT_TRUE(tavlin::test::ReadPng(Path("out-0003.png"), last));
  EXPECT_EQ(Picture(last), Golden("letters-p20.txt"));
}

TEST_F(CliRenderTest, MissingOutputIsAUsageError) {
  const RenderRun r = Run({"render", DataFile("two-circles.ric")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err.rfind("tavlin-cli: render needs IN and OUT.png or OUT.gif\n", 0), 0u) << r.err;
}

TEST_F(CliRenderTest, FailuresNameTheFileAndLeaveNoOutput) {
  const std::string out = Path("out.png");
  RenderRun r = Run({"render", Path("missing.ric"), out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: " + Path("missing.ric") + ": File not found\n");

  r = Run({"render", DataFile("two-circles.ric"), out, "--params", Path("missing.rpa")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: " + Path("missing.rpa") + ": File not found\n");

  const std::string bad = Path("bad.rpa");
  std::ofstream(bad) << "  0 : ten\n";
  r = Run({"render", DataFile("two-circles.ric"), out, "--params", bad});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: " + bad + ": 'ten' is not a valid integer value\n");
  fs::remove(bad);

  const std::string noFolder = Path("no/such/folder/out.png");
  r = Run({"render", DataFile("two-circles.ric"), noFolder});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("tavlin-cli: " + noFolder + ": ", 0), 0u) << r.err;
  EXPECT_TRUE(Entries().empty());
}

TEST_F(CliRenderTest, AFailedRenderLeavesAnExistingPictureAsItWas) {
  const std::string out = Path("out.png");
  std::ofstream(out) << "\x89PNG\r\n\x1A\nold picture";
  const RenderRun r = Run({"render", DataFile("numgrid.ric"), out, "--element", "9"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(tavlin::test::ReadText(out), "\x89PNG\r\n\x1A\nold picture");
  EXPECT_EQ(Entries(), std::vector<std::string>{"out.png"});
  // A successful one replaces it.
  EXPECT_EQ(Run({"render", DataFile("numgrid.ric"), out}).exitCode, 0);
  RgbImage image;
  EXPECT_TRUE(tavlin::test::ReadPng(out, image));
  EXPECT_EQ(Entries(), std::vector<std::string>{"out.png"});
}

// As the brick draws it: only black and white, the firmware's own picture
// (the LEGO firmware stops at the first circle), the call's options applied.
TEST_F(CliRenderTest, BrickRendersAsTheFirmwareInBlackAndWhite) {
  const RgbImage lego = Render({DataFile("two-circles.ric"), "--brick", "lego"});
  EXPECT_EQ(Picture(lego), Golden("../brick/two-circles-lego.txt"));
  const RgbImage enhanced =
      Render({DataFile("numgrid.ric"), "--brick", "enhanced131", "--param", "0=20", "--param=1=10",
              "--param", "2=30", "--param", "3=20", "--offset", "5,3", "--zoom", "2"});
  for (int y = 0; y < enhanced.Height; ++y)
    for (int x = 0; x < enhanced.Width; ++x)
      ASSERT_TRUE(enhanced.At(x, y) == tavlin::kBlack || enhanced.At(x, y) == tavlin::kWhite);
  const RgbImage small =
      Render({DataFile("numgrid.ric"), "--brick", "enhanced131", "--param", "0=20", "--param",
              "1=10", "--param", "2=30", "--param", "3=20", "--offset", "5,3"});
  EXPECT_EQ(Picture(small), Golden("../brick/numgrid-enhanced131.txt"));
  // With no parameters passed, the references use their raw words, far off the screen.
  EXPECT_NE(
      Picture(Render({DataFile("letters.ric"), "--brick", "enhanced132", "--param-count", "0",
                      "--param", "0=20"})),
      Picture(Render({DataFile("letters.ric"), "--brick", "enhanced132", "--param", "0=20"})));
}

TEST_F(CliRenderTest, BrickOptionsAreCheckedLikeTheOthers) {
  const std::string out = Path("out.png");
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--brick", "nxt"},
           {"--options", "1"},
           {"--text", "AB"},
           {"--brick", "lego", "--param-count", "257"},
           {"--brick", "lego", "--element", "1"},
       }) {
    std::vector<std::string> all{"render", DataFile("two-circles.ric"), out};
    all.insert(all.end(), args.begin(), args.end());
    const RenderRun r = Run(all);
    EXPECT_EQ(r.exitCode, 2) << args[0];
    EXPECT_EQ(r.err.rfind("tavlin-cli: ", 0), 0u) << r.err;
  }
  EXPECT_TRUE(Entries().empty());
}

TEST_F(CliRenderTest, CheckListsOneLinePerElementAndProblem) {
  const std::string circles = DataFile("two-circles.ric");
  RenderRun r = Run({"check", circles, "--brick", "lego"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, circles +
                       ": element 1: the LEGO firmware has no Circle: the brick stops here and "
                       "draws nothing after it\n");
  r = Run({"check", circles});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
  r = Run({"check", DataFile("numgrid.ric"), "--brick=enhanced131", "--param-count", "0"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.out.find(": element 3: PosX uses parameter 0, but the program passes 0"),
            std::string::npos)
      << r.out;
  // Files made with NXC's RICArg/RICMapArg macros read the same in the editor and on the brick.
  for (const char* file : {"letters.ric", "numgrid.ric"})
    for (const char* brick : {"lego", "enhanced131", "enhanced132"}) {
      r = Run({"check", DataFile(file), "--brick", brick});
      EXPECT_EQ(r.exitCode, 0) << file << " " << brick;
      EXPECT_EQ(r.out, "");
    }
  EXPECT_EQ(Run({"check", circles, "--param-count", "x"}).exitCode, 2);
  EXPECT_EQ(Run({"check"}).exitCode, 2);
}

}  // namespace
