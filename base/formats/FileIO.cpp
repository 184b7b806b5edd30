#include "FileIO.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>
#include <utility>

namespace tavlin {

std::string IoErrorText(int e) {
  switch (e) {
    case ENOENT:
    case ENOTDIR:
      return "File not found";
    case EINVAL:
    case ENAMETOOLONG:
      return "Invalid filename";
    case EMFILE:
    case ENFILE:
      return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
      return "File access denied";
    case ENOSPC:
    case EDQUOT:
      return "Disk full";
    case EISDIR:
      return "Is a folder, not a file";
    case EFBIG:
      return "File too large";
    case ELOOP:
      return "Is a loop of symbolic links";
    case EXDEV:
      return "Cannot be renamed across file systems";
    case EBUSY:
    case ETXTBSY:
      return "File is in use";
    case ENXIO:
    case ENODEV:
      return "No such device";
    case EPIPE:
      return "Nothing reads the output any more";
    case EIO:
      return "I/O error 5: the disk or device failed";
    case EOPNOTSUPP:
      return "Not supported by the file system";
    default:
      return "I/O error " + std::to_string(e);
  }
}

namespace {

// clang-format off
const FileSystemCalls kSystemCalls{
    [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); },
    ::write, ::pwrite, ::ftruncate, ::fallocate, ::fchown, ::fsync, ::close,
    [](const char* from, const char* to, unsigned flags) {
      return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, flags);
    },
    ::fsetxattr};
// clang-format on

FileSystemCalls calls = kSystemCalls;

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) calls.close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

