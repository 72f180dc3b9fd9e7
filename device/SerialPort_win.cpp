// Win32 backend of CSerialPort: an overlapped COM handle. The monitor thread
// waits with WaitForMultipleObjects on [shutdown event, port event, write
// event]; the index that wakes it says what to do.
//
// The shutdown event is the port's CWakeSignal; the port event (the
// OVERLAPPED of WaitCommEvent) and the write event belong to the monitor
// thread's wait state and live as long as the thread.
#include "device/Win32Api.h"

#include <cstdio>
#include <memory>

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

struct CSerialPort::MonitorWait {
  HANDLE port = INVALID_HANDLE_VALUE;
  OVERLAPPED ov{};         // WaitCommEvent's; its event is the port event
  DWORD occurred = 0;      // written by the pending WaitCommEvent: outlives it
  HANDLE writeEvent = nullptr;
  bool waiting = false;    // a WaitCommEvent is pending on `ov`
  bool watching = true;    // false once the port refuses event waits altogether
  bool lastWaitFailed = false;
};

void CSerialPort::MonitorWaitDeleter::operator()(MonitorWait* wait) const {
  if (wait->waiting) {
    // The kernel still owns `ov` and `occurred`: end the wait and let it
    // finish before they go. The handle is still open here (only this
    // thread closes it while it runs, and never during a wait). A new mask
    // ends a pending WaitCommEvent on every driver; some serial layers
    // (Wine's among them) do not end it for CancelIoEx alone, and then the
    // wait below would last until the next byte. A monitor started again
    // on the open port waits for the same events: the mask comes back.
    DWORD mask = 0;
    const bool maskKnown = ::GetCommMask(wait->port, &mask) != 0;
    ::SetCommMask(wait->port, 0);
    ::CancelIoEx(wait->port, &wait->ov);
    DWORD ignored = 0;
    ::GetOverlappedResult(wait->port, &wait->ov, &ignored, TRUE);
    if (maskKnown) ::SetCommMask(wait->port, mask);
  }
  if (wait->ov.hEvent != nullptr) ::CloseHandle(wait->ov.hEvent);
  if (wait->writeEvent != nullptr) ::CloseHandle(wait->writeEvent);
  delete wait;
}

