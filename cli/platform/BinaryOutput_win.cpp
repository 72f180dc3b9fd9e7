#include "cli/platform/BinaryOutput.h"
#include "device/FilePath.h"

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
  // The wide call: a narrow name is read in the ANSI code page.
  std::FILE* file = _wfopen(varnok::FilePath(path).c_str(), L"wb");
  if (file == nullptr) why = std::strerror(errno);
  return file;
}
}  // namespace cli
