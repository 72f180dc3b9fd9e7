#include "device/FrameCodec.h"

#include <algorithm>

#include "device/FrameFormat.h"

namespace frame {

std::uint32_t Sum32(const std::uint8_t* data, int n) {
  std::uint32_t sum = 0;
  for (int i = 0; i < n; ++i) sum += data[i];
  return sum;
}

unsigned Sum16(const std::uint8_t* data, int n) { return Sum32(data, n) & 0xFFFFu; }

std::uint32_t FrameChecksum(const std::uint8_t* payload, int n) {
  return (static_cast<unsigned>(n) & 0xFFu) + ((static_cast<unsigned>(n) >> 8) & 0xFFu) +
         Sum32(payload, n);
}

int EncodeFrame(const std::uint8_t* payload, int n, std::uint8_t* out) {
  if (out == nullptr) return 0;
  out[0] = kSync0;
  out[1] = kSync1;
  out[2] = kFramedZero;
  out[kLengthOffset] = static_cast<std::uint8_t>(n & 0xFF);
  out[kLengthOffset + 1] = static_cast<std::uint8_t>((n >> 8) & 0xFF);
  if (n > 0) std::copy(payload, payload + n, out + kPayloadOffset);
  const std::uint32_t sum = FrameChecksum(payload, n);
  std::uint8_t* tail = out + kPayloadOffset + n;
  for (int i = 0; i < kChecksumSize; ++i) tail[i] = static_cast<std::uint8_t>(sum >> (8 * i));
  tail[kChecksumSize] = kCr;
  tail[kChecksumSize + 1] = kLf;
  return n + kOverhead;
}

Bytes EncodeFrame(const Bytes& payload) {
  Bytes out(payload.size() + kOverhead);
  EncodeFrame(payload.data(), static_cast<int>(payload.size()), out.data());
  return out;
}

Bytes EncodeReply(std::uint8_t status, std::uint8_t command, const Bytes& data) {
  Bytes payload;
  payload.reserve(data.size() + 2);
  payload.push_back(status);
  payload.push_back(command);
  payload.insert(payload.end(), data.begin(), data.end());
  return EncodeFrame(payload);
}

bool IsAck(const std::uint8_t* reply, int length, int* refusal) {
  if (reply == nullptr || length < kAckSize) return false;
  if (length == kAckSize) {
    static const std::uint8_t kAckHead[] = {kSync0, kSync1, kFramedZero, 0x02, 0x00,
                                            kStatusAccepted};
    if (std::equal(kAckHead, kAckHead + sizeof kAckHead, reply)) return true;
  } else if (reply[kStatusOffset] == kStatusAccepted) {
    return true;
  }
  if (refusal != nullptr) *refusal = reply[kStatusOffset];
  return false;
}

Bytes ClassicRequest(std::uint8_t command, const Bytes& params) {
  Bytes out;
  out.reserve(params.size() + 4);
  out.push_back(kSync0);
  out.push_back(kSync1);
  out.push_back(command);
  out.insert(out.end(), params.begin(), params.end());
  if (command != kClassicQueryName) out.push_back(kClassicEnd);
  return out;
}

Bytes ClassicReply(std::uint8_t code) {
  return Bytes{kClassicReply0, kClassicReply1, code, 0x00, 0x00, 0x00};
}

bool IsClassicReply(const std::uint8_t* reply, int length, std::uint8_t code) {
  return reply != nullptr && length == kClassicReplySize && reply[0] == kClassicReply0 &&
         reply[1] == kClassicReply1 && reply[kClassicCodeOffset] == code;
}

void PutLe16(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value & 0xFF));
  out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutLe32(Bytes& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint32_t GetLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

unsigned GetLe16(const std::uint8_t* p) { return p[0] | (static_cast<unsigned>(p[1]) << 8); }

void FrameScanner::Feed(const std::uint8_t* data, int n) {
  buffer_.insert(buffer_.end(), data, data + n);
}

bool FrameScanner::Next(Bytes& payload, bool& checksumOk) {
  for (;;) {
    // Drop everything before the next sync pair (a lone trailing AA stays:
    // its 55 may still come).
    std::size_t start = 0;
    while (start < buffer_.size() &&
           !(buffer_[start] == kSync0 &&
             (start + 1 == buffer_.size() || buffer_[start + 1] == kSync1)))
      ++start;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(start));
    if (buffer_.size() < static_cast<std::size_t>(kHeaderSize)) return false;
    if (buffer_[2] != kFramedZero) {
      buffer_.erase(buffer_.begin());  // not a frame start; look further
      continue;
    }
    const std::size_t n = GetLe16(&buffer_[kLengthOffset]);
    const std::size_t total = n + kOverhead;
    if (buffer_.size() < total) return false;
    payload.assign(buffer_.begin() + kPayloadOffset,
                   buffer_.begin() + kPayloadOffset + static_cast<long>(n));
    const std::uint32_t sum = GetLe32(&buffer_[kPayloadOffset + n]);
    checksumOk = sum == FrameChecksum(payload.data(), static_cast<int>(n)) &&
                 buffer_[total - 2] == kCr && buffer_[total - 1] == kLf;
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(total));
    return true;
  }
}

}  // namespace frame
