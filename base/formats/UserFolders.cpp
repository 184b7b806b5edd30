#include "UserFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <set>

namespace tavlin {

namespace {

namespace fs = std::filesystem;

fs::path AbsoluteHome() {
  const char* home = std::getenv("HOME");
  if (!home || !fs::path(home).is_absolute()) return {};
  return fs::path(home).lexically_normal();
}

// An absolute folder from the environment, or `belowHome` in an absolute HOME;
// empty when neither is known.
fs::path BaseFolder(const char* variable, const char* belowHome) {
  const char* value = std::getenv(variable);
  if (value && fs::path(value).is_absolute()) return fs::path(value).lexically_normal();
  const fs::path home = AbsoluteHome();
  return home.empty() ? home : (home / belowHome).lexically_normal();
}

bool Below(const fs::path& folder, const fs::path& base) {
  if (base.empty()) return false;
  const fs::path rel = folder.lexically_relative(base);
  return !rel.empty() && *rel.begin() != "..";
}

// Says why on standard error, once for each reason in the life of the process:
// the folders are asked for again and again, the user needs to hear it once.
void SayOnce(const std::string& why) {
  static std::mutex lock;
  static std::set<std::string> said;
  const std::lock_guard<std::mutex> guard(lock);
  if (!said.insert(why).second) return;
  std::fprintf(stderr, "%s: %s; nothing is written there\n", program_invocation_short_name,
               why.c_str());
}

std::string UsableFolder(const char* variable, const char* belowHome, const fs::path& below) {
  const fs::path base = BaseFolder(variable, belowHome);
  if (base.empty()) return "";
  const fs::path folder = base / below;
  // The home folder itself counts: a base below another user's home is theirs.
  if (std::string why = ForeignOwner(AbsoluteHome().string(), folder.string()); !why.empty()) {
    SayOnce(why);
    return "";
  }
  return folder.string();
}

}  // namespace

std::string ForeignOwner(const std::string& base, const std::string& folder) {
  const fs::path to = fs::path(folder).lexically_normal();
  fs::path from = fs::path(base).lexically_normal();
  if (!Below(to, from)) from = to;
  const uid_t me = ::geteuid();
  struct stat st {};
  if (::stat(from.c_str(), &st) != 0) {
    // The walk would begin by making `from`: the folder that would hold it
    // decides. Root's folders (/, /home, /tmp) are the system's, not a user's
    // tree: what another user makes there stays theirs to change.
    for (fs::path up = from.parent_path(); !up.empty(); up = up.parent_path()) {
      if (::stat(up.c_str(), &st) == 0)
        return st.st_uid == me || st.st_uid == 0 ? "" : up.string() + " belongs to another user";
      if (errno != ENOENT || up == up.parent_path()) return "";
    }
    return "";
  }
  fs::path at = from;
  auto check = [&](const fs::path& p) -> std::string {
    if (::stat(p.c_str(), &st) != 0) return "";  // not made yet: ours to make
    return st.st_uid == me ? "" : p.string() + " belongs to another user";
  };
  if (std::string why = check(at); !why.empty()) return why;
  for (const auto& part : to.lexically_relative(from)) {
    if (part == "." || part.empty()) continue;
    at /= part;
    if (std::string why = check(at); !why.empty()) return why;
  }
  return "";
}

std::string ConfigFolder() { return UsableFolder("XDG_CONFIG_HOME", ".config", "tavlin"); }

std::string RecoveryFolder() {
  return UsableFolder("XDG_STATE_HOME", ".local/state", fs::path("tavlin") / "recovery");
}

}  // namespace tavlin
