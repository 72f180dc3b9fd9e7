#pragma once
// Shared pieces of the simulator tests: images, requests and a way to feed
// an engine without a line.

#include <cstdint>
#include <string>
#include <vector>

#include "device/FrameCodec.h"
#include "device/FrameFormat.h"
#include "sim/SimOptions.h"
#include "sim/ToolEngine.h"
#include "tests/support/PatternBytes.h"

namespace varnok::sim::test {

// A deterministic image of `size` bytes; no two neighbouring blocks alike.
inline Bytes MakeImage(std::size_t size, unsigned seed = 1) {
  return varnok::test::PatternBytes(size, seed);
}

inline Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes Le32(std::uint32_t v) {
  Bytes out;
  frame::PutLe32(out, v);
  return out;
}

inline Bytes Le16(unsigned v) {
  Bytes out;
  frame::PutLe16(out, v);
  return out;
}

// Framed WriteBlock request: 2C address index data sum16 (sum16 + `sumError`).
inline Bytes FramedBlock(std::uint32_t address, unsigned index, const Bytes& data,
                         unsigned sumError = 0) {
  Bytes payload{frame::kCmdWriteBlock};
  payload = Cat(payload, Le32(address));
  payload = Cat(payload, Le16(index));
  payload = Cat(payload, data);
  payload =
      Cat(payload,
          Le16((frame::Sum16(data.data(), static_cast<int>(data.size())) + sumError) & 0xFFFF));
  return frame::EncodeFrame(payload);
}

// Classic data packet: data, sum32 (+ `sumError`), filler, index.
inline Bytes ClassicPacket(const Bytes& data, unsigned index, std::uint32_t sumError = 0) {
  Bytes packet = data;
  packet = Cat(packet, Le32(frame::Sum32(data.data(), static_cast<int>(data.size())) + sumError));
  packet.push_back(frame::kClassicFiller);
  packet.push_back(static_cast<std::uint8_t>(index));
  return packet;
}

inline Bytes ClassicHeader(std::uint32_t address, std::size_t dataSize) {
  Bytes params = Le32(address);
  params = Cat(params, Le16(static_cast<unsigned>(dataSize + frame::kClassicBlockTrailerSize)));
  return frame::ClassicRequest(frame::kClassicWriteBlock, params);
}

// Feeds `bytes` at `nowMs` and returns the replies' bytes.
inline std::vector<ToolReply> FeedAll(ToolEngine& engine, const Bytes& bytes,
                                      std::uint64_t nowMs = 1000) {
  std::vector<ToolReply> out;
  engine.Feed(bytes.data(), bytes.size(), nowMs, out);
  return out;
}

// The one reply to `bytes`; an empty reply when there were none or several.
inline ToolReply FeedOne(ToolEngine& engine, const Bytes& bytes, std::uint64_t nowMs = 1000) {
  std::vector<ToolReply> out = FeedAll(engine, bytes, nowMs);
  return out.size() == 1 ? out[0] : ToolReply{};
}

}  // namespace varnok::sim::test
