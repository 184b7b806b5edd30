// Where settings and recovery copies may go: only below an absolute base
// folder, and never into a folder tree of another user. "Another user" can be
// made only as root (a scratch folder given to nobody); those cases skip otherwise.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "UserFolders.h"

namespace tavlin {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class UserFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tavlin-folders-XXXXXX").string();
    root_ = ::mkdtemp(pattern.data());
    fs::create_directories(root_ / "home");
    ::setenv("HOME", (root_ / "home").c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_STATE_HOME");
  }
  void TearDown() override { fs::remove_all(root_); }
  // A folder of the scratch root, made and given to nobody.
  void GiveAway(const std::string& name) {
    fs::create_directories(root_ / name);
    ASSERT_EQ(::chown((root_ / name).c_str(), kNobody, kNobody), 0);
  }
  std::string At(const std::string& name) const { return (root_ / name).string(); }
  fs::path root_;
};

struct FolderCase {
  const char* name;
  const char* home;      // below the scratch root; "-" unsets HOME, "=" gives it as written
  const char* config;    // XDG_CONFIG_HOME below the scratch root, nullptr: unset
  const char* expected;  // below the scratch root, "" for none
  const char* giveAway;  // a folder of nobody's (root only), nullptr: none
};

class ConfigFolderTest : public UserFoldersTest,
                         public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ConfigFolderTest, IsOfferedOnlyWhereTheProcessMayWrite) {
  const FolderCase& c = GetParam();
  if (c.giveAway) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
    GiveAway(c.giveAway);
  }
  if (std::string(c.home) == "-")
    ::unsetenv("HOME");
  else
    ::setenv("HOME", c.home[0] == '=' ? c.home + 1 : At(c.home).c_str(), 1);
  if (c.config) ::setenv("XDG_CONFIG_HOME", At(c.config).c_str(), 1);
  const std::string expected = *c.expected ? At(c.expected) : "";
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(ConfigFolder(), expected);
  EXPECT_EQ(ConfigFolder(), expected);
  RecoveryFolder();  // refused for the same reason when the home is another user's
  const std::string said = ::testing::internal::GetCapturedStderr();
  // A folder of another user is named on standard error, once however often it is asked for.
  const std::string why = c.giveAway ? At(c.giveAway) + " belongs to another user" : "";
  EXPECT_EQ(said.empty(), why.empty()) << said;
  EXPECT_NE(said.find(why), std::string::npos) << said;
  EXPECT_EQ(said.find(why), said.rfind(why)) << said;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigFolderTest,
    ::testing::Values(
        FolderCase{"Home", "home", nullptr, "home/.config/tavlin", nullptr},
        FolderCase{"XdgFolder", "home", "cfg", "cfg/tavlin", nullptr},
        FolderCase{"NoHome", "-", nullptr, "", nullptr},
        FolderCase{"RelativeHome", "=home", nullptr, "", nullptr},
        FolderCase{"MissingXdgFolder", "home", "new/cfg", "new/cfg/tavlin", nullptr},
        FolderCase{"HomeOfAnotherUser", "home", nullptr, "", "home"},
        FolderCase{"XdgBelowHomeOfAnotherUser", "home", "home/cfg", "", "home"},
        FolderCase{"XdgFolderOfAnotherUser", "home", "other", "", "other"},
        FolderCase{"MissingXdgFolderInAnotherUsersFolder", "home", "other/new/cfg", "", "other"},
        FolderCase{"OurFolderOfAnotherUser", "home", nullptr, "", "home/.config/tavlin"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tavlin
