#pragma once
// The protocol side of a simulated tool: turns the bytes the PC sends into
// the replies the tool gives. It knows nothing of the line: the simulator
// (ToolSimulator.h) feeds it, paces the replies and plays the line faults.
//
// Time is passed in, in milliseconds of a monotonic clock, so that the
// engines run the same in unit tests and on a pty.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "sim/FaultPlan.h"
#include "sim/SimFlash.h"
#include "sim/SimOptions.h"

namespace varnok::sim {

using Bytes = std::vector<std::uint8_t>;

// What the tool does once a reply is on the line.
enum class ToolEvent {
  None,
  Reboot,    // RebootToLoader accepted: the line goes away and comes back
  Finished,  // the update is over (see --exit-after-finish)
};

struct ToolReply {
  std::uint8_t command = 0;   // command of the request answered (fault key)
  unsigned occurrence = 0;    // which request of that command, from 1
  Bytes bytes;                // the reply; empty: the tool says nothing
  int workMs = 0;             // the tool's own time before it replies
  bool blockWritten = false;  // a block landed in the flash
  ToolEvent event = ToolEvent::None;
  bool framed = false;  // framed reply (echo at offset 6) or classic
};

class ToolEngine {
 public:
  virtual ~ToolEngine() = default;

  // Bytes received at `nowMs`; replies to completed requests are appended.
  virtual void Feed(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
                    std::vector<ToolReply>& out) = 0;

  // Lets time-driven state move on (partial requests given up, boot
  // windows closing). May append replies.
  virtual void Tick(std::uint64_t nowMs, std::vector<ToolReply>& out) = 0;

  // When Tick next has something to do; 0 when nothing is pending.
  virtual std::uint64_t NextDeadline() const = 0;

  // The tool came back on a new line after a RebootToLoader: in its loader,
  // with no partial request.
  virtual void OnReboot() = 0;

  const SimFlash& Flash() const { return flash_; }
  SimFlash& Flash() { return flash_; }

  // Requests seen per command byte (retries included).
  unsigned RequestCount(std::uint8_t command) const { return counts_[command]; }

  // Every request in order of arrival, with the simulator's clock then: the
  // pauses the updater keeps between requests show here.
  struct Request {
    std::uint8_t command;
    std::uint64_t atMs;
  };
  const std::vector<Request>& Requests() const { return requests_; }

 protected:
  unsigned CountRequest(std::uint8_t command, std::uint64_t nowMs) {
    requests_.push_back({command, nowMs});
    return ++counts_[command];
  }

  SimFlash flash_;
  std::array<unsigned, 256> counts_{};
  std::vector<Request> requests_;
};

// The engine of the options' tool class. `options` must outlive it.
std::unique_ptr<ToolEngine> MakeToolEngine(const SimOptions& options);

}  // namespace varnok::sim
