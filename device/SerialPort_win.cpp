// Win32 backend of CSerialPort: an overlapped COM handle. The monitor thread
// waits with WaitForMultipleObjects on [shutdown event, port event, write
// event]; the index that wakes it says what to do.
//
// wakeRead holds the shutdown event and wakeWrite the write event; the port
// event belongs to the monitor thread's own OVERLAPPED and lives as long as
// the thread.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>

#include "device/PortNames.h"
#include "device/SerialPort.h"

namespace {

constexpr std::intptr_t kNoHandle = -1;
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;
constexpr DWORD kOpenTimeoutMs = 1000;

HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }

std::intptr_t FromHandle(HANDLE h) { return reinterpret_cast<std::intptr_t>(h); }

void CloseField(std::intptr_t& h) {
  if (h != kNoHandle) ::CloseHandle(AsHandle(h));
  h = kNoHandle;
}

HANDLE NewManualResetEvent() { return ::CreateEventA(nullptr, TRUE, FALSE, nullptr); }

// Writes all of `data` with an overlapped WriteFile and waits for it.
// Returns nullptr when done, else the name of the call that failed.
const char* WriteAndWait(HANDLE port, const std::vector<std::uint8_t>& data) {
  if (data.empty()) return nullptr;
  const HANDLE done = NewManualResetEvent();
  if (done == nullptr) return "CreateEventA()";
  OVERLAPPED ov{};
  ov.hEvent = done;  // Offset and OffsetHigh stay 0
  DWORD written = 0;
  const char* failed = nullptr;
  if (!::WriteFile(port, data.data(), static_cast<DWORD>(data.size()), &written, &ov)) {
    if (::GetLastError() != ERROR_IO_PENDING)
      failed = "WriteFile()";
    else if (!::GetOverlappedResult(port, &ov, &written, TRUE))
      failed = "GetOverlappedResults() in WriteFile()";
  }
  ::CloseHandle(done);
  return failed;
}

}  // namespace

void CSerialPort::JoinMonitor() {
  if (!monitorThread.joinable()) return;
  if (monitorThread.get_id() == std::this_thread::get_id()) return;
  shutdownRequested = true;
  if (wakeRead != kNoHandle) ::SetEvent(AsHandle(wakeRead));
  monitorThread.join();
}

int CSerialPort::Open(ISerialPortOwner* newOwner, int port, int baud, char parity, int dataBits,
                      int stopBits, unsigned mask, int writeBuffer) {
  const bool onMonitor =
      monitorThread.joinable() && monitorThread.get_id() == std::this_thread::get_id();
  if (onMonitor) {
    // Reopened from inside a delivery: the thread leaves its loop when the
    // delivery returns; its events are closed once it has been joined.
    shutdownRequested = true;
  } else {
    JoinMonitor();
    CloseField(wakeRead);
    CloseField(wakeWrite);
  }

  owner = newOwner;
  portNumber = port;
  eventMask = mask;
  writeBufferSize = writeBuffer;

  std::lock_guard<std::mutex> lock(portLock);
  CloseField(portHandle);
  const std::string path = varnok::PortDevicePath(port);
  if (path.empty()) return 0;
  // Large enough for any int values, so the text is never cut short.
  char settings[64];
  std::snprintf(settings, sizeof settings, "baud=%d parity=%c data=%d stop=%d", baud, parity,
                dataBits, stopBits);

  const HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (h == INVALID_HANDLE_VALUE) return 0;
  portHandle = FromHandle(h);

  // The device is ours from here on; a failed set-up step is only logged.
  COMMTIMEOUTS timeouts{kOpenTimeoutMs, kOpenTimeoutMs, kOpenTimeoutMs, kOpenTimeoutMs,
                        kOpenTimeoutMs};
  DCB dcb{};
  dcb.DCBlength = sizeof(DCB);
  if (!::SetCommTimeouts(h, &timeouts)) {
    ErrorHook("SetCommTimeouts()");
  } else if (!::SetCommMask(h, mask)) {
    ErrorHook("SetCommMask()");
  } else if (!::GetCommState(h, &dcb)) {
    ErrorHook("GetCommState()");
  } else {
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (!::BuildCommDCBA(settings, &dcb))
      ErrorHook("BuildCommDCB()");
    else if (!::SetCommState(h, &dcb))
      ErrorHook("SetCommState()");
  }
  ::PurgeComm(h, kPurgeAll);
  return 1;
}

