#pragma once
// CWakeSignal: a level-triggered wake-up for one waiting thread. Any thread
// may Raise it; it stays raised until the waiting thread Clears it, so a
// Raise that comes just before the wait begins is not lost. The platform
// wait (poll on POSIX, WaitForMultipleObjects on Win32) takes Handle()
// beside the port.
//
// A raised signal only says "look at your stop flag now"; whoever raises it
// sets that flag first. A stale raise therefore costs one extra loop turn,
// never a wrong result.

#include <cstdint>

class CWakeSignal {
 public:
  CWakeSignal();   // Valid() is false when the system refused the resources
  ~CWakeSignal();
  CWakeSignal(const CWakeSignal&) = delete;
  CWakeSignal& operator=(const CWakeSignal&) = delete;

  bool Valid() const;
  // Any thread.
  void Raise();
  // The waiting thread, after its wait reported the signal.
  void Clear();
  // What the wait watches: a readable descriptor (POSIX) or an event
  // HANDLE (Win32). Fixed for the object's lifetime.
  std::intptr_t Handle() const { return readHandle_; }

 private:
  std::intptr_t readHandle_;
  std::intptr_t writeHandle_;  // POSIX: the pipe's write end; Win32: unused
};
