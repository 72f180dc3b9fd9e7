#include "cli/BinaryOutput.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace cli {
void UseBinaryStdout() { _setmode(_fileno(stdout), _O_BINARY); }
// Windows handles of files and ports never take the place of the standard
// streams' descriptors.
void ReserveStandardDescriptors() {}

std::FILE* OpenOutputFile(const std::string& path, std::string& why) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) why = std::strerror(errno);
  return file;
}
}  // namespace cli
