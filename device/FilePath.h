#pragma once
// The one conversion of a path as the program carries it (UTF-8 text: the
// window's QString, the command line's arguments, the program's folder) to
// the platform's path type. Every file the program opens goes through it:
// on Windows a narrow path is read in the ANSI code page, so a folder or
// file name outside it (固件 Прошивка) would not open, or open another file.
// Header only; any thread.

#include <filesystem>
#include <string>

namespace varnok {

inline std::filesystem::path FilePath(const std::string& utf8) {
  return std::filesystem::u8path(utf8);
}

// The way back: a platform path as UTF-8 text.
inline std::string Utf8Path(const std::filesystem::path& path) { return path.u8string(); }

}  // namespace varnok
