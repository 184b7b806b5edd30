#include "FileIO.h"

#include <fcntl.h>
#include <sys/stat.h>
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
    case ENOTDIR: return "File not found";
    case EINVAL:
    case ENAMETOOLONG: return "Invalid filename";
    case EMFILE:
    case ENFILE: return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS: return "File access denied";
    case ENOSPC:
    case EDQUOT: return "Disk full";
    case EISDIR: return "Is a folder, not a file";
    default: return "I/O error " + std::to_string(e);
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

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t maxBytes) {
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
  std::random_device rd;
  for (int attempt = 0; attempt < 16 && fdValue < 0; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".tavlin-%08x.tmp", unsigned(rd()));
    temp = target + suffix;
    fdValue = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fdValue < 0 && errno != EEXIST) Fail(path, errno);
  }
  if (fdValue < 0) Fail(path, EEXIST);
  Fd fd(fdValue);
  auto failAndRemove = [&](int e) {
    ::unlink(temp.c_str());
    Fail(path, e);
  };
  // Keep the permissions of a file being replaced.
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
    ::fchmod(fd.get(), st.st_mode & 07777);
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
