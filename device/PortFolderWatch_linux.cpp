#include "device/PortFolderWatch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include "device/Clock.h"
#include "device/PortNames.h"

namespace varnok {

CPortFolderWatch::CPortFolderWatch() {
  fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) return;
  const unsigned mask = IN_CREATE | IN_DELETE | IN_MOVED_TO | IN_MOVED_FROM | IN_ATTRIB;
  if (inotify_add_watch(fd_, PortDeviceDir().c_str(), mask) < 0) {
    close(fd_);
    fd_ = -1;
  }
}

CPortFolderWatch::~CPortFolderWatch() {
  if (fd_ >= 0) close(fd_);
}

bool CPortFolderWatch::WaitForChange(int ms) {
  if (ms <= 0) return false;
  if (fd_ < 0) {
    SleepMs(ms);
    return false;
  }
  pollfd p{fd_, POLLIN, 0};
  if (poll(&p, 1, ms) <= 0) return false;
  // Drain the events: only "something changed" matters.
  alignas(inotify_event) char buffer[4096];
  while (read(fd_, buffer, sizeof buffer) > 0) {
  }
  return true;
}

}  // namespace varnok
