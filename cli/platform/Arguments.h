#pragma once
// The program's arguments as UTF-8 text, the form every path takes inside
// the program (device/FilePath.h). One backend per platform: POSIX passes
// argv on (its bytes are the names); Windows reads the wide command line,
// since argv holds the ANSI code page's text there.

#include <string>
#include <vector>

namespace cli {
std::vector<std::string> Utf8Arguments(int argc, char** argv);
}  // namespace cli
