#include "sim/ClassicEngine.h"

#include <algorithm>

#include "device/FrameCodec.h"
#include "device/FrameFormat.h"
#include "sim/SimStatus.h"

namespace varnok::sim {

namespace {

// Fixed request lengths, AA 55 included; 0 for a command of its own length
// rule (CF) and -1 for a byte that is no command.
int RequestLength(std::uint8_t command) {
  switch (command) {
    case frame::kClassicQueryName:
      return 3;
    case frame::kClassicReadUserData:
      return 4;
    case frame::kClassicFinish:
      return 4;
    case frame::kClassicEnterUpdate:
      return 9;
    case frame::kClassicErase:
      return 9;
    case frame::kClassicWriteBlock:
      return frame::kClassicBlockHeaderSize;
    case frame::kClassicWriteUserData:
      return 0;
    default:
      return -1;
  }
}

// The largest WriteUserData request: AA 55 CF, 2044 bytes, FF.
constexpr std::size_t kMaxUserDataRequest = frame::kClassicMaxUserData + 4;

const std::uint8_t kVariantFirst[] = {0x01, 0x02, 0x03, 0x04, 0x05};
const std::uint8_t kVariantSecond[] = {0x05, 0x04, 0x03, 0x02, 0x01};

}  // namespace

ToolReply ClassicEngine::Reply(std::uint8_t command, unsigned occurrence, std::uint8_t code) const {
  ToolReply r;
  r.command = command;
  r.occurrence = occurrence;
  r.bytes = frame::ClassicReply(code);
  return r;
}

void ClassicEngine::Feed(const std::uint8_t* data, std::size_t n, std::uint64_t nowMs,
                         std::vector<ToolReply>& out) {
  if (n == 0) return;
  lastByteMs_ = nowMs;
  std::size_t used = 0;
  if (inPacket_) {
    used = std::min(n, packetSize_ - packet_.size());
    packet_.insert(packet_.end(), data, data + used);
    if (packet_.size() == packetSize_) FinishPacket(out);
  }
  buffer_.insert(buffer_.end(), data + used, data + n);
  ParseRequests(nowMs, out);
}

void ClassicEngine::Tick(std::uint64_t nowMs, std::vector<ToolReply>& out) {
  if (inPacket_ && nowMs >= lastByteMs_ + kPacketIdleMs) {
    // The packet never completed: what came may be a retried request.
    inPacket_ = false;
    buffer_.insert(buffer_.begin(), packet_.begin(), packet_.end());
    packet_.clear();
    ParseRequests(nowMs, out);
  }
  if (!inPacket_ && buffer_.size() >= 4 && buffer_[2] == frame::kClassicWriteUserData &&
      buffer_.back() == frame::kClassicEnd && nowMs >= lastByteMs_ + kUserDataQuietMs) {
    const Bytes request(buffer_.begin(), buffer_.end());
    buffer_.clear();
    HandleRequest(request, nowMs, out);
  }
}

std::uint64_t ClassicEngine::NextDeadline() const {
  if (inPacket_) return lastByteMs_ + kPacketIdleMs;
  if (buffer_.size() >= 4 && buffer_[2] == frame::kClassicWriteUserData)
    return lastByteMs_ + kUserDataQuietMs;
  return 0;
}

void ClassicEngine::OnReboot() {
  buffer_.clear();
  inPacket_ = false;
  packet_.clear();
  updateMode_ = false;
}

void ClassicEngine::ParseRequests(std::uint64_t nowMs, std::vector<ToolReply>& out) {
  while (!inPacket_) {
    // Skip to the next AA 55 (a trailing AA may still get its 55).
    std::size_t start = 0;
    while (start < buffer_.size() &&
           !(buffer_[start] == frame::kSync0 &&
             (start + 1 == buffer_.size() || buffer_[start + 1] == frame::kSync1)))
      ++start;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(start));
    if (buffer_.size() < 3) return;

    const int length = RequestLength(buffer_[2]);
    if (length < 0) {
      buffer_.erase(buffer_.begin());  // not a request; look further
      continue;
    }
    if (length == 0) {
      // WriteUserData: complete on quiet after an FF (Tick), or when it
      // reaches the largest size a request can have.
      if (buffer_.size() < kMaxUserDataRequest) return;
      const Bytes request(buffer_.begin(), buffer_.begin() + kMaxUserDataRequest);
      buffer_.erase(buffer_.begin(), buffer_.begin() + kMaxUserDataRequest);
      HandleRequest(request, nowMs, out);
      continue;
    }
    if (buffer_.size() < static_cast<std::size_t>(length)) return;
    const Bytes request(buffer_.begin(), buffer_.begin() + length);
    buffer_.erase(buffer_.begin(), buffer_.begin() + length);
    HandleRequest(request, nowMs, out);
    if (inPacket_ && !buffer_.empty()) {
      // Bytes after an accepted header belong to its data packet.
      const std::size_t take = std::min(buffer_.size(), packetSize_);
      packet_.assign(buffer_.begin(), buffer_.begin() + static_cast<long>(take));
      buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(take));
      if (packet_.size() == packetSize_) FinishPacket(out);
    }
  }
}