// A descriptor that only reads or locks: closed with the system's own call,
// since closing it cannot lose anything.
class LockFd {
 public:
  explicit LockFd(int fd) : fd_(fd) {}
  ~LockFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  LockFd(const LockFd&) = delete;
  LockFd& operator=(const LockFd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

[[noreturn]] void Fail(const std::string& path, int e) { throw TavlinError(path, IoErrorText(e)); }

// Why something that is not a regular file is not read or written.
std::string NotAFileReason(mode_t mode) {
  if (S_ISDIR(mode)) return IoErrorText(EISDIR);
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "Is a device, not a file";
  if (S_ISFIFO(mode)) return "Is a pipe, not a file";
  if (S_ISSOCK(mode)) return "Is a socket, not a file";
  if (S_ISLNK(mode)) return "Is a symbolic link, not a file";
  return "Is not a regular file";
}

const char* const kSystemTableReason = "Is part of the system's /proc or /sys, not a file";

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// /proc and /sys hold the kernel's tables: links there name open files of
// processes (/proc/self/fd/1), and their files are settings, not documents.
bool InSystemTables(const std::string& folder) {
  constexpr long kProcMagic = 0x9fa0, kSysfsMagic = 0x62656572;
  struct statfs info {};
  if (::statfs(folder.c_str(), &info) != 0) return false;
  return long(info.f_type) == kProcMagic || long(info.f_type) == kSysfsMagic;
}

// The regular file that `path` names, following symbolic links one at a time
// so that each is checked: "" when nothing has the name yet.
std::string ResolveWriteTarget(const std::string& path, LinkRule links, struct stat& st) {
  std::string current = path;
  for (int hop = 0;; ++hop) {
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno == ENOENT && hop == 0) return "";
      if (errno == ENOENT) throw TavlinError(path, "Is a symbolic link that leads nowhere");
      Fail(path, errno);
    }
    if (S_ISREG(st.st_mode)) {
      if (InSystemTables(FolderOf(current))) throw TavlinError(path, kSystemTableReason);
      return current;
    }
    if (!S_ISLNK(st.st_mode) || links == LinkRule::Refuse)
      throw TavlinError(path, NotAFileReason(st.st_mode));
    if (hop == 40) Fail(path, ELOOP);
    if (InSystemTables(FolderOf(current))) throw TavlinError(path, kSystemTableReason);
    std::string text(std::size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
    const ssize_t n = ::readlink(current.c_str(), text.data(), text.size());
    if (n < 0) Fail(path, errno);
    if (std::size_t(n) >= text.size()) Fail(path, ENAMETOOLONG);
    text.resize(std::size_t(n));
    current = text[0] == '/' ? text : FolderOf(current) + "/" + text;
  }
}

// Why a new file could not be made in `folder` although the system said only
// "not found": the folder is gone, or the system keeps its tables there.
[[noreturn]] void FailNoFolder(const std::string& path, const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
    throw TavlinError(path, "Its folder does not exist");
  if (InSystemTables(folder)) throw TavlinError(path, kSystemTableReason);
  Fail(path, ENOENT);
}

// Opens a regular file without waiting on a pipe or a device, which are
// refused; O_NONBLOCK is cleared again once the file is known to be regular.
// Errors name the file as the user gave it: `name`.
int OpenRegularFile(const std::string& name, const std::string& path, int flags, LinkRule links) {
  struct stat st {};
  const int found =
      links == LinkRule::Refuse ? ::lstat(path.c_str(), &st) : ::stat(path.c_str(), &st);
  if (found != 0) Fail(name, errno);
  if (!S_ISREG(st.st_mode)) throw TavlinError(name, NotAFileReason(st.st_mode));
  if (links == LinkRule::Refuse) flags |= O_NOFOLLOW;
  // Only writes go through the replaceable calls.
  const bool writing = (flags & O_ACCMODE) != O_RDONLY;
  const int fd =
      (writing ? calls.open : kSystemCalls.open)(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0);
  if (fd < 0) Fail(name, errno);
  Fd guard(fd);
  // Whatever took the name since the check is looked at again.
  if (::fstat(fd, &st) != 0) Fail(name, errno);
  if (!S_ISREG(st.st_mode)) throw TavlinError(name, NotAFileReason(st.st_mode));
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return guard.release();
}

// Writes all bytes from the start of the file; 0 or the errno of the failure.
int WriteAllAtStart(int fd, const std::uint8_t* p, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = calls.pwrite(fd, p + done, size - done, off_t(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    done += std::size_t(n);
  }
  return 0;
}

// Old contents up to this size are kept in memory while a file is rewritten in place.
constexpr off_t kMaxInPlaceBackup = off_t(256) * 1024 * 1024;

// Rewrites an existing file in place, for a folder that refuses a new file
// beside it, or a file whose hard links and owner a new file would not keep.
// Space for the new size is reserved before anything changes, and a write
// that still fails half-way puts the old bytes back.
void WriteFileInPlace(const std::string& path, const std::string& target, const std::uint8_t* data,
                      std::size_t size) {
  // A write-only file is rewritten without a backup.
  const bool readable = ::faccessat(AT_FDCWD, target.c_str(), R_OK, AT_EACCESS) == 0;
  Fd fd(OpenRegularFile(path, target, readable ? O_RDWR : O_WRONLY, LinkRule::Refuse));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) Fail(path, errno);
  std::vector<std::uint8_t> old;
  if (readable && st.st_size <= kMaxInPlaceBackup) {
    old.resize(std::size_t(st.st_size));
    std::size_t got = 0;
    while (got < old.size()) {
      ssize_t n = ::pread(fd.get(), old.data() + got, old.size() - got, off_t(got));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail(path, errno);
      if (n == 0) break;
      got += std::size_t(n);
    }
    old.resize(got);
  }
  if (off_t(size) > st.st_size &&
      calls.fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0) {
    if (errno != EOPNOTSUPP && errno != ENOSYS) Fail(path, errno);
    // No reservation on this file system: at least see that the growth fits.
    struct statvfs fsInfo {};
    if (::fstatvfs(fd.get(), &fsInfo) == 0 &&
        std::uint64_t(fsInfo.f_bavail) * fsInfo.f_frsize < std::uint64_t(off_t(size) - st.st_size))
      Fail(path, ENOSPC);
  }
  int e = WriteAllAtStart(fd.get(), data, size);
  if (e == 0 && calls.ftruncate(fd.get(), off_t(size)) != 0) e = errno;
  if (e == 0 && calls.fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) e = errno;
  if (e != 0) {
    if (readable && std::size_t(st.st_size) == old.size() &&
        WriteAllAtStart(fd.get(), old.data(), old.size()) == 0 &&
        calls.ftruncate(fd.get(), st.st_size) == 0)
      calls.fsync(fd.get());
    Fail(path, e);
  }
  // The new bytes are on the disk: what close could still report, fsync already did.
  calls.close(fd.release());
}

// Opens the existing file `target` and waits for its lock. A writer that held
// it before may have put a new file in its place meanwhile: then that one is
// locked instead. Returns the locked descriptor, with `st` and `target` telling
// of the file locked, or -1 when the name was removed meanwhile (`target` is
// then ""). A file system without locks is written unlocked.
int LockTarget(const std::string& path, std::string& target, LinkRule links, struct stat& st) {
  for (int attempt = 0;; ++attempt) {
    int fd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
      fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) Fail(path, errno);
    LockFd guard(fd);
    while (::flock(fd, LOCK_EX) != 0) {
      if (errno == EINTR) continue;
      if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL) break;
      Fail(path, errno);
    }
    struct stat held {
    }, named{};
    if (::fstat(fd, &held) != 0) Fail(path, errno);
    if (::lstat(target.c_str(), &named) == 0 && named.st_ino == held.st_ino &&
        named.st_dev == held.st_dev) {
      if (!S_ISREG(held.st_mode)) throw TavlinError(path, NotAFileReason(held.st_mode));
      st = held;
      return guard.release();
    }
    if (attempt == 1000) Fail(path, EBUSY);
    target = ResolveWriteTarget(path, links, st);
    if (target.empty()) return -1;
  }
}

