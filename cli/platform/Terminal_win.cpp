#include "cli/platform/Terminal.h"

#include <io.h>
#include <stdio.h>
#include <windows.h>

namespace cli {

bool StdoutIsTerminal() { return _isatty(_fileno(stdout)) != 0; }

int TerminalWidth() {
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) {
    return info.srWindow.Right - info.srWindow.Left + 1;
  }
  return 80;
}

}  // namespace cli
