#pragma once
// A new, empty folder of its own under the system's temporary folder, on
// every platform (mkdtemp is POSIX only).

#include <string>

namespace varnok::test {

// Creates the folder <temp>/<stem><random> and returns its path; throws
// std::runtime_error when no folder can be made.
std::string MakeTempFolder(const std::string& stem);

}  // namespace varnok::test
