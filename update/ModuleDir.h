#pragma once
// Where the running program lives. One backend per platform
// (ModuleDir_posix.cpp, ModuleDir_win.cpp).

#include <string>

namespace varnok {

// Full path of the running program's file as UTF-8 text; empty when it
// cannot be found.
std::string RunningProgramPath();

// The platform's path separator: '/' or '\\'.
char PathSeparator();

}  // namespace varnok
