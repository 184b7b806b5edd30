// tavlin-cli info, dump and convert, run as the built program: their output
// for the real files, their exit codes and messages, and that a failed
// command leaves no output file behind.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "CliTestUtil.h"
#include "Version.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

using tavlin::test::CliResult;
using tavlin::test::DataFile;
using tavlin::test::ReadText;
using tavlin::test::ShellQuote;
using tavlin::test::WriteText;

// JSON with the blanks between tokens taken out, so that layout does not count.
std::string CompactJson(const std::string& json) {
  std::string s;
  bool inString = false, escaped = false;
  for (char c : json) {
    if (inString) {
      s += c;
      if (escaped)
        escaped = false;
      else if (c == '\\')
        escaped = true;
      else if (c == '"')
        inString = false;
    } else if (c == '"') {
      inString = true;
      s += c;
    } else if (!std::isspace(static_cast<unsigned char>(c))) {
      s += c;
    }
  }
  return s;
}

class CliDocumentTest : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  // Runs the tool with these arguments; `prefix` goes before it in the shell.
  CliResult Cli(const std::vector<std::string>& args, const std::string& prefix = "") const {
    return tavlin::test::RunCli(args, prefix);
  }
  std::vector<std::string> Entries() const { return folder_.Entries(); }

  tavlin::test::TempFolder folder_{"tavlin-cli"};
};

// --- The real files -----------------------------------------------------------

struct RealFile {
  const char* file;
  const char* dump;  // expected dump, decoded by hand from the file's bytes
  std::string info;
};

class CliRealFileTest : public CliDocumentTest, public ::testing::WithParamInterface<RealFile> {};

TEST_P(CliRealFileTest, DumpShowsWhatTheBytesSay) {
  CliResult r = Cli({"dump", DataFile(GetParam().file)});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  std::string expected = ReadText(DataFile(GetParam().dump));
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(CompactJson(r.out), CompactJson(expected));
}

TEST_P(CliRealFileTest, InfoListsTheElements) {
  CliResult r = Cli({"info", DataFile(GetParam().file)});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, GetParam().info);
}

TEST_P(CliRealFileTest, ConvertToRicWritesTheSameBytes) {
  std::string out = Path("copy.RIC");
  CliResult r = Cli({"convert", DataFile(GetParam().file), out});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadText(out), ReadText(DataFile(GetParam().file)));
  EXPECT_EQ(Entries(), std::vector<std::string>{"copy.RIC"});
}

TEST_F(CliDocumentTest, ConvertWritesNxcAndNbcSourceByTheExtension) {
  const std::string in = DataFile("letters.ric");
  for (auto [out, args, expected] :
       {std::tuple{"a.nxc", std::vector<std::string>{}, "  RICOpSprite(1, 8, 12, RICSpriteData("},
        std::tuple{"b.NXC", std::vector<std::string>{"--style", "bytes"}, "  // 2 Sprite\n"},
        std::tuple{"c.nbc", std::vector<std::string>{}, "dseg segment\n  letters_ric byte[] {"},
        std::tuple{"d.nxc", std::vector<std::string>{"--name", "abc"}, "\nbyte abc[] = {\n"},
        std::tuple{"e.nbc", std::vector<std::string>{"--name=abc"}, "\n  abc byte[] {"}}) {
    args.insert(args.begin(), {"convert", in, Path(out)});
    CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out + r.err, "");
    const std::string text = ReadText(Path(out));
    EXPECT_EQ(text.rfind("// letters.ric ", 0), 0u) << text;
    EXPECT_NE(text.find(expected), std::string::npos) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    TestData, CliRealFileTest,
    ::testing::Values(
        RealFile{"letters.ric", "ric_letters.dump.json",
                 "Elements: 3\n"
                 "File size: 136\n"
                 "1 Description  Options: 0  Size: 96/8\n"
                 "2 Sprite  Sprite: 1  Size: 96/8\n"
                 "3 CopyBits  Sprite: 1  Source: P[0]/0  Size: 10/8  Destination: 0/0\n"},
        RealFile{"numgrid.ric", "ric_numgrid.dump.json",
                 "Elements: 3\n"
                 "File size: 820\n"
                 "1 Description  Options: 0  Size: 100/60\n"
                 "2 Sprite  Sprite: 1  Size: 104/60\n"
                 "3 CopyBits  Sprite: 1  Source: P[0]/P[1]  Size: P[2]/P[3]  Destination: 0/0\n"},
        RealFile{"two-circles.ric", "ric_two-circles.dump.json",
                 "Elements: 2\n"
                 "File size: 24\n"
                 "1 Circle  Position: 20/20  Radius: 10\n"
                 "2 Circle  Position: 30/30  Radius: 10\n"}),
    [](const auto& info) {
      std::string n = info.param.file;
      n = n.substr(0, n.find('.'));
      n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
      return n;
    });

