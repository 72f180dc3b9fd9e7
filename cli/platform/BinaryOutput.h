#pragma once

#include <cstdio>
#include <string>

// The program's standard streams: byte-exact standard output (captures) and
// descriptors 0 to 2 kept for them.

namespace cli {
// Standard output without line-end translation.
void UseBinaryStdout();
// Opens a stand-in on each of descriptors 0 to 2 that is closed at start-up,
// so that no file the program opens later (a tool's port, a pipe) lands
// there and receives what is meant for standard output or error. The
// stand-in is read-only: output to it fails and is reported as such.
void ReserveStandardDescriptors();
// Opens `path` for writing (created or emptied) without ever blocking: a
// FIFO nobody reads is refused instead of waited for. Null with the reason
// in `why` when it cannot be opened.
std::FILE* OpenOutputFile(const std::string& path, std::string& why);
}  // namespace cli
