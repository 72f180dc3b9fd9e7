#include "sim/FramedEngine.h"

#include <algorithm>
#include <cctype>

#include "device/FrameFormat.h"
#include "sim/SimStatus.h"

namespace varnok::sim {

namespace {

void Ack(ToolReply& r, const Bytes& data = {}) {
  r.bytes = frame::EncodeReply(frame::kStatusAccepted, r.command, data);
}

void Refuse(ToolReply& r, std::uint8_t status) { r.bytes = frame::EncodeReply(status, r.command); }

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// "YYYY-MM-DD-hh-mm-ss"
bool IsTimeText(const std::uint8_t* p) {
  for (int i = 0; i < frame::kTimeTextSize; ++i) {
    const bool dash = i == 4 || i == 7 || i == 10 || i == 13 || i == 16;
    if (dash ? p[i] != '-' : !std::isdigit(p[i])) return false;
  }
  return true;
}

// Requests that change or check the flash: only the loader takes them.
bool NeedsLoader(std::uint8_t command) {
  return command == frame::kCmdErase || command == frame::kCmdWriteBlock ||
         command == frame::kCmdVerify || command == frame::kCmdFinish;
}

// Payload sizes, command byte included.
constexpr std::size_t kBaseRequestSize = 5;    // cmd base(4)
constexpr std::size_t kBlockOverhead = 9;      // cmd address(4) index(2) .. sum16(2)
constexpr std::size_t kVerifyRequestSize = 9;  // cmd name(4) tag(4)
constexpr std::size_t kTimeRequestSize = 1 + frame::kTimeTextSize;
// The partition table reply carries one byte after the 72-byte table (the
// PC takes reply length - 14 bytes): the number of entries.
constexpr std::uint8_t kPartitionTableTrailer = frame::kPartitionCount;

}  // namespace

FramedEngine::FramedEngine(const SimOptions& options, bool programmer)
    : options_(options),
      programmer_(programmer),
      mode_(options.startIn == StartState::Loader ? Mode::Loader : Mode::App) {}

void FramedEngine::Feed(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
                        std::vector<ToolReply>& out) {
  Tick(nowMs, out);
  if (mode_ == Mode::Booting) return;  // nobody listens while it boots
  scanner_.Feed(data, static_cast<int>(n));
  Bytes payload;
  bool checksumOk = false;
  while (scanner_.Next(payload, checksumOk)) {
    if (payload.empty()) continue;
    if (!checksumOk) {
      ToolReply r;
      r.framed = true;
      r.command = payload[0];
      r.occurrence = CountRequest(payload[0], nowMs);
      Refuse(r, kRefuseBadFrameSum);
      out.push_back(std::move(r));
      continue;
    }
    out.push_back(Handle(payload, nowMs));
    if (mode_ == Mode::Booting) {
      // A restart: what is still queued is lost with the old firmware.
      scanner_.Clear();
      return;
    }
  }
}

void FramedEngine::Tick(std::uint64_t nowMs, std::vector<ToolReply>& /*out*/) {
  if (mode_ == Mode::Booting && nowMs >= modeUntil_) {
    mode_ = Mode::SyncWindow;
    modeUntil_ = nowMs + static_cast<std::uint64_t>(options_.syncWindowMs);
  }
  if (mode_ == Mode::SyncWindow && nowMs >= modeUntil_) mode_ = Mode::App;
}

std::uint64_t FramedEngine::NextDeadline() const {
  return (mode_ == Mode::Booting || mode_ == Mode::SyncWindow) ? modeUntil_ : 0;
}

void FramedEngine::OnReboot() {
  scanner_.Clear();
  mode_ = Mode::Loader;
}

std::uint64_t FramedEngine::RegionEnd(std::uint32_t base) const {
  std::uint64_t end = static_cast<std::uint64_t>(base) + options_.regionSize;
  for (std::uint32_t other : options_.partitionBases)
    if (other > base) end = std::min<std::uint64_t>(end, other);
  return end;
}

Bytes FramedEngine::PartitionTableData() const {
  // Entry: base(4), size(4), name "IDk" + 0 (4).
  Bytes table;
  for (int k = 0; k < frame::kPartitionCount; ++k) {
    const std::uint32_t base = options_.partitionBases[k];
    frame::PutLe32(table, base);
    frame::PutLe32(table, static_cast<std::uint32_t>(RegionEnd(base) - base));
    table.push_back('I');
    table.push_back('D');
    table.push_back(static_cast<std::uint8_t>('1' + k));
    table.push_back(0);
  }
  table.push_back(kPartitionTableTrailer);
  return table;
}

ToolReply FramedEngine::Handle(const Bytes& p, std::uint64_t nowMs) {
  ToolReply r;
  r.framed = true;
  r.command = p[0];
  r.occurrence = CountRequest(r.command, nowMs);

  if (const Fault* refuse = options_.faults.Find(FaultKind::Refuse, r.command, r.occurrence)) {
    Refuse(r, static_cast<std::uint8_t>(refuse->hasValue ? refuse->value : kDefaultFaultStatus));
    return r;
  }
  const bool inLoader = mode_ == Mode::Loader;
  if (NeedsLoader(r.command) && !inLoader) {
    Refuse(r, kRefuseNotInLoader);
    return r;
  }

  switch (r.command) {
    case frame::kCmdQueryName:
      Ack(r, TextBytes(options_.ReportedName(inLoader)));
      break;
    case frame::kCmdDeviceInfo:
      Ack(r, TextBytes(options_.deviceInfo));
      break;
    case frame::kCmdIdStrings:
      Ack(r, TextBytes(options_.idStrings));
      break;
    case frame::kCmdPartitionTable:
      Ack(r, PartitionTableData());
      break;
    case frame::kCmdReadUserData:
      Ack(r, userData_);
      break;
    case frame::kCmdWriteUserData:
      if (p.size() < 3 || p.size() != 3 + frame::GetLe16(p.data() + 1)) {
        Refuse(r, kRefuseBadRequest);
      } else {
        userData_.assign(p.begin() + 3, p.end());
        Ack(r);
      }
      break;
    case frame::kCmdSetTime:
      if (p.size() != kTimeRequestSize || !IsTimeText(p.data() + 1)) {
        Refuse(r, kRefuseBadRequest);
      } else {
        timeText_.assign(p.begin() + 1, p.end());
        Ack(r);
      }
      break;
    case frame::kCmdSelectPartition:
      if (p.size() != 2 || p[1] > frame::kPartitionCount) {
        Refuse(r, kRefuseBadRequest);
      } else {
        selectedPartition_ = p[1];
        Ack(r);
      }
      break;
    case frame::kCmdErase:
      Erase(p, r);
      break;
    case frame::kCmdWriteBlock:
      WriteBlock(p, r);
      break;
    case frame::kCmdVerify:
      Verify(p, r);
      break;
    case frame::kCmdFinish:
      if (p.size() != kBaseRequestSize) {
        Refuse(r, kRefuseBadRequest);
        break;
      }
      finishSeen_ = true;
      if (!programmer_) r.event = ToolEvent::Finished;
      Ack(r);
      break;
    case frame::kCmdRestart:
      if (p.size() != kBaseRequestSize) {
        Refuse(r, kRefuseBadRequest);
        break;
      }
      Ack(r);
      mode_ = Mode::Booting;
      modeUntil_ = nowMs + static_cast<std::uint64_t>(options_.restartMs);
      if (finishSeen_) r.event = ToolEvent::Finished;
      break;
    case frame::kCmdSyncLoader:
      if (mode_ == Mode::App) {
        Refuse(r, kRefuseNotInLoader);
      } else {
        mode_ = Mode::Loader;
        Ack(r);
      }
      break;
    case frame::kCmdRebootToLoader:
      Ack(r);
      r.event = ToolEvent::Reboot;
      break;
    default:
      Refuse(r, kRefuseUnknownCommand);
      break;
  }
  return r;
}

void FramedEngine::Erase(const Bytes& p, ToolReply& r) {
  if (p.size() != kBaseRequestSize) {
    Refuse(r, kRefuseBadRequest);
    return;
  }
  regionBase_ = frame::GetLe32(p.data() + 1);
  regionEnd_ = RegionEnd(regionBase_);
  flash_.Erase(regionBase_, regionEnd_ - regionBase_);
  erased_ = true;
  noPartitionBlockSize_ = 0;
  r.workMs = options_.eraseMs;
  Ack(r);
}

void FramedEngine::WriteBlock(const Bytes& p, ToolReply& r) {
  if (p.size() <= kBlockOverhead || p.size() > kBlockOverhead + frame::kMaxFramedBlock) {
    Refuse(r, kRefuseBadRequest);
    return;
  }
  const std::size_t size = p.size() - kBlockOverhead;
  const std::uint8_t* data = p.data() + 7;
  std::uint64_t address = frame::GetLe32(p.data() + 1);
  const unsigned index = frame::GetLe16(p.data() + 5);
  if (frame::GetLe16(data + size) != frame::Sum16(data, static_cast<int>(size))) {
    Refuse(r, kRefuseBadBlockSum);
    return;
  }
  if (erased_ && regionBase_ == 0 && address == 0) {
    // With no partition the PC sends address 0 for every block: the index
    // places it, in blocks of the size block 0 had.
    if (index == 0 || noPartitionBlockSize_ == 0) noPartitionBlockSize_ = size;
    address = static_cast<std::uint64_t>(index) * noPartitionBlockSize_;
  }
  if (!erased_ || address < regionBase_ || address + size > regionEnd_) {
    Refuse(r, kRefuseOutOfRange);
    return;
  }
  flash_.Write(static_cast<std::uint32_t>(address), data, size);
  r.blockWritten = true;
  r.workMs = options_.blockMs;
  Ack(r);
}

void FramedEngine::Verify(const Bytes& p, ToolReply& r) {
  if (p.size() != kVerifyRequestSize) {
    Refuse(r, kRefuseBadRequest);
    return;
  }
  // The tag is the 4 bytes that start 16 bytes before the end of the image
  // as written; the partition name only says which partition the PC means.
  const std::uint64_t end = flash_.WrittenEnd();
  if (!flash_.HasWrites() || end < flash_.RegionStart() + frame::kImageTagFromEnd) {
    Refuse(r, kRefuseVerifyMismatch);
    return;
  }
  std::uint8_t tag[frame::kImageTagSize];
  flash_.Read(static_cast<std::uint32_t>(end - frame::kImageTagFromEnd), tag, sizeof tag);
  if (!std::equal(tag, tag + sizeof tag, p.data() + 5)) {
    Refuse(r, kRefuseVerifyMismatch);
    return;
  }
  Ack(r);
}

}  // namespace varnok::sim
