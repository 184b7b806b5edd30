#include "RecentFiles.h"

#include <algorithm>

#include "FileIO.h"
#include "ParameterFile.h"

namespace tavlin {

namespace {

// Eight paths take a few kilobytes; the rest of a larger file is not read.
constexpr std::size_t kMaxListBytes = 64 * 1024;

void WriteList(const std::string& listFile, const std::vector<std::string>& paths) {
  std::string text;
  for (const std::string& path : paths) text += path + '\n';
  CreateParentFolders(listFile);
  WriteFileAtomic(listFile, text);
}

}  // namespace

std::vector<std::string> ReadRecentFiles(const std::string& listFile) {
  std::vector<std::uint8_t> bytes;
  try {
    bytes = ReadFileBytes(listFile, kMaxListBytes);
  } catch (const TavlinError&) {
    return {};  // no list yet, or one that cannot be read: nothing to offer
  }
  std::vector<std::string> paths;
  std::string line;
  for (std::size_t i = 0; i <= bytes.size() && paths.size() < kMaxRecentFiles; ++i) {
    if (i < bytes.size() && bytes[i] != '\n') {
      line += char(bytes[i]);
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.size() > 1 && line.front() == '/' && line.find('\0') == std::string::npos &&
        std::find(paths.begin(), paths.end(), line) == paths.end())
      paths.push_back(line);
    line.clear();
  }
  return paths;
}

std::vector<std::string> AddRecentFile(const std::string& listFile, const std::string& path) {
  std::vector<std::string> paths = ReadRecentFiles(listFile);
  if (path.empty() || path.front() != '/' || path.find_first_of("\r\n") != std::string::npos ||
      path.find('\0') != std::string::npos)
    return paths;
  std::erase(paths, path);
  paths.insert(paths.begin(), path);
  if (paths.size() > kMaxRecentFiles) paths.resize(kMaxRecentFiles);
  WriteList(listFile, paths);
  return paths;
}

std::vector<std::string> RemoveRecentFile(const std::string& listFile, const std::string& path) {
  std::vector<std::string> paths = ReadRecentFiles(listFile);
  if (std::erase(paths, path) > 0) WriteList(listFile, paths);
  return paths;
}

}  // namespace tavlin
