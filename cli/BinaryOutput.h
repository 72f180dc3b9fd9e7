#pragma once
// Standard output without line-end translation (captures are byte-exact),
// and the capture's output file. One backend per platform.

#include <cstdio>
#include <string>

namespace cli {
void UseBinaryStdout();
// Opens the file at `utf8Path` for binary writing (truncated); null when it
// cannot be opened. The caller closes it with std::fclose.
std::FILE* OpenOutputFile(const std::string& utf8Path);
}  // namespace cli
