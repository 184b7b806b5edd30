// The file layer under failure and abuse: every writer through every failing
// system call, targets that are no regular files, links, hard links, owners,
// long names and a full disk.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>

#include "ByteFiles.h"
#include "CliTestUtil.h"
#include "FileFaults.h"
#include "FileIO.h"
#include "ParameterFile.h"
#include "RICElement.h"
#include "RicFile.h"
#include "RicScript.h"
#include "SourceExport.h"

namespace tavlin {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::ReadBytes;
using test::SaveOutcome;
using test::TempFolder;
using test::WriteBytes;

RICElementList TwoCircles() {
  RICElementList list;
  list.Add(MakeCircle(0, 20, 20, 10));
  list.Add(MakeCircle(0, 30, 30, 10));
  return list;
}

// The error of a call that throws TavlinError ("" when it does not).
std::string ErrorOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const TavlinError& e) {
    return e.what();
  }
  return "";
}

TEST(FileFaultTest, EveryWriterKeepsTheOldFileWhenAnyCallFails) {
  const RICElementList list = TwoCircles();
  TParameterSet parameters{};
  parameters[3] = 77;
  struct Writer {
    const char* name;
    std::function<void(const std::string&)> write;
  };
  const std::vector<Writer> writers = {
      {"x.ric", [&](const std::string& p) { SaveRicFile(p, list); }},
      {"x.rpa", [&](const std::string& p) { WriteParameterFile(p, parameters); }},
      {"x.rs", [&](const std::string& p) { SaveRicScript(p, list); }},
      {"x.nxc", [&](const std::string& p) { SaveSource(p, list, "x.ric", SourceLanguage::Nxc); }},
      {"x.nbc", [&](const std::string& p) { SaveSource(p, list, "x.ric", SourceLanguage::Nbc); }},
  };
  // An old file, no file yet, and a file with a second name, which is rewritten in place.
  enum Target { kOld, kNew, kLinked };
  for (const Writer& w : writers) {
    for (Target target : {kOld, kNew, kLinked}) {
      TempFolder dir;
      const std::string path = dir.Path(w.name);
      std::vector<std::string> paths = {path};
      if (target != kNew) WriteBytes(path, Bytes(3000, 0xA5));
      if (target == kLinked) {
        paths.push_back(dir.Path("second-name"));
        ASSERT_EQ(::link(path.c_str(), paths.back().c_str()), 0);
      }
      using test::FileCall;
      const auto problems = test::SaveFaultProblems(
          paths, [&] { return SaveOutcome{ErrorOf([&] { w.write(path); })}; },
          target == kLinked ? std::vector{FileCall::Open, FileCall::Write, FileCall::Fsync}
                            : std::vector{FileCall::Open, FileCall::Write, FileCall::Fsync,
                                          FileCall::Close, FileCall::Rename});
      EXPECT_EQ(problems, std::vector<std::string>{}) << w.name << " target " << target;
    }
  }
}

// Only regular files are written or read; whatever else has the name stays as it was.
TEST(FileTargetTest, WhatIsNoRegularFileIsRefusedAndLeftAlone) {
  TempFolder dir;
  const std::string file = dir.Path("file.ric");
  WriteBytes(file, Bytes{1, 2, 3});
  const int fd = ::open(file.c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::mkfifo(dir.Path("fifo.ric").c_str(), 0600), 0);
  fs::create_symlink("/dev/null", dir.Path("null.ric"));
  fs::create_symlink("missing.ric", dir.Path("dangling.ric"));
  fs::create_symlink("loop.ric", dir.Path("loop.ric"));
  fs::create_directory(dir.Path("folder.ric"));
  const bool root = ::geteuid() == 0;
  if (root) {
    ASSERT_EQ(::mknod(dir.Path("device.ric").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
  }
  // What writing says, and what reading says ("" where reading may go on).
  struct Case {
    std::string path, reason, readReason;
  };
  const std::string proc = "Is part of the system's /proc or /sys, not a file";
  std::vector<Case> cases = {
      {dir.Path("fifo.ric"), "Is a pipe, not a file", "Is a pipe, not a file"},
      {dir.Path("null.ric"), "Is a device, not a file", "Is a device, not a file"},
      {"/proc/self/fd/" + std::to_string(fd), proc, ""},
      {"/dev/stdout", proc, ""},
      {dir.Path("dangling.ric"), "Is a symbolic link that leads nowhere", "File not found"},
      {dir.Path("loop.ric"), "Is a loop of symbolic links", "Is a loop of symbolic links"},
      {dir.Path("folder.ric"), "Is a folder, not a file", "Is a folder, not a file"},
  };
  if (root) cases.push_back({dir.Path("device.ric"), "Is a device, not a file", ""});
  const auto entries = test::FolderEntries(dir.Dir());
  alarm(20);  // a read that waits on the pipe ends the test
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomic(c.path, "new"); }), c.path + ": " + c.reason);
    if (!c.readReason.empty()) {
      EXPECT_EQ(ErrorOf([&] { ReadFileBytes(c.path, 100); }), c.path + ": " + c.readReason);
    }
  }
  alarm(0);
  ::close(fd);
  EXPECT_EQ(test::FolderEntries(dir.Dir()), entries);
  EXPECT_EQ(ReadBytes(file), (Bytes{1, 2, 3}));
  EXPECT_TRUE(fs::is_fifo(dir.Path("fifo.ric")));
  EXPECT_EQ(fs::read_symlink(dir.Path("null.ric")), "/dev/null");
  EXPECT_EQ(fs::read_symlink(dir.Path("dangling.ric")), "missing.ric");
  if (root) {
    EXPECT_TRUE(fs::is_character_file(dir.Path("device.ric")));
  }
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

