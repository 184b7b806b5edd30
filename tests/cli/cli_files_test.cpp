// What tavlin-cli writes and reads when files fail or are not files: every
// output through every failing system call, pipes named as inputs, and
// outputs that are devices, pipes or open files of a process.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <sstream>

#include "ByteFiles.h"
#include "CliMain.h"
#include "CliTestUtil.h"
#include "FileFaults.h"

namespace {

using tavlin::test::DataFile;
using tavlin::test::RunCli;
using tavlin::test::SaveOutcome;
using tavlin::test::TempFolder;

// Runs the tool in this process, where the file layer's calls can be made to fail.
SaveOutcome RunHere(std::vector<std::string> args) {
  args.insert(args.begin(), "tavlin-cli");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  const int code = tavlin::cli::RunCli(int(argv.size()), argv.data(), out, err);
  std::string message = err.str();
  const std::string prefix = "tavlin-cli: ";
  if (message.rfind(prefix, 0) == 0) message = message.substr(prefix.size());
  if (!message.empty() && message.back() == '\n') message.pop_back();
  if (code != 0 && message.empty()) message = "exit code " + std::to_string(code);
  return SaveOutcome{code == 0 ? "" : message};
}

TEST(CliFileFaultTest, EveryOutputKeepsTheOldFilesWhenAnyCallFails) {
  struct Case {
    std::vector<std::string> args;  // OUT is the folder's "out" + the extension
    std::string extension;
    std::vector<std::string> files;  // what it writes, in the folder
  };
  const std::string in = DataFile("two-circles.ric");
  const std::vector<Case> cases = {
      {{"convert", in}, ".ric", {"out.ric"}},
      {{"convert", in}, ".rs", {"out.rs"}},
      {{"convert", in}, ".nxc", {"out.nxc"}},
      {{"convert", in}, ".nbc", {"out.nbc"}},
      {{"render", in}, ".png", {"out.png"}},
      {{"render", in, "--sweep", "0=0..2"}, ".gif", {"out.gif"}},
      {{"render", in, "--sweep", "0=0..2"},
       ".png",
       {"out-0001.png", "out-0002.png", "out-0003.png"}},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    std::vector<std::string> args = c.args, paths;
    args.insert(args.begin() + 2, dir.Path("out" + c.extension));
    // Old files of the kind written: a RIC record, a picture's signature, or text.
    const std::map<std::string, std::string> starts = {
        {".ric", std::string("\x08\0\0\0", 4)}, {".png", "\x89PNG\r\n\x1A\n"}, {".gif", "GIF89a"}};
    std::string old = starts.count(c.extension) ? starts.at(c.extension) : "";
    old.resize(500, '\xA5');
    for (const std::string& f : c.files) {
      paths.push_back(dir.Path(f));
      tavlin::test::WriteBytes(paths.back(), tavlin::test::Bytes(old.begin(), old.end()));
    }
    const auto problems = tavlin::test::SaveFaultProblems(paths, [&] { return RunHere(args); });
    EXPECT_EQ(problems, std::vector<std::string>{}) << args[0] << " " << c.files.back();
  }
}

// Nothing waits on a pipe named as a file, and nothing is written into a
// pipe, a device or the tool's own standard output.
TEST(CliFileTargetTest, PipesAndDevicesAreRefusedAtOnce) {
  TempFolder dir;
  for (const char* name : {"fifo.ric", "fifo.rs", "fifo.rpa", "fifo.png"})
    ASSERT_EQ(::mkfifo(dir.Path(name).c_str(), 0600), 0);
  // A picture name that leads to the tool's own standard output.
  ASSERT_EQ(::symlink("/proc/self/fd/1", dir.Path("stdout.png").c_str()), 0);
  const std::string ric = DataFile("two-circles.ric"), png = dir.Path("ok.png");
  const std::string pipe = ": Is a pipe, not a file\n";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {{"info", dir.Path("fifo.ric")}, dir.Path("fifo.ric") + pipe},
      {{"dump", dir.Path("fifo.rs")}, dir.Path("fifo.rs") + pipe},
      {{"convert", dir.Path("fifo.ric"), dir.Path("x.rs")}, dir.Path("fifo.ric") + pipe},
      {{"render", dir.Path("fifo.rs"), png}, dir.Path("fifo.rs") + pipe},
      {{"render", ric, png, "--params", dir.Path("fifo.rpa")}, dir.Path("fifo.rpa") + pipe},
      {{"render", ric, dir.Path("fifo.png")}, dir.Path("fifo.png") + pipe},
      {{"render", ric, dir.Path("stdout.png")},
       dir.Path("stdout.png") + ": Is part of the system's /proc or /sys, not a file\n"},
  };
  for (const Case& c : cases) {
    const auto r = RunCli(c.args);
    EXPECT_EQ(r.exitCode, 1) << c.args[0] << " " << c.args[1];
    EXPECT_EQ(r.err, "tavlin-cli: " + c.err);
    EXPECT_EQ(r.out, "");
  }
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"fifo.png", "fifo.ric", "fifo.rpa", "fifo.rs",
                                                     "stdout.png"}));
}

