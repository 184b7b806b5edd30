// Standard input and output, named `-`: each command reads from a pipe and
// writes to one exactly what it reads from and writes to a file, with
// --from and --to naming the type that no file name tells.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CliTestUtil.h"

namespace {

using tavlin::test::DataFile;
using tavlin::test::ReadText;
using tavlin::test::RunCli;

struct PipeCase {
  const char* name;
  // The command with files; the same command with `-` for IN (read from
  // `in`) and/or OUT (read from standard output). "OUT" is a file in a folder.
  std::vector<std::string> withFiles, withPipes;
  const char* in;  // the data file standard input reads
};

class CliPipeTest : public ::testing::TestWithParam<PipeCase> {};

std::vector<std::string> WithOut(std::vector<std::string> args, const std::string& out) {
  for (std::string& a : args)
    if (a == "OUT") a = out;
  return args;
}

TEST_P(CliPipeTest, StandardStreamsCarryWhatFilesDo) {
  const PipeCase& c = GetParam();
  tavlin::test::TempFolder dir;
  const auto file = RunCli(WithOut(c.withFiles, dir.Path("file")));
  const auto pipe = RunCli(WithOut(c.withPipes, dir.Path("pipe")), "", DataFile(c.in));
  EXPECT_EQ(pipe.exitCode, file.exitCode) << pipe.err;
  EXPECT_EQ(pipe.err, "");
  const bool outToFile =
      std::find(c.withFiles.begin(), c.withFiles.end(), "OUT") != c.withFiles.end();
  const std::string expected = outToFile ? ReadText(dir.Path("file")) : file.out;
  const bool outToPipe =
      std::find(c.withPipes.begin(), c.withPipes.end(), "OUT") == c.withPipes.end();
  const std::string got = outToPipe ? pipe.out : ReadText(dir.Path("pipe"));
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(got.size(), expected.size());
  EXPECT_TRUE(got == expected);
}

const std::string kLetters = DataFile("letters.ric");
const std::string kCircles = DataFile("two-circles.ric");

INSTANTIATE_TEST_SUITE_P(
    Commands, CliPipeTest,
    ::testing::Values(
        PipeCase{"ConvertRicToRic",
                 {"convert", kLetters, "OUT", "--to", "ric"},
                 {"convert", "-", "-", "--from", "ric", "--to", "ric"},
                 "letters.ric"},
        PipeCase{"ConvertToScript",
                 {"convert", kCircles, "OUT", "--to", "rs"},
                 {"convert", kCircles, "-", "--to", "rs"},
                 "letters.ric"},
        PipeCase{"ConvertToNxcWithAName",
                 {"convert", kCircles, "OUT", "--to", "nxc", "--name", "pic"},
                 {"convert", kCircles, "-", "--to", "nxc", "--name", "pic"},
                 "two-circles.ric"},
        PipeCase{"ConvertToJson",
                 {"dump", kLetters},
                 {"convert", "-", "-", "--from=ric", "--to=json"},
                 "letters.ric"},
        PipeCase{"Info", {"info", kLetters}, {"info", "-", "--from", "ric"}, "letters.ric"},
        PipeCase{"Dump", {"dump", kCircles}, {"dump", "-", "--from", "ric"}, "two-circles.ric"},
        PipeCase{"RenderPng",
                 {"render", kCircles, "OUT", "--to", "png", "--zoom", "2"},
                 {"render", "-", "-", "--from", "ric", "--to", "png", "--zoom", "2"},
                 "two-circles.ric"},
        PipeCase{"RenderGifSweep",
                 {"render", kLetters, "OUT", "--to", "gif", "--sweep", "0=0..3"},
                 {"render", kLetters, "-", "--to", "gif", "--sweep", "0=0..3"},
                 "letters.ric"}),
    [](const auto& info) { return std::string(info.param.name); });

// Where nothing tells the type, or a pipe cannot take what is written, the
// command is refused as a usage error and writes nothing.
TEST(CliPipeUsageTest, TypesThatNothingNamesAreUsageErrors) {
  const std::vector<std::vector<std::string>> cases = {
      {"convert", "-", "out.ric"},
      {"convert", kLetters, "-"},
      {"convert", kLetters, "-", "--to", "png"},
      {"info", "-", "--from", "nxc"},
      {"render", kLetters, "-"},
      {"render", kLetters, "-", "--to", "png", "--sweep", "0=0..2"},
      {"render", kLetters, "-", "--to", "rs"},
      {"check", "-"},
  };
  for (const auto& args : cases) {
    const auto r = RunCli(args, "", kLetters);
    EXPECT_EQ(r.exitCode, 2) << args[0] << " " << args.back() << ": " << r.err;
    EXPECT_EQ(r.out, "") << args[0] << " " << args.back();
  }
}

// What is read from standard input is named so: in messages, in check's
// lines, and in an NXC array that no file name names.
TEST(CliPipeUsageTest, StandardInputIsNamedSo) {
  const auto check = RunCli({"check", "-", "--from", "ric", "--brick", "lego"}, "", kCircles);
  EXPECT_EQ(check.out.rfind("standard input: element 1: ", 0), 0u) << check.out;
  const auto nxc = RunCli({"convert", "-", "-", "--from", "ric", "--to", "nxc"}, "", kLetters);
  EXPECT_NE(nxc.out.find("\nbyte picture_ric[] = {"), std::string::npos) << nxc.out;
  tavlin::test::TempFolder dir;
  tavlin::test::WriteText(dir.Path("bad.rs"), "line(0, 0, 5, 5);\nline(1, 2);\n");
  const auto r = RunCli({"info", "-", "--from", "rs"}, "", dir.Path("bad.rs"));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.rfind("tavlin-cli: standard input:2:", 0), 0u) << r.err;
}

}  // namespace
