#include "FTypesAPI.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "FileIO.h"
#include "UserFolders.h"

extern char** environ;

namespace tavlin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDesktopId = "tavlin.desktop";
constexpr const char* kDefaultsGroup = "Default Applications";
// Lists and databases are small; anything larger is not one and is left alone.
constexpr std::size_t kMaxListBytes = 16u << 20;

// A file's text, or that it is missing, or that it could not be read.
struct TextFile {
  enum { Missing, Read, Unreadable } State = Missing;
  std::string Text;
};

TextFile ReadText(const fs::path& path) {
  // Non-blocking, so that a FIFO in the file's place cannot stop the start.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {errno == ENOENT ? TextFile::Missing : TextFile::Unreadable, {}};
  TextFile file{TextFile::Unreadable, {}};
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::size_t(st.st_size) <= kMaxListBytes) {
    char buffer[16384];
    ssize_t n = -1;
    while (file.Text.size() <= kMaxListBytes &&
           ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)))
      if (n > 0) file.Text.append(buffer, std::size_t(n));
    if (n == 0) file.State = TextFile::Read;
  }
  ::close(fd);
  return file;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

std::string_view Trim(std::string_view s) {
  const char* blanks = " \t\r\n\f\v";
  auto first = s.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

// Missing folders are made private to the user, as the base-directory rules ask.
bool MakeFolders(const fs::path& dir) {
  std::error_code ec;
  if (fs::is_directory(dir, ec)) return true;
  if (dir.parent_path() == dir || !MakeFolders(dir.parent_path())) return false;
  return ::mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST;
}

// Why an existing file may not be replaced or removed: only the user's own are.
std::string NotOurs(const fs::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_uid != ::geteuid())
    return path.string() + " belongs to another user; it is left as it is";
  return "";
}

// Writes a file whose content changes; returns why it was not written, or "".
std::string WriteIfChanged(const fs::path& path, const TextFile& old, const std::string& text,
                           bool& changed) {
  if (old.State == TextFile::Read && old.Text == text) return "";
  if (old.State == TextFile::Unreadable)
    return path.string() + " cannot be read; it is left as it is";
  if (std::string why = NotOurs(path); !why.empty()) return why;
  if (!MakeFolders(path.parent_path()))
    return path.parent_path().string() + ": " + IoErrorText(errno);
  try {
    WriteFileAtomic(path.string(), text);
  } catch (const TavlinError& e) {
    return e.what();
  }
  changed = true;
  return "";
}

std::string WriteIfChanged(const fs::path& path, const std::string& text, bool& changed) {
  return WriteIfChanged(path, ReadText(path), text, changed);
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + '\n';
  return text;
}

std::string XmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

