#pragma once
// Every way the command-line tool is asked to stop: Ctrl-C, SIGTERM, SIGHUP
// (the terminal closed), SIGPIPE and a write that finds its reader gone
// (EPIPE). One backend per platform (Interrupt_posix.cpp, Interrupt_win.cpp).
//
// InstallInterruptWatch must be called once, on the main thread, before any
// other thread starts. From then on an interrupt sets InterruptRequested()
// and calls the registered action (on a thread of the backend's own, never
// in a signal handler). Only the first interrupt counts: later ones (a
// second Ctrl-C during the cancel) change nothing, so a cancel always ends
// the way the first one began it.

#include <functional>

namespace cli {

void InstallInterruptWatch();
bool InterruptRequested();
// A stop found by the program itself (the reader of its output went away):
// as an interrupt, with the action run on another thread, so any thread may
// call it, also one that holds an output lock.
void RequestInterrupt();
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
