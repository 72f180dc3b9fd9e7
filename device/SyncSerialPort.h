#pragma once
// CSyncSerialPort: the synchronous serial port that every device object
// embeds. No thread, no locking: one thread at a time uses it and polls it.
//
// Port numbers name devices through PortNames.h ("\\.\COM<n>" on Windows,
// $VARNOK_DEV_DIR/ttyACM<k> or ttyUSB<k> elsewhere), or a line on another
// machine (RemotePorts.h), carried by CRemoteLine instead of the platform's
// backend; for a remote line "device" below means its server.
//
// Every port is opened for exclusive use: a port that another program (or
// another object of this one) holds fails to open. Every close gives the
// line free again.
//
// A line found hung up (device unplugged, far end gone) while Read, Write or
// WaitReadable use it is closed on the spot: IsOpen() is false from then on,
// so owners that reopen a closed port before their next exchange do so.
//
// Recording: with a wire trace set (SetTrace), every open, close and
// hang-up and every byte written or read goes to it, here in the shared
// part, whichever backend carries the bytes.
//
// Threads: one thread uses the port (and alone opens and closes it); any
// other thread may only call Interrupt().

#include <cstdint>
#include <memory>
#include <string>

#include "device/PortError.h"
#include "device/WakeSignal.h"

// Receives the text of a port failure ("WriteFile failed, error = 5").
// Called on the thread that used the port, during the failing call; the
// text is valid only for the duration of the call and must be copied.
class ISerialNotify {
 public:
  virtual ~ISerialNotify() = default;
  virtual void OnPortFailureText(const char* text) = 0;
};

// Message number under which a port failure text reaches its notify window.
constexpr unsigned WM_PORT_FAILURE_TEXT = 0x047B;  // WM_USER+123

namespace varnok {
class CRemoteLine;
class CWireTrace;
}

class CSyncSerialPort {
 public:
  // Queue sizes requested from the driver, bytes.
  static constexpr int kQueueSize = 3072;
  // Constant part of the read total time-out on the Win32 backend, ms.
  static constexpr int kReadTotalConstantMs = 40;

  // Read and write total time-out multiplier in ms per byte:
  // 11000 / baud + 1 (1 at 115200 baud, 2 at 9600).
  static unsigned TimeoutMultiplier(unsigned baud);

  CSyncSerialPort();
  ~CSyncSerialPort();
  CSyncSerialPort(const CSyncSerialPort&) = delete;
  CSyncSerialPort& operator=(const CSyncSerialPort&) = delete;

  // Opens port `port` at `baud`, 8 data bits, no parity, one stop bit, raw.
  // Returns 1 when open (also when it already was: then nothing changes but
  // the notify window), 0 on failure. A device that cannot be opened gives 0
  // without any text; a set-up step that fails sends its text to `notify`
  // (may be null) and closes the device again.
  int Open(int port, unsigned baud, ISerialNotify* notify);

  // Closes the port if open. Always returns 1.
  int Close();

  // Writes up to `length` bytes. Returns the count written, which is less
  // than `length` when the write total time-out (multiplier x length ms)
  // runs out or Interrupt() woke the wait for room; -1 on failure or when
  // the port is not open.
  int Write(const std::uint8_t* data, int length);

  // Never waits: returns min(capacity, queued) bytes, 0 when nothing is
  // queued (the buffer is then untouched), -1 on failure or when not open.
  int Read(std::uint8_t* buffer, int capacity);

  // Bit 0 discards the receive queue, bit 1 the transmit queue.
  void Purge(int bits);

  // Clears every field without closing (for owners' constructors).
  void Reset();

  // Blocks until bytes are queued, `timeoutMs` passed or Interrupt() was
  // called. Returns 1 when readable, 0 on time-out or interrupt, -1 when
  // not open or the device is gone (the port is then closed).
  int WaitReadable(int timeoutMs);

  // Any thread: wakes the wait of a WaitReadable or Write in progress, or
  // the next one if none waits now, so that its caller looks at its stop
  // flag. Changes nothing else; never closes the port.
  void Interrupt() { wake_.Raise(); }

  bool IsOpen() const { return openFlag != 0; }
  // The open line's OS handle (a file descriptor or a HANDLE), -1 when
  // closed or remote; for reading its settings back, never for I/O.
  std::intptr_t NativeHandle() const { return remote_ ? kNoHandle : portHandle; }

  // Records the port's traffic into `trace` from now on (null: no
  // recording). Shared ownership: several ports may write one trace.
  // On the thread that uses the port.
  void SetTrace(std::shared_ptr<varnok::CWireTrace> trace) { trace_ = std::move(trace); }
  const std::shared_ptr<varnok::CWireTrace>& Trace() const { return trace_; }

  // Why the last Open failed (None after a good one) and the raw OS error.
  varnok::PortFailure LastOpenFailure() const { return lastOpenFailure; }
  int LastOpenOsError() const { return lastOpenOsError; }
  // A remote line's reason for the last failed open ("cannot connect to
  // rfc2217://host:4000: Connection refused"); empty for a local port.
  const std::string& LastOpenFailureText() const { return lastOpenText_; }

 private:
  static constexpr std::intptr_t kNoHandle = -1;

  // ---- per platform: the line itself, unrecorded ----
  int OpenLine(int port, unsigned baud, ISerialNotify* notify);
  int CloseLine();
  int WriteLine(const std::uint8_t* data, int length);
  int ReadLine(std::uint8_t* buffer, int capacity);
  void PurgeLine(int bits);
  int WaitLine(int timeoutMs);
  // The remote backend of the four above and of the open.
  int OpenRemote(int port, unsigned baud, ISerialNotify* notify);

  // The line hung up: recorded as such, then closed.
  void LineGone();
  void ReportFailure(const char* format, int osError);
  // Closes the port when `osError` says the device went away.
  void CloseIfLost(int osError);

  ISerialNotify* notifyWindow;
  std::intptr_t portHandle;  // fd or HANDLE; kNoHandle when closed
  int openFlag;
  unsigned writeMultiplier;  // ms per byte for the write total time-out
  varnok::PortFailure lastOpenFailure;
  int lastOpenOsError;
  CWakeSignal wake_;  // lives as long as the object; Reset leaves it alone
  std::shared_ptr<varnok::CWireTrace> trace_;  // Reset leaves it alone too
  std::unique_ptr<varnok::CRemoteLine> remote_;  // while a remote line is open
  std::string lastOpenText_;
};
