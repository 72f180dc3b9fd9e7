#pragma once
// The one place where operating-system error codes become port failures.
// Each platform backend (PortError_posix.cpp / PortError_win.cpp) maps its
// own codes; callers only see PortFailure and the raw code for messages.

#include <string>

namespace varnok {

enum class PortFailure {
  None,
  NotFound,          // no such device (unplugged, wrong number)
  PermissionDenied,  // the user may not open the device
  Busy,              // another program holds the port
  NotATerminal,      // the path exists but is not a serial device
  Lost,              // the device went away while open
  Other,
};

// Maps a raw OS error (errno or GetLastError()) to a failure kind.
PortFailure PortFailureFromOsError(int osError);

// The OS's own text for a raw error code.
std::string OsErrorText(int osError);

// The last OS error of the calling thread (errno or GetLastError()).
int LastOsError();

}  // namespace varnok
