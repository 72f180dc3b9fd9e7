#pragma once
// CRemoteLine: a tool's serial line on another machine, reached over TCP
// (RemotePorts.h names it). The third line backend beside the POSIX and
// Win32 ones: CSyncSerialPort and CSerialPort choose it by the port's
// number when they open, and it offers the calls they need of a line.
//
// rfc2217: Telnet with BINARY both ways, SUPPRESS-GO-AHEAD both ways and
// COM-PORT-OPTION (RFC 2217). The line is set as a local one is (baud,
// data size, parity, stop bits, no flow control, DTR and RTS on); a server
// that refuses COM-PORT-OPTION keeps its own settings (Notice() says so)
// and carries the bytes all the same; one that refuses BINARY cannot carry
// them unchanged, and the open fails before anything is sent. Answers to
// the modem-line commands are never waited for. What the server sends of
// its own (line and modem state) is read and dropped, never data.
// socket: the bytes as they are, nothing to set.
//
// A connection the server closes (or that fails) is the line hanging up:
// what came before it may still be read, then Read and WaitReadable
// return -1.
//
// Threads: one thread uses the line; the wake signals passed in may be
// raised from any thread, and every wait (the connect included) ends at
// once when they are.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "device/RemotePorts.h"
#include "device/TcpSocket.h"
#include "device/TelnetCodec.h"
#include "device/WakeSignal.h"

namespace varnok {

struct LineSettings {
  unsigned baud = 115200;
  char parity = 'N';  // 'N', 'O' or 'E'
  int dataBits = 8;
  int stopBits = 1;
};

class CRemoteLine {
 public:
  // Time allowed to connect, and then to negotiate, ms.
  static constexpr int kConnectTimeoutMs = 5000;
  static constexpr int kNegotiationTimeoutMs = 3000;

  // Connects and sets the line up. False with the reason in `error`.
  bool Open(const RemoteAddress& address, const LineSettings& settings, CWakeSignal& wake,
            std::string& error);
  void Close();
  bool IsOpen() const { return socket_.IsOpen(); }

  // Writes `length` data bytes within `timeoutMs`. Returns the count
  // written (less when the time ran out or `wake` was raised), -1 when the
  // connection is gone.
  int Write(const std::uint8_t* data, int length, int timeoutMs, CWakeSignal& wake);
  // Never waits: up to `capacity` received data bytes; 0 when none; -1 when
  // the line hung up and nothing is left of what came before.
  int Read(std::uint8_t* buffer, int capacity);
  // 1 when data can be read, 0 after `timeoutMs` (negative: no limit) or
  // when `wake` was raised (it is cleared), -1 when the line hung up.
  int WaitReadable(int timeoutMs, CWakeSignal& wake);
  // Bit 0: what was received and not read; bit 1: what was not yet sent to
  // the tool. rfc2217 has the server purge its buffers too.
  void Purge(int bits);

  // Set by Open when the line works with a limit the caller should know of.
  const std::string& Notice() const { return notice_; }

 private:
  // Takes what the socket holds now; false when the connection ended.
  bool Pump();
  void TakeMessage(const telnet::Message& message);
  bool SendAll(const std::vector<std::uint8_t>& bytes, int timeoutMs, CWakeSignal& wake);
  // Pumps until `done` or `timeoutMs`; false when the connection ended.
  template <typename Done>
  bool PumpUntil(Done done, int timeoutMs, CWakeSignal& wake);
  bool Negotiate(const LineSettings& settings, CWakeSignal& wake, std::string& error);

  CTcpSocket socket_;
  bool telnet_ = false;
  bool hungUp_ = false;
  std::string url_;
  telnet::CTelnetDecoder decoder_;
  std::unique_ptr<telnet::COptionNegotiation> options_;
  std::vector<std::uint8_t> answered_;  // COM-PORT commands the server answered
  std::vector<std::uint8_t> replies_;   // negotiation answers waiting to go out
  std::deque<std::uint8_t> received_;
  std::string notice_;
  CWakeSignal neverRaised_;  // for the short sends that nothing interrupts
};

}  // namespace varnok
