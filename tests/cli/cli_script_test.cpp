// tavlin-cli with RicScript files, run as the built program: convert in both
// directions, info, dump and render reading .rs files, and script errors
// reported as FILE:LINE:COLUMN with exit code 1 and no output file left.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "CliTestUtil.h"
#include "RicFile.h"
#include "RicScript.h"

namespace {

namespace fs = std::filesystem;

using tavlin::test::CliResult;
using tavlin::test::DataFile;
using tavlin::test::ReadText;
using tavlin::test::ShellQuote;
using tavlin::test::WriteText;

class CliScriptTest : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }

  // Runs the tool in the temporary folder with these arguments.
  CliResult Cli(const std::vector<std::string>& args) const {
    return tavlin::test::RunCli(args, "cd " + ShellQuote(folder_.Dir().string()) + " && ");
  }

  std::vector<std::string> Files() const { return folder_.Entries(); }

  // Every command that reads `script` fails with `message` and writes nothing.
  void ExpectEveryCommandFails(const std::string& script, const std::string& message) const {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"info", script},
                                                 {"dump", script},
                                                 {"convert", script, "out.ric"},
                                                 {"render", script, "out.png"}}) {
      SCOPED_TRACE(args[0]);
      CliResult r = Cli(args);
      EXPECT_EQ(r.exitCode, 1);
      EXPECT_EQ(r.out, "");
      EXPECT_EQ(r.err, message);
    }
    EXPECT_TRUE(Files().empty()) << "a failed command left a file behind";
  }

  tavlin::test::TempFolder folder_{"tavlin-cli-script"};
};

