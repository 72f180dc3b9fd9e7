#pragma once
// CTcpSocket: one TCP connection to a serial-over-network server, in
// non-blocking mode. Only the operating system's calls live in the
// backends (TcpSocket_posix.cpp, TcpSocket_win.cpp); what travels over it
// is RemoteLine's business.
//
// Threads: one thread uses the socket; the wake signal it waits on may be
// raised from any thread (CWakeSignal).

#include <cstdint>
#include <memory>
#include <string>

class CWakeSignal;

namespace varnok {

enum class SocketWait {
  Ready,     // readable (or writable when asked), closed by the peer included
  Woken,     // the wake signal was raised (and is cleared)
  TimedOut,
  Failed,
};

class CTcpSocket {
 public:
  CTcpSocket();
  ~CTcpSocket();
  CTcpSocket(const CTcpSocket&) = delete;
  CTcpSocket& operator=(const CTcpSocket&) = delete;

  // Resolves `host` and connects to the first address that answers within
  // `timeoutMs` in all. False with the reason in `error` ("connection
  // refused", "no such host", "no answer within 5 s", "interrupted" when
  // `wake` was raised).
  bool Connect(const std::string& host, int port, int timeoutMs, CWakeSignal& wake,
               std::string& error);
  void Close();
  bool IsOpen() const;

  // Never waits. Bytes sent (0: no room now); -1 when the connection failed.
  int Send(const std::uint8_t* data, int length);
  // Never waits. Bytes received; 0 when none are there; -1 when the peer
  // closed the connection or it failed.
  int Receive(std::uint8_t* buffer, int capacity);
  // Waits until readable (or writable with `forWrite`), `timeoutMs` passed
  // (negative: no limit) or `wake` is raised.
  SocketWait Wait(bool forWrite, int timeoutMs, CWakeSignal& wake);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace varnok
