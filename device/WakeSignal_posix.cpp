// POSIX backend of CWakeSignal: a non-blocking self-pipe.
#include <fcntl.h>
#include <unistd.h>

#include "device/WakeSignal.h"

namespace {
constexpr std::intptr_t kNoHandle = -1;
}  // namespace

CWakeSignal::CWakeSignal() : readHandle_(kNoHandle), writeHandle_(kNoHandle) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return;
  readHandle_ = fds[0];
  writeHandle_ = fds[1];
}

CWakeSignal::~CWakeSignal() {
  if (readHandle_ != kNoHandle) ::close(static_cast<int>(readHandle_));
  if (writeHandle_ != kNoHandle) ::close(static_cast<int>(writeHandle_));
}

bool CWakeSignal::Valid() const { return readHandle_ != kNoHandle; }

void CWakeSignal::Raise() {
  if (writeHandle_ == kNoHandle) return;
  const char b = 1;
  // A full pipe is already raised.
  (void)!::write(static_cast<int>(writeHandle_), &b, 1);
}

void CWakeSignal::Clear() {
  if (readHandle_ == kNoHandle) return;
  char drain[64];
  while (::read(static_cast<int>(readHandle_), drain, sizeof drain) > 0) {
  }
}
