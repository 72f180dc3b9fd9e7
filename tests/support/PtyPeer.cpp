#include "tests/support/PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>

namespace varnok::test {

namespace {
long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
}  // namespace

PtyPeer::PtyPeer(const std::string& dir, const std::string& name) {
  char slaveName[256] = {0};
  if (openpty(&master_, &slaveKeep_, slaveName, nullptr, nullptr) != 0)
    throw std::runtime_error("openpty failed");
  termios tio{};
  tcgetattr(slaveKeep_, &tio);
  cfmakeraw(&tio);
  tcsetattr(slaveKeep_, TCSANOW, &tio);
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  slavePath_ = slaveName;
  linkPath_ = dir + "/" + name;
  std::filesystem::create_symlink(slavePath_, linkPath_);
}

PtyPeer::~PtyPeer() {
  std::error_code ec;
  std::filesystem::remove(linkPath_, ec);
  Unplug();
}

void PtyPeer::Send(const Bytes& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else {
      pollfd p{master_, POLLOUT, 0};
      poll(&p, 1, 10);
    }
  }
}

Bytes PtyPeer::Receive(std::size_t count, int timeoutMs) {
  Bytes out;
  const long long end = NowMs() + timeoutMs;
  while (out.size() < count) {
    const long long left = end - NowMs();
    if (left <= 0) break;
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    std::uint8_t buf[4096];
    const ssize_t n = read(master_, buf, std::min(sizeof buf, count - out.size()));
    if (n > 0) out.insert(out.end(), buf, buf + n);
  }
  return out;
}

Bytes PtyPeer::ReceiveAll(int quietMs, int maxMs) {
  Bytes out;
  const long long end = NowMs() + maxMs;
  while (NowMs() < end) {
    pollfd p{master_, POLLIN, 0};
    if (poll(&p, 1, quietMs) <= 0) break;
    std::uint8_t buf[4096];
    const ssize_t n = read(master_, buf, sizeof buf);
    if (n <= 0) break;
    out.insert(out.end(), buf, buf + n);
  }
  return out;
}

Bytes PtyPeer::Drain() { return ReceiveAll(0, 100); }

bool PtyPeer::ExclusiveLocked() const {
  int locked = 0;
  if (slaveKeep_ < 0 || ioctl(slaveKeep_, TIOCGEXCL, &locked) != 0) return false;
  return locked != 0;
}

void PtyPeer::Unplug() {
  if (master_ >= 0) close(master_);
  if (slaveKeep_ >= 0) close(slaveKeep_);
  master_ = slaveKeep_ = -1;
}

termios PtyPeer::Settings() const {
  termios tio{};
  tcgetattr(slaveKeep_, &tio);
  return tio;
}

void PtyPeer::SetSettings(const termios& settings) { tcsetattr(slaveKeep_, TCSANOW, &settings); }

}  // namespace varnok::test
