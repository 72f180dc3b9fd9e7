// POSIX backend of CTcpSocket: getaddrinfo, a non-blocking connect, poll.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "device/Clock.h"
#include "device/PortError.h"
#include "device/TcpSocket.h"
#include "device/WakeSignal.h"

namespace varnok {

struct CTcpSocket::Impl {
  int fd = -1;
};

namespace {

// Waits on `fd` and the wake signal; `events` as poll takes them.
SocketWait PollWithWake(int fd, short events, int timeoutMs, CWakeSignal& wake) {
  pollfd p[2] = {{fd, events, 0}, {static_cast<int>(wake.Handle()), POLLIN, 0}};
  const int r = ::poll(p, wake.Valid() ? 2 : 1, timeoutMs < 0 ? -1 : timeoutMs);
  if (r < 0) return errno == EINTR ? SocketWait::Woken : SocketWait::Failed;
  if (r == 0) return SocketWait::TimedOut;
  if (p[0].revents) return SocketWait::Ready;
  wake.Clear();
  return SocketWait::Woken;
}

}  // namespace

CTcpSocket::CTcpSocket() : impl_(new Impl) {}
CTcpSocket::~CTcpSocket() { Close(); }

bool CTcpSocket::IsOpen() const { return impl_->fd >= 0; }

void CTcpSocket::Close() {
  if (impl_->fd >= 0) ::close(impl_->fd);
  impl_->fd = -1;
}

bool CTcpSocket::Connect(const std::string& host, int port, int timeoutMs, CWakeSignal& wake,
                         std::string& error) {
  Close();
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  const int gai = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (gai != 0) {
    error = gai == EAI_SYSTEM ? OsErrorText(errno) : std::string("no such host (") + gai_strerror(gai) + ")";
    return false;
  }
  const std::uint64_t deadline = TickMs() + static_cast<std::uint64_t>(timeoutMs);
  error = "no address to connect to";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      error = OsErrorText(errno);
      continue;
    }
    int ok = ::connect(fd, a->ai_addr, a->ai_addrlen) == 0 ? 0 : errno;
    if (ok == EINPROGRESS) {
      const std::uint64_t now = TickMs();
      const int left = now >= deadline ? 0 : static_cast<int>(deadline - now);
      const SocketWait w = PollWithWake(fd, POLLOUT, left, wake);
      socklen_t len = sizeof ok;
      if (w == SocketWait::Ready) {
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &ok, &len);
      } else {
        ::close(fd);
        if (w == SocketWait::Woken) {
          error = "interrupted";
          break;
        }
        error = "no answer within " + std::to_string((timeoutMs + 999) / 1000) + " s";
        if (w == SocketWait::TimedOut) break;
        continue;
      }
    }
    if (ok != 0) {
      error = OsErrorText(ok);
      ::close(fd);
      continue;
    }
    // Frames are small and answered one by one: no Nagle delay.
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    impl_->fd = fd;
    break;
  }
  ::freeaddrinfo(found);
  if (impl_->fd >= 0) error.clear();
  return impl_->fd >= 0;
}

int CTcpSocket::Send(const std::uint8_t* data, int length) {
  if (impl_->fd < 0) return -1;
  const ssize_t n = ::send(impl_->fd, data, static_cast<size_t>(length), MSG_NOSIGNAL);
  if (n >= 0) return static_cast<int>(n);
  return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
}

int CTcpSocket::Receive(std::uint8_t* buffer, int capacity) {
  if (impl_->fd < 0) return -1;
  const ssize_t n = ::recv(impl_->fd, buffer, static_cast<size_t>(capacity), 0);
  if (n > 0) return static_cast<int>(n);
  if (n == 0) return -1;  // the peer closed
  return (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) ? 0 : -1;
}

SocketWait CTcpSocket::Wait(bool forWrite, int timeoutMs, CWakeSignal& wake) {
  if (impl_->fd < 0) return SocketWait::Failed;
  return PollWithWake(impl_->fd, forWrite ? POLLOUT : POLLIN, timeoutMs, wake);
}

}  // namespace varnok
