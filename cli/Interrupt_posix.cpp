#include <signal.h>
#include <unistd.h>

#include <thread>

#include "cli/Interrupt.h"
#include "cli/InterruptBackend.h"

namespace cli {

void InstallInterruptWatch() {
  // Blocked here, every later thread inherits the mask, and the watcher
  // takes the signals synchronously with sigwait.
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set]() {
    int count = 0;
    for (;;) {
      int signal = 0;
      if (sigwait(&set, &signal) != 0) continue;
      if (++count > 1) _exit(130);
      OnInterrupt();
    }
  }).detach();
}

}  // namespace cli