int CSerialPort::StartMonitor() {
  if (threadAlive.load() || !IsOpen()) return 0;
  if (monitorThread.joinable()) monitorThread.join();  // ended by itself earlier
  CloseField(wakeRead);
  CloseField(wakeWrite);
  const HANDLE shutdownEvent = NewManualResetEvent();
  const HANDLE writeEvent = NewManualResetEvent();
  if (shutdownEvent == nullptr || writeEvent == nullptr) {
    if (shutdownEvent != nullptr) ::CloseHandle(shutdownEvent);
    if (writeEvent != nullptr) ::CloseHandle(writeEvent);
    return 0;
  }
  wakeRead = FromHandle(shutdownEvent);
  wakeWrite = FromHandle(writeEvent);
  shutdownRequested = false;
  threadAlive = true;
  try {
    monitorThread = std::thread(&CSerialPort::MonitorLoop, this);
  } catch (...) {
    threadAlive = false;
    return 0;
  }
  return 1;
}

void CSerialPort::DrainReceiveQueue() {
  const HANDLE readDone = NewManualResetEvent();
  if (readDone == nullptr) {
    std::lock_guard<std::mutex> lock(portLock);
    ErrorHook("CreateEventA()");
    return;
  }
  for (;;) {
    if (shutdownRequested.load()) break;
    std::uint8_t byte = 0;
    {
      std::lock_guard<std::mutex> lock(portLock);
      if (portHandle == kNoHandle) break;
      const HANDLE h = AsHandle(portHandle);
      DWORD errors = 0;
      COMSTAT status{};
      if (!::ClearCommError(h, &errors, &status)) {
        ErrorHook("ClearCommError()");
        break;
      }
      if (status.cbInQue == 0) break;
      OVERLAPPED ov{};
      ov.hEvent = readDone;
      DWORD got = 0;
      if (!::ReadFile(h, &byte, 1, &got, &ov)) {
        if (::GetLastError() != ERROR_IO_PENDING) {
          ErrorHook("ReadFile()");
          break;
        }
        if (!::GetOverlappedResult(h, &ov, &got, TRUE)) {
          ErrorHook("GetOverlappedResults() in ReadFile()");
          break;
        }
      }
      if (got != 1) break;
    }
    // Delivered outside the lock: the owner may call Close from here.
    if (owner != nullptr) owner->OnSerialMessage(WM_COMM_RXCHAR, byte, portNumber);
  }
  ::CloseHandle(readDone);
}

