#include "sim/PtyLink.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace varnok::sim {

namespace {

std::string ErrnoText(const std::string& what) { return what + ": " + std::strerror(errno); }

// Removes a link left behind by an earlier run; false when the path holds
// anything that may still be in use.
bool ClearStaleLink(const std::string& path, std::string* error) {
  struct stat link {};
  if (::lstat(path.c_str(), &link) != 0) return true;  // nothing there
  struct stat target {};
  if (S_ISLNK(link.st_mode) && ::stat(path.c_str(), &target) != 0) {
    if (::unlink(path.c_str()) == 0) return true;
    if (error != nullptr) *error = ErrnoText("cannot remove the stale link " + path);
    return false;
  }
  if (error != nullptr)
    *error = path + " already exists (a device, or a link to a live one); not replacing it";
  return false;
}

}  // namespace

bool PtyLink::Open(std::string* error) {
  Close();
  if (!ClearStaleLink(linkPath_, error)) return false;

  char slaveName[256] = {0};
  if (::openpty(&master_, &slaveKeep_, slaveName, nullptr, nullptr) != 0) {
    if (error != nullptr) *error = ErrnoText("openpty failed");
    master_ = slaveKeep_ = -1;
    return false;
  }
  termios tio{};
  ::tcgetattr(slaveKeep_, &tio);
  ::cfmakeraw(&tio);
  ::cfsetispeed(&tio, B115200);
  ::cfsetospeed(&tio, B115200);
  ::tcsetattr(slaveKeep_, TCSANOW, &tio);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slaveKeep_, F_SETFD, FD_CLOEXEC);
  slavePath_ = slaveName;
  // Before the link is published: nobody can have opened the slave yet.
  openWatch_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (openWatch_ >= 0 && ::inotify_add_watch(openWatch_, slavePath_.c_str(), IN_OPEN) < 0) {
    ::close(openWatch_);
    openWatch_ = -1;
  }

  if (::symlink(slavePath_.c_str(), linkPath_.c_str()) != 0) {
    if (error != nullptr) *error = ErrnoText("cannot create the link " + linkPath_);
    Close();
    return false;
  }
  linked_ = true;
  return true;
}

void PtyLink::Close() {
  if (linked_) {
    ::unlink(linkPath_.c_str());
    linked_ = false;
  }
  if (openWatch_ >= 0) ::close(openWatch_);
  if (master_ >= 0) ::close(master_);
  if (slaveKeep_ >= 0) ::close(slaveKeep_);
  master_ = slaveKeep_ = openWatch_ = -1;
}

int PtyLink::PendingTowardsPeer() const {
  if (slaveKeep_ < 0) return 0;
  // Bytes written to the master reach the slave's queue later, on a kernel
  // work queue; asking whether the slave is readable runs that work first,
  // so the count below holds the bytes still on their way.
  pollfd readable{slaveKeep_, POLLIN, 0};
  ::poll(&readable, 1, 0);
  int queued = 0;
  if (::ioctl(slaveKeep_, FIONREAD, &queued) != 0) return 0;
  return queued;
}

bool PtyLink::WaitPeerRead(int maxMs, const std::function<bool(int)>& sleepMs) const {
  constexpr int kPollMs = 2;
  for (int waited = 0; PendingTowardsPeer() > 0; waited += kPollMs)
    if (waited >= maxMs || !sleepMs(kPollMs)) return false;
  return true;
}

}  // namespace varnok::sim
