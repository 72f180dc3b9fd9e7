#include "update/ModuleDir.h"

#include <unistd.h>

#include <vector>

namespace varnok {

std::string RunningProgramPath() {
  // The link's target can be of any length; grow until it fits.
  std::vector<char> buffer(512);
  for (;;) {
    const ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

char PathSeparator() { return '/'; }

}  // namespace varnok
