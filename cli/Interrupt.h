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
// It must be quick and thread-safe (it sets stop flags).
void SetInterruptAction(std::function<void()> action);

}  // namespace cli
