// The parameter file: its exact layout, the lenient reader and its one hard
// stop, and saving that never damages the file it replaces.
#include <gtest/gtest.h>

#include "FileSizeLimit.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "Document.h"
#include "DocumentUnit.h"
#include "FileIO.h"
#include "ParameterFile.h"
#include "RICElement.h"

namespace tavlin {
namespace {

namespace fs = std::filesystem;

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "tavlin-param-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) {
      lines.push_back(text.substr(pos));
      break;
    }
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

// Every test starts from a new document: its parameters all zero.
class ParameterFileTest : public ::testing::Test {
 protected:
  TempFolder dir_;
  RICDocument doc_;
  TParameterSet& ParameterSet = doc_.Parameters().ParameterSet;
  int& MaxParameterIndex = doc_.Parameters().MaxParameterIndex;
  std::string& ParameterFileName = doc_.Parameters().ParameterFileName;
  RICElementList& ElementList = doc_.ElementList();
  bool& ParameterFileReadFailed = doc_.Parameters().ParameterFileReadFailed;
  const TRICElement& UndefinedSprite = doc_.UndefinedSprite();
};

// --- Layout -----------------------------------------------------------------

TEST_F(ParameterFileTest, TextHasTheExactLayout) {
  TParameterSet set{};
  set[15] = 1200;
  set[99] = 7;
  set[255] = 65535;
  std::string text = ParameterFileText("Tavlin.RPA", set, "07.12.2024 08:03:09");
  // Every line, the last included, ends with CR LF; no bare LF anywhere.
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 267);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 267);
  std::vector<std::string> lines = CrLfLines(text);
  ASSERT_EQ(lines.size(), 267u);

  EXPECT_EQ(lines[0], "#  Tavlin paramter file");
  EXPECT_EQ(lines[1], "#");
  EXPECT_EQ(lines[2].rfind("#  ", 0), 0u);
  EXPECT_NE(lines[2].find(" by "), std::string::npos);
  for (int i = 3; i <= 5; ++i) {
    EXPECT_EQ(lines[std::size_t(i)].substr(0, 17), "#" + std::string(16, ' ')) << "line " << i + 1;
    EXPECT_GT(lines[std::size_t(i)].size(), 17u);
    EXPECT_NE(lines[std::size_t(i)][17], ' ');
  }
  EXPECT_EQ(lines[6], "#");
  EXPECT_EQ(lines[7], "#  File generated 07.12.2024 08:03:09");
  EXPECT_EQ(lines[8], "");
  EXPECT_EQ(lines[9], "  0 : 0");
  EXPECT_EQ(lines[9 + 1], "  1 : 0");
  EXPECT_EQ(lines[9 + 15], " 15 : 1200");
  EXPECT_EQ(lines[9 + 99], " 99 : 7");
  EXPECT_EQ(lines[9 + 100], "100 : 0");
  EXPECT_EQ(lines[9 + 255], "255 : 65535");
  EXPECT_EQ(lines[265], "");
  EXPECT_EQ(lines[266], "#  Tavlin.RPA   End of file");
}

TEST_F(ParameterFileTest, AllZeroValuesGiveTwoHundredFiftySixZeroLines) {
  std::vector<std::string> lines = CrLfLines(ParameterFileText("p.rpa", TParameterSet{}, "x"));
  ASSERT_EQ(lines.size(), 267u);
  std::regex data(R"( *(\d+) : 0)");
  for (int i = 0; i < 256; ++i) {
    const std::string& l = lines[std::size_t(9 + i)];
    std::smatch m;
    ASSERT_TRUE(std::regex_match(l, m, data)) << l;
    EXPECT_EQ(std::stoi(m[1]), i);
    EXPECT_EQ(l.find(':'), 4u) << l;  // index right-aligned in three characters
  }
}

TEST_F(ParameterFileTest, WrittenFileCarriesTheTimeAndThePathAsPassed) {
  std::string path = dir_ / "values.rpa";
  ParameterSet[3] = 33;
  WriteParameterFile(path, ParameterSet);
  std::vector<std::string> lines = CrLfLines(ReadText(path));
  ASSERT_EQ(lines.size(), 267u);
  EXPECT_TRUE(std::regex_match(lines[7],
                               std::regex(R"(#  File generated \d\d\.\d\d\.\d{4} \d\d:\d\d:\d\d)")))
      << lines[7];
  EXPECT_EQ(lines[9 + 3], "  3 : 33");
  EXPECT_EQ(lines[266], "#  " + path + "   End of file");
}

