#include "FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
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
    default:
      return "I/O error " + std::to_string(e);
  }
}

namespace {

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

[[noreturn]] void Fail(const std::string& path, int e) { throw TavlinError(path, IoErrorText(e)); }

// Writes all bytes from the start of the file; 0 or the errno of the failure.
int WriteAllAtStart(int fd, const std::uint8_t* p, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(fd, p + done, size - done, off_t(done));
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
// beside it. Space for the new size is reserved before anything changes, and
// a write that still fails half-way puts the old bytes back.
void WriteFileInPlace(const std::string& path, const std::string& target, const std::uint8_t* data,
                      std::size_t size) {
  bool readable = true;
  int fdValue = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
  if (fdValue < 0 && errno == EACCES) {
    readable = false;  // a write-only file is rewritten without a backup
    fdValue = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
  }
  if (fdValue < 0) Fail(path, errno);
  Fd fd(fdValue);
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
  if (off_t(size) > st.st_size && ::fallocate(fd.get(), FALLOC_FL_KEEP_SIZE, 0, off_t(size)) != 0) {
    if (errno != EOPNOTSUPP && errno != ENOSYS) Fail(path, errno);
    // No reservation on this file system: at least see that the growth fits.
    struct statvfs fsInfo {};
    if (::fstatvfs(fd.get(), &fsInfo) == 0 &&
        std::uint64_t(fsInfo.f_bavail) * fsInfo.f_frsize < std::uint64_t(off_t(size) - st.st_size))
      Fail(path, ENOSPC);
  }
  int e = WriteAllAtStart(fd.get(), data, size);
  if (e == 0 && ::ftruncate(fd.get(), off_t(size)) != 0) e = errno;
  if (e == 0 && ::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) e = errno;
  if (e != 0) {
    if (readable && std::size_t(st.st_size) == old.size() &&
        WriteAllAtStart(fd.get(), old.data(), old.size()) == 0 &&
        ::ftruncate(fd.get(), st.st_size) == 0)
      ::fsync(fd.get());
    Fail(path, e);
  }
  if (::close(fd.release()) != 0) Fail(path, errno);
}

// Makes a rename that already happened durable; a failure here loses nothing.
void SyncFolderOf(const std::string& target) {
  const std::size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t maxBytes,
                                        bool* longer) {
  if (path.empty()) throw TavlinError(path, "Invalid filename");
  Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) Fail(path, errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) Fail(path, errno);
  if (S_ISDIR(st.st_mode)) Fail(path, EISDIR);
  std::vector<std::uint8_t> data;
  std::size_t expected = S_ISREG(st.st_mode) ? std::size_t(st.st_size) : 65536;
  data.resize(std::min(maxBytes, expected));
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
  if (::close(fd.release()) != 0) Fail(path, errno);
  return data;
}

void WriteFileAtomic(const std::string& path, const void* data, std::size_t size) {
  if (path.empty()) throw TavlinError(path, "Invalid filename");
  // Saving through a symbolic link replaces the file it points to, not the link.
  std::string target = path;
  struct stat linkInfo {};
  if (::lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  // A file its owner made read-only is not replaced, although its folder would allow it.
  if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0) Fail(path, errno);
  // The temporary file sits beside the target so that the rename stays on one file system.
  std::string temp;
  int fdValue = -1;
  int createError = EEXIST;
  std::random_device rd;
  for (int attempt = 0; attempt < 16 && fdValue < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tavlin-%08x.tmp", unsigned(rd()));
    temp = target + suffix;
    fdValue = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fdValue < 0) createError = errno;
    if (fdValue < 0 && errno != EEXIST) break;
  }
  struct stat st {};
  const bool replacing = ::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (fdValue < 0) {
    int e = createError;
    // A folder that refuses new files may still hold a file we may write:
    // then that file is rewritten where it is.
    if ((e == EACCES || e == EPERM) && replacing) {
      WriteFileInPlace(path, target, static_cast<const std::uint8_t*>(data), size);
      return;
    }
    Fail(path, e);
  }
  Fd fd(fdValue);
  auto failAndRemove = [&](int e) {
    ::unlink(temp.c_str());
    Fail(path, e);
  };
  // The new file takes the owner and permissions of the one it replaces. Only
  // root may give a file away; others keep at least the group when they can.
  if (replacing) {
    if ((st.st_uid != ::geteuid() || st.st_gid != ::getegid()) &&
        ::fchown(fd.get(), st.st_uid, st.st_gid) != 0 &&
        ::fchown(fd.get(), uid_t(-1), st.st_gid) != 0) {
      // The new file stays ours; its permissions are still copied below.
    }
    ::fchmod(fd.get(), st.st_mode & 07777);
  }
  const auto* p = static_cast<const std::uint8_t*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd.get(), p + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failAndRemove(errno);
    }
    done += std::size_t(n);
  }
  if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS) failAndRemove(errno);
  if (::close(fd.release()) != 0) failAndRemove(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) failAndRemove(errno);
  SyncFolderOf(target);
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
