// The desktop file type registration, written into a temporary data folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "FTypesAPI.h"

namespace fs = std::filesystem;
using namespace tavlin;

namespace {

std::string Read(const fs::path& p) {
  std::ifstream in(p);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class FileTypeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("tavlin-ftypes-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    folders_ = {(root_ / "data").string(), (root_ / "config").string()};
  }
  void TearDown() override { fs::remove_all(root_); }
  bool Register(const std::string& program = "/opt/tavlin/bin/tavlin") {
    return RegisterRicFileType(".ric", "LEGO Mindstorms RIC-Files", "RIC-Files", program, folders_,
                               false);
  }
  fs::path root_;
  DesktopFolders folders_;
};

}  // namespace

TEST_F(FileTypeTest, FirstStartWritesTypeEntryAndDefault) {
  ASSERT_TRUE(Register());
  std::string package = Read(root_ / "data/mime/packages/tavlin-ric.xml");
  EXPECT_NE(package.find("<mime-type type=\"application/x-lego-mindstorms-ric\">"), std::string::npos);
  EXPECT_NE(package.find("<comment>RIC-Files</comment>"), std::string::npos);
  EXPECT_NE(package.find("<glob pattern=\"*.ric\"/>"), std::string::npos);
  std::string entry = Read(root_ / "data/applications/tavlin.desktop");
  EXPECT_NE(entry.find("\nExec=/opt/tavlin/bin/tavlin %f\n"), std::string::npos) << entry;
  EXPECT_NE(entry.find("\nMimeType=application/x-lego-mindstorms-ric;\n"), std::string::npos);
  EXPECT_EQ(Read(root_ / "config/mimeapps.list"),
            "[Default Applications]\napplication/x-lego-mindstorms-ric=tavlin.desktop\n");
}

TEST_F(FileTypeTest, EveryStartNamesTheCurrentPlaceAndKeepsTheUsersDefault) {
  fs::create_directories(root_ / "config");
  std::ofstream(root_ / "config/mimeapps.list")
      << "[Added Associations]\ntext/plain=gedit.desktop\n"
         "[Default Applications]\napplication/x-lego-mindstorms-ric=other.desktop\n";
  ASSERT_TRUE(Register("/first/tavlin"));
  ASSERT_TRUE(Register("/second/tavlin"));
  EXPECT_NE(Read(root_ / "data/applications/tavlin.desktop").find("Exec=/second/tavlin %f"),
            std::string::npos);
  std::string mimeapps = Read(root_ / "config/mimeapps.list");
  EXPECT_NE(mimeapps.find("application/x-lego-mindstorms-ric=other.desktop"), std::string::npos);
  EXPECT_EQ(mimeapps.find("tavlin.desktop"), std::string::npos);
}

TEST_F(FileTypeTest, DefaultIsAddedToAnExistingSectionOnce) {
  fs::create_directories(root_ / "config");
  std::ofstream(root_ / "config/mimeapps.list") << "[Default Applications]\ntext/plain=gedit.desktop\n";
  ASSERT_TRUE(Register());
  ASSERT_TRUE(Register());
  EXPECT_EQ(Read(root_ / "config/mimeapps.list"),
            "[Default Applications]\napplication/x-lego-mindstorms-ric=tavlin.desktop\n"
            "text/plain=gedit.desktop\n");
}

TEST(DesktopExecLine, QuotesPathsTheEntryFormatWouldSplit) {
  EXPECT_EQ(DesktopExecLine("/usr/bin/tavlin"), "/usr/bin/tavlin %f");
  EXPECT_EQ(DesktopExecLine("/home/a b/tavlin"), "\"/home/a b/tavlin\" %f");
  EXPECT_EQ(DesktopExecLine("/x/\"q\"/t"), "\"/x/\\\\\"q\\\\\"/t\" %f");
  EXPECT_EQ(DesktopExecLine("/x/back\\slash"), "\"/x/back\\\\\\\\slash\" %f");
  EXPECT_EQ(DesktopExecLine("/x/100%/t"), "/x/100%%/t %f");
}

TEST_F(FileTypeTest, NoHomeOrBadExtensionRegistersNothingSilently) {
  EXPECT_FALSE(RegisterRicFileType(".ric", "T", "D", "/p", DesktopFolders{}, false));
  EXPECT_FALSE(RegisterRicFileType("ric", "T", "D", "/p", folders_, false));
  EXPECT_FALSE(fs::exists(root_));
}

TEST_F(FileTypeTest, AnUnwritableDataFolderFailsQuietly) {
  fs::create_directories(root_);
  std::ofstream(root_ / "data") << "a file where the folder should be";
  EXPECT_FALSE(Register());
}
