// What a file on disk is at a moment: which file (device and inode), its size
// and its modification time to the nanosecond. Two stamps that differ tell
// that the file was changed, replaced or deleted between them.
#pragma once

#include <cstdint>
#include <string>

namespace tavlin {

struct FileStamp {
  bool exists = false;
  std::uint64_t device = 0, inode = 0, size = 0;
  std::int64_t seconds = 0, nanoseconds = 0;  // modification time
  bool operator==(const FileStamp&) const = default;
};

// The stamp of the file a path leads to (links followed); `exists` is false
// when there is none.
FileStamp StampOf(const std::string& path);

enum class DiskChange { None, Changed, Replaced, Deleted };
// How the file went from `before` (a file that existed) to `now`.
DiskChange ChangeBetween(const FileStamp& before, const FileStamp& now);

// "dev ino size sec nsec", or "none"; and back (false on text that is neither).
std::string StampText(const FileStamp& stamp);
bool ParseStamp(const std::string& text, FileStamp& stamp);

}  // namespace tavlin
