#pragma once
// CPortFolderWatch: waits until tool ports may have come or gone, without
// Qt, for the command-line tool (the window watches the same folder
// through Qt). Linux (PortFolderWatch_linux.cpp): inotify on the folder of
// the port devices ($VARNOK_DEV_DIR or /dev). Elsewhere
// (PortFolderWatch_other.cpp): no notification; every wait is a short pause,
// so callers rescan at that pace.
//
// Threads: one object belongs to one thread.

namespace varnok {

class CPortFolderWatch {
 public:
  // Starts watching PortDeviceDir(). A folder that cannot be watched (it
  // does not exist yet) degrades to pauses.
  CPortFolderWatch();
  ~CPortFolderWatch();
  CPortFolderWatch(const CPortFolderWatch&) = delete;
  CPortFolderWatch& operator=(const CPortFolderWatch&) = delete;

  // Blocks until something in the folder changed or `ms` passed; true
  // when a change was seen (false may still hide one: rescan anyway).
  bool WaitForChange(int ms);

 private:
  int fd_ = -1;
};

}  // namespace varnok
