// CSTM32DevOmnix against a scripted programmer on a pty: where it differs
// from the new tool protocol.
#include <gtest/gtest.h>

#include <cstring>

#include "device/Clock.h"
#include "device/STM32DevOmnix.h"
#include "tests/device/ToolPeerFixture.h"

using namespace varnok::test;

namespace {

class ProgrammerProtocolTest : public DeviceOnPty<CSTM32DevOmnix> {};

const Bytes kSyncRequest = Request({0x10});
const Bytes kEraseRequest = Request({0x2A, 0, 0, 0, 0});

// ---- Verify refusal codes -----------------------------------------------------

struct VerifyCase {
  const char* name;
  Bytes reply;
  int result;
};

std::ostream& operator<<(std::ostream& os, const VerifyCase& c) { return os << c.name; }

class ProgrammerVerify : public ProgrammerProtocolTest,
                         public ::testing::WithParamInterface<VerifyCase> {};

TEST_P(ProgrammerVerify, ReplyGivesItsCode) {
  const Bytes image(128, 0x00);
  auto call = Start([&] { return dev.VerifyImage(image.data(), 128); });
  ExpectRequest(Request({0x15, 0, 0, 0, 0, 0, 0, 0, 0}));
  tool.Send(GetParam().reply);
  EXPECT_EQ(call.get(), GetParam().result);
  ExpectSilence();  // a reply ends the tries
}

INSTANTIATE_TEST_SUITE_P(
    Replies, ProgrammerVerify,
    ::testing::Values(VerifyCase{"Acknowledged", Ack(0x15), 0},
                      VerifyCase{"Refusal11Is17", Refusal(0x11, 0x15), 17},
                      VerifyCase{"Refusal81", Refusal(0x81, 0x15), 0x81},
                      VerifyCase{"ShortReplyIs16", ShortReply(0x05, 0x15), 16},
                      // A refusal must never read as success.
                      VerifyCase{"RefusalWithStatusZeroFails", Refusal(0x00, 0x15), -1}),
    [](const ::testing::TestParamInfo<VerifyCase>& info) { return std::string(info.param.name); });

// ---- Commands that differ -------------------------------------------------------------

TEST_F(ProgrammerProtocolTest, SyncLoaderTakesARefusalAsAnAnswer) {
  auto call = Start([&] { return dev.SyncLoader(); });
  ExpectRequest(kSyncRequest);
  tool.Send(Refusal(0x81, 0x10));
  EXPECT_EQ(call.get(), 0);
  ExpectSilence();
}

TEST_F(ProgrammerProtocolTest, SyncLoaderRepeatsUntilTheLoaderAnswers) {
  auto call = Start([&] { return dev.SyncLoader(); });
  for (int i = 0; i < 3; ++i) ExpectRequest(kSyncRequest, 600);  // 200 ms apart
  tool.Send(Ack(0x10));
  EXPECT_EQ(call.get(), 0);
}

TEST_F(ProgrammerProtocolTest, SelectPartitionAndIdStringsSendNothing) {
  dev.partition = 4;
  IdStringRecord record;
  record.strings[0] = "kept";
  EXPECT_EQ(dev.SelectPartition(), 0);
  EXPECT_TRUE(dev.ReadIdStrings(record));
  EXPECT_EQ(record.strings[0], "kept");
  EXPECT_EQ(dev.EnterUpdateMode(), 0);
  ExpectSilence();
}

TEST_F(ProgrammerProtocolTest, QueryDeviceNameRefusalGivesItsCode) {
  std::string name;
  auto call = Start([&] { return dev.QueryDeviceName(name); });
  ExpectRequest(Request({0x11}));
  tool.Send(Refusal(0x05, 0x11));
  EXPECT_EQ(call.get(), 5);
  EXPECT_EQ(name, "");
}

TEST_F(ProgrammerProtocolTest, QueryDeviceNameTakesTheDataAsName) {
  std::string name;
  auto call = Start([&] { return dev.QueryDeviceName(name); });
  ExpectRequest(Request({0x11}));
  tool.Send(DataReply(0x11, Text("OMNIX|1.2")));
  EXPECT_EQ(call.get(), 1);
  EXPECT_EQ(name, "OMNIX|1.2");
}

TEST_F(ProgrammerProtocolTest, WriteBlockOf128BytesAddressesThePartition) {
  std::memset(dev.partitionTable, 0, sizeof dev.partitionTable);
  dev.partitionTable[0] = 0x00;
  dev.partitionTable[1] = 0x40;
  dev.partitionTable[2] = 0x00;
  dev.partitionTable[3] = 0x08;  // entry 1: 0x08004000
  dev.partition = 2;
  Bytes image(300);
  for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i);
  auto call = Start([&] { return dev.WriteBlock(image.data(), 44, 256, 2); });
  Bytes payload{0x2C, 0x00, 0x41, 0x00, 0x08, 0x02, 0x00};
  payload.reserve(64);  // GCC 12 -O2 misreads an insert into a braced vector as overflow
  payload.insert(payload.end(), image.begin() + 256, image.end());
  frame::PutLe16(payload, frame::Sum16(image.data() + 256, 44));
  ExpectRequest(Request(payload));
  tool.Send(Ack(0x2C));
  EXPECT_EQ(call.get(), 0);
}

