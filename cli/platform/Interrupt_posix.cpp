#include <signal.h>
#include <unistd.h>

#include <thread>

#include "cli/platform/Interrupt.h"
#include "cli/platform/InterruptBackend.h"

namespace cli {

void InstallInterruptWatch() {
  // Blocked here, every later thread inherits the mask, and the watcher
  // takes the signals synchronously with sigwait.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  // Blocked, a write to a closed pipe fails with EPIPE instead of killing
  // the program; the writer turns that into a stop (RequestInterrupt).
  sigaddset(&set, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set]() {
    for (;;) {
      int signal = 0;
      if (sigwait(&set, &signal) == 0) OnInterrupt();
    }
  }).detach();
}

}  // namespace cli
