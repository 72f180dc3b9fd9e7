#pragma once
// A simulated tool running on a thread of its own, for tests and benchmarks
// that drive it in-process. The line is up when the constructor returns.

#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "sim/ToolSimulator.h"

namespace varnok::sim {

class RunningSimulator {
 public:
  // Starts the tool; throws std::runtime_error when the line cannot be set
  // up. `log` as for ToolSimulator.
  explicit RunningSimulator(SimOptions options, std::ostream* log = nullptr);
  // Stops the tool and waits for its thread.
  ~RunningSimulator();
  RunningSimulator(const RunningSimulator&) = delete;
  RunningSimulator& operator=(const RunningSimulator&) = delete;

  const std::string& LinkPath() const { return sim_->LinkPath(); }

  // True once the tool ended by itself (exit-after-finish, unplug).
  bool Ended() const { return done_.load(); }
  // Waits up to `timeoutMs` for the tool to end by itself.
  bool WaitEnded(int timeoutMs) const;

  // Stops the tool (idempotent) and returns Run's result. The accessors
  // below stop it first, as its state belongs to its thread while it runs.
  int Stop();
  Bytes FlashImage();
  const ToolSimulator& Simulator();

 private:
  std::unique_ptr<ToolSimulator> sim_;
  std::thread thread_;
  std::atomic<bool> done_{false};
  int result_ = 0;
};

}  // namespace varnok::sim
