// Platform-independent parts of CSerialPort: the monitor thread's life
// cycle and what it delivers. The backends (SerialPort_posix.cpp,
// SerialPort_win.cpp) open and close the line, wait and read one byte.
#include "device/SerialPort.h"

#include "device/PortNames.h"
#include "device/RemoteLine.h"
#include "device/RemotePorts.h"
#include "device/WireTrace.h"

namespace {
constexpr std::intptr_t kNoHandle = -1;

// Port events in the order their messages go out.
const struct {
  unsigned bit;
  unsigned message;
} kEventMessages[] = {{EV_CTS_BIT, WM_COMM_CTS_DETECTED},
                      {EV_RXFLAG_BIT, WM_COMM_RXFLAG_DETECTED},
                      {EV_BREAK_BIT, WM_COMM_BREAK_DETECTED},
                      {EV_ERR_BIT, WM_COMM_ERR_DETECTED},
                      {EV_RING_BIT, WM_COMM_RING_DETECTED}};
}  // namespace

CSerialPort::CSerialPort()
    : portHandle(kNoHandle),
      threadAlive(false),
      shutdownRequested(false),
      owner(nullptr),
      portNumber(0),
      eventMask(0),
      writeBufferSize(0) {}

CSerialPort::~CSerialPort() {
  Close();
  if (monitorThread.joinable()) monitorThread.detach();  // only when destroyed from a delivery
}

bool CSerialPort::IsOpen() const {
  std::lock_guard<std::mutex> lock(portLock);
  return portHandle != kNoHandle || remote_;
}

int CSerialPort::OpenLine(int port, int baud, char parity, int dataBits, int stopBits,
                          unsigned mask) {
  varnok::RemoteAddress address;
  if (!varnok::RemotePortAddress(port, address))
    return OpenHandle(port, baud, parity, dataBits, stopBits, mask);
  auto line = std::make_unique<varnok::CRemoteLine>();
  varnok::LineSettings settings{static_cast<unsigned>(baud), parity, dataBits, stopBits};
  std::string error;
  if (!line->Open(address, settings, shutdownWake_, error)) {
    ErrorHook("connect()");
    return 0;
  }
  varnok::NoteRemoteLine(port, line->Notice());
  remote_ = std::move(line);
  return 1;
}

void CSerialPort::ReleaseLine() {
  remote_.reset();
  ReleaseHandle();
}

void CSerialPort::PurgeLine() { remote_ ? remote_->Purge(3) : PurgePort(); }

CSerialPort::PortWait CSerialPort::WaitForLine() {
  if (!remote_) return WaitForPortEvent();
  const int ready = remote_->WaitReadable(-1, shutdownWake_);
  return ready > 0 ? PortWait::Event : ready == 0 ? PortWait::Woken : PortWait::Gone;
}

CSerialPort::ByteRead CSerialPort::ReadLineByte(std::uint8_t& byte) {
  {
    std::lock_guard<std::mutex> lock(portLock);
    if (remote_) {
      const int got = remote_->Read(&byte, 1);
      return got > 0 ? ByteRead::Byte : got == 0 ? ByteRead::Empty : ByteRead::Gone;
    }
  }
  return ReadOneByte(byte);
}

std::vector<std::string> CSerialPort::ErrorLog() const {
  std::lock_guard<std::mutex> lock(portLock);
  return errorLog;
}

void CSerialPort::ErrorHook(const char* callName) {
  // Reports nothing; kept for diagnosis only. Callers hold portLock.
  errorLog.emplace_back(callName);
}

void CSerialPort::LogFailure(const char* callName) {
  std::lock_guard<std::mutex> lock(portLock);
  ErrorHook(callName);
}

bool CSerialPort::OnMonitorThread() const {
  return monitorThread.joinable() && monitorThread.get_id() == std::this_thread::get_id();
}

void CSerialPort::StopMonitor() {
  if (!monitorThread.joinable()) return;
  shutdownRequested = true;
  shutdownWake_.Raise();
  // From inside a delivery the thread cannot be joined here: it leaves its
  // loop as soon as the delivery returns and is joined later.
  if (!OnMonitorThread()) monitorThread.join();
}

