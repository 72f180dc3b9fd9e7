#pragma once
// The tool's side of a recorded run (a wire trace) played on a pseudo-
// terminal: for every recorded `tx` the same bytes are awaited from the
// program, every recorded `rx` is sent after its recorded delay (at once
// when fast), a recorded hang-up drops the line until the program's next
// recorded open. Strict: the first byte that differs stops the replay with
// a message naming the event, the offset, both bytes and the frame; the
// line then goes away, so the program sees a dead tool. Loose: inside a
// block write only the frame's shape must match. The time text of a
// SET-TIME request (the PC's clock) may always differ.
//
// Threads: Start() and Run() on one thread; RequestStop() from any thread
// or a signal handler.

#include <atomic>
#include <cstdint>
#include <ostream>
#include <string>

#include "device/WireTraceFile.h"
#include "device/WakeSignal.h"
#include "sim/PtyLink.h"
#include "sim/SimOptions.h"

namespace varnok::sim {

enum class ReplayEnd {
  Played,    // every event played
  Mismatch,  // the program sent something else (or nothing)
  Stopped,   // a stop request
  Failed,    // the line could not be brought up
};

class ReplayTool {
 public:
  // `log` gets the mismatch message and, with options.verbose, the events.
  ReplayTool(SimOptions options, std::ostream* log);
  ~ReplayTool();
  ReplayTool(const ReplayTool&) = delete;
  ReplayTool& operator=(const ReplayTool&) = delete;

  // Reads the trace and brings the line up. False with `error` set.
  bool Start(std::string* error);
  ReplayEnd Run();
  void RequestStop();

  const std::string& Message() const { return message_; }

 private:
  bool AwaitTx(std::size_t index);
  bool SendRx(std::size_t index);
  bool PlayGone(std::size_t index);
  // Data mode: waits until the program opens the line.
  bool AwaitPeerOpen();
  // Whether byte `offset` of the tx event may differ (loose block payload).
  bool MayDiffer(std::size_t index, std::size_t offset) const;
  bool SleepMs(double ms);
  void Mismatch(std::size_t index, std::size_t offset, int expected, int received);
  void Trace(const std::string& text);

  SimOptions options_;
  std::ostream* log_;
  WireTraceData trace_;
  PtyLink link_;
  // Raised by RequestStop; every wait of the serving thread watches it.
  CWakeSignal stopWake_;
  int StopFd() const { return static_cast<int>(stopWake_.Handle()); }
  std::atomic<bool> stop_{false};
  std::string pendingIn_;  // bytes read ahead of the event that takes them
  double lastT_ = 0;       // recorded time of the last event played
  std::string message_;
};

}  // namespace varnok::sim