TEST_F(ProgrammerProtocolTest, EraseFlashDoesNotPurgeFirst) {
  tool.Send(Ack(0x2A));  // already queued when the command starts
  varnok::SleepMs(50);
  auto call = Start([&] { return dev.EraseFlash(); });
  ExpectRequest(kEraseRequest);
  // Had the queued acknowledgement been purged, the command would wait for
  // another reply: end it with a refusal instead of its 20 s time-out.
  if (!FinishesWithin(call, 500)) tool.Send(Refusal(0x81, 0x2A));
  EXPECT_EQ(call.get(), 0);
}

// ---- ClosePort, abort and reopening --------------------------------------------------

TEST_F(ProgrammerProtocolTest, EraseAfterClosePortReturnsOneWithoutSending) {
  EXPECT_TRUE(dev.ClosePort());
  EXPECT_TRUE(dev.abort);
  auto aborted = Start([&] { return dev.EraseFlash(); });
  const bool atOnce = FinishesWithin(aborted, 500);
  if (!atOnce) tool.Send(Refusal(0x81, 0x2A));  // spare the 20 s time-outs
  EXPECT_TRUE(atOnce);
  EXPECT_EQ(aborted.get(), 1);
  EXPECT_FALSE(dev.IsPortOpen());
  ExpectSilence();

  ASSERT_TRUE(dev.OpenPort(1));
  auto call = Start([&] { return dev.EraseFlash(); });
  ExpectRequest(kEraseRequest);
  tool.Send(Ack(0x2A));
  EXPECT_EQ(call.get(), 0);
}

TEST_F(ProgrammerProtocolTest, ClosedPortIsReopenedByNumberAndAbortCleared) {
  dev.ClosePort();
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  // No abort test before the try: the reopening OpenPort clears the flag.
  auto call = Start([&] { return dev.ReadDeviceInfo(buffer); });
  ExpectRequest(Request({0x12}));
  tool.Send(DataReply(0x12, {0x77}));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(buffer[0], 0x77);
  EXPECT_TRUE(dev.IsPortOpen());
  EXPECT_FALSE(dev.abort);
  EXPECT_EQ(dev.comNumber, 1);
}

TEST_F(ProgrammerProtocolTest, OpenPortWhileOpenDoesNotRaiseAbort) {
  ASSERT_TRUE(dev.OpenPort(1));
  EXPECT_FALSE(dev.abort);
  EXPECT_TRUE(dev.IsPortOpen());
}

TEST_F(ProgrammerProtocolTest, AbortWithThePortOpenEndsCommandsWithoutWriting) {
  dev.abort = true;
  const Bytes image(64, 0x01);
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  EXPECT_EQ(dev.EraseFlash(), 1);
  EXPECT_EQ(dev.WriteBlock(image.data(), 16, 0, 0), 1);
  EXPECT_EQ(dev.VerifyImage(image.data(), 64), 1);
  EXPECT_EQ(dev.RestartDevice(200), 1);
  EXPECT_EQ(dev.SyncLoader(), 1);
  EXPECT_EQ(dev.RebootToLoader(), 1);
  EXPECT_FALSE(dev.ReadPartitionTable(dev.partitionTable));
  EXPECT_FALSE(dev.ReadDeviceInfo(buffer));
  ExpectSilence();
}

TEST_F(ProgrammerProtocolTest, RestartDeviceWaitsTheGivenTimePerTry) {
  auto call = Start([&] { return dev.RestartDevice(200); });
  const Bytes request = Request({0x21, 0xC8, 0x00, 0x00, 0x00});
  ExpectRequest(request);
  ExpectRequest(request, 600);  // no answer: the next try after 200 ms
  ExpectRequest(request, 600);
  EXPECT_EQ(call.get(), -1);
}

// ---- OpenDevice ------------------------------------------------------------------------

class ProgrammerOpenDevice : public ::testing::Test {
 protected:
  TempDevDir dir;
  PtyPeer first{dir.Path(), "ttyACM0"};
  PtyPeer second{dir.Path(), "ttyUSB0"};
  CSTM32DevOmnix dev;
};

TEST_F(ProgrammerOpenDevice, ExpectedNamePlaysNoPart) {
  auto call = Start([&] { return dev.OpenDevice("PX630"); });
  AnswerName(first, "OMNIX-2|V1.0");
  EXPECT_EQ(call.get(), 0);
  EXPECT_EQ(dev.deviceName, "OMNIX-2");
  EXPECT_TRUE(dev.IsPortOpen());
  EXPECT_EQ(dev.comNumber, -1);  // OpenDevice leaves the number alone
}

TEST_F(ProgrammerOpenDevice, OtherToolsAreSkippedIncludingTheVcpFamily) {
  dev.abort = true;
  auto call = Start([&] { return dev.OpenDevice("OMNIX"); });
  AnswerName(first, "PX630");
  AnswerName(second, "OMNIX");
  EXPECT_EQ(call.get(), 0);
  EXPECT_EQ(dev.portList, (std::vector<int>{1, 201}));
  EXPECT_FALSE(dev.abort);
}

TEST_F(ProgrammerOpenDevice, OnlyOtherToolsGiveTwo) {
  auto call = Start([&] { return dev.OpenDevice("OMNIX"); });
  AnswerName(first, "PX630");
  AnswerName(second, "QV220");
  EXPECT_EQ(call.get(), 2);
  EXPECT_FALSE(dev.IsPortOpen());
}

}  // namespace