thread_local std::vector<std::string> writeWarnings;

// Gives the new file the extended attributes of the old one (user.*, ACLs,
// security labels). One the new file is refused is a warning, not a failure:
// the picture itself is safe.
// Returns the warning, "" when all were kept.
std::string CopyExtendedAttributes(const std::string& path, int from, int to) {
  std::vector<char> names;
  for (;;) {
    const ssize_t n = ::flistxattr(from, nullptr, 0);
    if (n <= 0) return "";  // none, or a file system without them
    names.resize(std::size_t(n));
    const ssize_t got = ::flistxattr(from, names.data(), names.size());
    if (got >= 0) {
      names.resize(std::size_t(got));
      break;
    }
    if (errno != ERANGE) return "";
  }
  std::vector<std::string> refused;
  int reason = 0;
  std::vector<char> value;
  for (std::size_t at = 0; at < names.size();) {
    const char* name = names.data() + at;
    at += std::strlen(name) + 1;
    ssize_t n = ::fgetxattr(from, name, nullptr, 0);
    if (n >= 0) {
      value.resize(std::size_t(n));
      n = ::fgetxattr(from, name, value.data(), value.size());
    }
    if (n < 0 || calls.fsetxattr(to, name, value.data(), std::size_t(n), 0) != 0) {
      if (reason == 0) reason = errno;
      refused.push_back(name);
    }
  }
  if (refused.empty()) return "";
  std::string list;
  for (const std::string& name : refused) list += (list.empty() ? "" : ", ") + QuoteInput(name);
  return TavlinError(path,
                     "saved without its extended attributes " + list + ": " + IoErrorText(reason))
      .what();
}

// Makes a rename that already happened durable; a failure here loses nothing.
void SyncFolder(const std::string& folder) {
  int fd = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return;
  calls.fsync(fd);
  calls.close(fd);
}

}  // namespace

const FileSystemCalls& SystemFileCalls() { return kSystemCalls; }
std::vector<std::string> TakeWriteWarnings() { return std::exchange(writeWarnings, {}); }
FileSystemCalls& FileCalls() { return calls; }

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t maxBytes, bool* longer,
                                        LinkRule links) {
  if (path.empty()) throw TavlinError(path, "Invalid filename");
  Fd fd(OpenRegularFile(path, path, O_RDONLY, links));
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) Fail(path, errno);
  std::vector<std::uint8_t> data;
  data.resize(std::min(maxBytes, std::size_t(st.st_size)));
  std::size_t got = 0;
  for (;;) {
    if (got == data.size()) {
      if (got >= maxBytes) break;
      data.resize(std::min(maxBytes, std::max<std::size_t>(got * 2, 4096)));
    }
    ssize_t n = ::read(fd.get(), data.data() + got, data.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(path, errno);
    }
    if (n == 0) break;
    got += std::size_t(n);
  }
  data.resize(got);
  if (longer) {
    *longer = false;
    std::uint8_t beyond;
    while (got == maxBytes) {
      ssize_t n = ::read(fd.get(), &beyond, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) Fail(path, errno);
      *longer = n > 0;
      break;
    }
  }
  ::close(fd.release());  // nothing was written: closing cannot lose anything
  return data;
}

