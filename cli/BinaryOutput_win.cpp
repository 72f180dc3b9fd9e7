#include "cli/BinaryOutput.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace cli {
void UseBinaryStdout() { _setmode(_fileno(stdout), _O_BINARY); }
}  // namespace cli
