// File type registration: makes ".ric" files open in Tavlin from the desktop.
//
// On a freedesktop system the association is recorded in the user's data
// folder: a shared-MIME-info package that maps "*.ric" to a MIME type with the
// description "RIC-Files", a desktop entry whose command opens the file in the
// program, and a default-application line when the user has chosen none. It
// runs at every start, so the command always names the program's current
// place; files are rewritten only when their content changes. Every failure
// is silent: start-up goes on.
#pragma once

#include <string>
#include <vector>

namespace tavlin {

// The base folders of the XDG base directory rules. Empty strings when no home is known.
struct DesktopFolders {
  std::string Home;                     // $HOME
  std::string DataHome;                 // $XDG_DATA_HOME or ~/.local/share
  std::string ConfigHome;               // $XDG_CONFIG_HOME or ~/.config
  std::vector<std::string> DataDirs;    // $XDG_DATA_DIRS or /usr/local/share, /usr/share
  std::vector<std::string> ConfigDirs;  // $XDG_CONFIG_DIRS or /etc/xdg
  std::vector<std::string> Desktops;    // $XDG_CURRENT_DESKTOP, lower-cased
};
DesktopFolders DefaultDesktopFolders();

constexpr const char* kRicMimeType = "application/x-lego-mindstorms-ric";

// Records the association. Returns "" when it is in place, otherwise why not.
// `notify` runs the desktop's database updaters when they are installed.
std::string RegisterRicFileType(const std::string& extension, const std::string& fileTypeName,
                         const std::string& description, const std::string& programPath,
                         const DesktopFolders& folders, bool notify = true);

// The desktop entry's command for a program path: the path (quoted when it
// holds characters the entry format reserves) and the file argument.
std::string DesktopExecLine(const std::string& programPath);

}  // namespace tavlin