TEST_F(CliDocumentTest, ACutFileIsReadAsFarAsItGoesAndSaysSo) {
  std::string path = Path("cut.ric"), circles = ReadText(DataFile("two-circles.ric"));
  WriteText(path, circles.substr(0, circles.size() - 2));
  for (const char* command : {"info", "dump"}) {
    CliResult r = Cli({command, path});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("Circle"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "tavlin-cli: " + path +
                         ": bytes 12 to 21: the file ends inside element 2, a Circle, which was "
                         "left out\n");
  }
}

TEST_F(CliDocumentTest, AnEmptyFileIsAnEmptyDocument) {
  std::string path = Path("empty.ric");
  WriteText(path, "");
  CliResult dump = Cli({"dump", path});
  EXPECT_EQ(dump.exitCode, 0);
  EXPECT_EQ(CompactJson(dump.out), R"({"fileSize":0,"elements":[]})");
  CliResult info = Cli({"info", path});
  EXPECT_EQ(info.exitCode, 0);
  EXPECT_EQ(info.out, "Elements: 0\nFile size: 0\n");
}

// The size shown is the file's on disk: zero words, a pad byte and what no
// element reads count; a script shows the size of the RIC file it makes.
TEST_F(CliDocumentTest, FileSizeIsTheSizeOnDisk) {
  std::string path = Path("padded.ric");
  WriteText(path, std::string("\x00\x00\x0A\x00\x01\x00\x02\x00\x01\x00\x01\x00\x01\x07", 14));
  EXPECT_EQ(Cli({"info", path}).out.substr(0, 30), "Elements: 1\nFile size: 14\n1 Sp");
  EXPECT_EQ(CompactJson(Cli({"dump", path}).out).substr(0, 14), R"({"fileSize":14)");
  std::string script = Path("pad.rs");
  WriteText(script, "sprite( 1, 1 )\n");
  EXPECT_EQ(CompactJson(Cli({"dump", script}).out).substr(0, 14), R"({"fileSize":12)");
}

TEST_F(CliDocumentTest, DumpShowsSpriteRowsAndVarMapPoints) {
  // A 10 x 2 sprite read back as 16 x 2, a VarMap of two points, a Pixel
  // with the parameter word 0xF005.
  std::string path = Path("small.ric");
  WriteText(path, std::string("\x0C\x00\x01\x00\x02\x00\x02\x00\x02\x00\x80\x00\x00\x40"
                              "\x0E\x00\x02\x00\x03\x00\x02\x00\x00\x00\x00\x00\x63\x00\x3F\x00"
                              "\x0A\x00\x04\x00\x00\x00\x05\xF0\x01\x00\x00\x00",
                              14 + 16 + 12));
  CliResult r = Cli({"dump", path});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(CompactJson(r.out), CompactJson(R"({"fileSize": 42, "elements": [
              {"kind": "Sprite", "ID": 2, "UsedArea": [0, 0, 15, 1],
               "Rows": ["1000000000000000", "0000000001000000"]},
              {"kind": "VarMap", "ID": 3, "Points": [[0, 0], [99, 63]]},
              {"kind": "Pixel", "CopyOpt": 0, "PosX": 61445, "PosY": 1}]})"));
}

