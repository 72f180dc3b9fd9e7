#pragma once
// CCaptureLink: the data-mode port of the QV220 page. It owns the
// CSerialPort and carries what the port's monitor thread receives to the
// UI thread, where the page handles it byte by byte, in order.
//
// Delivery: the monitor thread appends each byte to a queue under a lock
// and posts one wake-up event to this object when the queue was empty; it
// never waits for the UI thread. The UI thread takes the whole queue at
// that event. So Close(), which waits for the monitor thread to end, can
// never deadlock against a delivery in flight: the monitor thread is at
// most inside the short queue lock. Close() then hands the bytes that were
// already queued to the page, so nothing received before the close is
// lost. Shutdown() (for the page's destructor) drops them instead, and
// once it returned no call reaches the page again; a wake-up event still
// queued dies with this object (a child of the page).
// Threads: everything but OnSerialMessage on the UI thread.

#include <QObject>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

#include "device/SerialPort.h"
#include "device/WireTrace.h"

class CCaptureLink : public QObject, public ISerialPortOwner {
  Q_OBJECT
 public:
  // Data-mode line settings: 57600 8N1, received characters and CTS
  // events, a 512-byte write buffer.
  static constexpr int kBaud = 57600;
  static constexpr unsigned kEventMask = EV_RXCHAR_BIT | EV_CTS_BIT;
  static constexpr int kWriteBuffer = 512;

  // `onByte` gets every received byte on the UI thread; `onGone`, on the UI
  // thread after the bytes that came before, that the line hung up (the
  // port is closed by then).
  // `onBatch`, when given, runs on the UI thread before each batch of
  // bytes taken from the queue at once (they arrived within one wake-up),
  // so that what costs per batch, like reading the clock, is not paid
  // per byte.
  using ByteHandler = std::function<void(unsigned char byte)>;
  using GoneHandler = std::function<void()>;
  using BatchHandler = std::function<void()>;

  CCaptureLink(ByteHandler onByte, GoneHandler onGone, QObject* parent,
               BatchHandler onBatch = nullptr);
  ~CCaptureLink() override;

  // Opens `port` with the data-mode settings: 1 done, 0 failed (then
  // LastOpenFailed() until the next successful Open). With VARNOK_TRACE_DIR
  // set, each Open starts a new wire trace of the capture.
  int Open(int port);
  // Starts the monitor thread: 1 started, 0 not.
  int StartMonitor();
  // Ends the monitor, closes the port, then delivers the bytes queued
  // before the close. Safe when nothing is open.
  void Close();
  // Like Close, but drops the queued bytes; nothing reaches the page after it.
  void Shutdown();

  bool IsOpen() const { return port_.IsOpen(); }
  bool LastOpenFailed() const { return openFailed_; }

  // Writes the trace's end line (after the port closed) and drops it.
  void EndTrace();

  // Hands the queued bytes to the page now.
  void DeliverPending();

  // The port's monitor thread: queues a received byte, notes a hang-up.
  void OnSerialMessage(unsigned message, unsigned wParam, int port) override;

  // Bytes received and bytes handed to the page so far (for the bench).
  std::uint64_t Received() const { return received_.load(); }
  std::uint64_t Delivered() const { return delivered_; }

 protected:
  bool event(QEvent* event) override;

 private:
  ByteHandler onByte_;
  GoneHandler onGone_;
  BatchHandler onBatch_;
  std::atomic<bool> gone_{false};
  CSerialPort port_;
  // $VARNOK_TRACE_DIR: the trace of the capture since the last Open.
  std::shared_ptr<varnok::CWireTrace> trace_;
  std::mutex queueLock_;
  std::string queue_;
  std::string taken_;  // the batch being delivered (kept to reuse its memory)
  std::atomic<bool> wakePosted_{false};
  std::atomic<std::uint64_t> received_{0};
  std::uint64_t delivered_ = 0;
  bool openFailed_ = false;
  bool shutDown_ = false;
  bool delivering_ = false;
};
