#include "cli/platform/BinaryOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace cli {
// POSIX streams never translate line ends.
void UseBinaryStdout() {}

void ReserveStandardDescriptors() {
  // open() takes the lowest free descriptor: the loop fills 0 to 2 and stops.
  for (;;) {
    const int fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    if (fd > 2) {
      ::close(fd);
      return;
    }
  }
}

std::FILE* OpenOutputFile(const std::string& path, std::string& why) {
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    why = errno == ENXIO ? "a FIFO that nobody reads" : std::strerror(errno);
    return nullptr;
  }
  // Non-blocking only for the open; the writes wait for a slow reader.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    why = std::strerror(errno);
    ::close(fd);
  }
  return file;
}
}  // namespace cli
