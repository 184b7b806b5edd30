#include "UserFolders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace tavlin {

namespace {

namespace fs = std::filesystem;

// An absolute folder from the environment, or `fallback` below an absolute HOME.
// Returns the base folder; empty when neither is known.
fs::path BaseFolder(const char* variable, const char* belowHome) {
  const char* value = std::getenv(variable);
  if (value && fs::path(value).is_absolute()) return fs::path(value).lexically_normal();
  const char* home = std::getenv("HOME");
  if (!home || !fs::path(home).is_absolute()) return {};
  return (fs::path(home) / belowHome).lexically_normal();
}

std::string UsableFolder(const char* variable, const char* belowHome, const fs::path& below) {
  const fs::path base = BaseFolder(variable, belowHome);
  if (base.empty()) return "";
  const fs::path folder = base / below;
  // The home folder itself counts: a base below another user's home is theirs.
  if (const char* home = std::getenv("HOME"); home && fs::path(home).is_absolute()) {
    const fs::path homePath = fs::path(home).lexically_normal();
    const auto rel = base.lexically_relative(homePath);
    if (!rel.empty() && *rel.begin() != "..") {
      if (!ForeignOwner(homePath.string(), folder.string()).empty()) return "";
      return folder.string();
    }
  }
  return ForeignOwner(base.string(), folder.string()).empty() ? folder.string() : "";
}

}  // namespace

std::string ForeignOwner(const std::string& base, const std::string& folder) {
  const fs::path from = fs::path(base).lexically_normal();
  const fs::path to = fs::path(folder).lexically_normal();
  const uid_t me = ::geteuid();
  fs::path at = from;
  auto check = [&](const fs::path& p) -> std::string {
    struct stat st {};
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
