// POSIX backend of CSerialPort: termios set-up, and a monitor wait with
// poll() on the port and the shutdown wake-up.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "device/PortNames.h"
#include "device/SerialLineSettings.h"
#include "device/SerialPort.h"

namespace {
constexpr std::intptr_t kNoHandle = -1;
}  // namespace

// poll() keeps no state between waits.
struct CSerialPort::MonitorWait {};

void CSerialPort::MonitorWaitDeleter::operator()(MonitorWait* wait) const { delete wait; }

int CSerialPort::OpenHandle(int port, int baud, char parity, int dataBits, int stopBits,
                            unsigned /*mask*/) {
  const std::string path = varnok::PortDevicePath(port);
  if (path.empty()) return 0;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return 0;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {  // no sharing
    ::close(fd);
    return 0;
  }
  ::ioctl(fd, TIOCEXCL);
  portHandle = fd;

  termios tio{};
  if (::tcgetattr(fd, &tio) != 0) {
    ErrorHook("GetCommState()");
  } else {
    varnok::ApplyRawLine(tio, parity, dataBits, stopBits);
    if (!varnok::ApplyBaud(tio, static_cast<unsigned>(baud)))
      ErrorHook("BuildCommDCB()");
    else if (::tcsetattr(fd, TCSANOW, &tio) != 0)
      ErrorHook("SetCommState()");
  }
  ::tcflush(fd, TCIOFLUSH);
  return 1;
}

void CSerialPort::ReleaseHandle() {
  if (portHandle == kNoHandle) return;
  const int fd = static_cast<int>(portHandle);
  // The exclusive-use flag belongs to the line, not to this descriptor: it
  // would keep every later open by a normal user out. (A hung-up line
  // refuses the call; its flag goes with the device.)
  ::ioctl(fd, TIOCNXCL);
  ::close(fd);  // also drops the flock
  portHandle = kNoHandle;
}

void CSerialPort::PurgePort() {
  if (portHandle != kNoHandle) ::tcflush(static_cast<int>(portHandle), TCIOFLUSH);
}

bool CSerialPort::BeginMonitorWait() {
  monitorWait_.reset(new MonitorWait);
  return true;
}

void CSerialPort::EndMonitorWait() { monitorWait_.reset(); }

CSerialPort::PortWait CSerialPort::WaitForPortEvent() {
  int fd;
  {
    std::lock_guard<std::mutex> lock(portLock);
    fd = static_cast<int>(portHandle);
  }
  if (fd < 0) return PortWait::Failed;
  pollfd fds[2] = {{static_cast<int>(shutdownWake_.Handle()), POLLIN, 0}, {fd, POLLIN, 0}};
  if (::poll(fds, 2, -1) < 0) {
    if (errno == EINTR) return PortWait::Woken;
    LogFailure("WaitCommEvent()");
    return PortWait::Failed;
  }
  if (fds[0].revents & POLLIN) {
    shutdownWake_.Clear();
    return PortWait::Woken;
  }
  if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
    // A hung-up line also reports itself readable; it never has data again.
    LogFailure("WaitCommEvent()");
    return PortWait::Gone;
  }
  return PortWait::Event;
}

unsigned CSerialPort::ConfiguredEventMask() { return eventMask; }

CSerialPort::ByteRead CSerialPort::ReadOneByte(std::uint8_t& byte) {
  std::lock_guard<std::mutex> lock(portLock);
  if (portHandle == kNoHandle) return ByteRead::Empty;
  const int fd = static_cast<int>(portHandle);
  int queued = 0;
  if (::ioctl(fd, FIONREAD, &queued) != 0) {
    // Fails only when the line is gone; asking again would fail the same way.
    ErrorHook("ClearCommError()");
    return ByteRead::Gone;
  }
  if (queued <= 0) return ByteRead::Empty;
  const ssize_t n = ::read(fd, &byte, 1);
  if (n == 1) return ByteRead::Byte;
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return ByteRead::Empty;
  ErrorHook("ReadFile()");
  return ByteRead::Gone;  // end of file or an I/O error: the device went away
}

void CSerialPort::DropUntakenInput() {
  // Without received-character events nobody takes the bytes; drop them so
  // that poll() does not report the same bytes forever.
  std::lock_guard<std::mutex> lock(portLock);
  PurgePort();
}
