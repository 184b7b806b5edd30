// Makes one system call of the file layer fail, and runs a save through every
// such failure in turn to see that nothing is lost.
#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ByteFiles.h"
#include "FileIO.h"

namespace tavlin::test {

enum class FileCall { Open, Write, Fsync, Close, Rename };

inline const char* FileCallName(FileCall c) {
  static const char* const names[] = {"open", "write", "fsync", "close", "rename"};
  return names[int(c)];
}

// While it lives, the nth call of one kind (write and pwrite are both
// "write") fails with `error`; close still closes the file.
class InjectedFault {
 public:
  InjectedFault(FileCall call, int nth, int error) {
    state() = State{call, nth, error, 0, false};
    FileSystemCalls& c = FileCalls();
    c.open = [](const char* p, int f, mode_t m) {
      return Strike(FileCall::Open) ? -1 : SystemFileCalls().open(p, f, m);
    };
    c.write = [](int fd, const void* d, std::size_t n) -> ssize_t {
      return Strike(FileCall::Write) ? -1 : SystemFileCalls().write(fd, d, n);
    };
    c.pwrite = [](int fd, const void* d, std::size_t n, off_t at) -> ssize_t {
      return Strike(FileCall::Write) ? -1 : SystemFileCalls().pwrite(fd, d, n, at);
    };
    c.fsync = [](int fd) { return Strike(FileCall::Fsync) ? -1 : SystemFileCalls().fsync(fd); };
    c.close = [](int fd) {
      const int r = SystemFileCalls().close(fd);
      return Strike(FileCall::Close) ? -1 : r;
    };
    c.rename = [](const char* from, const char* to, unsigned flags) {
      return Strike(FileCall::Rename) ? -1 : SystemFileCalls().rename(from, to, flags);
    };
  }
  ~InjectedFault() { FileCalls() = SystemFileCalls(); }
  InjectedFault(const InjectedFault&) = delete;
  InjectedFault& operator=(const InjectedFault&) = delete;
  bool Hit() const { return state().hit; }

 private:
  struct State {
    FileCall call;
    int nth, error, count;
    bool hit;
  };
  static State& state() {
    static State s{};
    return s;
  }
  static bool Strike(FileCall c) {
    State& s = state();
    if (c != s.call || ++s.count != s.nth) return false;
    s.hit = true;
    errno = s.error;
    return true;
  }
};

inline std::set<std::string> FolderEntries(const std::string& folder) {
  std::set<std::string> names;
  if (DIR* d = ::opendir(folder.c_str())) {
    while (dirent* e = ::readdir(d))
      if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
    ::closedir(d);
  }
  return names;
}

// What a save reported: the error it showed ("" for none), and whether the
// document still counts as unsaved.
struct SaveOutcome {
  std::string error;
  bool unsaved = true;
};

// Runs `save`, which writes `paths` (in one folder), once with each call of
// each kind failing in turn with ENOSPC, EIO and EACCES. After each run either
// the save failed, naming one of the files and the reason, with every old file
// intact byte for byte, nothing left in the folder and the document unsaved;
// or it succeeded (a failure nothing depended on, or one the file layer got
// round) and the files hold what a save without faults writes. Returns what
// went wrong, one line each; also when the save never made one of `calls`.
inline std::vector<std::string> SaveFaultProblems(
    const std::vector<std::string>& paths, const std::function<SaveOutcome()>& save,
    const std::vector<FileCall>& calls = {FileCall::Open, FileCall::Write, FileCall::Fsync,
                                          FileCall::Close, FileCall::Rename}) {
  const std::string folder = paths.front().substr(0, paths.front().find_last_of('/'));
  auto snapshot = [&] {
    std::vector<Bytes> files;
    for (const std::string& p : paths) files.push_back(ReadBytes(p));
    return files;
  };
  auto restore = [&](const std::vector<Bytes>& files, const std::set<std::string>& entries) {
    for (std::size_t i = 0; i < paths.size(); ++i) {
      const std::string name = paths[i].substr(folder.size() + 1);
      if (entries.count(name))
        WriteBytes(paths[i], files[i]);
      else
        ::unlink(paths[i].c_str());
    }
  };
  // A parameter file carries the time of its writing: that line is left out.
  auto comparable = [](Bytes b) {
    const std::string marker = "File generated";
    auto at = std::search(b.begin(), b.end(), marker.begin(), marker.end());
    if (at != b.end()) b.erase(at, std::find(at, b.end(), '\n'));
    return b;
  };
  const std::vector<Bytes> old = snapshot();
  const std::set<std::string> before = FolderEntries(folder);
  std::vector<std::string> problems;
  const SaveOutcome clean = save();
  if (!clean.error.empty()) return {"a save without faults failed: " + clean.error};
  const std::vector<Bytes> saved = snapshot();
  const std::set<std::string> after = FolderEntries(folder);
  restore(old, before);
  for (FileCall call : calls) {
    int hits = 0;
    for (int error : {ENOSPC, EIO, EACCES}) {
      for (int nth = 1; nth < 100000; ++nth) {
        SaveOutcome outcome;
        bool hit;
        {
          InjectedFault fault(call, nth, error);
          outcome = save();
          hit = fault.Hit();
        }
        if (!hit) {  // the save ran without a fault
          restore(old, before);
          break;
        }
        const std::string where = std::string(FileCallName(call)) + " #" + std::to_string(nth) +
                                  " " + IoErrorText(error) + ": ";
        const bool failed = !outcome.error.empty();
        ++hits;
        const std::vector<Bytes> now = snapshot();
        if (FolderEntries(folder) != (failed ? before : after))
          problems.push_back(where + "the folder's files changed");
        bool named = false;
        for (const std::string& p : paths) named |= outcome.error == p + ": " + IoErrorText(error);
        if (failed && !named) problems.push_back(where + "the message was '" + outcome.error + "'");
        if (failed && !outcome.unsaved) problems.push_back(where + "the document counts as saved");
        for (std::size_t i = 0; i < paths.size(); ++i) {
          if (failed && now[i] != old[i]) problems.push_back(where + paths[i] + " changed");
          if (!failed && comparable(now[i]) != comparable(saved[i]))
            problems.push_back(where + "no error, but " + paths[i] + " is not what a save writes");
        }
        restore(old, before);
      }
    }
    if (hits == 0) problems.push_back(std::string("the save made no ") + FileCallName(call));
  }
  return problems;
}

}  // namespace tavlin::test
