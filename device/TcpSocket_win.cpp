// Win32 backend of CTcpSocket: Winsock 2, a non-blocking socket whose
// events (WSAEventSelect) are waited on beside the wake signal.
#include <winsock2.h>
#include <ws2tcpip.h>

#include "device/Win32Api.h"

#include "device/Clock.h"
#include "device/PortError.h"
#include "device/TcpSocket.h"
#include "device/WakeSignal.h"

namespace varnok {

struct CTcpSocket::Impl {
  SOCKET socket = INVALID_SOCKET;
  WSAEVENT event = WSA_INVALID_EVENT;
};

namespace {

bool WinsockStarted() {
  static const bool started = [] {
    WSADATA data;
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

// Waits for `what` (FD_* bits) on `s`, `timeoutMs` (negative: no limit), or the wake signal.
SocketWait WaitWithWake(SOCKET s, WSAEVENT event, long what, int timeoutMs, CWakeSignal& wake) {
  // Re-armed every time: FD_WRITE is reported once per blocked send only,
  // and selecting again reports what is already true.
  if (::WSAEventSelect(s, event, what | FD_CLOSE) != 0) return SocketWait::Failed;
  HANDLE handles[2] = {event, reinterpret_cast<HANDLE>(wake.Handle())};
  const DWORD r = ::WaitForMultipleObjects(wake.Valid() ? 2 : 1, handles, FALSE,
                                           timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
  if (r == WAIT_OBJECT_0) {
    WSANETWORKEVENTS events{};
    ::WSAEnumNetworkEvents(s, event, &events);
    return SocketWait::Ready;
  }
  if (r == WAIT_OBJECT_0 + 1) {
    wake.Clear();
    return SocketWait::Woken;
  }
  return r == WAIT_TIMEOUT ? SocketWait::TimedOut : SocketWait::Failed;
}

}  // namespace

CTcpSocket::CTcpSocket() : impl_(new Impl) {}
CTcpSocket::~CTcpSocket() { Close(); }

bool CTcpSocket::IsOpen() const { return impl_->socket != INVALID_SOCKET; }

void CTcpSocket::Close() {
  if (impl_->socket != INVALID_SOCKET) ::closesocket(impl_->socket);
  if (impl_->event != WSA_INVALID_EVENT) ::WSACloseEvent(impl_->event);
  impl_->socket = INVALID_SOCKET;
  impl_->event = WSA_INVALID_EVENT;
}

bool CTcpSocket::Connect(const std::string& host, int port, int timeoutMs, CWakeSignal& wake,
                         std::string& error) {
  Close();
  if (!WinsockStarted()) {
    error = "Winsock is not available";
    return false;
  }
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  addrinfo* found = nullptr;
  const int gai = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
  if (gai != 0) {
    error = "no such host (" + OsErrorText(gai) + ")";
    return false;
  }
  const std::uint64_t deadline = TickMs() + static_cast<std::uint64_t>(timeoutMs);
  error = "no address to connect to";
  for (addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const SOCKET s = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
    if (s == INVALID_SOCKET) {
      error = OsErrorText(::WSAGetLastError());
      continue;
    }
    const WSAEVENT event = ::WSACreateEvent();
    // WSAEventSelect also makes the socket non-blocking.
    if (event == WSA_INVALID_EVENT || ::WSAEventSelect(s, event, FD_CONNECT) != 0) {
      error = OsErrorText(::WSAGetLastError());
      if (event != WSA_INVALID_EVENT) ::WSACloseEvent(event);
      ::closesocket(s);
      continue;
    }
    int failure = 0;
    if (::connect(s, a->ai_addr, static_cast<int>(a->ai_addrlen)) != 0) {
      failure = ::WSAGetLastError();
      if (failure == WSAEWOULDBLOCK) {
        const std::uint64_t now = TickMs();
        const int left = now >= deadline ? 0 : static_cast<int>(deadline - now);
        HANDLE handles[2] = {event, reinterpret_cast<HANDLE>(wake.Handle())};
        const DWORD r = ::WaitForMultipleObjects(wake.Valid() ? 2 : 1, handles, FALSE,
                                                 static_cast<DWORD>(left));
        if (r == WAIT_OBJECT_0) {
          WSANETWORKEVENTS events{};
          ::WSAEnumNetworkEvents(s, event, &events);
          failure = events.iErrorCode[FD_CONNECT_BIT];
        } else {
          ::WSACloseEvent(event);
          ::closesocket(s);
          if (r == WAIT_OBJECT_0 + 1) {
            wake.Clear();
            error = "interrupted";
          } else {
            error = "no answer within " + std::to_string((timeoutMs + 999) / 1000) + " s";
          }
          break;
        }
      }
    }
    if (failure != 0) {
      error = OsErrorText(failure);
      ::WSACloseEvent(event);
      ::closesocket(s);
      continue;
    }
    // Frames are small and answered one by one: no Nagle delay.
    const BOOL one = TRUE;
    ::setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
    impl_->socket = s;
    impl_->event = event;
    break;
  }
  ::freeaddrinfo(found);
  if (IsOpen()) error.clear();
  return IsOpen();
}

int CTcpSocket::Send(const std::uint8_t* data, int length) {
  if (!IsOpen()) return -1;
  const int n = ::send(impl_->socket, reinterpret_cast<const char*>(data), length, 0);
  if (n >= 0) return n;
  return ::WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
}

int CTcpSocket::Receive(std::uint8_t* buffer, int capacity) {
  if (!IsOpen()) return -1;
  const int n = ::recv(impl_->socket, reinterpret_cast<char*>(buffer), capacity, 0);
  if (n > 0) return n;
  if (n == 0) return -1;  // the peer closed
  return ::WSAGetLastError() == WSAEWOULDBLOCK ? 0 : -1;
}

SocketWait CTcpSocket::Wait(bool forWrite, int timeoutMs, CWakeSignal& wake) {
  if (!IsOpen()) return SocketWait::Failed;
  return WaitWithWake(impl_->socket, impl_->event, forWrite ? FD_WRITE : FD_READ, timeoutMs, wake);
}

}  // namespace varnok
