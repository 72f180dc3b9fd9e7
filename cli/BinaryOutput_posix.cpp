#include "cli/BinaryOutput.h"

namespace cli {
// POSIX streams never translate line ends.
void UseBinaryStdout() {}
}  // namespace cli
