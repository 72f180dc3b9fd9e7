// POSIX backend of CSyncSerialPort: termios in raw mode, non-blocking I/O.
#include "device/SyncSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "device/Clock.h"
#include "device/PortNames.h"
#include "device/SerialLineSettings.h"

using varnok::LastOsError;
using varnok::PortFailure;
using varnok::PortFailureFromOsError;

int CSyncSerialPort::OpenLine(int portNumber, unsigned baud, ISerialNotify* notify) {
  notifyWindow = notify;
  if (openFlag) return 1;

  const std::string path = varnok::PortDevicePath(portNumber);
  if (path.empty()) {
    lastOpenFailure = PortFailure::NotFound;
    lastOpenOsError = ENOENT;
    return 0;
  }
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    lastOpenOsError = LastOsError();
    lastOpenFailure = PortFailureFromOsError(lastOpenOsError);
    return 0;
  }
  // No sharing: the advisory lock keeps out other programs that honour it
  // (and this one), TIOCEXCL keeps out everyone but root.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    lastOpenOsError = LastOsError();
    lastOpenFailure = PortFailure::Busy;
    ::close(fd);
    return 0;
  }

  termios tio{};
  bool settingsOk = ::tcgetattr(fd, &tio) == 0;
  if (settingsOk) {
    varnok::ApplyRawLine(tio, 'N', 8, 1);
    settingsOk = varnok::ApplyBaud(tio, baud) && ::tcsetattr(fd, TCSANOW, &tio) == 0;
  }
  if (!settingsOk) {
    const int err = LastOsError();
    ReportFailure("SetCommState failed, error = %d", err);
    lastOpenOsError = err;
    lastOpenFailure = PortFailureFromOsError(err == 0 ? EINVAL : err);
    ::close(fd);
    return 0;
  }
  ::ioctl(fd, TIOCEXCL);

  portHandle = fd;
  writeMultiplier = TimeoutMultiplier(baud);
  openFlag = 1;
  lastOpenFailure = PortFailure::None;
  lastOpenOsError = 0;
  return 1;
}

int CSyncSerialPort::CloseLine() {
  if (openFlag && portHandle != kNoHandle) {
    const int fd = static_cast<int>(portHandle);
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);  // also drops the flock
  }
  openFlag = 0;
  portHandle = kNoHandle;
  return 1;
}

int CSyncSerialPort::WriteLine(const std::uint8_t* data, int length) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  if (length <= 0) return 0;
  const int fd = static_cast<int>(portHandle);
  // The write total time-out: multiplier ms per byte, no constant part.
  const std::uint64_t deadline =
      varnok::TickMs() + static_cast<std::uint64_t>(writeMultiplier) * length;
  int written = 0;
  while (written < length) {
    const ssize_t n = ::write(fd, data + written, static_cast<size_t>(length - written));
    if (n > 0) {
      written += static_cast<int>(n);
      continue;
    }
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
      const int err = LastOsError();
      ReportFailure("WriteFile failed, error = %d", err);
      CloseIfLost(err);
      return -1;
    }
    const std::uint64_t now = varnok::TickMs();
    if (now >= deadline) break;
    pollfd p[2] = {{fd, POLLOUT, 0}, {static_cast<int>(wake_.Handle()), POLLIN, 0}};
    ::poll(p, wake_.Valid() ? 2 : 1, static_cast<int>(deadline - now));
    if (p[1].revents & POLLIN) {
      wake_.Clear();  // a stop request: the caller decides
      break;
    }
  }
  return written;
}

int CSyncSerialPort::ReadLine(std::uint8_t* buffer, int capacity) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  const int fd = static_cast<int>(portHandle);
  int queued = 0;
  if (::ioctl(fd, FIONREAD, &queued) != 0) {
    const int err = LastOsError();
    ReportFailure("ClearCommError failed, error = %d", err);
    CloseIfLost(err);
    return -1;
  }
  if (queued <= 0 || capacity <= 0) return 0;
  const int want = queued < capacity ? queued : capacity;
  const ssize_t n = ::read(fd, buffer, static_cast<size_t>(want));
  if (n < 0) {
    if (errno == EAGAIN || errno == EINTR) return 0;
    const int err = LastOsError();
    ReportFailure("ReadFile failed, error = %d", err);
    CloseIfLost(err);
    return -1;
  }
  return static_cast<int>(n);
}

void CSyncSerialPort::PurgeLine(int bits) {
  if (!openFlag || portHandle == kNoHandle) return;
  const int fd = static_cast<int>(portHandle);
  if (bits & 1) ::tcflush(fd, TCIFLUSH);
  if (bits & 2) ::tcflush(fd, TCOFLUSH);
}

int CSyncSerialPort::WaitLine(int timeoutMs) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  const int fd = static_cast<int>(portHandle);
  pollfd p[2] = {{fd, POLLIN, 0}, {static_cast<int>(wake_.Handle()), POLLIN, 0}};
  const int r = ::poll(p, wake_.Valid() ? 2 : 1, timeoutMs < 0 ? 0 : timeoutMs);
  if (r < 0) return errno == EINTR ? 0 : -1;
  if (r == 0) return 0;
  if (p[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
    // The device is gone; what it sent before may still be read.
    int queued = 0;
    if (::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0) return 1;
    LineGone();  // counts as closed from now on, so that owners reopen it
    return -1;
  }
  if (p[0].revents & POLLIN) return 1;
  if (p[1].revents & POLLIN) wake_.Clear();  // a stop request: the caller decides
  return 0;
}
