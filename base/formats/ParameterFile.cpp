#include "ParameterFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "FileIO.h"
#include "QuotedText.h"
#include "UserFolders.h"
#include "Version.h"

namespace tavlin {

namespace {

// A parameter file is a few kilobytes; anything far larger is not one.
constexpr std::size_t kMaxParameterFileBytes = 16u << 20;

std::string Trim(const std::string& s) {
  std::size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
  return s.substr(b, e - b);
}

// A signed decimal number that fits 32 bits, the whole text and nothing else.
bool ParseInteger(const std::string& text, long& value) {
  if (text.empty()) return false;
  std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  if (i == text.size()) return false;
  for (std::size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return false;
  errno = 0;
  long long v = std::strtoll(text.c_str(), nullptr, 10);
  if (errno == ERANGE || v < -2147483648LL || v > 2147483647LL) return false;
  value = long(v);
  return true;
}

std::string NowStamp() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d %02d:%02d:%02d", tm.tm_mday, tm.tm_mon + 1,
                tm.tm_year + 1900, tm.tm_hour, tm.tm_min, tm.tm_sec);
  return buf;
}

}  // namespace

namespace {

// How the lines of a parameter file are taken: as the reader always took
// them, passing over lines without ":", or only when every line is one of
// the file's own (for a file that is to become the parameter file).
enum class LineRule { Lenient, Strict };

std::vector<std::uint8_t> ParameterFileBytes(const std::string& path, LinkRule links) {
  std::vector<std::uint8_t> bytes = ReadFileBytes(path, kMaxParameterFileBytes + 1, nullptr, links);
  if (bytes.size() > kMaxParameterFileBytes)
    throw TavlinError(path, "the file is too large to be a parameter file");
  // Text never holds a zero byte; a picture or a RIC file picked by mistake does.
  if (std::find(bytes.begin(), bytes.end(), 0) != bytes.end())
    throw TavlinError(path, "not a parameter file: it holds binary data");
  // Editors that save UTF-8 may put a byte-order mark first.
  static constexpr std::uint8_t kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
  if (bytes.size() >= 3 && std::equal(kByteOrderMark, kByteOrderMark + 3, bytes.begin()))
    bytes.erase(bytes.begin(), bytes.begin() + 3);
  return bytes;
}

void ApplyParameterLines(const std::string& path, const std::vector<std::uint8_t>& bytes,
                         TParameterSet& set, LineRule rule) {
  std::size_t pos = 0;
  int lineNumber = 0;
  // A strict reading names the line, so the user can find it in a file that is no parameter file.
  auto fail = [&](const std::string& reason) {
    throw TavlinError(path, rule == LineRule::Strict
                                ? "line " + std::to_string(lineNumber) + ": " + reason
                                : reason);
  };
  while (pos < bytes.size()) {
    std::size_t end = pos;
    // Lines end with CR LF, LF or a lone CR.
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r') ++end;
    std::string line = Trim(std::string(bytes.begin() + long(pos), bytes.begin() + long(end)));
    ++lineNumber;
    pos = end + (end + 1 < bytes.size() && bytes[end] == '\r' && bytes[end + 1] == '\n' ? 2 : 1);
    if (line.empty() || line[0] == '#') continue;
    std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
      if (rule == LineRule::Strict)
        fail(QuoteInput(line) + " is no parameter line (INDEX : VALUE)");
      continue;
    }
    std::string indexText = Trim(line.substr(0, colon));
    std::string valueText = Trim(line.substr(colon + 1));
    long index = 0, value = 0;
    if (!ParseInteger(indexText, index))
      fail(QuoteInput(indexText) + " is not a valid integer value");
    if (!ParseInteger(valueText, value))
      fail(QuoteInput(valueText) + " is not a valid integer value");
    if (index >= 0 && index <= 255) set[std::size_t(index)] = std::uint16_t(value & 0xFFFF);
  }
}

}  // namespace

void ReadParameterFile(const std::string& path, TParameterSet& set, LinkRule links) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || (links == LinkRule::Follow && !FileExists(path))) return;
  ApplyParameterLines(path, ParameterFileBytes(path, links), set, LineRule::Lenient);
}

void LoadParameterFile(const std::string& path, TParameterSet& set) {
  TParameterSet read = set;
  ApplyParameterLines(path, ParameterFileBytes(path, LinkRule::Follow), read, LineRule::Strict);
  set = read;
}

std::string ParameterFileText(const std::string& path, const TParameterSet& set,
                              const std::string& stamp) {
  std::string text;
  auto line = [&](const std::string& s) { text += s + "\r\n"; };
  line("#  Tavlin paramter file");
  line("#");
  line("#  Tavlin by the Tavlin maintainers");
  line("#                RIC picture editor");
  line("#                for the LEGO MINDSTORMS NXT display");
  line(std::string("#                ") + kProgramVersionText);
  line("#");
  line("#  File generated " + stamp);
  line("");
  char buf[32];
  for (int i = 0; i < 256; ++i) {
    std::snprintf(buf, sizeof buf, "%3d : %d", i, int(set[std::size_t(i)]));
    line(buf);
  }
  line("");
  line("#  " + path + "   End of file");
  return text;
}

void WriteParameterFile(const std::string& path, const TParameterSet& set, LinkRule links) {
  WriteFileAtomic(path, ParameterFileText(path, set, NowStamp()), links);
}

std::string DefaultParameterFilePath() { return ConfigFilePath(kDefaultParameterFileName); }

std::string ConfigFilePath(const std::string& name) {
  // Never the working folder: a file there would land wherever the program was started.
  const std::string folder = ConfigFolder();
  return folder.empty() ? folder : (std::filesystem::path(folder) / name).string();
}

void CreateParentFolders(const std::string& path) {
  std::filesystem::path folder = std::filesystem::path(path).parent_path();
  std::error_code ec;
  if (folder.empty() || std::filesystem::is_directory(folder, ec)) return;
  CreateParentFolders(folder);
  // Folders made for the user's settings are the user's alone.
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
    throw TavlinError(folder.string(), IoErrorText(errno));
}

}  // namespace tavlin