// No command puts its output over a file holding another kind of content,
// also where a link leads to it; one of the same kind, or an empty one, is replaced.
TEST(CliFileTargetTest, OutputsNeverReplaceOtherKindsOfContent) {
  const std::string in = DataFile("two-circles.ric"), ric = tavlin::test::ReadText(in);
  const std::string png = "\x89PNG\r\n\x1A\nold", gif = "GIF89a old",
                    text = "two lines\nof notes\n";
  const std::vector<std::string> sweep = {"--sweep", "0=0..2"};
  struct Case {
    std::string file, content;         // there before
    std::string link;                  // a link to it named as the output, or ""
    std::vector<std::string> command;  // the output's name follows
    std::string out, holds;            // what the file holds, "" where it is replaced
  };
  const std::vector<Case> cases = {
      {"keep.ric", ric, "link.png", {"render", in}, "link.png", "RIC data, not a PNG picture"},
      {"keep.ric", ric, "link.gif", {"render", in}, "link.gif", "RIC data, not a GIF picture"},
      {"out-0002.png", text, "", {"render", in}, "out.png", "text, not a PNG picture"},
      {"notes.rs", png, "", {"convert", in}, "notes.rs", "a PNG picture, not text"},
      {"old.ric", text, "", {"convert", in}, "old.ric", "text, not RIC data"},
      {"old.nxc", gif, "", {"convert", in}, "old.nxc", "a GIF picture, not text"},
      {"keep.ric", ric + "x", "link.ric", {"convert", in}, "link.ric", ""},
      {"old.png", png, "", {"render", in}, "old.png", ""},
      {"old.rs", text, "", {"convert", in}, "old.rs", ""},
      {"empty.png", "", "", {"render", in}, "empty.png", ""},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    tavlin::test::WriteText(dir.Path(c.file), c.content);
    if (!c.link.empty()) {
      ASSERT_EQ(::symlink(c.file.c_str(), dir.Path(c.link).c_str()), 0);
    }
    std::vector<std::string> args = c.command;
    args.push_back(dir.Path(c.out));
    // A GIF, and numbered frames, are what a sweep writes.
    if (c.out.ends_with(".gif") || (c.link.empty() && c.out != c.file))
      args.insert(args.end(), sweep.begin(), sweep.end());
    const auto entries = dir.Entries();
    const auto r = RunCli(args);
    const std::string named = dir.Path(c.link.empty() ? c.file : c.link) + ": ";
    const std::string leads = c.link.empty() ? "" : "leads to " + dir.Path(c.file) + ", which ";
    if (c.holds.empty()) {
      EXPECT_EQ(r.exitCode, 0) << r.err;
      EXPECT_NE(tavlin::test::ReadText(dir.Path(c.file)), c.content) << c.file;
      continue;
    }
    EXPECT_EQ(r.exitCode, 1) << c.out;
    EXPECT_EQ(r.err,
              "tavlin-cli: " + named + leads + "holds " + c.holds + "; it is not replaced\n");
    EXPECT_EQ(tavlin::test::ReadText(dir.Path(c.file)), c.content);
    EXPECT_EQ(dir.Entries(), entries);
  }
}

}  // namespace