// A file with other names keeps them, and a file of another user stays
// theirs: both are rewritten in place. Saves as another user in a child process.
TEST(FileTargetTest, HardLinksAndTheOwnerAreKept) {
  if (::getuid() != 0) GTEST_SKIP() << "needs root to save as another user";
  TempFolder dir;
  ::chmod(dir.Dir().c_str(), 0777);
  const std::string path = dir.Path("shared.ric"), other = dir.Path("other-name.ric");
  WriteBytes(path, Bytes(100, 0xA5));
  ::chmod(path.c_str(), 0666);
  ASSERT_EQ(::link(path.c_str(), other.c_str()), 0);
  struct stat before {};
  ::stat(path.c_str(), &before);
  const RICElementList list = TwoCircles();
  EXPECT_EXIT(
      {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) std::_Exit(3);
        SaveRicFile(path, list);
        ::unlink(other.c_str());  // one name left, still another user's file
        SaveRicFile(path, list);
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  struct stat after {};
  ::stat(path.c_str(), &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_uid, before.st_uid);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(ReadBytes(path), EncodeRic(list));
  EXPECT_EQ(test::FolderEntries(dir.Dir()), std::set<std::string>{"shared.ric"});
}

// A file of the saving user with exactly two names, saved through either:
// both names still lead to the one file, which holds the new bytes.
TEST(FileTargetTest, BothNamesOfAFileWithTwoShowTheSavedBytes) {
  TempFolder dir;
  const std::string first = dir.Path("first.ric"), second = dir.Path("second.ric");
  WriteBytes(first, Bytes(100, 0xA5));
  ASSERT_EQ(::link(first.c_str(), second.c_str()), 0);
  const RICElementList list = TwoCircles();
  for (const std::string& through : {first, second}) {
    const std::string& other = through == first ? second : first;
    WriteBytes(through, Bytes(100, 0xA5));
    SaveRicFile(through, list);
    struct stat a {
    }, b{};
    ASSERT_EQ(::stat(through.c_str(), &a), 0);
    ASSERT_EQ(::stat(other.c_str(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino) << "saved through " << through;
    EXPECT_EQ(a.st_nlink, 2u) << "saved through " << through;
    EXPECT_EQ(ReadBytes(other), EncodeRic(list)) << "saved through " << through;
  }
}

// Writers at the same time each leave a whole file, never a mix of two: in
// place (a file with a second name) and through a new file beside it.
TEST(FileTargetTest, ParallelWritersNeverMixTheirBytes) {
  std::vector<std::string> inputs;
  for (int i = 0; i < 8; ++i) inputs.push_back(std::string(std::size_t(9000 - 1000 * i), 'a' + i));
  for (bool inPlace : {true, false}) {
    TempFolder dir;
    const std::string path = dir.Path("shared.ric");
    WriteBytes(path, Bytes(10, 0));
    if (inPlace) {
      ASSERT_EQ(::link(path.c_str(), dir.Path("second-name").c_str()), 0);
    }
    std::mutex mutex;
    std::vector<std::string> errors;
    for (int round = 0; round < 40; ++round) {
      std::vector<std::thread> writers;
      for (const std::string& text : inputs)
        writers.emplace_back([&] {
          const std::string error = ErrorOf([&] { WriteFileAtomic(path, text); });
          std::lock_guard<std::mutex> hold(mutex);
          if (!error.empty()) errors.push_back(error);
        });
      for (std::thread& w : writers) w.join();
      const std::string result = test::ReadText(path);
      ASSERT_TRUE(std::find(inputs.begin(), inputs.end(), result) != inputs.end())
          << (inPlace ? "in place" : "beside") << ", round " << round << ": " << result.size()
          << " bytes";
    }
    EXPECT_EQ(errors, std::vector<std::string>{});
    EXPECT_EQ(test::FolderEntries(dir.Dir()).size(), inPlace ? 2u : 1u);
  }
}

// The new file beside the old one takes its extended attributes; one it is
// refused is a warning, and the file is saved all the same.
TEST(FileTargetTest, ExtendedAttributesAreKeptOrWarnedOf) {
  TempFolder dir;
  const std::string path = dir.Path("tagged.ric");
  WriteBytes(path, Bytes{1});
  if (::setxattr(path.c_str(), "user.origin", "camera", 6, 0) != 0)
    GTEST_SKIP() << "the file system refuses user attributes";
  ASSERT_EQ(::setxattr(path.c_str(), "user.empty", "", 0, 0), 0);
  auto attribute = [&](const char* name) {
    char value[16] = {};
    const ssize_t n = ::getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? std::string("none") : std::string(value, std::size_t(n));
  };
  WriteFileAtomic(path, "new");
  EXPECT_EQ(attribute("user.origin"), "camera");
  EXPECT_EQ(attribute("user.empty"), "");
  EXPECT_EQ(TakeWriteWarnings(), std::vector<std::string>{});
  FileCalls().fsetxattr = [](int, const char*, const void*, std::size_t, int) {
    errno = EOPNOTSUPP;
    return -1;
  };
  WriteFileAtomic(path, "newer");
  FileCalls() = SystemFileCalls();
  EXPECT_EQ(test::ReadText(path), "newer");
  const std::vector<std::string> warnings = TakeWriteWarnings();
  ASSERT_EQ(warnings.size(), 1u);
  EXPECT_EQ(warnings[0].rfind(path + ": saved without its extended attributes '", 0), 0u);
  EXPECT_NE(warnings[0].find("'user.origin'"), std::string::npos);
  EXPECT_EQ(warnings[0].substr(warnings[0].size() - 34), ": Not supported by the file system");
  EXPECT_EQ(attribute("user.origin"), "none");
}

// A save that cannot be made says why, and a long name is shortened in the middle.
TEST(FileTargetTest, FailedSavesSayWhy) {
  TempFolder dir;
  fs::create_directory(dir.Path("gone"));
  fs::remove(dir.Path("gone"));
  const std::string deep = dir.Path(std::string(150, 'd') + "/" + std::string(150, 'e') + ".ric");
  const std::string shortDeep = deep.substr(0, 98) + "..." + deep.substr(deep.size() - 99);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {dir.Path("gone/x.ric"), dir.Path("gone/x.ric") + ": Its folder does not exist"},
      {"/proc/x.ric", "/proc/x.ric: Is part of the system's /proc or /sys, not a file"},
      {deep, shortDeep + ": Its folder does not exist"},
      {deep + "\n", "'" + shortDeep.substr(0, 101) + deep.substr(deep.size() - 98) +
                        "\\n': Its folder does not exist"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomic(c.first, "new"); }), c.second);
  std::string accents;
  for (int i = 0; i < 300; ++i) accents += "\xC3\xA9";
  EXPECT_EQ(MessagePath(accents), accents.substr(0, 196) + "..." + accents.substr(600 - 198));
  EXPECT_EQ(test::FolderEntries(dir.Dir()), std::set<std::string>{});
}

TEST(FileTargetTest, NamesUpTo255BytesAreSavedNewAndOver) {
  TempFolder dir;
  for (std::size_t length : {236u, 250u, 255u}) {
    const std::string path = dir.Path(std::string(length - 4, 'n') + ".ric");
    WriteFileAtomic(path, "old");
    WriteFileAtomic(path, "new");
    EXPECT_EQ(ReadBytes(path), (Bytes{'n', 'e', 'w'})) << length;
  }
  EXPECT_EQ(test::FolderEntries(dir.Dir()).size(), 3u);
}

// A real full disk: a small tmpfs, which only root may mount.
TEST(FileFaultTest, AFullDiskKeepsTheOldFile) {
  TempFolder dir;
  if (::geteuid() != 0 || ::mount("tavlin", dir.Dir().c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "needs root to mount a small tmpfs";
  struct Unmount {
    std::string at;
    ~Unmount() { ::umount2(at.c_str(), MNT_DETACH); }
  } unmount{dir.Dir()};
  const std::string path = dir.Path("picture.ric"), other = dir.Path("second-name.ric");
  const Bytes old(8000, 0xA5);
  WriteBytes(path, old);
  WriteBytes(dir.Path("filler"), Bytes(40000, 0));
  // Through a new file beside it, and in place for a file with two names.
  for (bool linked : {false, true}) {
    if (linked) ::link(path.c_str(), other.c_str());
    const auto entries = test::FolderEntries(dir.Dir());
    EXPECT_EQ(ErrorOf([&] { WriteFileAtomic(path, std::string(30000, 'x')); }),
              path + ": Disk full");
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(test::FolderEntries(dir.Dir()), entries);
  }
}

}  // namespace
}  // namespace tavlin