bool IsUtf8(std::string_view s) {
  static const std::uint32_t kSmallest[] = {0, 0x80, 0x800, 0x10000};
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    const int more = lead < 0x80       ? 0
                     : lead >> 5 == 6  ? 1
                     : lead >> 4 == 14 ? 2
                     : lead >> 3 == 30 ? 3
                                       : -1;
    if (more < 0 || s.size() - i <= std::size_t(more)) return false;
    std::uint32_t code = more == 0 ? lead : lead & (0x3Fu >> more);
    for (int k = 1; k <= more; ++k) {
      const unsigned char next = static_cast<unsigned char>(s[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = code << 6 | (next & 0x3F);
    }
    if (code < kSmallest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
      return false;
    i += std::size_t(more) + 1;
  }
  return true;
}

// One word of the entry's command: quoted when it holds a character the
// command syntax reserves, then escaped once more as the entry's string value.
std::string ExecWord(const std::string& word) {
  const bool quote = word.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
  std::string out = quote ? "\"" : "";
  for (char c : word) {
    if (c == '%')
      out += "%%";
    else if (quote && c == '\\')
      out += "\\\\\\\\";  // \\ in the command, each backslash doubled in the value
    else if (quote && (c == '"' || c == '`' || c == '$'))
      out += std::string("\\\\") + c;
    else
      out += c;
  }
  return quote ? out + '"' : out;
}

// Calls `line` with each line of a desktop-entry style file, blanks trimmed,
// and the offset where the next line begins.
template <class F>
void ForEachLine(std::string_view text, F line) {
  for (std::size_t at = 0; at < text.size();) {
    auto end = text.find('\n', at);
    std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    line(Trim(text.substr(at, next - at)), next);
    at = next;
  }
}

std::optional<std::string_view> GroupName(std::string_view line) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

// The value a list gives the type in its defaults group, if it names the type there.
std::optional<std::string> DefaultFor(std::string_view list, const std::string& mimeType) {
  std::optional<std::string> value;
  bool inDefaults = false;
  ForEachLine(list, [&](std::string_view line, std::size_t) {
    if (auto group = GroupName(line)) {
      inDefaults = *group == kDefaultsGroup;
    } else if (inDefaults && !line.empty() && line[0] != '#') {
      auto equals = line.find('=');
      if (equals != std::string_view::npos && Trim(line.substr(0, equals)) == mimeType)
        value = std::string(Trim(line.substr(equals + 1)));
    }
  });
  return value;
}

// Adds "type=entry" at the start of the list's first defaults group, or a new group at its end.
std::string WithDefault(std::string list, const std::string& mimeType) {
  if (!list.empty() && list.back() != '\n') list += '\n';
  std::optional<std::size_t> groupBody;
  bool crlf = false;
  ForEachLine(list, [&](std::string_view line, std::size_t next) {
    if (!groupBody && GroupName(line) == std::string_view(kDefaultsGroup)) {
      groupBody = next;
      crlf = next >= 2 && list.compare(next - 2, 2, "\r\n") == 0;
    }
  });
  const std::string entry = mimeType + "=" + kDesktopId + (crlf ? "\r\n" : "\n");
  if (!groupBody) return list + "[" + kDefaultsGroup + "]\n" + entry;
  return list.insert(*groupBody, entry);
}

// Every mimeapps.list the MIME-apps rules read, the most important first.
std::vector<fs::path> MimeappsLists(const DesktopFolders& folders) {
  std::vector<fs::path> lists;
  auto add = [&](const fs::path& dir) {
    for (const auto& desktop : folders.Desktops)
      lists.push_back(dir / (desktop + "-mimeapps.list"));
    lists.push_back(dir / "mimeapps.list");
  };
  add(folders.ConfigHome);
  for (const auto& dir : folders.ConfigDirs) add(dir);
  add(fs::path(folders.DataHome) / "applications");
  for (const auto& dir : folders.DataDirs) add(fs::path(dir) / "applications");
  return lists;
}

// Makes the entry the type's default unless a list names a default already.
std::string AddDefaultUnlessChosen(const DesktopFolders& folders, const std::string& mimeType) {
  const fs::path own = fs::path(folders.ConfigHome) / "mimeapps.list";
  const TextFile ownList = ReadText(own);
  // A line for the type in the user's own list, even an empty one, is theirs.
  if (ownList.State == TextFile::Read && DefaultFor(ownList.Text, mimeType)) return "";
  for (const auto& list : MimeappsLists(folders)) {
    TextFile file = list == own ? TextFile{} : ReadText(list);
    auto value = file.State == TextFile::Read ? DefaultFor(file.Text, mimeType) : std::nullopt;
    if (value && value->find_first_not_of("; \t") != std::string::npos) return "";
  }
  bool changed = false;
  return WriteIfChanged(own, ownList, WithDefault(ownList.Text, mimeType), changed);
}

// The type an installed shared-MIME-info database gives the pattern, or "":
// the heaviest claim, the earlier folder winning a tie. Our own type, listed
// after an earlier start, competes with nobody.
std::string ClaimingType(const DesktopFolders& folders, const std::string& pattern) {
  std::string best;
  long bestWeight = -1;
  std::vector<std::string> dirs{folders.DataHome};
  dirs.insert(dirs.end(), folders.DataDirs.begin(), folders.DataDirs.end());
  for (const auto& dir : dirs) {
    TextFile globs = ReadText(fs::path(dir) / "mime" / "globs2");
    // Lines are "weight:type:pattern", optionally followed by ":flags".
    ForEachLine(globs.Text, [&](std::string_view line, std::size_t) {
      auto first = line.find(':'), second = line.find(':', first + 1);
      if (line.empty() || line[0] == '#' || second == std::string_view::npos) return;
      std::string type(line.substr(first + 1, second - first - 1));
      std::string_view glob = line.substr(second + 1);
      glob = glob.substr(0, glob.find(':'));
      long weight = std::strtol(std::string(line.substr(0, first)).c_str(), nullptr, 10);
      if (Lower(std::string(glob)) != pattern || weight <= bestWeight || type.empty() ||
          type == kRicMimeType)
        return;
      best = type;
      bestWeight = weight;
    });
  }
  return best;
}

// Starts a desktop helper without waiting for it: a shell starts it in the
// background and ends at once, so no child is left to reap and a slow or
// hanging helper holds nothing up. A missing helper does nothing.
void StartDetached(const char* helper, const fs::path& folder) {
  const char* script = "\"$0\" \"$1\" </dev/null >/dev/null 2>&1 &";
  const char* argv[] = {"sh", "-c", script, helper, folder.c_str(), nullptr};
  pid_t shell;
  if (::posix_spawn(&shell, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    return;
  while (::waitpid(shell, nullptr, 0) < 0 && errno == EINTR) continue;
}

// An absolute folder from the environment; the base-directory rules ignore relative ones.
std::string AbsoluteFolder(const char* variable, const std::string& fallback) {
  const char* value = std::getenv(variable);
  return value && value[0] == '/' ? value : fallback;
}

std::vector<std::string> SplitList(const char* value, bool absoluteOnly) {
  std::vector<std::string> items;
  std::string_view rest = value ? value : "";
  while (!rest.empty()) {
    auto colon = rest.find(':');
    std::string_view item = rest.substr(0, colon);
    if (!item.empty() && (!absoluteOnly || item[0] == '/')) items.emplace_back(item);
    rest = colon == std::string_view::npos ? "" : rest.substr(colon + 1);
  }
  return items;
}

std::vector<std::string> FolderList(const char* variable, const char* fallback) {
  std::vector<std::string> dirs = SplitList(std::getenv(variable), true);
  return dirs.empty() ? SplitList(fallback, true) : dirs;
}

}  // namespace

DesktopFolders DefaultDesktopFolders() {
  DesktopFolders f;
  f.Home = AbsoluteFolder("HOME", "");
  if (f.Home.empty()) return f;
  f.DataHome = AbsoluteFolder("XDG_DATA_HOME", f.Home + "/.local/share");
  f.ConfigHome = AbsoluteFolder("XDG_CONFIG_HOME", f.Home + "/.config");
  f.DataDirs = FolderList("XDG_DATA_DIRS", "/usr/local/share/:/usr/share/");
  f.ConfigDirs = FolderList("XDG_CONFIG_DIRS", "/etc/xdg");
  for (const auto& desktop : SplitList(std::getenv("XDG_CURRENT_DESKTOP"), false))
    f.Desktops.push_back(Lower(desktop));
  return f;
}

bool InstalledSystemWide(const std::string& programPath, const DesktopFolders& folders) {
  std::error_code ec;
  const fs::path bin = fs::weakly_canonical(fs::path(programPath), ec).parent_path();
  if (ec || bin.filename() != "bin") return false;
  const fs::path share = bin.parent_path() / "share";
  if (!fs::is_regular_file(share / "applications" / kDesktopId, ec) ||
      !fs::is_regular_file(share / "mime" / "packages" / "tavlin.xml", ec))
    return false;
  // A prefix the desktop does not read (a scratch install, /opt) is no installation to it;
  // the user's own data folder (an install into ~/.local) is one it reads.
  if (fs::equivalent(fs::path(folders.DataHome), share, ec)) return true;
  for (const auto& dir : folders.DataDirs)
    if (fs::equivalent(fs::path(dir), share, ec)) return true;
  return false;
}

std::string DesktopExecLine(const std::string& programPath) {
  if (programPath.empty()) return "";
  for (char c : programPath)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return "";
  if (!IsUtf8(programPath)) return "";
  // The desktop looks the command's first word up as a program before it
  // turns %% into %: a path with % is started through the shell instead.
  std::string shell = programPath.find('%') == std::string::npos
                          ? ""
                          : "sh -c " + ExecWord("exec \"$0\" \"$@\"") + " ";
  return shell + ExecWord(programPath) + " %f";
}

std::string RegisterRicFileType(const std::string& extension, const std::string& fileTypeName,
                                const std::string& description, const std::string& programPath,
                                const DesktopFolders& folders, bool notify) {
  if (folders.Home.empty() || folders.DataHome.empty() || folders.ConfigHome.empty())
    return "no home folder is known";
  if (extension.size() < 2 || extension[0] != '.')
    return "\"" + extension + "\" is not a file name extension";
  const std::string exec = DesktopExecLine(programPath);
  if (exec.empty())
    return "the program's path is empty or holds a line break, a control character or bytes "
           "that are not UTF-8, which a desktop entry cannot hold";
  struct stat home {};
  if (::stat(folders.Home.c_str(), &home) != 0) return folders.Home + ": " + IoErrorText(errno);
  // Run as root with a user's HOME or XDG folders (sudo -E), every file made
  // there would be root's: nothing is written in a tree of another user.
  const fs::path data(folders.DataHome);
  for (const fs::path& folder :
       {data / "mime" / "packages", data / "applications", fs::path(folders.ConfigHome)})
    if (std::string why = ForeignOwner(folders.Home, folder.string()); !why.empty()) return why;

  const fs::path package = data / "mime" / "packages" / "tavlin-ric.xml";
  const std::string pattern = Lower("*" + extension);
  bool mimeChanged = false, entryChanged = false;
  std::string problem;
  auto note = [&](std::string why) {
    if (problem.empty()) problem = std::move(why);
  };

  // A type another package gives these files is used as it is: a second type
  // of the same weight would make the choice between them a matter of chance.
  std::string mimeType = ClaimingType(folders, pattern);
  if (mimeType.empty()) {
    mimeType = kRicMimeType;
    note(WriteIfChanged(
        package,
        Lines({
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">",
            "  <mime-type type=\"" + mimeType + "\">",
            "    <comment>" + XmlEscape(description) + "</comment>",
            "    <generic-icon name=\"image-x-generic\"/>",
            "    <glob pattern=\"" + XmlEscape(pattern) + "\"/>",
            "  </mime-type>",
            "</mime-info>",
        }),
        mimeChanged));
  } else if (std::string why = NotOurs(package); !why.empty()) {
    note(why);
  } else if (::unlink(package.c_str()) == 0) {
    mimeChanged = true;
  } else if (errno != ENOENT) {
    note(package.string() + ": " + IoErrorText(errno));
  }

  note(WriteIfChanged(data / "applications" / kDesktopId,
                      Lines({
                          "[Desktop Entry]",
                          "Type=Application",
                          "Name=Tavlin",
                          "GenericName=" + fileTypeName + " editor",
                          "Comment=Open " + description,
                          "Exec=" + exec,
                          "MimeType=" + mimeType + ";",
                          "Terminal=false",
                          "Categories=Graphics;Development;",
                      }),
                      entryChanged));

  // A default chosen in any list stays; without one, the type opens here.
  note(AddDefaultUnlessChosen(folders, mimeType));

  if (notify && mimeChanged) StartDetached("update-mime-database", data / "mime");
  if (notify && entryChanged) StartDetached("update-desktop-database", data / "applications");
  return problem;
}

}  // namespace tavlin
