#pragma once
// The framed tools (new tool and programmer): every request and reply is a
// length-prefixed frame with a 32-bit checksum. Replies: acknowledgement
// EncodeReply(0x80, cmd), refusal EncodeReply(status, cmd), data
// EncodeReply(0x80, cmd, data). Refusal statuses: SimStatus.h.
//
// Life of the tool: Loader (takes updates) or App (refuses flash commands).
// RestartDevice makes it deaf for restartMs, then opens a sync window of
// syncWindowMs in which SyncLoader keeps it in the loader; when the window
// closes unsynced it runs its app. RebootToLoader makes the simulator drop
// the line and bring it back in the loader (OnReboot).

#include <string>

#include "device/FrameCodec.h"
#include "sim/ToolEngine.h"

namespace varnok::sim {

class FramedEngine : public ToolEngine {
 public:
  enum class Mode { Loader, App, Booting, SyncWindow };

  // `programmer`: the update ends with the RestartDevice after
  // FinishUpdate, not with FinishUpdate itself.
  FramedEngine(const SimOptions& options, bool programmer);

  void Feed(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
            std::vector<ToolReply>& out) override;
  void Tick(std::uint64_t nowMs, std::vector<ToolReply>& out) override;
  std::uint64_t NextDeadline() const override;
  void OnReboot() override;

  Mode CurrentMode() const { return mode_; }
  const std::string& DeviceTime() const { return timeText_; }
  int SelectedPartition() const { return selectedPartition_; }

 private:
  ToolReply Handle(const Bytes& payload, std::uint64_t nowMs);
  void Erase(const Bytes& p, ToolReply& r);
  void WriteBlock(const Bytes& p, ToolReply& r);
  void Verify(const Bytes& p, ToolReply& r);
  Bytes PartitionTableData() const;
  // The end of the region that starts at `base`: the next higher partition
  // base, or base + regionSize.
  std::uint64_t RegionEnd(std::uint32_t base) const;

  const SimOptions& options_;
  const bool programmer_;
  frame::FrameScanner scanner_;

  Mode mode_;
  std::uint64_t modeUntil_ = 0;  // Booting / SyncWindow end

  bool erased_ = false;
  std::uint32_t regionBase_ = 0;
  std::uint64_t regionEnd_ = 0;
  std::size_t noPartitionBlockSize_ = 0;  // blocks sent with address 0
  bool finishSeen_ = false;

  Bytes userData_;
  std::string timeText_;
  int selectedPartition_ = 0;
};

}  // namespace varnok::sim
