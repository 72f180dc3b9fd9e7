#include "update/StateDir.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

namespace varnok {

namespace {

std::string Utf8Of(const wchar_t* wide) {
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 1) return std::string();
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, &text[0], bytes, nullptr, nullptr);
  text.resize(static_cast<std::size_t>(bytes - 1));
  return text;
}

}  // namespace

std::string UserStateDir() {
  PWSTR folder = nullptr;
  std::string dir;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder))) {
    dir = Utf8Of(folder);
  }
  CoTaskMemFree(folder);
  return dir.empty() ? dir : dir + "\\Varnok";
}

char StateDirSeparator() { return '\\'; }

}  // namespace varnok
