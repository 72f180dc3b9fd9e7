#pragma once
// CSerialPort: a port with a monitor thread that hands every received byte
// to an owner, one call per byte, in order. Used for data capture.
//
// Threads: Open, StartMonitor and Close run on the owner's thread; the
// monitor thread calls the owner. The owner decides how a delivery reaches
// its own thread (the GUI queues it); the monitor thread reads the next byte
// only after OnSerialMessage has returned.

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Messages sent to the owner; wParam as listed, port number always passed.
constexpr unsigned WM_COMM_BREAK_DETECTED = 0x0401;   // wParam 0
constexpr unsigned WM_COMM_CTS_DETECTED = 0x0402;     // wParam 0
constexpr unsigned WM_COMM_ERR_DETECTED = 0x0404;     // wParam 0
constexpr unsigned WM_COMM_RING_DETECTED = 0x0405;    // wParam 0
constexpr unsigned WM_COMM_RXCHAR = 0x0407;           // wParam = the byte
constexpr unsigned WM_COMM_RXFLAG_DETECTED = 0x0408;  // wParam 0

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

  // Starts the monitor thread. 1 when started, 0 otherwise (not open, or
  // already running).
  int StartMonitor();

  // Ends the monitor thread and closes the port. Always 1. Safe to call from
  // inside OnSerialMessage on the monitor thread: the thread then leaves its
  // loop when the call returns and the bytes still queued are dropped.
  int Close();

  bool IsOpen() const;
  bool IsMonitoring() const { return threadAlive.load(); }

  // Names of set-up and I/O calls that failed, oldest first (the error hook;
  // nothing shows them).
  std::vector<std::string> ErrorLog() const;

 private:
  void MonitorLoop();
  void DrainReceiveQueue();
  void ErrorHook(const char* callName);
  void JoinMonitor();

  std::intptr_t portHandle;
  std::thread monitorThread;
  mutable std::mutex portLock;  // guards portHandle and the error log
  std::atomic<bool> threadAlive;
  std::atomic<bool> shutdownRequested;
  std::intptr_t wakeRead;   // wake-up channel of the monitor's wait
  std::intptr_t wakeWrite;
  ISerialPortOwner* owner;
  int portNumber;
  unsigned eventMask;
  int writeBufferSize;
  std::vector<std::uint8_t> pendingOutput;
  std::vector<std::string> errorLog;
};
