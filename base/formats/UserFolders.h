// Where the program keeps the user's own files: settings and recovery copies.
// A folder is offered only when the process may write there: its base folder
// is absolute (the XDG base-directory rules ignore relative values), and no
// folder on the way from the home folder (or the base, when it lies outside
// the home) to it belongs to another user: run as root with a user's HOME, every
// file made there would be root's, and the user's next run would fail on it.
// A folder refused so is named once on standard error.
#pragma once

#include <string>

namespace tavlin {

// $XDG_CONFIG_HOME/tavlin, or ~/.config/tavlin; empty when no such folder may be used.
std::string ConfigFolder();
// $XDG_STATE_HOME/tavlin/recovery, or ~/.local/state/tavlin/recovery; empty when
// no such folder may be used.
std::string RecoveryFolder();
// Why the process must not create or write anything in `folder`: "FOLDER
// belongs to another user" for the first existing folder from `base` down to
// `folder` that the process's user does not own. The walk starts at `folder`
// when it does not lie below `base` (an empty `base` included). When the
// walk's first folder does not exist yet, the existing folder that would hold
// it decides; one of root's there (/, /home, /tmp) is the system's and no
// reason. Empty when the process may write.
std::string ForeignOwner(const std::string& base, const std::string& folder);

}  // namespace tavlin
