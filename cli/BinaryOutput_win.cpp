#include "cli/BinaryOutput.h"
#include "device/FilePath.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace cli {
void UseBinaryStdout() { _setmode(_fileno(stdout), _O_BINARY); }

std::FILE* OpenOutputFile(const std::string& utf8Path) {
  // The wide call: a narrow name is read in the ANSI code page.
  return _wfopen(varnok::FilePath(utf8Path).c_str(), L"wb");
}
}  // namespace cli
