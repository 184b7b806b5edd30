// Where the program keeps the user's own files: settings and recovery copies.
// A folder is offered only when the process may write there: its base folder
// is absolute (the XDG base-directory rules ignore relative values), and no
// existing folder on the way from the base to it belongs to another user
// (run as root with a user's HOME, every file made there would be root's).
#pragma once

#include <string>

namespace tavlin {

// $XDG_CONFIG_HOME/tavlin, or ~/.config/tavlin; empty when no such folder may be used.
std::string ConfigFolder();
// $XDG_STATE_HOME/tavlin/recovery, or ~/.local/state/tavlin/recovery; empty when
// no such folder may be used.
std::string RecoveryFolder();
// Why the process must not create or write anything in `folder` below `base`:
// "FOLDER belongs to another user" for the first existing folder from `base`
// down to `folder` that the process's user does not own. Empty when it may.
std::string ForeignOwner(const std::string& base, const std::string& folder);

}  // namespace tavlin
