#pragma once
// The classic tool: requests AA 55 cmd params FF without length or
// checksum, 6-byte replies B4 96 code, a raw-text name, and a block written
// as a header (C1) followed by an unframed data packet with a sum32.
//
// Request lengths are fixed by the command, except WriteUserData (CF),
// whose end the tool can only tell by the line falling quiet after an FF.

#include <string>

#include "sim/ToolEngine.h"

namespace varnok::sim {

class ClassicEngine : public ToolEngine {
 public:
  // After this long without a byte the data packet of a block is given up
  // and whatever came is read as requests again (a retried header, say).
  static constexpr int kPacketIdleMs = 1000;
  // WriteUserData ends when an FF is followed by this much quiet.
  static constexpr int kUserDataQuietMs = 20;

  explicit ClassicEngine(const SimOptions& options) : options_(options) {}

  void Feed(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
            std::vector<ToolReply>& out) override;
  void Tick(std::uint64_t nowMs, std::vector<ToolReply>& out) override;
  std::uint64_t NextDeadline() const override;
  void OnReboot() override;

  bool InUpdateMode() const { return updateMode_; }

 private:
  // Takes complete requests off the front of buffer_.
  void ParseRequests(std::uint64_t nowMs, std::vector<ToolReply>& out);
  void HandleRequest(const Bytes& request, std::uint64_t nowMs, std::vector<ToolReply>& out);
  void HandleBlockHeader(const Bytes& request, ToolReply& reply, std::uint64_t nowMs);
  void FinishPacket(std::vector<ToolReply>& out);
  ToolReply Reply(std::uint8_t command, unsigned occurrence, std::uint8_t code) const;

  const SimOptions& options_;
  Bytes buffer_;  // request bytes not yet parsed
  std::uint64_t lastByteMs_ = 0;

  bool updateMode_ = false;
  bool erased_ = false;
  std::uint64_t regionStart_ = 0;
  std::uint64_t regionEnd_ = 0;
  Bytes userData_;

  // Data packet of the block whose header was accepted.
  bool inPacket_ = false;
  Bytes packet_;
  std::size_t packetSize_ = 0;
  std::uint32_t packetAddress_ = 0;
  unsigned packetOccurrence_ = 0;
};

}  // namespace varnok::sim