TEST_F(CliDocumentTest, DumpAndInfoShowEllipsesAndPolygons) {
  std::string path = Path("shapes.ric");
  WriteText(path, std::string("\x0C\x00\x09\x00\x20\x00\x32\x00\x1E\x00\x14\x00\x03\xF0"
                              "\x0E\x00\x0A\x00\x18\x00\x05\x00\x01\x00\x02\x00\x03\xF1\x04\x00",
                              14 + 16));
  CliResult r = Cli({"dump", path});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(CompactJson(r.out), CompactJson(R"({"fileSize": 30, "elements": [
              {"kind": "Ellipse", "CopyOpt": 32, "PosX": 50, "PosY": 30, "RadiusX": 20,
               "RadiusY": 61443},
              {"kind": "Polygon", "CopyOpt": 24, "Count": 5, "Points": [[1, 2], [61699, 4]]}]})"));
  CliResult info = Cli({"info", path});
  EXPECT_EQ(info.out,
            "Elements: 2\nFile size: 30\n"
            "1 Ellipse  Position: 50/30  Radii: 20/P[3]  Options: fill\n"
            "2 Polygon  Points: 2  Options: invert\n");
}

// --- Failures -------------------------------------------------------------------

TEST_F(CliDocumentTest, AMissingFileFailsWithItsNameAndTheReason) {
  std::string path = Path("missing.ric");
  for (const char* command : {"info", "dump"}) {
    CliResult r = Cli({command, path});
    EXPECT_EQ(r.exitCode, 1) << command;
    EXPECT_EQ(r.out, "") << command;
    EXPECT_EQ(r.err, "tavlin-cli: " + path + ": File not found\n") << command;
  }
  CliResult c = Cli({"convert", path, Path("out.ric")});
  EXPECT_EQ(c.exitCode, 1);
  EXPECT_EQ(c.err, "tavlin-cli: " + path + ": File not found\n");
  EXPECT_TRUE(Entries().empty());
}

TEST_F(CliDocumentTest, AFolderOrAFileOfUnknownTypeFails) {
  fs::create_directory(Path("folder.ric"));
  WriteText(Path("notes.txt"), "hello");
  for (const std::string& path : {Path("folder.ric"), Path("notes.txt")}) {
    CliResult r = Cli({"info", path});
    EXPECT_EQ(r.exitCode, 1) << path;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("tavlin-cli: " + path + ": ", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
}

TEST_F(CliDocumentTest, ConvertThatCannotWriteLeavesNoOutputBehind) {
  // 26,000 Pixels of 10 bytes each read fine but need 312,000 bytes written.
  std::string in = Path("pixels.ric");
  {
    std::string bytes;
    for (int i = 0; i < 26000; ++i)
      bytes += std::string("\x0A\x00\x04\x00\x00\x00\x01\x00\x02\x00", 10);
    WriteText(in, bytes);
  }
  std::string out = Path("out.ric");
  CliResult r = Cli({"convert", in, out});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("tavlin-cli: " + out + ": ", 0), 0u) << r.err;
  EXPECT_NE(r.err.find("312000"), std::string::npos) << r.err;
  EXPECT_EQ(Entries(), std::vector<std::string>{"pixels.ric"});

  CliResult missingFolder = Cli({"convert", DataFile("letters.ric"), Path("nofolder/out.ric")});
  EXPECT_EQ(missingFolder.exitCode, 1);
  EXPECT_EQ(missingFolder.err,
            "tavlin-cli: " + Path("nofolder/out.ric") + ": Its folder does not exist\n");
  EXPECT_EQ(Entries(), std::vector<std::string>{"pixels.ric"});
}

TEST_F(CliDocumentTest, ConvertThatFailsHalfwayKeepsTheOldOutputFile) {
  std::string in = Path("lines.ric"), out = Path("out.ric");
  std::string lines;
  for (int i = 0; i < 300; ++i)
    lines += std::string("\x0C\x00\x05\x00\x00\x00\x01\x00\x02\x00\x03\x00\x04\x00", 14);
  WriteText(in, lines);  // 4,200 bytes
  WriteText(out, "old contents");
  // Writes beyond one block fail (and the signal for it is ignored).
  CliResult r = Cli({"convert", in, out}, "trap '' XFSZ; ulimit -f 1; ");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("tavlin-cli: " + out + ": ", 0), 0u) << r.err;
  EXPECT_EQ(ReadText(out), "old contents");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"lines.ric", "out.ric"}));
}

