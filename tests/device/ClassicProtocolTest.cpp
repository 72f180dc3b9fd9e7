// CSTM32Dev against a scripted classic tool on a pty.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "device/Clock.h"
#include "device/STM32Dev.h"
#include "tests/device/ToolPeerFixture.h"

using namespace varnok::test;

namespace {

const Bytes kUpdateModeReply{0xB4, 0x96, 0x81, 0x00, 0x00, 0x00};
const Bytes kEraseDoneReply{0xB4, 0x96, 0x83, 0x00, 0x00, 0x00};
const Bytes kHeaderReply{0xB4, 0x96, 0x82, 0x00, 0x00, 0x00};
const Bytes kBlockReply{0xB4, 0x96, 0x84, 0x00, 0x00, 0x00};
const Bytes kWrittenReply{0xB4, 0x96, 0x80, 0x00, 0x00, 0x00};
const Bytes kNameRequest{0xAA, 0x55, 0xC9};

class ClassicProtocolTest : public DeviceOnPty<CSTM32Dev> {};

// ---- Identification --------------------------------------------------------

TEST_F(ClassicProtocolTest, QueryDeviceNameSendsC9WithoutEndByte) {
  std::string name;
  auto call = Start([&] { return dev.QueryDeviceName(name); });
  ExpectRequest(kNameRequest);
  tool.Send(Text("QV220"));
  EXPECT_EQ(call.get(), 1);
  EXPECT_EQ(name, "QV220");
  ExpectSilence();
}

TEST_F(ClassicProtocolTest, NameReplyInTwoPiecesYieldsTheFirstPiece) {
  std::string name;
  auto call = Start([&] { return dev.QueryDeviceName(name); });
  ExpectRequest(kNameRequest);
  tool.Send(Text("ABC"));
  // The device reads 100 ms after its request; the rest comes too late.
  varnok::SleepMs(400);
  tool.Send(Text("DE"));
  EXPECT_EQ(call.get(), 1);
  EXPECT_EQ(name, "ABC");
}

TEST_F(ClassicProtocolTest, ReadDeviceNameStoresAtMostFiveBytes) {
  std::uint8_t buffer[kDeviceNameBufferSize];
  std::memset(buffer, 0x77, sizeof buffer);
  auto call = Start([&] { return dev.ReadDeviceName(buffer); });
  ExpectRequest(kNameRequest);
  tool.Send(Text("QV120EXTRA-LONG-NAME"));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 5), "QV120");
  EXPECT_EQ(buffer[5], 0x77);
}

// ---- Update mode and erase --------------------------------------------------

struct EnterCase {
  int partition;
  Bytes request;
};

class ClassicEnterUpdateMode : public ClassicProtocolTest,
                               public ::testing::WithParamInterface<EnterCase> {};

