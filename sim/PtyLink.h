#pragma once
// The simulated tool's line: a pseudo-terminal in raw mode whose slave is
// published as a symbolic link (ttyACM<k> / ttyUSB<k>) in a device folder.
//
// The simulator keeps the slave open itself, so the line stays up while the
// updater closes and reopens the port (as a USB serial device does while
// plugged in). Close() is the unplug: the link goes and the pty closes, so
// an updater still holding the port sees the device vanish.
//
// Opens of the slave by others are watched from before the link appears
// (inotify), so an updater that opens the port the moment the link (or the
// ready file) shows up is never missed.

#include <functional>
#include <string>

namespace varnok::sim {

class PtyLink {
 public:
  explicit PtyLink(std::string linkPath) : linkPath_(std::move(linkPath)) {}
  ~PtyLink() { Close(); }
  PtyLink(const PtyLink&) = delete;
  PtyLink& operator=(const PtyLink&) = delete;

  // Opens a new pty and publishes the link. A link left behind by an
  // earlier run whose target is gone is replaced; any other existing file
  // (a real device, a link to a live device) is left alone and the open
  // fails. False with a message in `error`.
  bool Open(std::string* error);

  // Removes the link and closes both ends. Safe to call when closed.
  void Close();

  bool IsOpen() const { return master_ >= 0; }
  // The master end, non-blocking; -1 when closed.
  int MasterFd() const { return master_; }
  const std::string& LinkPath() const { return linkPath_; }
  const std::string& SlavePath() const { return slavePath_; }

  // Readable (inotify events) once someone opened the slave since Open();
  // -1 when closed or when the system cannot watch it.
  int OpenWatchFd() const { return openWatch_; }

  // Bytes written towards the updater that it has not read yet, those the
  // kernel still carries across the pty included.
  int PendingTowardsPeer() const;

  // Waits until the updater has read every byte written towards it: a
  // hang-up drops what it has not read. `sleepMs` sleeps and returns false
  // when the wait must end early (a stop). False when the bytes were not
  // all read within about `maxMs` or the wait was stopped.
  bool WaitPeerRead(int maxMs, const std::function<bool(int)>& sleepMs) const;

 private:
  std::string linkPath_;
  std::string slavePath_;
  int master_ = -1;
  int slaveKeep_ = -1;
  int openWatch_ = -1;
  bool linked_ = false;
};

}  // namespace varnok::sim