TEST_F(CliDocumentTest, OutputThatCannotBeWrittenIsAFailure) {
  std::string err = Path("err.txt");
  for (const char* command : {"info", "dump"}) {
    std::string cmd = ShellQuote(TAVLIN_CLI_PATH) + " " + command + " " +
                      ShellQuote(DataFile("numgrid.ric")) + " >/dev/full 2>" + ShellQuote(err);
    int status = std::system(("sh -c " + ShellQuote(cmd)).c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1) << command;
    EXPECT_EQ(ReadText(err), "tavlin-cli: standard output: Disk full\n") << command;
  }
}

// --- Hostile input ----------------------------------------------------------------

TEST_F(CliDocumentTest, AnyBytesNamedRicAreReadWithoutFailing) {
  std::mt19937 engine(4711);
  std::vector<std::string> inputs;
  for (std::size_t n : {1u, 7u, 100u, 5000u, 300000u}) {
    std::string s(n, '\0');
    for (auto& c : s) c = char(engine());
    inputs.push_back(s);
  }
  inputs.push_back("Dear reader,\r\nthis text file only pretends to be a picture.\r\n");
  inputs.push_back(std::string("\xFF\xFF\x01\x00\x01\x00\xFF\xFF\xFF\xFF\x01\x02", 12));
  inputs.push_back(std::string("\xFF\xFF\x01\x00\x01\x00\x58\x02\xC8\x00", 10) +
                   std::string(120000, '\x55'));
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    std::string path = Path("in" + std::to_string(i) + ".ric");
    WriteText(path, inputs[i]);
    for (const char* command : {"info", "dump"}) {
      CliResult r = Cli({command, path});
      EXPECT_EQ(r.exitCode, 0) << command << " " << i << ": " << r.err;
      // What was passed over goes to standard error, a few lines naming the file.
      const std::string prefix = "tavlin-cli: " + path + ": ";
      EXPECT_TRUE(r.err.starts_with(prefix) || (r.err.empty() && i != 5)) << command << i;
      EXPECT_LE(std::count(r.err.begin(), r.err.end(), '\n'), 12) << r.err;
      for (std::size_t at = 0; at < r.err.size(); at = r.err.find('\n', at) + 1)
        EXPECT_EQ(r.err.compare(at, prefix.size(), prefix), 0) << r.err;
    }
    std::string out = Path("out" + std::to_string(i) + ".ric");
    CliResult c = Cli({"convert", path, out});
    EXPECT_TRUE(c.exitCode == 0 || c.exitCode == 1) << i;
    EXPECT_EQ(fs::exists(out), c.exitCode == 0) << i << ": " << c.err;
    if (fs::exists(out)) {
      // What convert wrote converts to itself.
      std::string again = Path("again.ric");
      EXPECT_EQ(Cli({"convert", out, again}).exitCode, 0);
      EXPECT_EQ(ReadText(again), ReadText(out)) << i;
      fs::remove(again);
    }
  }
}