int CSerialPort::OpenHandle(int port, int baud, char parity, int dataBits, int stopBits,
                            unsigned mask) {
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

void CSerialPort::ReleaseHandle() {
  // A COM handle is exclusive by itself (no sharing); closing ends that.
  CloseField(portHandle);
}

void CSerialPort::PurgePort() {
  if (portHandle != kNoHandle) ::PurgeComm(AsHandle(portHandle), kPurgeAll);
}

bool CSerialPort::BeginMonitorWait() {
  std::unique_ptr<MonitorWait, MonitorWaitDeleter> wait(new MonitorWait);
  {
    std::lock_guard<std::mutex> lock(portLock);
    wait->port = AsHandle(portHandle);
  }
  wait->ov.hEvent = NewManualResetEvent();
  wait->writeEvent = NewManualResetEvent();
  if (wait->ov.hEvent == nullptr || wait->writeEvent == nullptr) {
    LogFailure("CreateEventA()");
    return false;
  }
  if (wait->port == INVALID_HANDLE_VALUE) return false;
  monitorWait_ = std::move(wait);
  return true;
}

void CSerialPort::EndMonitorWait() { monitorWait_.reset(); }

CSerialPort::PortWait CSerialPort::WaitForPortEvent() {
  MonitorWait& w = *monitorWait_;
  if (w.watching && !w.waiting) {
    ::ResetEvent(w.ov.hEvent);
    if (::WaitCommEvent(w.port, &w.occurred, &w.ov)) {
      // Completed at once (an event from before the call). With nothing
      // queued there is nothing to deliver: wait again.
      DWORD errors = 0;
      COMSTAT status{};
      {
        std::lock_guard<std::mutex> lock(portLock);
        if (!::ClearCommError(w.port, &errors, &status)) {
          ErrorHook("ClearCommError()");
          return PortWait::Gone;
        }
      }
      return status.cbInQue == 0 ? PortWait::Woken : PortWait::Event;
    }
    const DWORD err = ::GetLastError();
    if (err == ERROR_IO_PENDING) {
      w.waiting = true;
    } else if (err == ERROR_INVALID_PARAMETER) {
      // The driver offers no event waits: the port event stays reset, so
      // only shutdown or a write wakes the wait below.
      w.watching = false;
    } else {
      LogFailure("WaitCommEvent()");
      return PortWait::Gone;
    }
  }

  const HANDLE events[3] = {AsHandle(shutdownWake_.Handle()), w.ov.hEvent, w.writeEvent};
  const DWORD woke = ::WaitForMultipleObjects(3, events, FALSE, INFINITE);
  if (woke == WAIT_OBJECT_0) {
    shutdownWake_.Clear();
    return PortWait::Woken;
  }
  if (woke == WAIT_OBJECT_0 + 1) {
    if (w.waiting) {
      w.waiting = false;
      DWORD ignored = 0;
      if (!::GetOverlappedResult(w.port, &w.ov, &ignored, FALSE)) {
        LogFailure("WaitCommEvent()");
        // One failed wait is armed again (a purge may have cut it short);
        // two in a row mean the device is gone.
        if (w.lastWaitFailed) return PortWait::Gone;
        w.lastWaitFailed = true;
        ::ResetEvent(w.ov.hEvent);
        return PortWait::Woken;
      }
      w.lastWaitFailed = false;
    }
    return PortWait::Event;
  }
  if (woke == WAIT_OBJECT_0 + 2) {
    ::ResetEvent(w.writeEvent);
    std::lock_guard<std::mutex> lock(portLock);
    if (portHandle != kNoHandle) {
      ::PurgeComm(w.port, kPurgeAll);
      if (const char* failed = WriteAndWait(w.port, pendingOutput)) ErrorHook(failed);
    }
    return PortWait::Woken;
  }
  LogFailure("WaitForMultipleObjects()");
  return PortWait::Failed;
}

unsigned CSerialPort::ConfiguredEventMask() {
  DWORD mask = 0;
  std::lock_guard<std::mutex> lock(portLock);
  if (portHandle == kNoHandle || !::GetCommMask(AsHandle(portHandle), &mask)) return eventMask;
  return mask;
}

CSerialPort::ByteRead CSerialPort::ReadOneByte(std::uint8_t& byte) {
  std::lock_guard<std::mutex> lock(portLock);
  if (portHandle == kNoHandle) return ByteRead::Empty;
  const HANDLE h = AsHandle(portHandle);
  DWORD errors = 0;
  COMSTAT status{};
  if (!::ClearCommError(h, &errors, &status)) {
    ErrorHook("ClearCommError()");
    return ByteRead::Gone;
  }
  if (status.cbInQue == 0) return ByteRead::Empty;
  const HANDLE readDone = NewManualResetEvent();
  if (readDone == nullptr) {
    ErrorHook("CreateEventA()");
    return ByteRead::Empty;
  }
  OVERLAPPED ov{};
  ov.hEvent = readDone;
  DWORD got = 0;
  ByteRead result = ByteRead::Byte;
  if (!::ReadFile(h, &byte, 1, &got, &ov)) {
    if (::GetLastError() != ERROR_IO_PENDING) {
      ErrorHook("ReadFile()");
      result = ByteRead::Gone;
    } else if (!::GetOverlappedResult(h, &ov, &got, TRUE)) {
      ErrorHook("GetOverlappedResults() in ReadFile()");
      result = ByteRead::Gone;
    }
  }
  ::CloseHandle(readDone);
  if (result == ByteRead::Byte && got != 1) result = ByteRead::Empty;
  return result;
}

void CSerialPort::DropUntakenInput() {
  // WaitCommEvent does not wake for data that is not in the mask, so the
  // bytes do not keep the wait busy; they stay queued as before.
}
