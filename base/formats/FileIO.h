// File access shared by every reader and writer: errors that name the file,
// bounded reads and atomic writes.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "QuotedText.h"
#include "TavlinError.h"

namespace tavlin {

// The one text for each system error: "File not found", "File access denied",
// "Disk full", ..., otherwise "I/O error %d". Every message of the program uses it.
std::string IoErrorText(int errnoValue);

// The system calls through which files are written. Tests replace entries to
// make any of them fail; everything else uses the system's own.
struct FileSystemCalls {
  int (*open)(const char* path, int flags, mode_t mode);
  ssize_t (*write)(int fd, const void* data, std::size_t size);
  ssize_t (*pwrite)(int fd, const void* data, std::size_t size, off_t offset);
  int (*ftruncate)(int fd, off_t size);
  int (*fallocate)(int fd, int mode, off_t offset, off_t size);
  int (*fchown)(int fd, uid_t owner, gid_t group);
  int (*fsync)(int fd);
  int (*close)(int fd);
  int (*rename)(const char* from, const char* to, unsigned flags);  // renameat2's flags
  int (*fsetxattr)(int fd, const char* name, const void* value, std::size_t size, int flags);
};
const FileSystemCalls& SystemFileCalls();
// The calls in use, the system's own unless replaced.
FileSystemCalls& FileCalls();

// Whether a symbolic link named as the file itself is followed. Files the
// program picks by itself (the default parameter file) are never read or
// written through a link.
enum class LinkRule { Follow, Refuse };

// Reads at most maxBytes of a regular file; throws TavlinError naming the
// file. A pipe, a device or a socket is refused at once, never waited on.
// `longer`, when given, tells whether the file holds more than that.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path, std::size_t maxBytes,
                                        bool* longer = nullptr, LinkRule links = LinkRule::Follow);

// Writes a file completely beside the target, then renames it over the
// target, keeping the old file's mode, owner and extended attributes (ACLs
// among them; one that cannot be kept is a warning, see TakeWriteWarnings);
// on any failure the old file
// stays as it was and TavlinError is thrown. Only a regular file (or a name
// not taken yet) is written: a device, a pipe, a socket, a folder, a link that
// leads nowhere or into /proc is refused. A link to a regular file writes that
// file. When the folder refuses the file beside it, or the old file has other
// hard links or an owner we could not give the new one, an existing writable
// target is rewritten in place instead, its old bytes put back if that fails.
// The old file is locked (flock) from before it is looked at until it is
// replaced, so that writers at the same time, this program's or others that
// lock, write one after another.
void WriteFileAtomic(const std::string& path, const void* data, std::size_t size,
                     LinkRule links = LinkRule::Follow);
inline void WriteFileAtomic(const std::string& path, const std::string& text,
                            LinkRule links = LinkRule::Follow) {
  WriteFileAtomic(path, text.data(), text.size(), links);
}

// What a write could not keep but saved anyway (an extended attribute the
// new file was refused), one "FILE: text" each, collected on the writing
// thread since the last call; the caller shows them.
std::vector<std::string> TakeWriteWarnings();

// Files written as one, as the frames of an animation: each is written
// completely beside its target by Add(), and Commit() puts them all in place,
// putting the old files back when one of them cannot be. Until then, and after
// any failure, every old file is as it was. The rules of WriteFileAtomic hold
// for each file.
class FileGroupWriter {
 public:
  explicit FileGroupWriter(LinkRule links = LinkRule::Follow);
  ~FileGroupWriter();  // removes what was added and not committed
  FileGroupWriter(const FileGroupWriter&) = delete;
  FileGroupWriter& operator=(const FileGroupWriter&) = delete;
  void Add(const std::string& path, const void* data, std::size_t size);
  void Commit();

 private:
  struct Staged {
    std::string path, target, temp;  // no temporary file: rewritten in place
    bool existed;
    std::vector<std::uint8_t> inPlaceBytes;
    int lock = -1;        // the old file, locked until it is replaced
    std::string warning;  // for TakeWriteWarnings once it is
  };
  void Unlock();
  LinkRule links_;
  std::vector<Staged> staged_;
};

// What a file holds, told by its first bytes.
enum class ContentKind { Empty, Ric, Png, Gif, Text, Other };

// "RIC data", "a PNG picture", "a GIF picture", "text", ...
std::string ContentKindName(ContentKind kind);

// The kind of content these first bytes of a file start: a PNG or GIF
// signature, a RIC element record (after any zero words), text (no control
// characters but white space), or other data.
ContentKind SniffContentKind(const std::uint8_t* data, std::size_t size);

// Before a file is written as `writing`: throws TavlinError when `path`, its
// links followed, names a file holding content of another kind, naming both
// the name and the file it leads to. A name not taken, an empty file, and one
// that cannot be read pass.
void RefuseReplacingOtherContent(const std::string& path, ContentKind writing);

bool FileExists(const std::string& path);

// Lower-cased extension with its dot (".ric"), or "" when there is none.
std::string LowerExtension(const std::string& path);

}  // namespace tavlin
