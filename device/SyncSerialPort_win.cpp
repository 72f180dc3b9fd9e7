// Win32 backend of CSyncSerialPort: a non-overlapped COM handle whose
// time-outs make ReadFile/WriteFile return on their own.
#include "device/Win32Api.h"

#include <cstdio>
#include <string>

#include "device/Clock.h"
#include "device/PortNames.h"
#include "device/SyncSerialPort.h"

using varnok::LastOsError;
using varnok::PortFailure;
using varnok::PortFailureFromOsError;

namespace {

// The DCB is 28 bytes on every Windows ABI (only DWORD, WORD and byte-sized
// members); DCBlength must say so or GetCommState refuses the structure.
static_assert(sizeof(DCB) == 28, "DCB layout differs from the Win32 ABI");

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

}  // namespace

int CSyncSerialPort::OpenLine(int portNumber, unsigned baud, ISerialNotify* notify) {
  notifyWindow = notify;
  if (openFlag) return 1;

  const std::string path = varnok::PortDevicePath(portNumber);
  if (path.empty()) {
    lastOpenFailure = PortFailure::NotFound;
    lastOpenOsError = ERROR_FILE_NOT_FOUND;
    return 0;
  }
  // Exclusive (no sharing), synchronous I/O.
  const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    lastOpenOsError = LastOsError();
    lastOpenFailure = PortFailureFromOsError(lastOpenOsError);
    return 0;
  }

  // Line format 8N1 at the given rate; every other field (flow control,
  // special characters) stays as the driver reports it. The error code is
  // taken right after the step that failed, so the text names its cause.
  const char* failureFormat = nullptr;
  int err = 0;
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  (void)::GetCommState(h, &dcb);  // a failure shows in SetCommState below
  dcb.BaudRate = baud;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  if (!::SetCommState(h, &dcb) ||
      !::SetupComm(h, static_cast<DWORD>(kQueueSize), static_cast<DWORD>(kQueueSize))) {
    err = LastOsError();
    failureFormat = "SetCommState failed, error = %d";
  } else {
    const DWORD multiplier = TimeoutMultiplier(baud);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = multiplier;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(kReadTotalConstantMs);
    timeouts.WriteTotalTimeoutMultiplier = multiplier;
    timeouts.WriteTotalTimeoutConstant = 0;
    if (!::SetCommTimeouts(h, &timeouts)) {
      err = LastOsError();
      failureFormat = "SetCommTimeouts failed, error = %d";
    }
  }
  if (failureFormat != nullptr) {
    ReportFailure(failureFormat, err);
    lastOpenOsError = err;
    lastOpenFailure = PortFailureFromOsError(err == 0 ? ERROR_INVALID_FUNCTION : err);
    ::CloseHandle(h);
    return 0;
  }

  portHandle = reinterpret_cast<std::intptr_t>(h);
  writeMultiplier = TimeoutMultiplier(baud);
  openFlag = 1;
  lastOpenFailure = PortFailure::None;
  lastOpenOsError = 0;
  return 1;
}

int CSyncSerialPort::CloseLine() {
  if (openFlag && portHandle != kNoHandle) ::CloseHandle(AsHandle(portHandle));
  openFlag = 0;
  portHandle = kNoHandle;
  return 1;
}

int CSyncSerialPort::WriteLine(const std::uint8_t* data, int length) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  if (length <= 0) return 0;
  // Returns early with a short count when the write total time-out
  // (writeMultiplier ms per byte) runs out.
  DWORD written = 0;
  if (!::WriteFile(AsHandle(portHandle), data, static_cast<DWORD>(length), &written, nullptr)) {
    const int err = LastOsError();
    ReportFailure("WriteFile failed, error = %d", err);
    CloseIfLost(err);
    return -1;
  }
  return static_cast<int>(written);
}

int CSyncSerialPort::ReadLine(std::uint8_t* buffer, int capacity) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  const HANDLE h = AsHandle(portHandle);
  DWORD errors = 0;
  COMSTAT status{};
  if (!::ClearCommError(h, &errors, &status)) {
    const int err = LastOsError();
    ReportFailure("ClearCommError failed, error = %d", err);
    CloseIfLost(err);
    return -1;
  }
  if (status.cbInQue == 0 || capacity <= 0) return 0;
  const DWORD want =
      status.cbInQue < static_cast<DWORD>(capacity) ? status.cbInQue : static_cast<DWORD>(capacity);
  DWORD got = 0;
  if (!::ReadFile(h, buffer, want, &got, nullptr)) {
    const int err = LastOsError();
    ReportFailure("ReadFile failed, error = %d", err);
    CloseIfLost(err);
    return -1;
  }
  return static_cast<int>(got);
}

void CSyncSerialPort::PurgeLine(int bits) {
  if (!openFlag || portHandle == kNoHandle) return;
  const HANDLE h = AsHandle(portHandle);
  if (bits & 1) ::PurgeComm(h, PURGE_RXCLEAR);
  if (bits & 2) ::PurgeComm(h, PURGE_TXCLEAR);
}

int CSyncSerialPort::WaitLine(int timeoutMs) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  // A non-overlapped handle offers no wait with a time-out (WaitCommEvent
  // would block until a byte arrives), so the queue is polled every
  // millisecond, and the pause between polls is a wait on the wake-up.
  // ClearCommError fails at once on a lost device.
  const HANDLE h = AsHandle(portHandle);
  const HANDLE wake = reinterpret_cast<HANDLE>(wake_.Handle());
  const std::uint64_t start = varnok::TickMs();
  const std::uint64_t limit = timeoutMs > 0 ? static_cast<std::uint64_t>(timeoutMs) : 0;
  for (;;) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!::ClearCommError(h, &errors, &status)) {
      LineGone();  // counts as closed from now on, so that owners reopen it
      return -1;
    }
    if (status.cbInQue > 0) return 1;
    if (varnok::TickMs() - start >= limit) return 0;
    if (!wake_.Valid()) {
      ::Sleep(1);
    } else if (::WaitForSingleObject(wake, 1) == WAIT_OBJECT_0) {
      wake_.Clear();  // a stop request: the caller decides
      return 0;
    }
  }
}
