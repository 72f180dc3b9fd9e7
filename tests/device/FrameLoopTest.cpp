// The send and receive loops shared by every device object.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "device/Clock.h"
#include "device/FrameCodec.h"
#include "device/UsbDevInterface.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TempDevDir.h"

using varnok::test::Bytes;
using varnok::test::PtyPeer;
using varnok::test::TempDevDir;

namespace {

// Exposes the loops; every command is irrelevant here.
class LoopDevice : public CUsbDevInterface {
 public:
  int OpenDevice(const std::string&) override { return 1; }
  bool ReadIdStrings(IdStringRecord&) override { return false; }
  bool ReadUserData(std::uint8_t*, int&) override { return false; }
  bool WriteUserData(const std::uint8_t*, int) override { return false; }
  int EnterUpdateMode() override { return -1; }
  int EraseFlash() override { return -1; }
  int WriteBlock(const std::uint8_t*, int, int, int) override { return -1; }
  bool FinishUpdate() override { return false; }
  bool ClosePort() override { return port.Close() == 1; }
  bool IsPortOpen() override { return port.IsOpen(); }
  bool SetDeviceTime() override { return false; }
  bool ReadPartitionTable(std::uint8_t*) override { return false; }
  int VerifyImage(const std::uint8_t*, int) override { return -1; }
  bool ReadDeviceInfo(std::uint8_t*) override { return false; }
  int SelectPartition() override { return -1; }
  int RestartDevice(int) override { return -1; }
  int SyncLoader() override { return -1; }

  using CUsbDevInterface::ClassicReceive;
  using CUsbDevInterface::FramedReceive;
  using CUsbDevInterface::SendFramePieces;
  using CUsbDevInterface::SendWholeFrame;

  int reopenCalls = 0;

 protected:
  bool ReopenClosedPort() override {
    ++reopenCalls;
    return port.Open(1, 115200, nullptr) == 1;
  }
};

class FrameLoopTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(dev.port.Open(1, 115200, nullptr), 1); }
  TempDevDir dir;
  PtyPeer peer{dir.Path(), "ttyACM0"};
  LoopDevice dev;
  std::uint8_t buffer[frame::kFrameBufferSize] = {};
};

TEST_F(FrameLoopTest, WholeFrameSendDeliversEveryByte) {
  const Bytes request = frame::ClassicRequest(0xC0, {1, 2, 3, 4, 5});
  EXPECT_EQ(dev.SendWholeFrame(request.data(), static_cast<int>(request.size())), 1);
  EXPECT_EQ(peer.Receive(request.size()), request);
}

TEST_F(FrameLoopTest, ClassicReceiveSeesOnlyTheFirstPieceOfASplitReply) {
  auto result = std::async(std::launch::async, [&] { return dev.ClassicReceive(buffer, 5, 2000); });
  peer.Send({'Q', 'V', '1'});
  varnok::SleepMs(60);
  peer.Send({'2', '0'});
  EXPECT_EQ(result.get(), 3);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 3), "QV1");
}

TEST_F(FrameLoopTest, ClassicReceiveTimesOutWhenNothingComes) {
  EXPECT_EQ(dev.ClassicReceive(buffer, 32, 50), -1);
}

TEST_F(FrameLoopTest, AbortWithThePortOpenStopsEveryLoopWithoutIo) {
  peer.Send(frame::EncodeReply(0x80, 0x2A));
  varnok::SleepMs(20);
  dev.abort = true;
  const Bytes request = frame::EncodeFrame(Bytes{0x2A, 0, 0, 0, 0});
  EXPECT_EQ(dev.SendWholeFrame(request.data(), static_cast<int>(request.size())), 0);
  EXPECT_EQ(dev.SendFramePieces(request.data(), static_cast<int>(request.size())), 0);
  EXPECT_EQ(dev.ClassicReceive(buffer, 32, 1000), 0);
  EXPECT_EQ(dev.FramedReceive(buffer, 0x2A, 1000), 0);
  EXPECT_TRUE(peer.Drain().empty());
  dev.abort = false;
  EXPECT_EQ(dev.FramedReceive(buffer, 0x2A, 1000), frame::kAckSize);  // reply still queued
}

TEST_F(FrameLoopTest, AbortIsSeenWhileWaitingForAReply) {
  auto result =
      std::async(std::launch::async, [&] { return dev.FramedReceive(buffer, 0x2C, 60000); });
  varnok::SleepMs(30);
  dev.abort = true;
  ASSERT_EQ(result.wait_for(std::chrono::seconds(5)), std::future_status::ready);
  EXPECT_EQ(result.get(), 0);
}

TEST_F(FrameLoopTest, WrongEchoFailsAsSoonAsSevenBytesAreIn) {
  Bytes reply = frame::EncodeReply(0x80, 0x2B);
  reply.resize(7);
  peer.Send(reply);
  const auto start = varnok::TickMs();
  EXPECT_EQ(dev.FramedReceive(buffer, 0x2A, 5000), -1);
  EXPECT_LT(varnok::TickMs() - start, 4000u);
}

TEST_F(FrameLoopTest, WrongSyncFailsAsSoonAsSevenBytesAreIn) {
  peer.Send({0xAB, 0x55, 0x00, 0x02, 0x00, 0x80, 0x2A});
  EXPECT_EQ(dev.FramedReceive(buffer, 0x2A, 5000), -1);
}

TEST_F(FrameLoopTest, LengthTwentyIsCompleteAtThirtyOneBytes) {
  Bytes reply = frame::EncodeReply(0x80, 0x12, Bytes(18, 0x41));  // payload 20
  ASSERT_EQ(reply.size(), 31u);
  reply.insert(reply.end(), {0xEE, 0xEE, 0xEE});  // trailing bytes are not part of it
  auto result = std::async(std::launch::async, [&] { return dev.FramedReceive(buffer, 0x12, 2000); });
  peer.Send(Bytes(reply.begin(), reply.begin() + 20));
  varnok::SleepMs(30);
  peer.Send(Bytes(reply.begin() + 20, reply.end()));
  EXPECT_EQ(result.get(), 31);
}

TEST_F(FrameLoopTest, ReplyLongerThanTheBufferRunsIntoItsTimeOut) {
  Bytes reply = frame::EncodeReply(0x80, 0x12, Bytes(2100, 0x41));
  peer.Send(reply);
  EXPECT_EQ(dev.FramedReceive(buffer, 0x12, 300), -1);
}

TEST_F(FrameLoopTest, FramedReceiveReopensAClosedPortFirst) {
  dev.port.Close();
  auto result = std::async(std::launch::async, [&] { return dev.FramedReceive(buffer, 0x2A, 2000); });
  varnok::SleepMs(50);
  peer.Send(frame::EncodeReply(0x80, 0x2A));
  EXPECT_EQ(result.get(), frame::kAckSize);
  EXPECT_EQ(dev.reopenCalls, 1);
}

TEST_F(FrameLoopTest, SendOnAClosedPortTimesOutAfterItsLimit) {
  dev.port.Close();
  const Bytes request = frame::ClassicRequest(0xC3);
  EXPECT_EQ(dev.SendWholeFrame(request.data(), static_cast<int>(request.size())), -1);
}

}  // namespace