TEST_F(CliScriptTest, RicToScriptWritesTheWritersText) {
  for (const char* file : {"letters.ric", "numgrid.ric", "two-circles.ric"}) {
    SCOPED_TRACE(file);
    CliResult r = Cli({"convert", DataFile(file), "out.rs"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(ReadText(Path("out.rs")), tavlin::RicScriptText(tavlin::LoadRicFile(DataFile(file))));
  }
}

TEST_F(CliScriptTest, ScriptToRicAndBackIsStable) {
  for (const char* file : {"letters.ric", "numgrid.ric", "two-circles.ric"}) {
    SCOPED_TRACE(file);
    ASSERT_EQ(Cli({"convert", DataFile(file), "a.rs"}).exitCode, 0);
    CliResult toRic = Cli({"convert", "a.rs", "b.ric"});
    ASSERT_EQ(toRic.exitCode, 0) << toRic.err;
    // The script and the RIC file made from it are the same document.
    CliResult scriptDump = Cli({"dump", "a.rs"});
    CliResult ricDump = Cli({"dump", "b.ric"});
    ASSERT_EQ(scriptDump.exitCode, 0) << scriptDump.err;
    EXPECT_EQ(scriptDump.out, ricDump.out);
    // Argument words of other tools get the tag F on the first round; after
    // that nothing changes any more.
    ASSERT_EQ(Cli({"convert", "b.ric", "c.RS"}).exitCode, 0);
    ASSERT_EQ(Cli({"convert", "c.RS", "d.RIC"}).exitCode, 0);
    EXPECT_EQ(ReadText(Path("d.RIC")), ReadText(Path("b.ric")));
    ASSERT_EQ(Cli({"convert", "d.RIC", "e.rs"}).exitCode, 0);
    EXPECT_EQ(ReadText(Path("e.rs")), ReadText(Path("c.RS")));
  }
  // A file without such words keeps its bytes from the start.
  ASSERT_EQ(Cli({"convert", DataFile("two-circles.ric"), "x.rs"}).exitCode, 0);
  ASSERT_EQ(Cli({"convert", "x.rs", "x.ric"}).exitCode, 0);
  EXPECT_EQ(ReadText(Path("x.ric")), ReadText(DataFile("two-circles.ric")));
}

TEST_F(CliScriptTest, InfoDumpAndRenderReadScripts) {
  const std::string script = DataFile("scripts/example.rs");
  ASSERT_EQ(Cli({"convert", script, "example.ric"}).exitCode, 0);
  for (const char* command : {"info", "dump"}) {
    SCOPED_TRACE(command);
    CliResult fromScript = Cli({command, script});
    CliResult fromRic = Cli({command, "example.ric"});
    ASSERT_EQ(fromScript.exitCode, 0) << fromScript.err;
    EXPECT_EQ(fromScript.err, "");
    EXPECT_FALSE(fromScript.out.empty());
    EXPECT_EQ(fromScript.out, fromRic.out);
  }
  CliResult dump = Cli({"dump", script});
  for (const char* kind : {"Description", "Sprite", "VarMap", "CopyBits", "Pixel", "Line",
                           "Rectangle", "Circle", "NumBox"})
    EXPECT_NE(dump.out.find(std::string("\"") + kind + "\""), std::string::npos) << kind;
  // The sprite rows; the never-drawn end of the first row counts as clear.
  EXPECT_NE(dump.out.find("[\"01100000\", \"10011111\"]"), std::string::npos) << dump.out;

  CliResult fromScript = Cli({"render", script, "s.png", "--zoom", "2", "--param", "5=20"});
  CliResult fromRic = Cli({"render", "example.ric", "r.png", "--zoom", "2", "--param", "5=20"});
  ASSERT_EQ(fromScript.exitCode, 0) << fromScript.err;
  ASSERT_EQ(fromRic.exitCode, 0) << fromRic.err;
  EXPECT_FALSE(ReadText(Path("s.png")).empty());
  EXPECT_EQ(ReadText(Path("s.png")), ReadText(Path("r.png")));
}

TEST_F(CliScriptTest, ImportFindsThePictureBesideTheScript) {
  // The tool runs in another folder; the script names "../Pictures/Ramp.png".
  CliResult r = Cli({"dump", DataFile("scripts/import.rs")});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\"1111111100000000\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("[0, 0, 15, 1]"), std::string::npos) << r.out;
}

// A script that stops before its end would give a document that is not what
// it says: every command fails, naming where the reading stopped.
TEST_F(CliScriptTest, AWordThatIsNoStatementFailsEveryCommand) {
  const std::string script = DataFile("scripts/lenient.rs");
  const std::string message = "tavlin-cli: " + script +
                              ":3:1: 'That is all;' is not a RicScript statement; the rest of "
                              "the file was not read\n";
  ExpectEveryCommandFails(script, message);
}

TEST_F(CliScriptTest, ScriptErrorsNameFileLineAndColumn) {
  const std::string bad = DataFile("scripts/bad-row.rs");
  const std::string message = "tavlin-cli: " + bad + ":4:11: a sprite row may hold only 0 and 1\n";
  ExpectEveryCommandFails(bad, message);
}

TEST_F(CliScriptTest, AFailedConvertLeavesTheOldOutput) {
  WriteText(Path("keep.rs"), "old");
  WriteText(Path("broken.rs"), "desc( 0, 100, 64 );\nvarmap( 1, f( 0)= 0 );\n");
  CliResult r = Cli({"convert", "broken.rs", "keep.rs"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: broken.rs:2:1: a VarMap needs at least two points\n");
  EXPECT_EQ(ReadText(Path("keep.rs")), "old");
  EXPECT_EQ(Files(), (std::vector<std::string>{"broken.rs", "keep.rs"}));

  // An unwritable target fails with the system's reason.
  r = Cli({"convert", DataFile("two-circles.ric"), "no/such/folder/x.rs"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: no/such/folder/x.rs: Its folder does not exist\n");
}

// A row cut to the canvas is a warning: the command goes on and succeeds.
TEST_F(CliScriptTest, RowsCutToTheCanvasAreWarnedOf) {
  WriteText(Path("wide.rs"), "desc(0,100,64)\nsprite(1,\n" + std::string(1100, '1') + ")\n");
  const CliResult r = Cli({"convert", "wide.rs", "wide.ric"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err,
            "tavlin-cli: wide.rs:3:1: a sprite row of 1100 pixels is wider than the canvas (1024 "
            "pixels); it was cut\n");
  EXPECT_TRUE(fs::exists(Path("wide.ric")));
}

TEST_F(CliScriptTest, MissingAndUnreadableScripts) {
  CliResult r = Cli({"dump", "missing.rs"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "tavlin-cli: missing.rs: File not found\n");
  fs::create_directory(Path("folder.rs"));
  r = Cli({"info", "folder.rs"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("tavlin-cli: folder.rs: ", 0), 0u) << r.err;
  // An empty script is an empty document, not an error.
  WriteText(Path("empty.rs"), "");
  r = Cli({"convert", "empty.rs", "empty.ric"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::exists(Path("empty.ric")));
  EXPECT_EQ(fs::file_size(Path("empty.ric")), 0u);
}

// Reading a script costs little more than its size, even when the filter
// drops next to nothing: the filtered text is made in the file's own buffer.
TEST_F(CliScriptTest, ReadingAScriptNeedsLittleMoreThanItsSize) {
  const auto peakOfChildren = [] {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return long(usage.ru_maxrss) * 1024;
  };
  WriteText(Path("small.rs"), "sprite( 1, 0110 )\n");
  ASSERT_EQ(Cli({"info", "small.rs"}).exitCode, 0);
  const long before = peakOfChildren();
  // Written a row at a time: the child starts as a copy of this process, whose
  // size must not grow between the two runs.
  const std::string row = std::string(500, '1') + std::string(499, '0') + ",\n";
  long size = 0;
  {
    std::ofstream out(Path("big.rs"), std::ios::binary);
    out << "sprite( 1,\n";
    for (; size < (16l << 20); size += long(row.size())) out << row;
    out << "1 )\n";
  }
  CliResult r = Cli({"info", "big.rs"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_LT(peakOfChildren() - before, 2 * size);
}

}  // namespace
