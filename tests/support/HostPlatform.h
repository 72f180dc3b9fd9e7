#pragma once
// What the tests expect of the platform they run on: the program folder ends
// in the platform's separator (a backslash on Windows, as GetModuleFileName
// gives it) and programs carry its executable suffix.

namespace varnok::test {

#ifdef _WIN32
constexpr char kProgramDirSeparator = '\\';
constexpr char kExeSuffix[] = ".exe";
#else
constexpr char kProgramDirSeparator = '/';
constexpr char kExeSuffix[] = "";
#endif

}  // namespace varnok::test
