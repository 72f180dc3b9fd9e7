#include "update/ModuleDir.h"

#include <windows.h>

#include <vector>

#include "device/FilePath.h"

namespace varnok {

std::string RunningProgramPath() {
  // The wide call: the ANSI one cannot name a folder outside the ANSI code
  // page, and its text would not be the UTF-8 the rest of the program uses.
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) return Utf8Path(std::filesystem::path(std::wstring(buffer.data(), n)));
    buffer.resize(buffer.size() * 2);
  }
}

char PathSeparator() { return '\\'; }

}  // namespace varnok