void ClassicEngine::HandleRequest(const Bytes& request, std::uint64_t nowMs,
                                  std::vector<ToolReply>& out) {
  const std::uint8_t command = request[2];
  const unsigned occurrence = CountRequest(command, nowMs);
  const bool endsWell = command == frame::kClassicQueryName || request.back() == frame::kClassicEnd;

  if (const Fault* refuse = options_.faults.Find(FaultKind::Refuse, command, occurrence)) {
    const auto code = static_cast<std::uint8_t>(refuse->hasValue ? refuse->value : kClassicRefused);
    out.push_back(Reply(command, occurrence, code));
    return;
  }
  if (!endsWell) {
    out.push_back(Reply(command, occurrence, kClassicRefused));
    return;
  }

  ToolReply reply;
  reply.command = command;
  reply.occurrence = occurrence;
  switch (command) {
    case frame::kClassicQueryName: {
      const std::string name = options_.ReportedName(updateMode_);
      reply.bytes.assign(name.begin(), name.end());
      break;
    }
    case frame::kClassicReadUserData:
      reply.bytes = userData_.empty() ? frame::ClassicReply(frame::kClassicNoData) : userData_;
      break;
    case frame::kClassicWriteUserData:
      userData_.assign(request.begin() + 3, request.end() - 1);
      reply.bytes = frame::ClassicReply(frame::kClassicDataWritten);
      break;
    case frame::kClassicEnterUpdate: {
      const std::uint8_t* p = request.data() + 3;
      if (std::equal(p, p + 5, kVariantFirst) || std::equal(p, p + 5, kVariantSecond)) {
        updateMode_ = true;
        reply.bytes = frame::ClassicReply(frame::kClassicUpdateMode);
      } else {
        reply.bytes = frame::ClassicReply(kClassicRefused);
      }
      break;
    }
    case frame::kClassicErase: {
      if (!updateMode_) {
        reply.bytes = frame::ClassicReply(kClassicRefused);
        break;
      }
      const std::uint32_t start = frame::GetLe32(request.data() + 3);
      flash_.Erase(start, options_.regionSize);
      erased_ = true;
      regionStart_ = start;
      regionEnd_ = static_cast<std::uint64_t>(start) + options_.regionSize;
      reply.workMs = options_.eraseMs;
      reply.bytes = frame::ClassicReply(frame::kClassicEraseDone);
      break;
    }
    case frame::kClassicWriteBlock:
      HandleBlockHeader(request, reply, nowMs);
      break;
    case frame::kClassicFinish:
      updateMode_ = false;
      reply.bytes = frame::ClassicReply(frame::kClassicDataWritten);
      reply.event = ToolEvent::Finished;
      break;
    default:
      return;
  }
  out.push_back(std::move(reply));
}

void ClassicEngine::HandleBlockHeader(const Bytes& request, ToolReply& reply, std::uint64_t nowMs) {
  const std::uint32_t address = frame::GetLe32(request.data() + 3);
  const unsigned packetSize = frame::GetLe16(request.data() + 7);
  const int dataSize = static_cast<int>(packetSize) - frame::kClassicBlockTrailerSize;
  const bool fits =
      erased_ && dataSize >= 1 && dataSize <= frame::kClassicMaxBlock && address >= regionStart_ &&
      static_cast<std::uint64_t>(address) + static_cast<unsigned>(dataSize) <= regionEnd_;
  if (!updateMode_ || !fits) {
    reply.bytes = frame::ClassicReply(kClassicRefused);
    return;
  }
  inPacket_ = true;
  packet_.clear();
  packetSize_ = packetSize;
  packetAddress_ = address;
  packetOccurrence_ = reply.occurrence;
  lastByteMs_ = nowMs;
  reply.bytes = frame::ClassicReply(frame::kClassicHeaderAccepted);
}

void ClassicEngine::FinishPacket(std::vector<ToolReply>& out) {
  inPacket_ = false;
  const std::size_t dataSize = packetSize_ - frame::kClassicBlockTrailerSize;
  ToolReply reply;
  reply.command = frame::kClassicWriteBlock;
  reply.occurrence = packetOccurrence_;
  const std::uint32_t sum = frame::GetLe32(packet_.data() + dataSize);
  if (sum != frame::Sum32(packet_.data(), static_cast<int>(dataSize))) {
    reply.bytes = frame::ClassicReply(kClassicRefused);
  } else {
    flash_.Write(packetAddress_, packet_.data(), dataSize);
    reply.bytes = frame::ClassicReply(frame::kClassicBlockAccepted);
    reply.blockWritten = true;
    reply.workMs = options_.blockMs;
  }
  packet_.clear();
  out.push_back(std::move(reply));
}

}  // namespace varnok::sim
