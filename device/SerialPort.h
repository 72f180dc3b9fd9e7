#pragma once
// CSerialPort: a port with a monitor thread that hands every received byte
// to an owner, one call per byte, in order. Used for data capture.
//
// Threads: Open, StartMonitor and Close run on the owner's thread, or on the
// monitor thread from inside OnSerialMessage; the monitor thread calls the
// owner. The owner decides how a delivery reaches its own thread (the GUI
// queues it); the monitor thread reads the next byte only after
// OnSerialMessage has returned.
//
// Life cycle (shared by both platforms; only the wait differs): StartMonitor
// starts the thread; Open, Close and the destructor set the stop request,
// raise the wake-up the thread waits on and join it. Called from inside a
// delivery they cannot join their own thread: the stop request makes the
// loop leave as soon as the delivery returns, and the next Open,
// StartMonitor or Close from the owner's thread joins it. The port handle
// is closed only by a thread that does no port I/O at that moment: the
// monitor thread itself (hang-up, or a Close/Open from a delivery) or the
// owner after the join. Every close gives up exclusive use of the line.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/WakeSignal.h"

namespace varnok {
class CRemoteLine;
class CWireTrace;
}

// Messages sent to the owner; wParam as listed, port number always passed.
constexpr unsigned WM_COMM_BREAK_DETECTED = 0x0401;   // wParam 0
constexpr unsigned WM_COMM_CTS_DETECTED = 0x0402;     // wParam 0
constexpr unsigned WM_COMM_ERR_DETECTED = 0x0404;     // wParam 0
constexpr unsigned WM_COMM_RING_DETECTED = 0x0405;    // wParam 0
constexpr unsigned WM_COMM_RXCHAR = 0x0407;           // wParam = the byte
constexpr unsigned WM_COMM_RXFLAG_DETECTED = 0x0408;  // wParam 0
// The line hung up (device unplugged, far end closed). Sent once; by then
// the port is closed (IsOpen() false) and the monitor thread ends after
// the call. The owner may reopen from inside the call or later.
constexpr unsigned WM_COMM_PORT_GONE = 0x040A;        // wParam 0

// Event mask bits (the values Windows' SetCommMask takes).
constexpr unsigned EV_RXCHAR_BIT = 0x0001;
constexpr unsigned EV_RXFLAG_BIT = 0x0002;
constexpr unsigned EV_CTS_BIT = 0x0008;
constexpr unsigned EV_BREAK_BIT = 0x0040;
constexpr unsigned EV_ERR_BIT = 0x0080;
constexpr unsigned EV_RING_BIT = 0x0100;

class ISerialPortOwner {
 public:
  virtual ~ISerialPortOwner() = default;
  // Called on the monitor thread. `port` is the port number given to Open.
  virtual void OnSerialMessage(unsigned message, unsigned wParam, int port) = 0;
};

class CSerialPort {
 public:
  CSerialPort();
  // Ends the monitor and closes the port. Must not run inside
  // OnSerialMessage: close from there, destroy later.
  virtual ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  // Ends a running monitor thread first, then opens the port with the given
  // line settings (parity letter 'N', 'E', 'O'; data bits 5..8; stop bits
  // 1 or 2). Returns 1 when the device was obtained, even if a later set-up
  // step failed (that step's name goes to the error hook), 0 when the device
  // could not be opened.
  int Open(ISerialPortOwner* owner, int port, int baud, char parity, int dataBits,
           int stopBits, unsigned eventMask, int writeBufferSize);

  // Starts the monitor thread. 1 when started, 0 otherwise (not open,
  // already running, or called from inside a delivery). On a port that is
  // not open, "WaitCommEvent()" goes to the error hook.
  int StartMonitor();

  // Ends the monitor thread and closes the port. Always 1. Safe to call from
  // inside OnSerialMessage on the monitor thread: the port closes at once,
  // the thread leaves its loop when the call returns and the bytes still
  // queued are dropped.
  int Close();

  bool IsOpen() const;
  bool IsMonitoring() const { return threadAlive.load(); }

  // Records opens (with their line settings), closes, the hang-up and every
  // byte received into `trace` (null: no recording). Set on the owner's
  // thread before Open and StartMonitor, not while the monitor runs.
  void SetTrace(std::shared_ptr<varnok::CWireTrace> trace) { trace_ = std::move(trace); }

  // Names of set-up and I/O calls that failed, oldest first (the error hook;
  // nothing shows them).
  std::vector<std::string> ErrorLog() const;

 private:
  // ---- shared life cycle (SerialPort.cpp) ----
  void MonitorLoop();
  // Messages of one port event, then the received bytes; false when the
  // line turned out to be gone.
  bool DeliverPortEvent();
  void Deliver(unsigned message, unsigned wParam);
  // Stop request and wake-up; joins unless called on the monitor thread.
  void StopMonitor();
  bool OnMonitorThread() const;
  void ErrorHook(const char* callName);  // portLock held
  void LogFailure(const char* callName);  // takes portLock
  // The line, whichever backend carries it: a port on another machine
  // (RemotePorts.h) goes through CRemoteLine, every other through the
  // platform's backend below. portLock held.
  int OpenLine(int port, int baud, char parity, int dataBits, int stopBits, unsigned mask);
  void ReleaseLine();
  void PurgeLine();

  // ---- per platform (SerialPort_posix.cpp / SerialPort_win.cpp) ----
  enum class PortWait {
    Event,   // the port reported an event or data
    Woken,   // the wake-up or nothing to report: check the stop request, wait again
    Gone,    // the line hung up or stopped answering
    Failed,  // the wait itself failed: the thread ends quietly
  };
  enum class ByteRead { Byte, Empty, Gone };
  struct MonitorWait;  // the platform's wait state, owned by the monitor thread
  struct MonitorWaitDeleter {
    void operator()(MonitorWait* wait) const;  // defined by the backend
  };
  // The remote line or the platform's, on the monitor thread (shared part).
  PortWait WaitForLine();
  ByteRead ReadLineByte(std::uint8_t& byte);  // takes portLock

  // portLock held. Opens and sets up the line; 1 when the device was
  // obtained, 0 when not.
  int OpenHandle(int port, int baud, char parity, int dataBits, int stopBits, unsigned mask);
  // portLock held. Gives up exclusive use and closes; nothing when closed.
  void ReleaseHandle();
  void PurgePort();  // portLock held
  // On the monitor thread.
  bool BeginMonitorWait();
  PortWait WaitForPortEvent();
  void EndMonitorWait();  // idempotent; cancels a pending wait
  unsigned ConfiguredEventMask();
  ByteRead ReadOneByte(std::uint8_t& byte);  // takes portLock
  void DropUntakenInput();                   // input while received-character is off

  std::intptr_t portHandle;
  std::thread monitorThread;
  mutable std::mutex portLock;  // guards portHandle and the error log
  std::atomic<bool> threadAlive;
  std::atomic<bool> shutdownRequested;
  CWakeSignal shutdownWake_;  // raised with every stop request
  std::unique_ptr<MonitorWait, MonitorWaitDeleter> monitorWait_;
  ISerialPortOwner* owner;
  int portNumber;
  unsigned eventMask;
  int writeBufferSize;
  std::vector<std::uint8_t> pendingOutput;
  std::vector<std::string> errorLog;
  std::shared_ptr<varnok::CWireTrace> trace_;
  std::unique_ptr<varnok::CRemoteLine> remote_;  // while a remote line is open; portLock
};
