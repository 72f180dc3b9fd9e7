#include "cli/output/OutputCheck.h"

#include <atomic>
#include <cerrno>

#include "cli/platform/Interrupt.h"

namespace cli {

namespace {
std::atomic<bool> failed{false};
}  // namespace

void NoteOutputFailure(int error) {
  failed = true;
  if (error == EPIPE) RequestInterrupt();
}

bool OutputFailed() { return failed.load(); }

bool WriteWhole(std::FILE* stream, const char* data, std::size_t size) {
  errno = 0;
  const bool whole = std::fwrite(data, 1, size, stream) == size && std::fflush(stream) == 0;
  if (!whole) {
    const int error = errno;
    // Standard error is where failures are told; its own failure has
    // nowhere to go, except that a vanished reader is a stop.
    if (stream != stderr) NoteOutputFailure(error);
    else if (error == EPIPE) RequestInterrupt();
    std::clearerr(stream);
  }
  return whole;
}

}  // namespace cli