int CSerialPort::Open(ISerialPortOwner* newOwner, int port, int baud, char parity, int dataBits,
                      int stopBits, unsigned mask, int writeBuffer) {
  StopMonitor();
  owner = newOwner;
  portNumber = port;
  eventMask = mask;
  writeBufferSize = writeBuffer;

  std::lock_guard<std::mutex> lock(portLock);
  if (trace_ && (portHandle != kNoHandle || remote_)) trace_->Close();
  ReleaseLine();
  const int opened = OpenLine(port, baud, parity, dataBits, stopBits, mask);
  if (trace_ && opened == 1) {
    const char format[] = {static_cast<char>('0' + dataBits % 10), parity,
                           static_cast<char>('0' + stopBits % 10), '\0'};
    trace_->Open(port, varnok::PortDevicePath(port), static_cast<unsigned>(baud), format);
  }
  return opened;
}

int CSerialPort::StartMonitor() {
  if (OnMonitorThread() || !shutdownWake_.Valid()) return 0;
  if (!IsOpen()) {
    // The wait for port events is what fails on a port without a handle.
    LogFailure("WaitCommEvent()");
    return 0;
  }
  if (monitorThread.joinable()) {
    if (threadAlive.load() && !shutdownRequested.load()) return 0;  // already running
    // Ended by itself (hang-up), or leaving after a stop from a delivery.
    monitorThread.join();
  }
  shutdownRequested = false;
  shutdownWake_.Clear();
  {
    // The monitor starts from empty queues. Purging here rather than on the
    // new thread means bytes that arrive after StartMonitor returns are kept.
    std::lock_guard<std::mutex> lock(portLock);
    PurgeLine();
  }
  threadAlive = true;
  try {
    monitorThread = std::thread(&CSerialPort::MonitorLoop, this);
  } catch (...) {
    threadAlive = false;
    return 0;
  }
  return 1;
}

int CSerialPort::Close() {
  StopMonitor();
  // On the monitor thread (from a delivery) no port I/O is in flight, so
  // the handle may go now as well.
  std::lock_guard<std::mutex> lock(portLock);
  if (trace_ && (portHandle != kNoHandle || remote_)) trace_->Close();
  ReleaseLine();
  return 1;
}

void CSerialPort::Deliver(unsigned message, unsigned wParam) {
  if (owner != nullptr) owner->OnSerialMessage(message, wParam, portNumber);
}

bool CSerialPort::DeliverPortEvent() {
  // Messages follow the configured mask, not the events that occurred.
  const unsigned mask = ConfiguredEventMask();
  for (const auto& e : kEventMessages) {
    if (shutdownRequested.load()) return true;
    if (mask & e.bit) Deliver(e.message, 0);
  }
  if (!(mask & EV_RXCHAR_BIT)) {
    if (remote_) {
      std::lock_guard<std::mutex> lock(portLock);
      remote_->Purge(1);
    } else {
      DropUntakenInput();
    }
    return true;
  }
  for (;;) {
    // A delivery may have closed or reopened the port.
    if (shutdownRequested.load()) return true;
    std::uint8_t byte = 0;
    const ByteRead got = ReadLineByte(byte);
    if (got == ByteRead::Empty) return true;
    if (got == ByteRead::Gone) return false;
    if (trace_) trace_->Rx(&byte, 1);
    // Delivered outside the lock: the owner may call Close from here.
    Deliver(WM_COMM_RXCHAR, byte);
  }
}

void CSerialPort::MonitorLoop() {
  bool gone = false;
  // A remote line waits on its connection; it keeps no platform wait state.
  if (remote_ || BeginMonitorWait()) {
    while (!shutdownRequested.load()) {
      const PortWait woke = WaitForLine();
      if (shutdownRequested.load() || woke == PortWait::Failed) break;
      if (woke == PortWait::Woken) continue;
      if (woke == PortWait::Gone || !DeliverPortEvent()) {
        gone = !shutdownRequested.load();
        break;
      }
    }
  }
  EndMonitorWait();
  if (gone) {
    // A hung-up line is closed here, once, and the owner hears it once;
    // waiting on it again would only wake at once, over and over.
    {
      std::lock_guard<std::mutex> lock(portLock);
      if (trace_ && (portHandle != kNoHandle || remote_)) trace_->Gone();
      ReleaseLine();
    }
    Deliver(WM_COMM_PORT_GONE, 0);
  }
  threadAlive = false;
}
