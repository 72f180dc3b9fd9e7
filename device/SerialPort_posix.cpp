// POSIX backend of CSerialPort: the monitor thread waits with poll() on the
// port and on a wake-up pipe, so Close ends it promptly.
#include "device/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "device/PortNames.h"
#include "device/SerialLineSettings.h"

namespace {
constexpr std::intptr_t kNoHandle = -1;

void CloseFd(std::intptr_t& fd) {
  if (fd != kNoHandle) ::close(static_cast<int>(fd));
  fd = kNoHandle;
}
}  // namespace

void CSerialPort::JoinMonitor() {
  if (!monitorThread.joinable()) return;
  if (monitorThread.get_id() == std::this_thread::get_id()) return;
  shutdownRequested = true;
  if (wakeWrite != kNoHandle) {
    const char b = 1;
    (void)!::write(static_cast<int>(wakeWrite), &b, 1);
  }
  monitorThread.join();
}

int CSerialPort::Open(ISerialPortOwner* newOwner, int port, int baud, char parity, int dataBits,
                      int stopBits, unsigned mask, int writeBuffer) {
  JoinMonitor();
  CloseFd(wakeRead);
  CloseFd(wakeWrite);

  owner = newOwner;
  portNumber = port;
  eventMask = mask;
  writeBufferSize = writeBuffer;

  std::lock_guard<std::mutex> lock(portLock);
  CloseFd(portHandle);
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

int CSerialPort::StartMonitor() {
  if (threadAlive.load() || !IsOpen()) return 0;
  if (monitorThread.joinable()) monitorThread.join();  // ended by itself earlier
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return 0;
  wakeRead = fds[0];
  wakeWrite = fds[1];
  shutdownRequested = false;
  {
    // The monitor starts from empty queues. Purging here rather than on the
    // new thread means bytes that arrive after StartMonitor returns are kept.
    std::lock_guard<std::mutex> lock(portLock);
    ::tcflush(static_cast<int>(portHandle), TCIOFLUSH);
  }
  threadAlive = true;
  try {
    monitorThread = std::thread(&CSerialPort::MonitorLoop, this);
  } catch (...) {
    threadAlive = false;
    return 0;
  }
  return 1;
}

void CSerialPort::DrainReceiveQueue() {
  for (;;) {
    if (shutdownRequested.load()) return;
    std::uint8_t byte = 0;
    {
      std::lock_guard<std::mutex> lock(portLock);
      if (portHandle == kNoHandle) return;
      const int fd = static_cast<int>(portHandle);
      int queued = 0;
      if (::ioctl(fd, FIONREAD, &queued) != 0) {
        ErrorHook("ClearCommError()");
        return;
      }
      if (queued <= 0) return;
      const ssize_t n = ::read(fd, &byte, 1);
      if (n != 1) {
        if (n < 0 && errno != EAGAIN) ErrorHook("ReadFile()");
        return;
      }
    }
    // Delivered outside the lock: the owner may call Close from here.
    if (owner != nullptr && (eventMask & EV_RXCHAR_BIT))
      owner->OnSerialMessage(WM_COMM_RXCHAR, byte, portNumber);
  }
}

void CSerialPort::MonitorLoop() {
  bool portGone = false;
  while (!shutdownRequested.load()) {
    int fd;
    {
      std::lock_guard<std::mutex> lock(portLock);
      fd = static_cast<int>(portHandle);
    }
    pollfd fds[2] = {{static_cast<int>(wakeRead), POLLIN, 0}, {fd, POLLIN, 0}};
    const nfds_t count = (fd >= 0 && !portGone) ? 2 : 1;
    if (::poll(fds, count, -1) < 0) {
      if (errno == EINTR) continue;
      std::lock_guard<std::mutex> lock(portLock);
      ErrorHook("WaitCommEvent()");
      break;
    }
    if (shutdownRequested.load() || (fds[0].revents & POLLIN)) break;
    if (count < 2) continue;
    if (!(fds[1].revents & POLLIN)) {
      // Hang-up without data: the device went away. Wait for Close only.
      std::lock_guard<std::mutex> lock(portLock);
      ErrorHook("WaitCommEvent()");
      portGone = true;
      continue;
    }
    // A port event: one message per kind in the configured mask, in this order.
    static const struct {
      unsigned bit;
      unsigned message;
    } kEvents[] = {{EV_CTS_BIT, WM_COMM_CTS_DETECTED},
                   {EV_RXFLAG_BIT, WM_COMM_RXFLAG_DETECTED},
                   {EV_BREAK_BIT, WM_COMM_BREAK_DETECTED},
                   {EV_ERR_BIT, WM_COMM_ERR_DETECTED},
                   {EV_RING_BIT, WM_COMM_RING_DETECTED}};
    for (const auto& e : kEvents) {
      if (shutdownRequested.load()) break;
      if ((eventMask & e.bit) && owner != nullptr) owner->OnSerialMessage(e.message, 0, portNumber);
    }
    if (eventMask & EV_RXCHAR_BIT) {
      DrainReceiveQueue();
    } else {
      // Without received-character events nobody takes the bytes; drop them
      // so that poll() does not report the same bytes forever.
      std::lock_guard<std::mutex> lock(portLock);
      if (portHandle != kNoHandle) ::tcflush(static_cast<int>(portHandle), TCIFLUSH);
    }
  }
  threadAlive = false;
}

int CSerialPort::Close() {
  const bool onMonitor =
      monitorThread.joinable() && monitorThread.get_id() == std::this_thread::get_id();
  shutdownRequested = true;
  if (onMonitor) {
    // Called from inside a delivery: the loop sees the request as soon as
    // the delivery returns and leaves; bytes still queued are dropped. The
    // thread object is joined by the next Open, StartMonitor or Close.
    std::lock_guard<std::mutex> lock(portLock);
    CloseFd(portHandle);
    return 1;
  }
  JoinMonitor();
  CloseFd(wakeRead);
  CloseFd(wakeWrite);
  std::lock_guard<std::mutex> lock(portLock);
  if (portHandle != kNoHandle) ::ioctl(static_cast<int>(portHandle), TIOCNXCL);
  CloseFd(portHandle);
  return 1;
}
