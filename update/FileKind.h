#pragma once
// What a path names, asked without opening it (opening a FIFO for reading
// would block until a writer comes).

#include <string>

namespace varnok {

enum class FileKind {
  Missing,  // nothing there
  Regular,  // a regular file (or a link to one)
  Other,    // a folder, FIFO, device or socket
  Unknown,  // cannot be asked (no permission on a folder of the path, I/O error)
};

FileKind KindOfFile(const std::string& path);

}  // namespace varnok