TEST_P(ClassicEnterUpdateMode, RequestFollowsThePartitionVariant) {
  dev.partition = GetParam().partition;
  auto call = Start([&] { return dev.EnterUpdateMode(); });
  ExpectRequest(GetParam().request);
  tool.Send(kUpdateModeReply);
  EXPECT_EQ(call.get(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, ClassicEnterUpdateMode,
    ::testing::Values(
        EnterCase{0, {0xAA, 0x55, 0xC0, 0x01, 0x02, 0x03, 0x04, 0x05, 0xFF}},
        EnterCase{1, {0xAA, 0x55, 0xC0, 0x05, 0x04, 0x03, 0x02, 0x01, 0xFF}},
        EnterCase{3, {0xAA, 0x55, 0xC0, 0x05, 0x04, 0x03, 0x02, 0x01, 0xFF}}));

TEST_F(ClassicProtocolTest, SevenByteUpdateModeReplyIsNotAccepted) {
  const Bytes request{0xAA, 0x55, 0xC0, 0x01, 0x02, 0x03, 0x04, 0x05, 0xFF};
  auto call = Start([&] { return dev.EnterUpdateMode(); });
  ExpectRequest(request);
  tool.Send({0xB4, 0x96, 0x81, 0x01, 0x02, 0x03, 0x04});
  // A wrong reply leads to the next try at once, not after a time-out.
  ExpectRequest(request, 1000);
  tool.Send(kUpdateModeReply);
  EXPECT_EQ(call.get(), 1);
}

TEST_F(ClassicProtocolTest, UnansweredFirstTryIsRepeated) {
  const Bytes request{0xAA, 0x55, 0xC0, 0x01, 0x02, 0x03, 0x04, 0x05, 0xFF};
  auto call = Start([&] { return dev.EnterUpdateMode(); });
  ExpectRequest(request);
  ExpectRequest(request, 3000);  // after the 2000 ms reply time-out
  tool.Send(kUpdateModeReply);
  EXPECT_EQ(call.get(), 1);
}

struct EraseCase {
  int partition;
  int deviceType;
  Bytes request;
};

class ClassicEraseFlash : public ClassicProtocolTest,
                          public ::testing::WithParamInterface<EraseCase> {};

TEST_P(ClassicEraseFlash, RequestFollowsPartitionAndDeviceType) {
  dev.partition = GetParam().partition;
  dev.SetDeviceType(GetParam().deviceType);
  auto call = Start([&] { return dev.EraseFlash(); });
  ExpectRequest(GetParam().request);
  tool.Send(kEraseDoneReply);
  EXPECT_EQ(call.get(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, ClassicEraseFlash,
    ::testing::Values(
        EraseCase{0, 7, {0xAA, 0x55, 0xC2, 0x00, 0x40, 0x00, 0x08, 0x30, 0xFF}},
        EraseCase{0, 6, {0xAA, 0x55, 0xC2, 0x00, 0x40, 0x00, 0x08, 0xF2, 0xFF}},
        EraseCase{1, 7, {0xAA, 0x55, 0xC2, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}}));

TEST_F(ClassicProtocolTest, EraseWithThreeWrongRepliesFails) {
  const Bytes request{0xAA, 0x55, 0xC2, 0x00, 0x40, 0x00, 0x08, 0xF2, 0xFF};
  auto call = Start([&] { return dev.EraseFlash(); });
  for (int i = 0; i < 3; ++i) {
    ExpectRequest(request);
    tool.Send(kHeaderReply);
  }
  EXPECT_EQ(call.get(), -1);
  ExpectSilence();
}

// ---- Blocks -----------------------------------------------------------------

Bytes Image(int size) {
  Bytes image(static_cast<std::size_t>(size));
  for (int i = 0; i < size; ++i) image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i * 7 + 3);
  return image;
}

Bytes Packet(const Bytes& image, int offset, int len, int index) {
  Bytes packet(image.begin() + offset, image.begin() + offset + len);
  frame::PutLe32(packet, frame::Sum32(image.data() + offset, len));
  packet.push_back(frame::kClassicFiller);
  packet.push_back(static_cast<std::uint8_t>(index & 0xFF));
  return packet;
}

TEST_F(ClassicProtocolTest, WriteBlockAtOffset4096SendsHeaderThenPacket) {
  const Bytes image = Image(8192);
  auto call = Start([&] { return dev.WriteBlock(image.data(), 2048, 4096, 258); });
  ExpectRequest({0xAA, 0x55, 0xC1, 0x00, 0x50, 0x00, 0x08, 0x06, 0x08, 0xFF});
  tool.Send(kHeaderReply);
  // The index goes out as its low byte only.
  ExpectRequest(Packet(image, 4096, 2048, 258));
  tool.Send(kBlockReply);
  EXPECT_EQ(call.get(), 0);
}

TEST_F(ClassicProtocolTest, SecondVariantAddressesTheOffsetItself) {
  dev.partition = 1;
  const Bytes image = Image(300);
  auto call = Start([&] { return dev.WriteBlock(image.data(), 44, 256, 2); });
  ExpectRequest({0xAA, 0x55, 0xC1, 0x00, 0x01, 0x00, 0x00, 0x32, 0x00, 0xFF});
  tool.Send(kHeaderReply);
  ExpectRequest(Packet(image, 256, 44, 2));
  tool.Send(kBlockReply);
  EXPECT_EQ(call.get(), 0);
}

TEST_F(ClassicProtocolTest, ThreeWrongBlockRepliesLeaveTheBlockNotWritten) {
  const Bytes image = Image(64);
  auto call = Start([&] { return dev.WriteBlock(image.data(), 64, 0, 0); });
  for (int i = 0; i < 3; ++i) {
    tool.Receive(10);
    tool.Send(kHeaderReply);
    tool.Receive(70);
    tool.Send(kEraseDoneReply);  // not the "block accepted" code
  }
  EXPECT_EQ(call.get(), -1);
}

TEST_F(ClassicProtocolTest, AbortAfterTheHeaderIsNotReportedAsWritten) {
  const Bytes image = Image(64);
  auto call = Start([&] { return dev.WriteBlock(image.data(), 64, 0, 0); });
  tool.Receive(10);
  tool.Send(kHeaderReply);
  EXPECT_EQ(tool.Receive(70).size(), 70u);
  dev.abort = true;
  ASSERT_TRUE(FinishesWithin(call, 1000));
  EXPECT_NE(call.get(), 0);
}

TEST_F(ClassicProtocolTest, WriteBlockRejectsBlocksOverTheLimitWithoutSending) {
  const Bytes image = Image(4096);
  EXPECT_EQ(dev.WriteBlock(image.data(), 2049, 0, 0), -1);
  ExpectSilence();
}

// ---- User data --------------------------------------------------------------

TEST_F(ClassicProtocolTest, WriteUserDataFramesTheDataWithCfAndFf) {
  auto call = Start([&] {
    const Bytes data{0x10, 0x20, 0x30};
    return dev.WriteUserData(data.data(), 3);
  });
  ExpectRequest({0xAA, 0x55, 0xCF, 0x10, 0x20, 0x30, 0xFF});
  tool.Send(kWrittenReply);
  EXPECT_TRUE(call.get());
}

TEST_F(ClassicProtocolTest, WriteUserDataWithThreeWrongRepliesIsFalse) {
  auto call = Start([&] {
    const Bytes data{0x01};
    return dev.WriteUserData(data.data(), 1);
  });
  for (int i = 0; i < 3; ++i) {
    ExpectRequest({0xAA, 0x55, 0xCF, 0x01, 0xFF});
    tool.Send(kUpdateModeReply);
  }
  EXPECT_FALSE(call.get());
}

TEST_F(ClassicProtocolTest, WriteUserDataOfFrameBufferSizeGoesOutWhole) {
  const Bytes data(frame::kClassicMaxUserData, 0x5A);
  auto call = Start([&] { return dev.WriteUserData(data.data(), frame::kClassicMaxUserData); });
  const Bytes request = tool.Receive(2048);
  ASSERT_EQ(request.size(), 2048u);
  EXPECT_EQ(request[2], 0xCF);
  EXPECT_EQ(request.back(), 0xFF);
  tool.Send(kWrittenReply);
  EXPECT_TRUE(call.get());
}

TEST_F(ClassicProtocolTest, WriteUserDataBeyondTheFrameBufferSendsNothing) {
  const Bytes data(frame::kClassicMaxUserData + 1, 0x5A);
  EXPECT_FALSE(dev.WriteUserData(data.data(), static_cast<int>(data.size())));
  EXPECT_FALSE(dev.WriteUserData(data.data(), -1));
  ExpectSilence();
}

TEST_F(ClassicProtocolTest, ReadUserDataReturnsTheRawReply) {
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  int length = -1;
  auto call = Start([&] { return dev.ReadUserData(buffer, length); });
  ExpectRequest({0xAA, 0x55, 0xCE, 0xFF});
  tool.Send({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  EXPECT_TRUE(call.get());
  EXPECT_EQ(length, 10);
  EXPECT_EQ(buffer[9], 10);
}

TEST_F(ClassicProtocolTest, NoDataReplyClearsTheFirstFourBytes) {
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  int length = -1;
  auto call = Start([&] { return dev.ReadUserData(buffer, length); });
  ExpectRequest({0xAA, 0x55, 0xCE, 0xFF});
  tool.Send({0xB4, 0x96, 0xE0, 0x00, 0x00, 0x00});
  EXPECT_TRUE(call.get());
  EXPECT_EQ(length, 6);
  EXPECT_EQ(Hex(Bytes(buffer, buffer + 4)), "00 00 00 00");
}

// ---- Finish, abort, no-op slots, opening -------------------------------------

TEST_F(ClassicProtocolTest, FinishUpdateIsTrueWhenTheToolNeverAnswers) {
  auto call = Start([&] { return dev.FinishUpdate(); });
  ExpectRequest({0xAA, 0x55, 0xC3, 0xFF});
  EXPECT_TRUE(call.get());
}

TEST_F(ClassicProtocolTest, FinishUpdateIsTrueWhenAStopCutsTheWaitForTheReplyShort) {
  auto call = Start([&] { return dev.FinishUpdate(); });
  ExpectRequest({0xAA, 0x55, 0xC3, 0xFF});
  dev.RequestStop();
  ASSERT_TRUE(FinishesWithin(call, 1000));
  EXPECT_TRUE(call.get());
}

TEST_F(ClassicProtocolTest, AbortWithThePortOpenEndsEveryCommandWithoutWriting) {
  dev.abort = true;
  std::string name;
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  int length = 0;
  const Bytes image = Image(16);
  EXPECT_EQ(dev.QueryDeviceName(name), -1);
  EXPECT_FALSE(dev.ReadDeviceName(buffer));
  EXPECT_FALSE(dev.ReadUserData(buffer, length));
  EXPECT_FALSE(dev.WriteUserData(image.data(), 4));
  EXPECT_EQ(dev.EnterUpdateMode(), 0);
  EXPECT_EQ(dev.EraseFlash(), 0);
  EXPECT_EQ(dev.WriteBlock(image.data(), 16, 0, 0), 1);
  EXPECT_FALSE(dev.FinishUpdate());
  ExpectSilence();
}

TEST_F(ClassicProtocolTest, AbortWhileWaitingForTheEraseReplyEndsWithZero) {
  auto call = Start([&] { return dev.EraseFlash(); });
  tool.Receive(9);
  dev.abort = true;
  ASSERT_TRUE(FinishesWithin(call, 1000));
  EXPECT_EQ(call.get(), 0);
}

TEST_F(ClassicProtocolTest, SlotsWithoutACommandSendNothing) {
  IdStringRecord record;
  std::uint8_t table[frame::kPartitionTableSize] = {0x11};
  EXPECT_TRUE(dev.ReadIdStrings(record));
  EXPECT_TRUE(dev.SetDeviceTime());
  EXPECT_TRUE(dev.ReadPartitionTable(table));
  EXPECT_TRUE(dev.ReadDeviceInfo(table));
  EXPECT_EQ(table[0], 0x11);
  EXPECT_EQ(dev.VerifyImage(table, 16), 1);
  EXPECT_EQ(dev.SelectPartition(), 0);
  EXPECT_EQ(dev.RestartDevice(200), 0);
  EXPECT_EQ(dev.SyncLoader(), 0);
  EXPECT_EQ(dev.RebootToLoader(), 1);
  ExpectSilence();
}

TEST_F(ClassicProtocolTest, OpenPortClearsAbortAndRecordsThePort) {
  dev.abort = true;
  EXPECT_TRUE(dev.OpenPort(1));
  EXPECT_FALSE(dev.abort);
  EXPECT_EQ(dev.comNumber, 1);
  EXPECT_FALSE(dev.OpenPort(5));
  EXPECT_EQ(dev.comNumber, -1);
  EXPECT_FALSE(dev.IsPortOpen());
}

TEST(ClassicOpenDevice, OpensTheFirstUsbSerPortWithoutAsking) {
  TempDevDir dir;
  PtyPeer vcp(dir.Path(), "ttyUSB0");
  CSTM32Dev dev;
  EXPECT_EQ(dev.OpenDevice("QV220"), 1);  // the VCP family is not scanned
  PtyPeer acm(dir.Path(), "ttyACM3");
  EXPECT_EQ(dev.OpenDevice("QV220"), 0);
  EXPECT_TRUE(dev.IsPortOpen());
  EXPECT_EQ(dev.portList, std::vector<int>{4});
  EXPECT_EQ(dev.comNumber, -1);
  EXPECT_EQ(Hex(acm.ReceiveAll(150, 1000)), "");
}

}  // namespace
