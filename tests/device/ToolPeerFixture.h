#pragma once
// Shared pieces of the protocol tests: a device object on a real pty whose
// far end the test thread plays as the tool. The device call runs on its own
// thread (Start) while the test reads the request and answers.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <future>
#include <string>
#include <utility>

#include "device/FrameCodec.h"
#include "device/FrameFormat.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TempDevDir.h"

namespace varnok::test {

inline std::string Hex(const Bytes& bytes) {
  std::string out;
  char piece[4];
  for (const std::uint8_t b : bytes) {
    std::snprintf(piece, sizeof piece, "%02X ", b);
    out += piece;
  }
  if (!out.empty()) out.pop_back();
  return out;
}

inline Bytes Cat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

inline Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Framed replies.
inline Bytes Ack(std::uint8_t command) {
  return frame::EncodeReply(frame::kStatusAccepted, command);
}
inline Bytes Refusal(std::uint8_t status, std::uint8_t command) {
  return frame::EncodeReply(status, command);
}
inline Bytes DataReply(std::uint8_t command, const Bytes& data) {
  return frame::EncodeReply(frame::kStatusAccepted, command, data);
}
// A 12-byte reply (length field 1) that still carries the right echo at
// offset 6: too short to hold status and echo as an acknowledgement does.
inline Bytes ShortReply(std::uint8_t status, std::uint8_t command) {
  return Bytes{0xAA, 0x55, 0x00, 0x01, 0x00, status, command, 0x00, 0x00, 0x00, 0x0D, 0x0A};
}
// The request frame of a framed command payload.
inline Bytes Request(const Bytes& payload) { return frame::EncodeFrame(payload); }

// Plays a framed tool answering one name request (0x11) with `name`.
inline void AnswerName(PtyPeer& peer, const std::string& name) {
  EXPECT_EQ(Hex(peer.Receive(12)), Hex(Request({frame::kCmdQueryName})));
  peer.Send(DataReply(frame::kCmdQueryName, Text(name)));
}

template <class F>
auto Start(F&& call) {
  return std::async(std::launch::async, std::forward<F>(call));
}

template <class T>
bool FinishesWithin(std::future<T>& f, int ms) {
  return f.wait_for(std::chrono::milliseconds(ms)) == std::future_status::ready;
}

// A device class with a fixed wall clock for SetDeviceTime.
template <class Device>
class FixedClock : public Device {
 public:
  std::tm now{};

 protected:
  std::tm LocalTimeNow() const override { return now; }
};

// A device of class `Device` with its port 1 (ttyACM0) on a pty.
template <class Device>
class DeviceOnPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dev.OpenPort(1)); }

  // Reads one request of the size of `expected` and compares it.
  void ExpectRequest(const Bytes& expected, int timeoutMs = 2000) {
    EXPECT_EQ(Hex(tool.Receive(expected.size(), timeoutMs)), Hex(expected));
  }
  // Nothing more was written to the tool.
  void ExpectSilence(int quietMs = 150) { EXPECT_EQ(Hex(tool.ReceiveAll(quietMs, 1000)), ""); }

  TempDevDir dir;
  PtyPeer tool{dir.Path(), "ttyACM0"};
  Device dev;
};

}  // namespace varnok::test
