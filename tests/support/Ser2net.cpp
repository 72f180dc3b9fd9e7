#include "tests/support/Ser2net.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <deque>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

namespace varnok::test {

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

int ConnectTo(int port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const sockaddr_in a = Loopback(port);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0) return fd;
  ::close(fd);
  return -1;
}

// A socket listening on a free port of 127.0.0.1; `port` gets its number.
int Listen(int& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a = Loopback(0);
  socklen_t len = sizeof a;
  ::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a);
  ::listen(fd, 4);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}

}  // namespace

int Ser2net::FreePort() {
  int port = 0;
  ::close(Listen(port));
  return port;
}

std::string Ser2net::Url(std::size_t k) const {
  return std::string(accepter_ == Accepter::Raw ? "socket" : "rfc2217") + "://127.0.0.1:" +
         std::to_string(Port(k));
}

Ser2net::Ser2net(const std::string& folder, const std::vector<std::string>& devices,
                 Accepter accepter)
    : accepter_(accepter) {
  const std::string config = folder + "/ser2net.yaml";
  {
    std::ofstream out(config);
    out << "%YAML 1.1\n---\n";
    for (std::size_t k = 0; k < devices.size(); ++k) {
      ports_.push_back(FreePort());
      out << "connection: &tool" << k << "\n"
          << "  accepter: "
          << (accepter == Accepter::Rfc2217 ? "telnet(rfc2217),tcp,"
                                            : accepter == Accepter::Telnet ? "telnet,tcp," : "tcp,")
          << "127.0.0.1," << ports_.back() << "\n"
          << "  connector: serialdev," << devices[k] << ",115200n81,local\n"
          << "  options:\n    kickolduser: true\n    chardelay: false\n";
    }
  }
  pid_ = ::fork();
  if (pid_ == 0) {
    const int quiet = ::open("/dev/null", O_RDWR);
    ::dup2(quiet, 0);
    ::dup2(quiet, 1);
    ::dup2(quiet, 2);
    // -n: stay in front; -u: no UUCP lock files (the devices are the test's).
    ::execlp("ser2net", "ser2net", "-n", "-u", "-c", config.c_str(), "-P",
             (folder + "/ser2net.pid").c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const auto until = Clock::now() + std::chrono::seconds(10);
  for (std::size_t k = 0; k < ports_.size(); ++k) {
    int fd = -1;
    while ((fd = ConnectTo(ports_[k])) < 0 && Clock::now() < until)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (fd < 0) {
      ADD_FAILURE() << "ser2net does not listen on port " << ports_[k];
      return;
    }
    ::close(fd);
  }
}

void Ser2net::Kill() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

Ser2net::~Ser2net() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

ScriptedServer::ScriptedServer(std::function<void(int fd)> session) {
  listener_ = Listen(port_);
  thread_ = std::thread([this, session] {
    while (!stop_) {
      const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) break;
      client_ = fd;
      if (!stop_) session(fd);
      client_ = -1;
      ::close(fd);
    }
  });
}

ScriptedServer::~ScriptedServer() {
  stop_ = true;
  ::shutdown(listener_, SHUT_RDWR);
  const int client = client_.load();
  if (client >= 0) ::shutdown(client, SHUT_RDWR);
  thread_.join();
  ::close(listener_);
}

struct DelayProxy::State {
  int listener = -1;
  int targetPort = 0;
  std::chrono::milliseconds delay{0};
  std::atomic<bool> stop{false};
  int wake[2] = {-1, -1};
  std::thread thread;

  struct Chunk {
    Clock::time_point due;
    std::string bytes;
  };

  void Run() {
    int a = -1, b = -1;  // client side, server side
    std::deque<Chunk> toServer, toClient;
    bool closing = false;
    auto drop = [&] {
      if (a >= 0) ::close(a);
      if (b >= 0) ::close(b);
      a = b = -1;
      toServer.clear();
      toClient.clear();
      closing = false;
    };
    while (!stop) {
      int timeout = -1;
      const auto now = Clock::now();
      for (const auto* q : {&toServer, &toClient}) {
        if (q->empty()) continue;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(q->front().due - now);
        const int ms = static_cast<int>(std::max<long long>(0, left.count()));
        timeout = timeout < 0 ? ms : std::min(timeout, ms);
      }
      if (closing && toServer.empty() && toClient.empty()) drop();
      pollfd p[4] = {{listener, POLLIN, 0}, {wake[0], POLLIN, 0}, {a, POLLIN, 0}, {b, POLLIN, 0}};
      ::poll(p, a >= 0 && !closing ? 4 : 2, timeout);
      if (stop) break;
      if (p[0].revents & POLLIN) {
        const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client >= 0) {
          drop();
          a = client;
          b = ConnectTo(targetPort);
          if (b < 0) drop();
          continue;
        }
      }
      char buffer[4096];
      const auto when = Clock::now() + delay;
      if (a >= 0 && !closing) {
        for (auto [fd, q] : {std::pair{a, &toServer}, std::pair{b, &toClient}}) {
          const int i = fd == a ? 2 : 3;
          if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
          const ssize_t n = ::read(fd, buffer, sizeof buffer);
          if (n <= 0)
            closing = true;
          else
            q->push_back({when, std::string(buffer, static_cast<std::size_t>(n))});
        }
      }
      const auto t = Clock::now();
      for (auto [fd, q] : {std::pair{b, &toServer}, std::pair{a, &toClient}}) {
        while (fd >= 0 && !q->empty() && q->front().due <= t) {
          const std::string& s = q->front().bytes;
          if (::send(fd, s.data(), s.size(), MSG_NOSIGNAL) < 0) closing = true;
          q->pop_front();
        }
      }
    }
    drop();
  }
};

DelayProxy::DelayProxy(int targetPort, int delayMs) : state_(new State) {
  state_->listener = Listen(port_);
  state_->targetPort = targetPort;
  state_->delay = std::chrono::milliseconds(delayMs);
  if (::pipe2(state_->wake, O_CLOEXEC) != 0) ADD_FAILURE() << "pipe";
  state_->thread = std::thread([s = state_] { s->Run(); });
}

DelayProxy::~DelayProxy() {
  state_->stop = true;
  const char b = 1;
  if (::write(state_->wake[1], &b, 1) != 1) ADD_FAILURE() << "wake";
  state_->thread.join();
  ::close(state_->listener);
  ::close(state_->wake[0]);
  ::close(state_->wake[1]);
  delete state_;
}

}  // namespace varnok::test
