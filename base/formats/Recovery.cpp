#include "Recovery.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fstream>
#include <sstream>

#include "FileIO.h"
#include "RicFile.h"

namespace tavlin {

namespace {

constexpr const char* kHeader = "tavlin recovery copy 1";
// A .info file is a few lines and a path.
constexpr std::size_t kMaxInfoBytes = 65536;

std::string FirstLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string Join(const std::string& folder, const std::string& name) { return folder + "/" + name; }

void MakeFolders(const std::string& folder) {
  struct stat st {};
  if (folder.empty() || ::stat(folder.c_str(), &st) == 0) return;
  const auto slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0) MakeFolders(folder.substr(0, slash));
  // The copies are the user's alone.
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw TavlinError(folder, IoErrorText(errno));
}

}  // namespace

std::string ProcessKey(long pid) {
  if (pid <= 0) return "";
  // The 22nd field of /proc/PID/stat, counted after the command's closing parenthesis.
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  const auto close = text.rfind(')');
  if (close == std::string::npos) return "";
  std::istringstream fields(text.substr(close + 1));
  std::string field;
  for (int n = 3; n <= 22 && fields >> field; ++n)
    if (n == 22) return FirstLine("/proc/sys/kernel/random/boot_id") + ":" + field;
  return "";
}

RecoveryCopy OwnRecoveryCopy() {
  RecoveryCopy copy;
  copy.pid = long(::getpid());
  copy.process = ProcessKey(copy.pid);
  const auto colon = copy.process.rfind(':');
  copy.name = "tavlin-" + std::to_string(copy.pid) + "-" +
              (colon == std::string::npos ? std::string("0") : copy.process.substr(colon + 1));
  return copy;
}

std::string RecoveryInfoText(const RecoveryCopy& copy) {
  // The file's name comes last and runs to the end: any byte may be in it.
  return std::string(kHeader) + "\npid " + std::to_string(copy.pid) + "\nprocess " + copy.process +
         "\nwritten " + std::to_string(copy.written) + "\nstamp " + StampText(copy.stamp) +
         "\nfile " + copy.fileName + "\n";
}

bool ParseRecoveryInfo(const std::string& text, RecoveryCopy& copy) {
  RecoveryCopy read;
  std::size_t at = 0;
  auto line = [&](const char* key, std::string& value) {
    const std::string prefix = std::string(key) + (*key ? " " : "");
    const auto end = text.find('\n', at);
    if (end == std::string::npos || text.compare(at, prefix.size(), prefix) != 0) return false;
    value = text.substr(at + prefix.size(), end - at - prefix.size());
    at = end + 1;
    return true;
  };
  std::string header, pid, written, stamp;
  if (!line("", header) || header != kHeader || !line("pid", pid) ||
      !line("process", read.process) || !line("written", written) || !line("stamp", stamp) ||
      !ParseStamp(stamp, read.stamp))
    return false;
  const std::string file = "file ";
  if (text.compare(at, file.size(), file) != 0 || text.empty() || text.back() != '\n') return false;
  read.fileName = text.substr(at + file.size(), text.size() - 1 - at - file.size());
  try {
    std::size_t used = 0;
    read.pid = std::stol(pid, &used);
    if (used != pid.size() || read.pid <= 0) return false;
    read.written = std::stoll(written, &used);
    if (used != written.size()) return false;
  } catch (const std::exception&) {
    return false;
  }
  copy = std::move(read);
  return true;
}

void WriteRecoveryCopy(const std::string& folder, const RecoveryCopy& copy,
                       const std::vector<std::uint8_t>& ricBytes) {
  MakeFolders(folder);
  RecoveryCopy info = copy;
  info.written = std::int64_t(std::time(nullptr));
  // Nothing the program picks by itself is written through a link.
  WriteFileAtomic(Join(folder, copy.name + ".ric"), ricBytes.data(), ricBytes.size(),
                  LinkRule::Refuse);
  WriteFileAtomic(Join(folder, copy.name + ".info"), RecoveryInfoText(info), LinkRule::Refuse);
}

std::vector<RecoveryCopy> FindRecoveryCopies(const std::string& folder) {
  std::vector<RecoveryCopy> found;
  const std::string own = OwnRecoveryCopy().name;
  DIR* dir = folder.empty() ? nullptr : ::opendir(folder.c_str());
  if (!dir) return found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string file = entry->d_name;
    const std::string ext = ".info";
    if (file.size() <= ext.size() || file.compare(file.size() - ext.size(), ext.size(), ext) != 0)
      continue;
    RecoveryCopy copy;
    std::string text;
    try {
      const std::vector<std::uint8_t> bytes =
          ReadFileBytes(Join(folder, file), kMaxInfoBytes, nullptr, LinkRule::Refuse);
      text.assign(bytes.begin(), bytes.end());
    } catch (const TavlinError&) {
      continue;
    }
    if (!ParseRecoveryInfo(text, copy)) continue;
    copy.name = file.substr(0, file.size() - ext.size());
    // A copy whose writer still runs is that editor's own work in progress.
    if (copy.name == own || (!copy.process.empty() && ProcessKey(copy.pid) == copy.process))
      continue;
    if (!FileExists(Join(folder, copy.name + ".ric"))) continue;
    found.push_back(std::move(copy));
  }
  ::closedir(dir);
  std::sort(found.begin(), found.end(), [](const RecoveryCopy& a, const RecoveryCopy& b) {
    return a.written != b.written ? a.written < b.written : a.name < b.name;
  });
  return found;
}

std::vector<std::uint8_t> ReadRecoveryBytes(const std::string& folder, const RecoveryCopy& copy) {
  return ReadFileBytes(Join(folder, copy.name + ".ric"), kRicBufferSize, nullptr, LinkRule::Refuse);
}

void RemoveRecoveryCopy(const std::string& folder, const std::string& name) {
  if (folder.empty() || name.empty()) return;
  ::unlink(Join(folder, name + ".info").c_str());
  ::unlink(Join(folder, name + ".ric").c_str());
}

}  // namespace tavlin
