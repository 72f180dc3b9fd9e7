#pragma once
// The far end of a pseudo-terminal: stands in for a tool in tests that
// script the replies byte by byte. The slave side is published in a device
// folder under a family name (ttyACM<k> / ttyUSB<k>) so that the real port
// code opens it.

#include <termios.h>

#include <cstdint>
#include <string>
#include <vector>

namespace varnok::test {

using Bytes = std::vector<std::uint8_t>;

class PtyPeer {
 public:
  // Opens a pty in raw mode and links `dir`/`name` to its slave.
  PtyPeer(const std::string& dir, const std::string& name);
  ~PtyPeer();
  PtyPeer(const PtyPeer&) = delete;
  PtyPeer& operator=(const PtyPeer&) = delete;

  const std::string& SlavePath() const { return slavePath_; }
  const std::string& LinkPath() const { return linkPath_; }

  // Writes bytes towards the port under test.
  void Send(const Bytes& bytes);
  // Reads what the port under test wrote: waits until `count` bytes came or
  // `timeoutMs` passed; returns what came.
  Bytes Receive(std::size_t count, int timeoutMs = 2000);
  // Reads whatever arrives within `quietMs` of silence (at most `maxMs`).
  Bytes ReceiveAll(int quietMs = 50, int maxMs = 3000);
  // Bytes the port under test wrote that are waiting, without blocking.
  Bytes Drain();

  // Closes the master: the port under test sees the device vanish.
  void Unplug();

  // The line's settings as the port under test left them, and a way to
  // spoil them before it opens.
  termios Settings() const;
  void SetSettings(const termios& settings);

  // Whether the line is marked for exclusive use (TIOCEXCL), as a normal
  // user would find it at the next open. Root ignores the mark, so tests
  // ask the line itself.
  bool ExclusiveLocked() const;

 private:
  int master_ = -1;
  int slaveKeep_ = -1;  // keeps the line alive between opens of the slave
  std::string slavePath_;
  std::string linkPath_;
};

}  // namespace varnok::test
