#pragma once
// Ctrl-C (and SIGTERM) for the command-line tool. One backend per platform
// (Interrupt_posix.cpp, Interrupt_win.cpp).
//
// InstallInterruptWatch must be called once, on the main thread, before any
// other thread starts. From then on an interrupt sets InterruptRequested()
// and calls the registered action (on a thread of the backend's own, never
// in a signal handler). A second interrupt ends the process at once with
// status 130.

#include <functional>

namespace cli {

void InstallInterruptWatch();
bool InterruptRequested();
// Action to run on an interrupt (replaces the previous one; empty clears it).
// It must be quick and thread-safe (it sets stop flags, or ends the process).
void SetInterruptAction(std::function<void()> action);

// Another action for the lifetime of the object (a download run's stop
// request); the one before comes back when it ends.
class ScopedInterruptAction {
 public:
  explicit ScopedInterruptAction(std::function<void()> action);
  ~ScopedInterruptAction();
  ScopedInterruptAction(const ScopedInterruptAction&) = delete;
  ScopedInterruptAction& operator=(const ScopedInterruptAction&) = delete;

 private:
  std::function<void()> previous_;
};

}  // namespace cli
