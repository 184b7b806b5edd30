// Recovery copies on disk: what a .info file holds and what is refused as
// one, which copies are offered (not those of an editor that still runs),
// and how a file's stamp tells a change, a replacement and a deletion.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "FileIO.h"
#include "FileStamp.h"
#include "Recovery.h"

namespace tavlin {
namespace {

namespace fs = std::filesystem;

class RecoveryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("tavlin-recovery-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  std::string Folder() const { return (folder_ / "state" / "recovery").string(); }
  fs::path folder_;
};

TEST(RecoveryInfoTest, AnyFileNameComesBackAndDamagedInfoIsRefused) {
  RecoveryCopy copy;
  copy.pid = 42;
  copy.process = "boot:7";
  copy.written = 1700000000;
  copy.stamp = FileStamp{true, 1, 2, 3, 4, 5};
  for (const std::string& name :
       std::vector<std::string>{"", "/a/b.ric", "/odd\nfile pid 3\n.ric"}) {
    copy.fileName = name;
    RecoveryCopy read;
    ASSERT_TRUE(ParseRecoveryInfo(RecoveryInfoText(copy), read)) << name;
    EXPECT_EQ(read.fileName, name);
    EXPECT_EQ(read.pid, 42);
    EXPECT_EQ(read.process, "boot:7");
    EXPECT_EQ(read.written, 1700000000);
    EXPECT_EQ(read.stamp, copy.stamp);
  }
  copy.fileName = "/a.ric";
  const std::string good = RecoveryInfoText(copy);
  for (const std::string& bad :
       {std::string(), good.substr(0, good.size() - 1), "x" + good, good.substr(0, 30),
        std::string(good).replace(good.find("pid 42"), 6, "pid -4"),
        std::string(good).replace(good.find("stamp 1"), 7, "stamp x")}) {
    RecoveryCopy read;
    EXPECT_FALSE(ParseRecoveryInfo(bad, read)) << bad;
  }
}

TEST_F(RecoveryTest, OnlyCopiesOfEndedEditorsAreFoundAndRemovedWhole) {
  const std::vector<std::uint8_t> bytes{1, 2, 3};
  RecoveryCopy own = OwnRecoveryCopy();
  ASSERT_FALSE(own.process.empty());
  WriteRecoveryCopy(Folder(), own, bytes);  // this process runs: not offered
  RecoveryCopy running = own;               // another name, the same running process
  running.name = "tavlin-running";
  WriteRecoveryCopy(Folder(), running, bytes);
  RecoveryCopy ended = own;  // the same pid, but a process of another boot
  ended.name = "tavlin-ended";
  ended.process = "another-boot:1";
  ended.fileName = "/x.ric";
  WriteRecoveryCopy(Folder(), ended, bytes);
  std::ofstream(Folder() + "/tavlin-half.ric") << "only the bytes";
  std::ofstream(Folder() + "/tavlin-junk.info") << "not an info file\n";
  EXPECT_EQ(fs::status(Folder()).permissions() & fs::perms::all, fs::perms::owner_all);

  const std::vector<RecoveryCopy> found = FindRecoveryCopies(Folder());
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].name, "tavlin-ended");
  EXPECT_EQ(found[0].fileName, "/x.ric");
  EXPECT_EQ(ReadRecoveryBytes(Folder(), found[0]), bytes);
  RemoveRecoveryCopy(Folder(), "tavlin-ended");
  EXPECT_FALSE(fs::exists(Folder() + "/tavlin-ended.ric"));
  EXPECT_FALSE(fs::exists(Folder() + "/tavlin-ended.info"));
  EXPECT_TRUE(FindRecoveryCopies(Folder()).empty());
  EXPECT_TRUE(FindRecoveryCopies("").empty());
}

TEST_F(RecoveryTest, AStampTellsAChangeAReplacementAndADeletion) {
  fs::create_directories(folder_);
  const std::string file = (folder_ / "a.ric").string();
  std::ofstream(file) << "one";
  const FileStamp first = StampOf(file);
  ASSERT_TRUE(first.exists);
  EXPECT_EQ(ChangeBetween(first, StampOf(file)), DiskChange::None);
  std::ofstream(file, std::ios::app) << "two";
  const FileStamp changed = StampOf(file);
  EXPECT_EQ(ChangeBetween(first, changed), DiskChange::Changed);
  std::ofstream(file + ".new") << "one";
  fs::rename(file + ".new", file);
  EXPECT_EQ(ChangeBetween(changed, StampOf(file)), DiskChange::Replaced);
  fs::remove(file);
  EXPECT_EQ(ChangeBetween(changed, StampOf(file)), DiskChange::Deleted);
  FileStamp read;
  ASSERT_TRUE(ParseStamp(StampText(changed), read));
  EXPECT_EQ(read, changed);
}

}  // namespace
}  // namespace tavlin