TEST_F(ParameterFileTest, WrittenFileReadsBackEveryValue) {
  // A folder name with ':' puts one into the closing comment line too.
  std::string folder = dir_ / "a:b";
  fs::create_directory(folder);
  std::string path = folder + "/round.rpa";
  TParameterSet set{};
  for (int i = 0; i < 256; ++i) set[std::size_t(i)] = std::uint16_t(i * 257 + 3);
  WriteParameterFile(path, set);
  TParameterSet back{};
  back.fill(1);
  ReadParameterFile(path, back);
  EXPECT_EQ(back, set);
}

// --- Reader rules -------------------------------------------------------------

struct ReadCase {
  const char* name;
  std::string text;
  std::vector<std::pair<int, int>> expected;  // index, value; all other values stay 4242
  std::string error;                          // "" when the file reads cleanly
};

class ParameterReadTest : public ParameterFileTest,
                          public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ParameterReadTest, AppliesTheLinesItAccepts) {
  const ReadCase& c = GetParam();
  std::string path = dir_ / "in.rpa";
  WriteText(path, c.text);
  TParameterSet set;
  set.fill(4242);
  std::string error;
  try {
    ReadParameterFile(path, set);
  } catch (const TavlinError& e) {
    EXPECT_EQ(e.File(), path);
    error = e.Reason();
  }
  EXPECT_EQ(error, c.error);
  TParameterSet expected;
  expected.fill(4242);
  for (auto [i, v] : c.expected) expected[std::size_t(i)] = std::uint16_t(v);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(set[std::size_t(i)], expected[std::size_t(i)]) << "parameter " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParameterReadTest,
    ::testing::Values(
        ReadCase{"OnlyOneLine", "3 : 7", {{3, 7}}, ""},
        ReadCase{"IndentedComment", "   # 3 : 7\r\n", {}, ""},
        ReadCase{"NoBlanksAroundColon", "  12:300  \r\n", {{12, 300}}, ""},
        ReadCase{"MinusOneIsAllBits", "12 : -1\r\n", {{12, 65535}}, ""},
        ReadCase{"LowSixteenBits", "12 : 70000\r\n13 : -65536\r\n", {{12, 4464}, {13, 0}}, ""},
        ReadCase{"IndexAboveRange", "300 : 5\r\n256 : 5\r\n", {}, ""},
        ReadCase{"NegativeIndex", "-1 : 5\r\n", {}, ""},
        ReadCase{"EdgeIndexes", "0 : 1\r\n255 : 2\r\n", {{0, 1}, {255, 2}}, ""},
        ReadCase{"LineWithoutColonAndEmptyLines", "hello\r\n\r\n\r\n5 : 6\r\n", {{5, 6}}, ""},
        ReadCase{"LaterLineWins", "5 : 1\r\n5 : 2\r\n", {{5, 2}}, ""},
        ReadCase{"AnyOrder", "9 : 90\r\n1 : 10\r\n", {{9, 90}, {1, 10}}, ""},
        ReadCase{"LfOnly", "1 : 2\n3 : 4\n", {{1, 2}, {3, 4}}, ""},
        ReadCase{"CrOnly", "# head\r1 : 2\r3 : 4\r", {{1, 2}, {3, 4}}, ""},
        ReadCase{"TabsAndControlCharacters", "\t\x01 7 : 8 \t\x02\r\n", {{7, 8}}, ""},
        ReadCase{"LeadingZerosAndPlus", "007 : +0012\r\n", {{7, 12}}, ""},
        ReadCase{"EmptyFile", "", {}, ""},
        ReadCase{"SecondColonStops",
                 "1 : 5\r\n3 : 7 : 9\r\n4 : 4\r\n",
                 {{1, 5}},
                 "'7 : 9' is not a valid integer value"},
        ReadCase{"BadIndexStops",
                 "1 : 5\r\nabc : 4\r\n2 : 2\r\n",
                 {{1, 5}},
                 "'abc' is not a valid integer value"},
        ReadCase{
            "EmptyValueStops", "1 : 5\r\n2 :\r\n", {{1, 5}}, "'' is not a valid integer value"},
        ReadCase{"EmptyIndexStops", ": 5\r\n", {}, "'' is not a valid integer value"},
        ReadCase{"BadValueWithIndexOutOfRangeStops",
                 "300 : x\r\n",
                 {},
                 "'x' is not a valid integer value"},
        ReadCase{"HexIsNoDecimalNumber", "1 : 0x10\r\n", {}, "'0x10' is not a valid integer value"},
        ReadCase{"BeyondThirtyTwoBitsStops",
                 "1 : 4294967296\r\n",
                 {},
                 "'4294967296' is not a valid integer value"},
        ReadCase{"InnerBlankStops", "1 2 : 5\r\n", {}, "'1 2' is not a valid integer value"},
        ReadCase{"LongLineIsQuotedShort",
                 "1 : " + std::string(1 << 20, 'x'),
                 {},
                 "'" + std::string(40, 'x') + "...' is not a valid integer value"},
        ReadCase{"ByteOrderMarkIsSkipped",
                 "\xEF\xBB\xBF"
                 "3 : 7\r\n",
                 {{3, 7}},
                 ""},
        ReadCase{"BytesNotUtf8AreShownAsEscapes",
                 "1 : 5\r\n2 : \xE9t\xE9\r\n",
                 {{1, 5}},
                 "'\\xE9t\\xE9' is not a valid integer value"},
        ReadCase{"BinaryDataChangesNothing",
                 std::string("1 : 5\r\n\x0A\x00\x04\x00 2 : 6\r\n", 19),
                 {},
                 "not a parameter file: it holds binary data"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ParameterFileTest, AMissingFileChangesNothingAndReportsNothing) {
  ParameterSet[4] = 44;
  EXPECT_NO_THROW(ReadParameterFile(dir_ / "nothing-here.rpa", ParameterSet));
  EXPECT_NO_THROW(
      ReadParameterFile(dir_.path().string(), ParameterSet));  // a folder is no file either
  EXPECT_EQ(ParameterSet[4], 44);
}

TEST_F(ParameterFileTest, ReadingNeverClearsTheSet) {
  ParameterSet[200] = 5;
  std::string path = dir_ / "one.rpa";
  WriteText(path, "3 : 7\r\n");
  ReadParameterFile(path, ParameterSet);
  EXPECT_EQ(ParameterSet[3], 7);
  EXPECT_EQ(ParameterSet[200], 5);
}

TEST_F(ParameterFileTest, AFileFarTooLargeIsRefusedWithoutReadingIt) {
  std::string path = dir_ / "huge.rpa";
  { std::ofstream(path) << "1 : 1\r\n"; }
  fs::resize_file(path, 17u << 20);  // sparse: cheap to make
  ParameterSet[1] = 9;
  try {
    ReadParameterFile(path, ParameterSet);
    ADD_FAILURE() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_EQ(e.File(), path);
  }
  EXPECT_EQ(ParameterSet[1], 9);
}

// CTest runs each test in a process of its own, and nothing else here reads these variables.
TEST_F(ParameterFileTest, DefaultFileFollowsTheConfigFolderRules) {
  ::setenv("HOME", (dir_ / "home").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (dir_ / "cfg").c_str(), 1);
  EXPECT_EQ(DefaultParameterFilePath(), dir_ / "cfg/tavlin/Tavlin.RPA");
  // An unset, empty or relative XDG_CONFIG_HOME is ignored.
  for (const char* ignored : {"", "relative/cfg"}) {
    ::setenv("XDG_CONFIG_HOME", ignored, 1);
    EXPECT_EQ(DefaultParameterFilePath(), dir_ / "home/.config/tavlin/Tavlin.RPA") << ignored;
  }
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(DefaultParameterFilePath(), dir_ / "home/.config/tavlin/Tavlin.RPA");
  // Without an absolute home there is no such file, never one in the working folder.
  ::setenv("HOME", "home", 1);
  EXPECT_EQ(DefaultParameterFilePath(), "");
  ::unsetenv("HOME");
  EXPECT_EQ(DefaultParameterFilePath(), "");
}

// A file picked to become the parameter file, which closing writes back: all
// of it must be parameter lines, or none of it is taken.
TEST_F(ParameterFileTest, LoadTakesOnlyAFileOfParameterLines) {
  const struct {
    const char* name;
    std::string text;
    std::string error;  // "" when it is taken
  } cases[] = {
      {"list.rpa", "milk\r\n  \r\neggs\r\n", "line 1: 'milk' is no parameter line (INDEX : VALUE)"},
      {"script.rs", "1 : 9\nSPRITE(1, 8, 2)\n",
       "line 2: 'SPRITE(1, 8, 2)' is no parameter line (INDEX : VALUE)"},
      {"late.rpa", "1 : 9\r\n\r\n# x\r\n2 : x\r\n", "line 4: 'x' is not a valid integer value"},
      {"latin1.rpa", "caf\xE9\n", "line 1: 'caf\\xE9' is no parameter line (INDEX : VALUE)"},
      {"empty.rpa", "", ""},
      {"marked.rpa", "\xEF\xBB\xBF# mine\n\t\n1 : 9\n300 : 1\n", ""},
  };
  for (const auto& c : cases) {
    const std::string path = dir_ / c.name;
    WriteText(path, c.text);
    TParameterSet set{};
    set[1] = 1;
    std::string error;
    try {
      LoadParameterFile(path, set);
    } catch (const TavlinError& e) {
      EXPECT_EQ(e.File(), path);
      error = e.Reason();
    }
    EXPECT_EQ(error, c.error) << c.name;
    // A refused file changes no value, not even those of the lines before the bad one.
    const bool applies = c.error.empty() && c.text.find("1 : 9") != std::string::npos;
    EXPECT_EQ(set[1], applies ? 9 : 1) << c.name;
  }
  // The program's own file is taken whole; a missing one is refused.
  TParameterSet written{}, set{};
  written[7] = 70;
  WriteParameterFile(dir_ / "written.rpa", written);
  LoadParameterFile(dir_ / "written.rpa", set);
  EXPECT_EQ(set, written);
  EXPECT_THROW(LoadParameterFile(dir_ / "missing.rpa", set), TavlinError);
}

TEST_F(ParameterFileTest, AFileNameThatIsNotUtf8IsShownWithEscapes) {
  const std::string path = dir_ / "caf\xE9.rpa";
  WriteText(path, "x\n");
  TParameterSet set{};
  try {
    LoadParameterFile(path, set);
    ADD_FAILURE() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_EQ(std::string(e.what()),
              "'" + dir_ / "caf\\xE9.rpa" + "': line 1: 'x' is no parameter line (INDEX : VALUE)");
  }
}

TEST_F(ParameterFileTest, StartReadsAnOldWorkingFolderFileUntilTheConfigFileExists) {
  ::setenv("XDG_CONFIG_HOME", (dir_ / "cfg").c_str(), 1);
  const fs::path workingFolder = fs::current_path();
  fs::current_path(dir_.path());
  WriteText(dir_ / "Tavlin.RPA", "  3 : 7\r\n  4 : x\r\n  5 : 9\r\n");
  MaxParameterIndex = 255;
  ElementList.Add(MakeLine(0, 1, 2, 3, 4));
  EXPECT_EQ(StartDocumentUnit(doc_), dir_ / "Tavlin.RPA" + ": 'x' is not a valid integer value");
  EXPECT_EQ(ParameterSet[3], 7);  // the values before the bad line stay
  EXPECT_EQ(ParameterSet[5], 0);
  EXPECT_EQ(MaxParameterIndex, 15);
  EXPECT_TRUE(ElementList.Empty());
  EXPECT_TRUE(UndefinedSprite.UsedArea.IsSet());
  EXPECT_EQ(ParameterFileName, dir_ / "cfg/tavlin/Tavlin.RPA");
  // Once the config file exists, the old one is left alone.
  fs::create_directories(dir_ / "cfg/tavlin");
  WriteText(ParameterFileName, "3 : 1\r\n");
  EXPECT_EQ(StartDocumentUnit(doc_), "");
  EXPECT_EQ(ParameterSet[3], 1);
  fs::current_path(workingFolder);
}

// The default file in the config folder or the old one in the working folder:
// a pipe is refused without waiting, a link is not followed, and a file that
// failed to read is marked so that closing leaves it alone.
TEST_F(ParameterFileTest, StartRefusesAPipeOrALinkAsTheDefaultFile) {
  ::setenv("XDG_CONFIG_HOME", (dir_ / "cfg").c_str(), 1);
  const fs::path workingFolder = fs::current_path();
  fs::current_path(dir_.path());
  fs::create_directories(dir_ / "cfg/tavlin");
  WriteText(dir_ / "elsewhere.rpa", "3 : 7\r\n");
  struct Case {
    std::string path;
    std::function<void(const std::string&)> make;
    std::string reason;  // "" when it reads fine
  };
  const auto pipe = [](const std::string& p) { ::mkfifo(p.c_str(), 0600); };
  const auto link = [&](const std::string& p) { fs::create_symlink(dir_ / "elsewhere.rpa", p); };
  const auto good = [](const std::string& p) { WriteText(p, "3 : 5\r\n"); };
  const std::string config = dir_ / "cfg/tavlin/Tavlin.RPA", working = dir_ / "Tavlin.RPA";
  const std::vector<Case> cases = {
      {config, pipe, "Is a pipe, not a file"},
      {config, link, "Is a symbolic link, not a file"},
      {working, pipe, "Is a pipe, not a file"},
      {working, link, "Is a symbolic link, not a file"},
      {config, good, ""},
  };
  alarm(20);  // a read that waits on a pipe ends the test
  for (const Case& c : cases) {
    c.make(c.path);
    ParameterSet.fill(0);
    EXPECT_EQ(StartDocumentUnit(doc_), c.reason.empty() ? "" : c.path + ": " + c.reason);
    EXPECT_EQ(ParameterFileReadFailed, !c.reason.empty()) << c.path;
    EXPECT_EQ(ParameterSet[3], c.reason.empty() ? 5 : 0) << c.path;
    fs::remove(c.path);
  }
  alarm(0);
  fs::current_path(workingFolder);
}

// --- Saving -----------------------------------------------------------------

std::vector<std::string> FolderEntries(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST_F(ParameterFileTest, SavingIntoAMissingFolderFailsAndNamesTheFile) {
  std::string path = dir_ / "no-such-folder/p.rpa";
  try {
    WriteParameterFile(path, ParameterSet);
    ADD_FAILURE() << "no error";
  } catch (const TavlinError& e) {
    EXPECT_EQ(e.File(), path);
    EXPECT_EQ(e.Reason(), "Its folder does not exist");
    EXPECT_EQ(std::string(e.what()), path + ": Its folder does not exist");
  }
  EXPECT_TRUE(FolderEntries(dir_.path()).empty());
}

using tavlin::test::FileSizeLimit;

TEST_F(ParameterFileTest, AFailedSaveLeavesTheOldFileAsItWas) {
  std::string path = dir_ / "keep.rpa";
  WriteText(path, "5 : 55\r\n");
  ParameterSet.fill(1);
  {
    FileSizeLimit limit(100);
    try {
      WriteParameterFile(path, ParameterSet);
      ADD_FAILURE() << "no error";
    } catch (const TavlinError& e) {
      EXPECT_EQ(e.File(), path);
      EXPECT_FALSE(e.Reason().empty());
    }
  }
  EXPECT_EQ(ReadText(path), "5 : 55\r\n");
  EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"keep.rpa"});
  EXPECT_EQ(ParameterSet[0], 1);  // the values in memory stay
}

TEST_F(ParameterFileTest, SavingReplacesTheOldFileCompletelyAndKeepsItsMode) {
  std::string path = dir_ / "replace.rpa";
  WriteText(path, std::string(20000, '~'));
  ::chmod(path.c_str(), 0640);
  WriteParameterFile(path, ParameterSet);
  std::string text = ReadText(path);
  EXPECT_EQ(text.find('~'), std::string::npos);
  EXPECT_EQ(CrLfLines(text).size(), 267u);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FolderEntries(dir_.path()), std::vector<std::string>{"replace.rpa"});
}

}  // namespace
}  // namespace tavlin
