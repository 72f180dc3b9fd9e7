#pragma once
// A real ser2net on 127.0.0.1 in front of device files of a test, with a
// configuration the test writes: one connection per device, each on a
// free TCP port of its own. Stopped (and waited for) when the object goes.

#include <sys/types.h>

#include <string>
#include <vector>

namespace varnok::test {

class Ser2net {
 public:
  enum class Accepter { Rfc2217, Raw };

  // Serves every path of `devices` in `folder` (where the configuration
  // goes); returns once each port takes connections, or fails the test.
  Ser2net(const std::string& folder, const std::vector<std::string>& devices,
          Accepter accepter = Accepter::Rfc2217);
  ~Ser2net();
  Ser2net(const Ser2net&) = delete;
  Ser2net& operator=(const Ser2net&) = delete;

  bool Running() const { return pid_ > 0; }
  // The TCP port of device k, and its URL for --port.
  int Port(std::size_t k) const { return ports_.at(k); }
  std::string Url(std::size_t k) const;
  // Ends the server at once (SIGKILL): every connection drops.
  void Kill();

  // A TCP port on 127.0.0.1 that nothing listens on now.
  static int FreePort();

 private:
  Accepter accepter_;
  std::vector<int> ports_;
  pid_t pid_ = -1;
};

// Forwards TCP connections from its own port on 127.0.0.1 to `targetPort`,
// holding every byte `delayMs` in each direction. One connection at a
// time: a new one drops the one before, as ser2net's kickolduser does.
class DelayProxy {
 public:
  DelayProxy(int targetPort, int delayMs);
  ~DelayProxy();
  DelayProxy(const DelayProxy&) = delete;
  DelayProxy& operator=(const DelayProxy&) = delete;
  int Port() const { return port_; }

 private:
  struct State;
  State* state_;
  int port_ = 0;
};

}  // namespace varnok::test
