#pragma once
// One simulated tool on a pseudo-terminal: the line (PtyLink), the protocol
// engine of its class, line pacing, line faults, reboots and the data mode.
//
// Threads: Start() and Run() on one thread (the simulator's); RequestStop()
// from any thread or a signal handler. Everything else after Run returned.

#include <atomic>
#include <memory>
#include <ostream>
#include <string>

#include "sim/LinePacer.h"
#include "device/WakeSignal.h"
#include "sim/PtyLink.h"
#include "sim/SimOptions.h"
#include "sim/ToolEngine.h"

namespace varnok::sim {

class ToolSimulator {
 public:
  // `log` receives the protocol trace when options.verbose; may be null.
  explicit ToolSimulator(SimOptions options, std::ostream* log = nullptr);
  ~ToolSimulator();
  ToolSimulator(const ToolSimulator&) = delete;
  ToolSimulator& operator=(const ToolSimulator&) = delete;

  // Opens the line, publishes the link and writes the ready file. False
  // with a message in `error`.
  bool Start(std::string* error);

  // Serves the line until a stop request, the end of the update with
  // exitAfterFinish, or an unplug fault without replug; then removes the
  // link and writes the flash-out file. 0 on a normal end, 1 when the line
  // could not be brought back or the flash-out file not written
  // (LastError() says why).
  int Run();

  // Any thread; async-signal-safe.
  void RequestStop();

  const std::string& LinkPath() const { return link_.LinkPath(); }
  const std::string& LastError() const { return error_; }

  // After Run: the engine with its flash and request counts.
  const ToolEngine& Engine() const { return *engine_; }
  int BlocksWritten() const { return blocksWritten_; }
  // With options.keepWire: every byte read from the line and written to it.
  const Bytes& Received() const { return received_; }
  const Bytes& Sent() const { return sent_; }
  int Reboots() const { return reboots_; }

 private:
  void ServeProtocol();
  void ServeData();
  // Sends one reply with its faults and carries out its event.
  void Deliver(ToolReply& reply);
  // Hands `bytes` to the line at `readyAt` and writes them once their line
  // time is over; false when stopped meanwhile.
  bool SendAt(LinePacer::Clock::time_point readyAt, const std::uint8_t* bytes, std::size_t n);
  bool WriteAll(const std::uint8_t* bytes, std::size_t n, bool patient);
  // Sleeps; false when a stop request came first.
  bool SleepUntil(LinePacer::Clock::time_point until);
  bool SleepMs(int ms);
  // Waits until the updater read what was sent (or `maxMs` passed).
  void WaitDrained(int maxMs);
  // Drops the line, stays away `awayMs`, brings it back; false when it
  // could not come back or a stop came first.
  bool Reconnect(int awayMs);
  void Trace(const std::string& text);

  SimOptions options_;
  std::ostream* log_;
  std::unique_ptr<ToolEngine> engine_;
  PtyLink link_;
  LinePacer pacer_;
  // When the last request has fully arrived (line time included).
  LinePacer::Clock::time_point requestDoneAt_{};
  // Raised by RequestStop; every wait of the serving thread watches it.
  CWakeSignal stopWake_;
  int StopFd() const { return static_cast<int>(stopWake_.Handle()); }
  std::atomic<bool> stop_{false};
  bool ended_ = false;
  bool failed_ = false;
  int blocksWritten_ = 0;
  int reboots_ = 0;
  bool unplugFired_ = false;
  std::string error_;
  Bytes received_, sent_;
};

}  // namespace varnok::sim
