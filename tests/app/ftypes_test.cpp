// The desktop file type registration, written into a scratch HOME.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "FTypesAPI.h"

namespace fs = std::filesystem;
using namespace tavlin;

namespace {

constexpr uid_t kNobody = 65534;

std::string Read(const fs::path& p) {
  std::ifstream in(p);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void Write(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  std::ofstream(p) << text;
}

// The file's text once it has `lines` lines, waiting up to ten seconds.
std::string AwaitLines(const fs::path& p, long lines) {
  std::string text;
  for (int i = 0; i < 500 && std::count(text.begin(), text.end(), '\n') < lines; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    text = Read(p);
  }
  return text;
}

class FileTypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(root_);
    fs::create_directories(home_);
    // Everything the registration reads or writes lies in the scratch folder.
    ::setenv("HOME", home_.c_str(), 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("XDG_DATA_DIRS", (root_ / "sys/share").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root_ / "sys/etc").c_str(), 1);
    ::setenv("XDG_CURRENT_DESKTOP", "X-Test:KDE", 1);
    folders_ = DefaultDesktopFolders();
  }
  void TearDown() override { fs::remove_all(root_); }
  std::string Register(const std::string& program = "/opt/tavlin/bin/tavlin", bool notify = false) {
    return RegisterRicFileType(".ric", "LEGO Mindstorms RIC-Files", "RIC-Files", program, folders_,
                               notify);
  }
  fs::path root_ =
      fs::temp_directory_path() / ("tavlin-ftypes-" + std::to_string(::getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::path home_ = root_ / "home", data_ = home_ / ".local/share", config_ = home_ / ".config";
  fs::path entry_ = data_ / "applications/tavlin.desktop", list_ = config_ / "mimeapps.list";
  DesktopFolders folders_;
};

}  // namespace

TEST_F(FileTypeTest, FirstStartWritesTypeEntryAndDefault) {
  ASSERT_EQ(Register(), "");
  std::string package = Read(data_ / "mime/packages/tavlin-ric.xml");
  EXPECT_NE(package.find("<mime-type type=\"application/x-lego-mindstorms-ric\">"),
            std::string::npos);
  EXPECT_NE(package.find("<comment>RIC-Files</comment>"), std::string::npos);
  EXPECT_NE(package.find("<glob pattern=\"*.ric\"/>"), std::string::npos);
  std::string entry = Read(entry_);
  EXPECT_NE(entry.find("\nExec=/opt/tavlin/bin/tavlin %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-lego-mindstorms-ric;\n"), std::string::npos);
  EXPECT_EQ(Read(list_),
            "[Default Applications]\napplication/x-lego-mindstorms-ric=tavlin.desktop\n");
}

TEST_F(FileTypeTest, EveryStartNamesTheCurrentPlaceAndKeepsTheUsersDefault) {
  Write(list_,
        "[Added Associations]\ntext/plain=gedit.desktop\n"
        "[Default Applications]\napplication/x-lego-mindstorms-ric=other.desktop\n");
  ASSERT_EQ(Register("/first/tavlin"), "");
  ASSERT_EQ(Register("/second/tavlin"), "");
  EXPECT_NE(Read(entry_).find("Exec=/second/tavlin %f"), std::string::npos);
  std::string mimeapps = Read(list_);
  EXPECT_NE(mimeapps.find("application/x-lego-mindstorms-ric=other.desktop"), std::string::npos);
  EXPECT_EQ(mimeapps.find("tavlin.desktop"), std::string::npos);
}

TEST_F(FileTypeTest, DefaultGoesIntoTheRealGroupOnce) {
  // A header is a whole line, blanks around it aside; a commented one is no header.
  Write(list_,
        "[Added Associations]\n# [Default Applications]\ntext/plain=gedit.desktop\n"
        " [Default Applications] \ntext/html=firefox.desktop\n");
  ASSERT_EQ(Register(), "");
  const std::string once = Read(list_);
  EXPECT_EQ(once,
            "[Added Associations]\n# [Default Applications]\ntext/plain=gedit.desktop\n"
            " [Default Applications] \napplication/x-lego-mindstorms-ric=tavlin.desktop\n"
            "text/html=firefox.desktop\n");
  ASSERT_EQ(Register(), "");
  EXPECT_EQ(Read(list_), once);
}

TEST_F(FileTypeTest, ADefaultChosenInAnyListLocationIsKept) {
  for (fs::path chosen :
       {data_ / "applications/mimeapps.list", config_ / "x-test-mimeapps.list",
        root_ / "sys/etc/kde-mimeapps.list", root_ / "sys/share/applications/mimeapps.list"}) {
    Write(chosen, "[Default Applications]\napplication/x-lego-mindstorms-ric = other.desktop;\n");
    EXPECT_EQ(Register(), "");
    EXPECT_FALSE(fs::exists(list_)) << chosen;
    fs::remove(chosen);
  }
}

TEST_F(FileTypeTest, ATypeThatAlreadyClaimsTheExtensionIsReused) {
  ASSERT_EQ(Register(), "");
  // Our own type, as the user's database lists it after the first start, is not another claim.
  Write(data_ / "mime/globs2", "50:application/x-lego-mindstorms-ric:*.ric\n");
  Write(root_ / "sys/share/mime/globs2",
        "# compiled\n50:text/x-rich:*.rich\n50:image/x-nxt:*.ric\n");
  ASSERT_EQ(Register(), "");
  EXPECT_FALSE(fs::exists(data_ / "mime/packages/tavlin-ric.xml"));
  EXPECT_NE(Read(entry_).find("\nMimeType=image/x-nxt;\n"), std::string::npos);
  EXPECT_NE(Read(list_).find("\nimage/x-nxt=tavlin.desktop\n"), std::string::npos);
}

TEST_F(FileTypeTest, RelativeBaseFoldersAreIgnored) {
  ::setenv("XDG_DATA_HOME", "rel/data", 1);
  ::setenv("XDG_DATA_DIRS", ("rel/share:" + (root_ / "sys/share").string()).c_str(), 1);
  DesktopFolders f = DefaultDesktopFolders();
  EXPECT_EQ(f.DataHome, data_.string());
  EXPECT_EQ(f.DataDirs, std::vector<std::string>{(root_ / "sys/share").string()});
}

TEST_F(FileTypeTest, OnlyAProgramInAPrefixTheDesktopReadsIsInstalled) {
  const fs::path prefix = root_ / "sys", program = prefix / "bin/tavlin";
  Write(program, "");
  Write(prefix / "share/applications/tavlin.desktop", "[Desktop Entry]\n");
  EXPECT_FALSE(InstalledSystemWide(program, folders_));  // the file types are missing
  Write(prefix / "share/mime/packages/tavlin.xml", "<mime-info/>\n");
  EXPECT_TRUE(InstalledSystemWide(program, folders_));
  folders_.DataDirs = {(prefix / "share/").string()};
  EXPECT_TRUE(InstalledSystemWide((prefix / "bin/../bin/tavlin").string(), folders_));
  EXPECT_FALSE(InstalledSystemWide((prefix / "app/tavlin").string(), folders_));  // a build folder
  folders_.DataDirs = {"/usr/share"};
  EXPECT_FALSE(InstalledSystemWide(program, folders_));  // a scratch root the desktop does not read
  // Installed into ~/.local, the user's own entry is the installed one: it is not rewritten.
  fs::create_directories(home_ / ".local");
  fs::rename(prefix / "share", data_);
  Write(home_ / ".local/bin/tavlin", "");
  EXPECT_TRUE(InstalledSystemWide((home_ / ".local/bin/tavlin").string(), folders_));
}

TEST(DesktopExecLine, QuotesPathsTheEntryFormatWouldSplit) {
  EXPECT_EQ(DesktopExecLine("/usr/bin/tavlin"), "/usr/bin/tavlin %f");
  EXPECT_EQ(DesktopExecLine("/home/a b/tavlin"), "\"/home/a b/tavlin\" %f");
  EXPECT_EQ(DesktopExecLine("/x/\"q\"/t"), "\"/x/\\\\\"q\\\\\"/t\" %f");
  EXPECT_EQ(DesktopExecLine("/x/back\\slash"), "\"/x/back\\\\\\\\slash\" %f");
  // The desktop looks for the first word as a program before it turns %% into %.
  EXPECT_EQ(DesktopExecLine("/x/100%/t"),
            "sh -c \"exec \\\\\"\\\\$0\\\\\" \\\\\"\\\\$@\\\\\"\" /x/100%%/t %f");
  // A line break, a control character or bytes that are not UTF-8 have no form in an entry.
  EXPECT_EQ(DesktopExecLine("/x/line\nbreak"), "");
  EXPECT_EQ(DesktopExecLine("/x/latin\xe9/t"), "");
}

TEST_F(FileTypeTest, NothingIsWrittenWithoutAHomeAnExtensionOrAnEntryForThePath) {
  EXPECT_NE(RegisterRicFileType(".ric", "T", "D", "/p", DesktopFolders{}, false), "");
  EXPECT_NE(RegisterRicFileType("ric", "T", "D", "/p", folders_, false), "");
  EXPECT_NE(Register("/opt/line\nbreak/tavlin"), "");
  EXPECT_FALSE(fs::exists(data_));
  EXPECT_FALSE(fs::exists(config_));
}

TEST_F(FileTypeTest, AnUnwritableDataFolderFailsQuietly) {
  fs::create_directories(home_ / ".local");
  Write(data_, "a file where the folder should be");
  EXPECT_NE(Register(), "");
}

TEST_F(FileTypeTest, AnotherUsersHomeAndFilesAreLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give the scratch HOME to another user";
  Write(list_, "[Added Associations]\n");
  ASSERT_EQ(::chown(list_.c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chown(home_.c_str(), kNobody, kNobody), 0);
  EXPECT_NE(Register(), "");  // root with the user's HOME (sudo -E) writes nothing there
  EXPECT_FALSE(fs::exists(data_));
  ASSERT_EQ(::chown(home_.c_str(), 0, 0), 0);
  EXPECT_NE(Register(), "");  // nor replaces a file of another user in its own HOME
  EXPECT_TRUE(fs::exists(entry_));
  struct stat st {};
  EXPECT_TRUE(::stat(list_.c_str(), &st) == 0 && st.st_uid == kNobody);
  EXPECT_EQ(Read(list_), "[Added Associations]\n");
}

// XDG folders kept by sudo -E are the user's trees as much as the HOME is,
// whether they exist already or would be made in a folder of the user's.
TEST_F(FileTypeTest, AnotherUsersXdgFoldersAreLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
  fs::create_directories(root_ / "user");
  ASSERT_EQ(::chown((root_ / "user").c_str(), kNobody, kNobody), 0);
  for (const char* variable : {"XDG_DATA_HOME", "XDG_CONFIG_HOME"})
    for (const char* folder : {"user", "user/made/later"}) {
      ::setenv(variable, (root_ / folder).c_str(), 1);
      folders_ = DefaultDesktopFolders();
      EXPECT_EQ(Register(), (root_ / "user").string() + " belongs to another user") << variable;
      EXPECT_FALSE(fs::exists(data_)) << variable << " " << folder;
      EXPECT_FALSE(fs::exists(config_)) << variable << " " << folder;
      EXPECT_FALSE(fs::exists(root_ / "user/made")) << variable << " " << folder;
      ::unsetenv(variable);
    }
}

TEST_F(FileTypeTest, AListThatCannotBeReadIsLeftAlone) {
  Write(list_, "[Added Associations]\n");
  fs::permissions(list_, fs::perms::owner_write);
  if (::geteuid() == 0) {
    // Root reads every file: the registration runs in a child that has become the HOME's owner.
    for (const auto& e : fs::recursive_directory_iterator(root_))
      ASSERT_EQ(::chown(e.path().c_str(), kNobody, kNobody), 0);
    if (pid_t child = ::fork(); child == 0)
      _exit(::setgid(kNobody) || ::setuid(kNobody) || Register().empty());
    else
      ::waitpid(child, nullptr, 0);
  } else {
    EXPECT_NE(Register(), "");
  }
  fs::permissions(list_, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(Read(list_), "[Added Associations]\n");
  EXPECT_TRUE(fs::exists(entry_));
}

TEST_F(FileTypeTest, HelpersRunDetachedAndOnlyAfterAChange) {
  // Stand-ins that log their start and end and wait for the test, ten seconds at most.
  const fs::path bin = root_ / "bin", log = root_ / "log", go = root_ / "go";
  for (const char* name : {"update-mime-database", "update-desktop-database"}) {
    Write(bin / name, "#!/bin/sh\necho ${0##*/} >>" + log.string() +
                          "\nfor i in $(seq 200); do [ -e " + go.string() +
                          " ] || sleep 0.05; done\necho end >>" + log.string() + "\n");
    fs::permissions(bin / name, fs::perms::owner_all);
  }
  ::setenv("PATH", (bin.string() + ":" + std::getenv("PATH")).c_str(), 1);
  ASSERT_EQ(Register("/opt/tavlin", true), "");
  EXPECT_EQ(AwaitLines(log, 2).find("end"), std::string::npos);  // both started, neither ended,
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);                // and no child is left to reap
  Write(go, "");
  ASSERT_EQ(Register("/opt/tavlin", true), "");        // nothing changed
  ASSERT_EQ(Register("/opt/moved/tavlin", true), "");  // only the entry changed
  const std::string text = AwaitLines(log, 6);
  EXPECT_EQ(text.find("update-mime-database"), text.rfind("update-mime-database")) << text;
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;
}
