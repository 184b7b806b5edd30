#include "FTypesAPI.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "FileIO.h"

extern char** environ;

namespace tavlin {

namespace fs = std::filesystem;

namespace {

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes only a changed file, so that a start changes nothing when all is in place.
bool WriteIfChanged(const fs::path& path, const std::string& text) {
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  if (ec) return false;
  if (fs::exists(path, ec) && ReadWhole(path) == text) return true;
  try {
    WriteFileAtomic(path.string(), text);
  } catch (const TavlinError&) {
    return false;
  }
  return true;
}

std::string XmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// Runs a helper program quietly if it is installed, and waits for it.
void RunQuietly(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) {
    int status;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

// The user's default application for the MIME type, if any line names one.
bool HasDefaultApplication(const fs::path& mimeapps, const std::string& mimeType) {
  std::istringstream in(ReadWhole(mimeapps));
  std::string line;
  bool inDefaults = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inDefaults = line == "[Default Applications]";
      continue;
    }
    if (inDefaults && line.rfind(mimeType + "=", 0) == 0 && line.size() > mimeType.size() + 1)
      return true;
  }
  return false;
}

bool AddDefaultApplication(const fs::path& mimeapps, const std::string& mimeType,
                           const std::string& desktopFile) {
  std::string text = ReadWhole(mimeapps);
  std::string entry = mimeType + "=" + desktopFile + "\n";
  auto section = text.find("[Default Applications]");
  if (section == std::string::npos) {
    if (!text.empty() && text.back() != '\n') text += '\n';
    text += "[Default Applications]\n" + entry;
  } else {
    auto lineEnd = text.find('\n', section);
    if (lineEnd == std::string::npos) {
      text += "\n" + entry;
    } else {
      text.insert(lineEnd + 1, entry);
    }
  }
  return WriteIfChanged(mimeapps, text);
}

}  // namespace

DesktopFolders DefaultDesktopFolders() {
  DesktopFolders f;
  const char* home = std::getenv("HOME");
  const char* data = std::getenv("XDG_DATA_HOME");
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (home) f.Home = home;
  auto list = [](const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    std::istringstream in(v && *v ? v : fallback);
    std::vector<std::string> dirs;
    for (std::string d; std::getline(in, d, ':');) dirs.push_back(d);
    return dirs;
  };
  f.DataDirs = list("XDG_DATA_DIRS", "/usr/local/share/:/usr/share/");
  f.ConfigDirs = list("XDG_CONFIG_DIRS", "/etc/xdg");
  if (data && *data)
    f.DataHome = data;
  else if (home && *home)
    f.DataHome = std::string(home) + "/.local/share";
  if (config && *config)
    f.ConfigHome = config;
  else if (home && *home)
    f.ConfigHome = std::string(home) + "/.config";
  return f;
}

std::string DesktopExecLine(const std::string& programPath) {
  // The entry format splits the command at blanks and reserves a few
  // characters: such a path is quoted, with its own quotes escaped.
  bool needsQuotes = programPath.find_first_of(" \t\n\"'\\><~|&;$*?#()`") != std::string::npos;
  std::string exec;
  if (needsQuotes) {
    exec += '"';
    // Inside quotes ", `, $ and \ take a backslash, and the entry's own
    // string escapes double every backslash once more.
    for (char c : programPath) {
      if (c == '\\')
        exec += "\\\\\\\\";
      else if (c == '"' || c == '`' || c == '$')
        exec += std::string("\\\\") + c;
      else
        exec += c;
    }
    exec += '"';
  } else {
    exec = programPath;
  }
  for (std::size_t i = 0; i < exec.size(); ++i)
    if (exec[i] == '%') exec.insert(i++, "%");
  return exec + " %f";
}

std::string RegisterRicFileType(const std::string& extension, const std::string& fileTypeName,
                                const std::string& description, const std::string& programPath,
                                const DesktopFolders& folders, bool notify) {
  if (folders.DataHome.empty() || extension.size() < 2 || extension[0] != '.' ||
      programPath.empty())
    return "nothing to register";
  const fs::path data(folders.DataHome);
  const std::string pattern = "*" + extension;

  const std::string package =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
      "  <mime-type type=\"" + std::string(kRicMimeType) + "\">\n"
      "    <comment>" + XmlEscape(description) + "</comment>\n"
      "    <generic-icon name=\"image-x-generic\"/>\n"
      "    <glob pattern=\"" + XmlEscape(pattern) + "\"/>\n"
      "  </mime-type>\n"
      "</mime-info>\n";
  bool ok = WriteIfChanged(data / "mime" / "packages" / "tavlin-ric.xml", package);

  const std::string entry =
      "[Desktop Entry]\n"
      "Type=Application\n"
      "Name=Tavlin\n"
      "GenericName=" + fileTypeName + " editor\n"
      "Comment=Open " + description + "\n"
      "Exec=" + DesktopExecLine(programPath) + "\n"
      "MimeType=" + std::string(kRicMimeType) + ";\n"
      "Terminal=false\n"
      "Categories=Graphics;Development;\n";
  ok = WriteIfChanged(data / "applications" / "tavlin.desktop", entry) && ok;

  // A default the user has chosen stays; without one, the RIC type opens here.
  if (!folders.ConfigHome.empty()) {
    fs::path mimeapps = fs::path(folders.ConfigHome) / "mimeapps.list";
    if (!HasDefaultApplication(mimeapps, kRicMimeType))
      ok = AddDefaultApplication(mimeapps, kRicMimeType, "tavlin.desktop") && ok;
  }

  if (notify) {
    RunQuietly({"update-mime-database", (data / "mime").string()});
    RunQuietly({"update-desktop-database", (data / "applications").string()});
  }
  return ok ? "" : "not every file could be written";
}

}  // namespace tavlin
