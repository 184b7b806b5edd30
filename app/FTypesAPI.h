// File type registration: makes ".ric" files open in Tavlin from the desktop.
//
// On a freedesktop system the association is recorded in the user's data
// folder: a desktop entry whose command opens the file in the program, for
// the MIME type an installed package already gives "*.ric" files or, when
// none does, for our own type with the description "RIC-Files" (a
// shared-MIME-info package); and a default-application line when no
// mimeapps.list names a default for that type. It runs at every start of a
// program that is not installed system-wide, so the command always names the
// program's current place; files are rewritten only
// when their content changes, and the desktop's database updaters are started,
// without waiting for them, only after a change. Nothing is written into a
// folder tree that belongs to another user (a HOME or XDG folder kept by
// sudo -E), and a file that cannot be read
// or belongs to someone else is left as it is. No failure stops start-up.
#pragma once

#include <string>
#include <vector>

namespace tavlin {

// The base folders of the XDG base directory rules, which ignore relative
// values. Empty strings when no absolute HOME is known.
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
// `notify` starts the desktop's database updaters (when installed) after a change.
std::string RegisterRicFileType(const std::string& extension, const std::string& fileTypeName,
                                const std::string& description, const std::string& programPath,
                                const DesktopFolders& folders, bool notify = true);

// Whether the program at this path is installed for the whole system: it lies
// in the "bin" folder of a prefix whose "share" folder is one the desktop reads
// (DataHome or a DataDirs entry) and holds the desktop entry and the file types. Such a
// program needs no registration of its own: the system's databases know it.
bool InstalledSystemWide(const std::string& programPath, const DesktopFolders& folders);

// The desktop entry's command for a program path: the path (quoted when it
// holds characters the entry format reserves) and the file argument; "" for a
// path no entry can hold (a line break, a control character, not UTF-8).
std::string DesktopExecLine(const std::string& programPath);

}  // namespace tavlin