FileGroupWriter::FileGroupWriter(LinkRule links) : links_(links) {}

FileGroupWriter::~FileGroupWriter() {
  for (const Staged& s : staged_)
    if (!s.temp.empty()) ::unlink(s.temp.c_str());
  Unlock();
}

void FileGroupWriter::Unlock() {
  for (Staged& s : staged_)
    if (s.lock >= 0) ::close(std::exchange(s.lock, -1));  // closing releases the lock
}

void FileGroupWriter::Add(const std::string& path, const void* data, std::size_t size) {
  if (path.empty()) throw TavlinError(path, "Invalid filename");
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  struct stat st {};
  std::string existing = ResolveWriteTarget(path, links_, st);
  // A file its owner made read-only is not replaced, although its folder would allow it.
  if (!existing.empty() && ::access(existing.c_str(), W_OK) != 0) Fail(path, errno);
  LockFd lock(existing.empty() ? -1 : LockTarget(path, existing, links_, st));
  Staged s{path, existing.empty() ? path : existing, "", !existing.empty(), {}, -1, {}};
  auto inPlace = [&] {
    s.inPlaceBytes.assign(bytes, bytes + size);
    s.lock = lock.release();
    staged_.push_back(std::move(s));
  };
  // A new file would leave the other names of the old one holding the old bytes.
  if (s.existed && st.st_nlink > 1) return inPlace();
  // The temporary file sits beside the target so that the rename stays on one
  // file system; its short name leaves room for the longest target names.
  std::string temp;
  int fdValue = -1;
  int createError = EEXIST;
  std::random_device rd;
  for (int attempt = 0; attempt < 16 && fdValue < 0; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "/.tavlin-%08x.tmp", unsigned(rd()));
    temp = FolderOf(s.target) + name;
    fdValue = calls.open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fdValue < 0) createError = errno;
    if (fdValue < 0 && errno != EEXIST) break;
  }
  if (fdValue < 0) {
    // A folder that refuses new files may still hold a file we may write:
    // then that file is rewritten where it is.
    if ((createError == EACCES || createError == EPERM) && s.existed) return inPlace();
    if (createError == ENOENT) FailNoFolder(path, FolderOf(s.target));
    Fail(path, createError);
  }
  Fd fd(fdValue);
  auto failAndRemove = [&](int e) {
    if (fd.get() >= 0) calls.close(fd.release());
    ::unlink(temp.c_str());
    Fail(path, e);
  };
  // The new file takes the owner and permissions of the one it replaces. Only
  // root may give a file away: a file that would change hands is rewritten in place.
  if (s.existed) {
    struct stat mine {};
    if (::fstat(fd.get(), &mine) != 0) failAndRemove(errno);
    if ((mine.st_uid != st.st_uid || mine.st_gid != st.st_gid) &&
        calls.fchown(fd.get(), mine.st_uid == st.st_uid ? uid_t(-1) : st.st_uid,
                     mine.st_gid == st.st_gid ? gid_t(-1) : st.st_gid) != 0) {
      calls.close(fd.release());
      ::unlink(temp.c_str());
      return inPlace();
    }
    ::fchmod(fd.get(), st.st_mode & 07777);
    if (lock.get() >= 0) s.warning = CopyExtendedAttributes(path, lock.get(), fd.get());
  }
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = calls.write(fd.get(), bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failAndRemove(errno);
    }
    done += std::size_t(n);
  }
  if (calls.fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) failAndRemove(errno);
  if (calls.close(fd.release()) != 0) failAndRemove(errno);
  s.temp = temp;
  s.lock = lock.release();
  staged_.push_back(std::move(s));
}

