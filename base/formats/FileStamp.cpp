#include "FileStamp.h"

#include <sys/stat.h>

#include <sstream>

namespace tavlin {

FileStamp StampOf(const std::string& path) {
  struct stat st {};
  FileStamp stamp;
  if (::stat(path.c_str(), &st) != 0) return stamp;
  stamp.exists = true;
  stamp.device = std::uint64_t(st.st_dev);
  stamp.inode = std::uint64_t(st.st_ino);
  stamp.size = std::uint64_t(st.st_size);
  stamp.seconds = std::int64_t(st.st_mtim.tv_sec);
  stamp.nanoseconds = std::int64_t(st.st_mtim.tv_nsec);
  return stamp;
}

DiskChange ChangeBetween(const FileStamp& before, const FileStamp& now) {
  if (before == now) return DiskChange::None;
  if (!now.exists) return DiskChange::Deleted;
  // A file written beside and renamed over the old one is another inode.
  if (!before.exists || now.device != before.device || now.inode != before.inode)
    return DiskChange::Replaced;
  return DiskChange::Changed;
}

std::string StampText(const FileStamp& s) {
  if (!s.exists) return "none";
  return std::to_string(s.device) + " " + std::to_string(s.inode) + " " + std::to_string(s.size) +
         " " + std::to_string(s.seconds) + " " + std::to_string(s.nanoseconds);
}

bool ParseStamp(const std::string& text, FileStamp& stamp) {
  if (text == "none") {
    stamp = FileStamp{};
    return true;
  }
  std::istringstream in(text);
  FileStamp s;
  s.exists = true;
  if (!(in >> s.device >> s.inode >> s.size >> s.seconds >> s.nanoseconds)) return false;
  in >> std::ws;
  if (!in.eof()) return false;
  stamp = s;
  return true;
}

}  // namespace tavlin
