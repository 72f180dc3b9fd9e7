#include "device/PortError.h"

#include "device/Win32Api.h"

namespace varnok {

PortFailure PortFailureFromOsError(int osError) {
  switch (static_cast<DWORD>(osError)) {
    case ERROR_SUCCESS: return PortFailure::None;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME: return PortFailure::NotFound;
    case ERROR_ACCESS_DENIED:  // what CreateFile gives for a COM port another program holds
    case ERROR_SHARING_VIOLATION:
    case ERROR_BUSY: return PortFailure::Busy;
    case ERROR_INVALID_FUNCTION: return PortFailure::NotATerminal;
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEV_NOT_EXIST:
    case ERROR_NOT_READY:
    case ERROR_OPERATION_ABORTED:
    case ERROR_BAD_COMMAND:
    case ERROR_GEN_FAILURE: return PortFailure::Lost;
    default: return PortFailure::Other;
  }
}

std::string OsErrorText(int osError) {
  char text[256] = {0};
  const DWORD length =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                     static_cast<DWORD>(osError), 0, text, sizeof text, nullptr);
  if (length == 0) return "error " + std::to_string(osError);
  // System texts end with "\r\n"; callers put the text into their own lines.
  std::string result(text, length);
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n' ||
                             result.back() == ' '))
    result.pop_back();
  return result;
}

int LastOsError() { return static_cast<int>(GetLastError()); }

}  // namespace varnok
