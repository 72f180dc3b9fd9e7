#include "update/ModuleDir.h"

#include <windows.h>

#include <vector>

namespace varnok {

std::string RunningProgramPath() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

char PathSeparator() { return '\\'; }

}  // namespace varnok