// "--" ends the options, so that a file may be named like one; an option a
// command does not take is named; a file name that holds a line end is
// quoted, so that the message stays one line.
TEST_F(CliDocumentTest, OptionsEndAtTwoDashesAndOddNamesStayOnOneLine) {
  fs::copy_file(DataFile("two-circles.ric"), Path("--help.ric"));
  CliResult r = Cli({"info", "--", Path("--help.ric")});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("Elements: ", 0), 0u) << r.out;
  r = Cli({"dump", "--foo", Path("--help.ric")});
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err.rfind("tavlin-cli: unknown option '--foo'\n", 0), 0u) << r.err;
  r = Cli({"dump", "--", "--help"});  // a file, not the help
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("tavlin-cli: --help: ", 0), 0u) << r.err;
  r = Cli({"info", Path("two\nlines\x1b.ric")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: '" + Path("two\\nlines\\x1B.ric") + "': File not found\n");
  WriteText(Path("cut\n.ric"), std::string("\x0A\x00\x07\x00", 4));  // a damaged file is read
  r = Cli({"info", Path("cut\n.ric")});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err.rfind("tavlin-cli: '" + Path("cut\\n.ric") + "': ", 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

// --- Usage ---------------------------------------------------------------------------

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
};

class CliUsageTest : public CliDocumentTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(CliUsageTest, ExitsWithTwoAndShowsTheUsage) {
  CliResult r = Cli(GetParam().args);
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("Usage: tavlin-cli info FILE"), std::string::npos) << r.err;
  EXPECT_TRUE(Entries().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliUsageTest,
    ::testing::Values(UsageCase{"NoCommand", {}}, UsageCase{"UnknownCommand", {"show", "x.ric"}},
                      UsageCase{"InfoWithoutFile", {"info"}},
                      UsageCase{"InfoWithTwoFiles", {"info", "a.ric", "b.ric"}},
                      UsageCase{"DumpWithoutFile", {"dump"}},
                      UsageCase{"ConvertWithOneFile", {"convert", "a.ric"}},
                      UsageCase{"ConvertWithThreeFiles", {"convert", "a.ric", "b.ric", "c.ric"}},
                      UsageCase{"ConvertToUnknownType", {"convert", "a.ric", "b.png"}},
                      UsageCase{"ConvertFromUnknownType", {"convert", "a", "b.ric"}},
                      UsageCase{"ConvertBadStyle", {"convert", "a.ric", "b.nxc", "--style", "c"}},
                      UsageCase{"ConvertNbcStyle", {"convert", "a.ric", "b.nbc", "--style=bytes"}},
                      UsageCase{"ConvertBadName", {"convert", "a.ric", "b.nxc", "--name", "a-b"}},
                      UsageCase{"ConvertNameToRic", {"convert", "a.ric", "b.rs", "--name", "ab"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliDocumentTest, HelpAndVersionGoToStandardOutput) {
  CliResult r = Cli({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out.rfind("Usage: tavlin-cli info FILE\n", 0), 0u) << r.out;
  EXPECT_NE(r.out.find("\n  -V, --version "), std::string::npos) << r.out;
  r = Cli({"--version"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, std::string("tavlin-cli ") + tavlin::kVersion + "\n");
  // A command's help wins over its other arguments, which are neither read nor written.
  for (auto args : std::vector<std::vector<std::string>>{
           {"render", "--help"}, {"render", "no.ric", "--help", "x.png"}, {"help", "render"}}) {
    r = Cli(args);
    EXPECT_EQ(r.exitCode, 0) << args[1];
    EXPECT_EQ(r.out.rfind("Usage: tavlin-cli render IN OUT.png|OUT.gif [OPTION]...\n", 0), 0u)
        << r.out;
    EXPECT_NE(r.out.find("\n      --zoom Z "), std::string::npos) << r.out;
  }
  EXPECT_TRUE(Entries().empty());
}

}  // namespace