void FileGroupWriter::Commit() {
  // Each old file trades places with its new one, so that a later failure can
  // trade them back; the old ones go only when all are in place. A file
  // system without the exchange gets a plain rename, which cannot be undone.
  enum class How { Exchanged, Renamed, Created, InPlace };
  std::vector<How> done;
  auto undo = [&] {
    for (std::size_t i = done.size(); i-- > 0;) {
      Staged& s = staged_[i];
      // Where trading back fails, the old file stays under the temporary name rather than be lost.
      if (done[i] == How::Exchanged &&
          calls.rename(s.temp.c_str(), s.target.c_str(), RENAME_EXCHANGE) == 0)
        ::unlink(s.temp.c_str());
      if (done[i] == How::Created) ::unlink(s.target.c_str());
      s.temp.clear();
    }
  };
  for (Staged& s : staged_) {
    if (s.temp.empty()) {
      try {
        WriteFileInPlace(s.path, s.target, s.inPlaceBytes.data(), s.inPlaceBytes.size());
      } catch (...) {
        undo();
        throw;
      }
      done.push_back(How::InPlace);
      continue;
    }
    How how = s.existed ? How::Exchanged : How::Created;
    int result = calls.rename(s.temp.c_str(), s.target.c_str(), s.existed ? RENAME_EXCHANGE : 0);
    if (result != 0 && s.existed && (errno == EINVAL || errno == ENOSYS || errno == ENOENT)) {
      how = How::Renamed;
      result = calls.rename(s.temp.c_str(), s.target.c_str(), 0);
    }
    if (result != 0) {
      const int e = errno;
      undo();
      Fail(s.path, e);
    }
    if (how != How::Exchanged) s.temp.clear();
    done.push_back(how);
  }
  std::vector<std::string> folders;
  for (Staged& s : staged_) {
    if (!s.temp.empty()) ::unlink(s.temp.c_str());  // the old file
    s.temp.clear();
    if (std::find(folders.begin(), folders.end(), FolderOf(s.target)) == folders.end())
      folders.push_back(FolderOf(s.target));
  }
  for (const std::string& folder : folders) SyncFolder(folder);
  for (const Staged& s : staged_)
    if (!s.warning.empty()) writeWarnings.push_back(s.warning);
  Unlock();
  staged_.clear();
}

void WriteFileAtomic(const std::string& path, const void* data, std::size_t size, LinkRule links) {
  FileGroupWriter writer(links);
  writer.Add(path, data, size);
  writer.Commit();
}

std::string ContentKindName(ContentKind kind) {
  switch (kind) {
    case ContentKind::Empty:
      return "nothing";
    case ContentKind::Ric:
      return "RIC data";
    case ContentKind::Png:
      return "a PNG picture";
    case ContentKind::Gif:
      return "a GIF picture";
    case ContentKind::Text:
      return "text";
    case ContentKind::Other:
      break;
  }
  return "data of another kind";
}

ContentKind SniffContentKind(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return ContentKind::Empty;
  const auto startsWith = [&](std::string_view magic) {
    return size >= magic.size() &&
           std::equal(magic.begin(), magic.end(), data,
                      [](char m, std::uint8_t d) { return static_cast<unsigned char>(m) == d; });
  };
  if (startsWith("\x89PNG\r\n\x1A\n")) return ContentKind::Png;
  if (startsWith("GIF87a") || startsWith("GIF89a")) return ContentKind::Gif;
  // A RIC file is element records from its first byte: a size word, then an
  // opcode from 0 to 10, both little-endian; zero size words are skipped.
  std::size_t at = 0;
  while (at + 1 < size && data[at] == 0 && data[at + 1] == 0) at += 2;
  if (at + 3 < size && (data[at] | data[at + 1]) != 0 && data[at + 2] <= 10 && data[at + 3] == 0)
    return ContentKind::Ric;
  const bool text = std::none_of(data, data + size, [](std::uint8_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v') || c == 0x7F;
  });
  return text ? ContentKind::Text : ContentKind::Other;
}

void RefuseReplacingOtherContent(const std::string& path, ContentKind writing) {
  struct stat st {};
  const std::string target = ResolveWriteTarget(path, LinkRule::Follow, st);
  if (target.empty() || st.st_size == 0) return;
  std::vector<std::uint8_t> start;
  try {
    start = ReadFileBytes(target, 4096);
  } catch (const TavlinError&) {
    return;  // a file that cannot be read is left to the writer's own checks
  }
  const ContentKind found = SniffContentKind(start.data(), start.size());
  if (found == writing || found == ContentKind::Empty) return;
  const std::string holds =
      ContentKindName(found) + ", not " + ContentKindName(writing) + "; it is not replaced";
  if (target == path) throw TavlinError(path, "holds " + holds);
  throw TavlinError(path, "leads to " + MessagePath(target) + ", which holds " + holds);
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string LowerExtension(const std::string& path) {
  auto slash = path.find_last_of('/');
  auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return char(std::tolower(c)); });
  return ext;
}

}  // namespace tavlin
