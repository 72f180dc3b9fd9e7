#include <windows.h>

#include "cli/platform/Interrupt.h"
#include "cli/platform/InterruptBackend.h"

namespace cli {

namespace {

BOOL WINAPI ConsoleHandler(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) return FALSE;
  OnInterrupt();  // the system runs handlers on a thread of their own
  return TRUE;
}
}  // namespace

void InstallInterruptWatch() { SetConsoleCtrlHandler(ConsoleHandler, TRUE); }

}  // namespace cli
