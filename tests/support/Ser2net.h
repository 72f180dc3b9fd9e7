#pragma once
// A real ser2net on 127.0.0.1 in front of device files of a test, with a
// configuration the test writes: one connection per device, each on a
// free TCP port of its own. Stopped (and waited for) when the object goes.

#include <sys/types.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace varnok::test {

class Ser2net {
 public:
  // Rfc2217: telnet(rfc2217); Telnet: Telnet without COM-PORT-OPTION; Raw: tcp.
  enum class Accepter { Rfc2217, Telnet, Raw };

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

// A scripted peer on 127.0.0.1 for what no real server does (refusing
// binary transmission, flooding): `session` runs on the server's thread
// for each connection, with its socket, until it returns or the object
// goes (the socket is then shut down under it).
class ScriptedServer {
 public:
  explicit ScriptedServer(std::function<void(int fd)> session);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;
  int Port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::atomic<int> client_{-1};
  std::atomic<bool> stop_{false};
  std::thread thread_;
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
