#include "cli/BinaryOutput.h"

namespace cli {
// POSIX streams never translate line ends.
void UseBinaryStdout() {}

// POSIX file names are bytes; the UTF-8 path is the name.
std::FILE* OpenOutputFile(const std::string& utf8Path) { return std::fopen(utf8Path.c_str(), "wb"); }
}  // namespace cli
