#include "update/StateDir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace varnok {

namespace {

std::string HomeDir() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home == '/') return home;
  // getpwuid_r: other threads may look users up too.
  struct passwd entry {};
  struct passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && *found->pw_dir == '/') {
    return found->pw_dir;
  }
  return std::string();
}

}  // namespace

std::string UserStateDir() {
  const char* xdg = std::getenv("XDG_STATE_HOME");
  // A relative value is invalid by the XDG rules and is ignored.
  if (xdg != nullptr && *xdg == '/') return std::string(xdg) + "/varnok";
  const std::string home = HomeDir();
  return home.empty() ? home : home + "/.local/state/varnok";
}

char StateDirSeparator() { return '/'; }

}  // namespace varnok