void CSerialPort::MonitorLoop() {
  // Only this thread closes the handle while it runs (Close from a
  // delivery); every use after a delivery checks shutdownRequested first.
  HANDLE port;
  {
    std::lock_guard<std::mutex> lock(portLock);
    port = AsHandle(portHandle);
    if (portHandle != kNoHandle) ::PurgeComm(port, kPurgeAll);
  }
  const auto logFailure = [this](const char* callName) {
    std::lock_guard<std::mutex> lock(portLock);
    ErrorHook(callName);
  };

  OVERLAPPED ov{};
  ov.hEvent = NewManualResetEvent();
  if (ov.hEvent == nullptr || port == INVALID_HANDLE_VALUE) {
    if (ov.hEvent == nullptr) logFailure("CreateEventA()");
    else ::CloseHandle(ov.hEvent);
    threadAlive = false;
    return;
  }
  const HANDLE events[3] = {AsHandle(wakeRead), ov.hEvent, AsHandle(wakeWrite)};

  DWORD occurred = 0;    // written by the pending WaitCommEvent: outlives it
  bool waiting = false;  // a WaitCommEvent is pending on `ov`
  bool watching = true;  // false once the port refuses to report events
  bool lastWaitFailed = false;
  while (!shutdownRequested.load()) {
    if (watching && !waiting) {
      ::ResetEvent(ov.hEvent);
      if (::WaitCommEvent(port, &occurred, &ov)) {
        // Completed at once (an event from before the call). With nothing
        // queued there is nothing to deliver: wait again.
        DWORD errors = 0;
        COMSTAT status{};
        bool cleared;
        {
          std::lock_guard<std::mutex> lock(portLock);
          cleared = ::ClearCommError(port, &errors, &status) != FALSE;
          if (!cleared) ErrorHook("ClearCommError()");
        }
        if (!cleared) {
          watching = false;  // the device is gone: do not ask it again and again
          continue;
        }
        if (status.cbInQue == 0) continue;
        ::SetEvent(ov.hEvent);  // deliver through the port-event branch below
      } else {
        const DWORD err = ::GetLastError();
        if (err == ERROR_IO_PENDING) {
          waiting = true;
        } else {
          // The port event stays reset, so only shutdown or a write wakes
          // the wait below: a lost device does not make the loop spin.
          if (err != ERROR_INVALID_PARAMETER) logFailure("WaitCommEvent()");
          watching = false;
        }
      }
    }

    const DWORD woke = ::WaitForMultipleObjects(3, events, FALSE, INFINITE);
    if (woke == WAIT_OBJECT_0 || shutdownRequested.load()) break;

    if (woke == WAIT_OBJECT_0 + 1) {
      if (waiting) {
        waiting = false;
        DWORD ignored = 0;
        if (!::GetOverlappedResult(port, &ov, &ignored, FALSE)) {
          logFailure("WaitCommEvent()");
          // One failed wait is armed again (a purge may have cut it short);
          // two in a row mean the port no longer reports events (device
          // gone), and the loop then waits only for shutdown or a write.
          if (lastWaitFailed) watching = false;
          lastWaitFailed = true;
          ::ResetEvent(ov.hEvent);
          continue;
        }
        lastWaitFailed = false;
      }
      // Messages follow the configured mask, not the events that occurred.
      DWORD mask = 0;
      if (!::GetCommMask(port, &mask)) mask = eventMask;
      static const struct {
        DWORD bit;
        unsigned message;
      } kEvents[] = {{EV_CTS_BIT, WM_COMM_CTS_DETECTED},
                     {EV_RXFLAG_BIT, WM_COMM_RXFLAG_DETECTED},
                     {EV_BREAK_BIT, WM_COMM_BREAK_DETECTED},
                     {EV_ERR_BIT, WM_COMM_ERR_DETECTED},
                     {EV_RING_BIT, WM_COMM_RING_DETECTED}};
      for (const auto& e : kEvents) {
        if (shutdownRequested.load()) break;
        if ((mask & e.bit) && owner != nullptr) owner->OnSerialMessage(e.message, 0, portNumber);
      }
      if (mask & EV_RXCHAR_BIT) DrainReceiveQueue();
    } else if (woke == WAIT_OBJECT_0 + 2) {
      ::ResetEvent(events[2]);
      std::lock_guard<std::mutex> lock(portLock);
      if (portHandle == kNoHandle) continue;
      ::PurgeComm(port, kPurgeAll);
      if (const char* failed = WriteAndWait(port, pendingOutput)) ErrorHook(failed);
    } else {
      logFailure("WaitForMultipleObjects()");
      break;
    }
  }

  if (waiting) {
    // The kernel still owns `ov` and `occurred`: cancel the wait and let it
    // finish before they go out of scope. The handle is still open here
    // (Close from another thread closes it only after the join).
    ::CancelIoEx(port, &ov);
    DWORD ignored = 0;
    ::GetOverlappedResult(port, &ov, &ignored, TRUE);
  }
  ::CloseHandle(ov.hEvent);
  threadAlive = false;
}

int CSerialPort::Close() {
  const bool onMonitor =
      monitorThread.joinable() && monitorThread.get_id() == std::this_thread::get_id();
  shutdownRequested = true;
  if (onMonitor) {
    // Called from inside a delivery: no overlapped call is pending then, so
    // the handle may go now. The loop sees the request as soon as the
    // delivery returns and leaves; bytes still queued are dropped. The
    // thread object and its events are released by the next Open,
    // StartMonitor or Close.
    std::lock_guard<std::mutex> lock(portLock);
    CloseField(portHandle);
    return 1;
  }
  JoinMonitor();
  CloseField(wakeRead);
  CloseField(wakeWrite);
  std::lock_guard<std::mutex> lock(portLock);
  CloseField(portHandle);
  return 1;
}
