// CSTM32DevNew against a scripted new tool on a pty, and the frame helpers
// it rests on.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "device/Clock.h"
#include "device/FramedText.h"
#include "device/STM32DevNew.h"
#include "tests/device/ToolPeerFixture.h"

using namespace varnok::test;

namespace {

// ---- Frames -------------------------------------------------------------------

TEST(FramedFrames, EncoderVectorForOneBytePayload) {
  EXPECT_EQ(Hex(frame::EncodeFrame(Bytes{0x11})), "AA 55 00 01 00 11 12 00 00 00 0D 0A");
  const std::uint8_t payload = 0x11;
  EXPECT_EQ(frame::EncodeFrame(&payload, 1, nullptr), 0);
}

struct AckCase {
  const char* what;
  Bytes reply;
  bool acknowledged;
  int refusal;  // -99: left alone
};

class FramedAckTest : public ::testing::TestWithParam<AckCase> {};

TEST_P(FramedAckTest, StatusDecides) {
  int refusal = -99;
  const Bytes& reply = GetParam().reply;
  EXPECT_EQ(frame::IsAck(reply.data(), static_cast<int>(reply.size()), &refusal),
            GetParam().acknowledged);
  EXPECT_EQ(refusal, GetParam().refusal);
}

Bytes WithTail(Bytes head) {
  head.insert(head.end(), {0x12, 0x34, 0x56, 0x78, 0x99, 0x99});
  return head;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, FramedAckTest,
    ::testing::Values(
        AckCase{"ack, any checksum", WithTail({0xAA, 0x55, 0x00, 0x02, 0x00, 0x80, 0x2A}), true, -99},
        AckCase{"13-byte refusal", WithTail({0xAA, 0x55, 0x00, 0x02, 0x00, 0x81, 0x2A}), false, 0x81},
        AckCase{"long reply accepted", DataReply(0x12, {0x01}), true, -99},
        AckCase{"long reply with refusal status", frame::EncodeReply(0x81, 0x12, {0x00}), false, 0x81},
        AckCase{"12 bytes", ShortReply(0x80, 0x2A), false, -99}));

TEST(FramedText, IdStringsFollowTheirNames) {
  IdStringRecord record;
  record.strings[1] = "kept";
  framed::ParseIdStrings("ID1-A1|ID3-C3|XX|ID5", record);
  EXPECT_EQ(record.strings[0], "A1");
  EXPECT_EQ(record.strings[4], "C3");
  EXPECT_EQ(record.strings[2], "ID5");
  EXPECT_EQ(record.strings[1], "kept");
  EXPECT_EQ(record.strings[3], "");
  EXPECT_EQ(record.strings[5], "");
}

TEST(FramedText, TimeTextIsNineteenCharacters) {
  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 7;
  t.tm_min = 8;
  t.tm_sec = 9;
  EXPECT_EQ(framed::FormatTimeText(t), "2024-03-05-07-08-09");
  t.tm_year = 99000;  // a year of six digits must not widen the field
  EXPECT_EQ(framed::FormatTimeText(t).size(), 19u);
}

// ---- Commands ---------------------------------------------------------------

class NewProtocolTest : public DeviceOnPty<FixedClock<CSTM32DevNew>> {
 protected:
  // Partition entry k (1..6) gets the base 0x08000000 + k * 0x10000.
  void FillPartitionTable() {
    for (int k = 1; k <= 6; ++k) {
      Bytes base;
      frame::PutLe32(base, 0x08000000u + static_cast<std::uint32_t>(k) * 0x10000u);
      std::memcpy(dev.partitionTable + (k - 1) * frame::kPartitionEntrySize, base.data(), 4);
    }
  }
};

struct CommandCase {
  const char* name;
  int partition;
  std::function<int(CSTM32DevNew&)> call;
  Bytes payload;  // expected request payload
  Bytes reply;
  int result;
};

std::ostream& operator<<(std::ostream& os, const CommandCase& c) { return os << c.name; }

class NewCommandRequest : public NewProtocolTest,
                          public ::testing::WithParamInterface<CommandCase> {};

TEST_P(NewCommandRequest, PayloadAndResult) {
  FillPartitionTable();
  dev.partition = GetParam().partition;
  auto call = Start([&] { return GetParam().call(dev); });
  ExpectRequest(Request(GetParam().payload));
  tool.Send(GetParam().reply);
  EXPECT_EQ(call.get(), GetParam().result);
}

std::uint8_t g_buffer[kDeviceDataBufferSize];
IdStringRecord g_record;

INSTANTIATE_TEST_SUITE_P(
    Commands, NewCommandRequest,
    ::testing::Values(
        CommandCase{"SelectPartition4", 4, [](CSTM32DevNew& d) { return d.SelectPartition(); },
                    {0x25, 0x03}, Ack(0x25), 0},
        CommandCase{"SelectPartition9", 9, [](CSTM32DevNew& d) { return d.SelectPartition(); },
                    {0x25, 0x00}, Ack(0x25), 0},
        CommandCase{"SelectPartitionRefused", 2, [](CSTM32DevNew& d) { return d.SelectPartition(); },
                    {0x25, 0x01}, Refusal(0x81, 0x25), -1},
        CommandCase{"EraseEntry2", 3, [](CSTM32DevNew& d) { return d.EraseFlash(); },
                    {0x2A, 0x00, 0x00, 0x02, 0x08}, Ack(0x2A), 0},
        CommandCase{"EraseNoPartition", 1, [](CSTM32DevNew& d) { return d.EraseFlash(); },
                    {0x2A, 0x00, 0x00, 0x00, 0x00}, Ack(0x2A), 0},
        CommandCase{"EraseRefused", 7, [](CSTM32DevNew& d) { return d.EraseFlash(); },
                    {0x2A, 0x00, 0x00, 0x06, 0x08}, Refusal(0x81, 0x2A), 1},
        CommandCase{"Finish", 2, [](CSTM32DevNew& d) { return int{d.FinishUpdate()}; },
                    {0x2D, 0x00, 0x00, 0x01, 0x08}, Ack(0x2D), 1},
        CommandCase{"Restart", 0, [](CSTM32DevNew& d) { return d.RestartDevice(300); },
                    {0x21, 0x2C, 0x01, 0x00, 0x00}, Ack(0x21), 0},
        CommandCase{"SyncLoader", 0, [](CSTM32DevNew& d) { return d.SyncLoader(); },
                    {0x10}, Ack(0x10), 0},
        CommandCase{"SyncLoaderRefused", 0, [](CSTM32DevNew& d) { return d.SyncLoader(); },
                    {0x10}, Refusal(0x81, 0x10), -1},
        CommandCase{"RebootToLoader", 0, [](CSTM32DevNew& d) { return d.RebootToLoader(); },
                    {0x30}, Ack(0x30), 0},
        CommandCase{"ReadDeviceInfo", 0, [](CSTM32DevNew& d) { return int{d.ReadDeviceInfo(g_buffer)}; },
                    {0x12}, DataReply(0x12, {1, 2, 3}), 1},
        CommandCase{"ReadIdStrings", 0, [](CSTM32DevNew& d) { return int{d.ReadIdStrings(g_record)}; },
                    {0x13}, DataReply(0x13, Text("ID2-B")), 1},
        CommandCase{"ReadPartitionTable", 0,
                    [](CSTM32DevNew& d) { return int{d.ReadPartitionTable(d.partitionTable)}; },
                    {0x1A}, Ack(0x1A), 1},
        CommandCase{"WriteUserData", 0,
                    [](CSTM32DevNew& d) {
                      const std::uint8_t data[3] = {7, 8, 9};
                      return int{d.WriteUserData(data, 3)};
                    },
                    {0x26, 0x03, 0x00, 7, 8, 9}, Ack(0x26), 1},
        CommandCase{"WriteUserDataRefused", 0,
                    [](CSTM32DevNew& d) {
                      const std::uint8_t data[1] = {7};
                      return int{d.WriteUserData(data, 1)};
                    },
                    {0x26, 0x01, 0x00, 7}, Refusal(0x85, 0x26), 0}),
    [](const ::testing::TestParamInfo<CommandCase>& info) { return std::string(info.param.name); });

TEST_F(NewProtocolTest, WriteBlockSendsAddressIndexDataAndSum16) {
  FillPartitionTable();
  dev.partition = 3;  // entry 2, base 0x08020000
  const Bytes image{0, 1, 2, 3, 0xF0, 0xF1, 0xF2, 0xF3};
  auto call = Start([&] { return dev.WriteBlock(image.data(), 4, 4, 0x1234); });
  ExpectRequest(Request({0x2C, 0x04, 0x00, 0x02, 0x08, 0x34, 0x12, 0xF0, 0xF1, 0xF2, 0xF3,
                         0xC6, 0x03}));
  tool.Send(Ack(0x2C));
  EXPECT_EQ(call.get(), 0);
}

TEST_F(NewProtocolTest, WriteBlockWithoutPartitionSendsAddressZero) {
  FillPartitionTable();
  dev.partition = 8;
  const Bytes image(4096, 0x01);
  auto call = Start([&] { return dev.WriteBlock(image.data(), 2, 2048, 1); });
  ExpectRequest(Request({0x2C, 0, 0, 0, 0, 0x01, 0x00, 0x01, 0x01, 0x02, 0x00}));
  tool.Send(Refusal(0x82, 0x2C));
  EXPECT_EQ(call.get(), -1);
  ExpectSilence();  // a refusal ends the tries
}

TEST_F(NewProtocolTest, VerifyImageSendsPartitionNameAndImageTag) {
  dev.partition = 2;
  Bytes image(65536, 0x00);
  image[65520] = 0xDE;
  image[65521] = 0xAD;
  image[65522] = 0xBE;
  image[65523] = 0xEF;
  image[65524] = 0x99;
  auto call = Start([&] { return dev.VerifyImage(image.data(), 65536); });
  ExpectRequest(Request({0x15, 0x49, 0x44, 0x31, 0x7C, 0xDE, 0xAD, 0xBE, 0xEF}));
  tool.Send(Ack(0x15));
  EXPECT_EQ(call.get(), 0);
}

TEST_F(NewProtocolTest, VerifyImageShorterThanItsTagSendsNothing) {
  const Bytes image(15, 0x00);
  EXPECT_EQ(dev.VerifyImage(image.data(), 15), -1);
  EXPECT_EQ(dev.VerifyImage(nullptr, 100), -1);
  ExpectSilence();
}

TEST_F(NewProtocolTest, SetDeviceTimeSendsTheLocalTimeText) {
  dev.now.tm_year = 124;
  dev.now.tm_mon = 2;
  dev.now.tm_mday = 5;
  dev.now.tm_hour = 7;
  dev.now.tm_min = 8;
  dev.now.tm_sec = 9;
  auto call = Start([&] { return dev.SetDeviceTime(); });
  ExpectRequest(Request(Cat({0x24}, Text("2024-03-05-07-08-09"))));
  tool.Send(Ack(0x24));
  EXPECT_TRUE(call.get());
}

// ---- Query name -------------------------------------------------------------------

struct QueryCase {
  const char* name;
  Bytes reply;
  int result;
  std::string deviceName;
};

std::ostream& operator<<(std::ostream& os, const QueryCase& c) { return os << c.name; }

class NewQueryDeviceName : public NewProtocolTest,
                           public ::testing::WithParamInterface<QueryCase> {};

TEST_P(NewQueryDeviceName, ReplyDecidesTheResult) {
  std::string name = "stale";
  auto call = Start([&] { return dev.QueryDeviceName(name); });
  ExpectRequest(Request({0x11}));
  tool.Send(GetParam().reply);
  EXPECT_EQ(call.get(), GetParam().result);
  EXPECT_EQ(name, GetParam().deviceName);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, NewQueryDeviceName,
    ::testing::Values(QueryCase{"DataReply", DataReply(0x11, Text("PX630|V2.1")), 1, "PX630|V2.1"},
                      QueryCase{"BareAck", Ack(0x11), 1, ""},
                      QueryCase{"Refusal05", Refusal(0x05, 0x11), 5, ""},
                      QueryCase{"ShortReply", ShortReply(0x05, 0x11), -2, ""}),
    [](const ::testing::TestParamInfo<QueryCase>& info) { return std::string(info.param.name); });

// ---- Receive rules seen through commands ------------------------------------------

TEST_F(NewProtocolTest, WrongEchoFailsAtSevenBytesAndTriesAgain) {
  auto call = Start([&] { return dev.SelectPartition(); });
  const Bytes request = Request({0x25, 0x00});
  ExpectRequest(request);
  tool.Send({0xAA, 0x55, 0x00, 0x02, 0x00, 0x80, 0x26});
  // Well before the 1000 ms time-out the next try goes out.
  ExpectRequest(request, 600);
  tool.Send(Ack(0x25));
  EXPECT_EQ(call.get(), 0);
}

TEST_F(NewProtocolTest, LengthTwentyIsCompleteAtThirtyOneBytes) {
  std::uint8_t buffer[kDeviceDataBufferSize];
  std::memset(buffer, 0xEE, sizeof buffer);
  Bytes data(18);
  for (int i = 0; i < 18; ++i) data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x40 + i);
  const Bytes reply = DataReply(0x12, data);
  ASSERT_EQ(reply.size(), 31u);
  auto call = Start([&] { return dev.ReadDeviceInfo(buffer); });
  ExpectRequest(Request({0x12}));
  tool.Send(Bytes(reply.begin(), reply.end() - 1));
  EXPECT_FALSE(FinishesWithin(call, 300));
  tool.Send({reply.back(), 0x01, 0x02, 0x03});  // bytes past the frame are ignored
  ASSERT_TRUE(FinishesWithin(call, 500));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(Hex(Bytes(buffer, buffer + 18)), Hex(data));
  EXPECT_EQ(buffer[18], 0xEE);
}

TEST_F(NewProtocolTest, FourteenByteReplyCarriesOneDataByte) {
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  int length = -1;
  auto call = Start([&] { return dev.ReadUserData(buffer, length); });
  ExpectRequest(Request({0x1B}));
  tool.Send(DataReply(0x1B, {0x5A}));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(length, 1);
  EXPECT_EQ(buffer[0], 0x5A);
}

TEST_F(NewProtocolTest, ThirteenByteReplyToADataCommandIsJudgedAsAnAcknowledgement) {
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  int length = -1;
  auto call = Start([&] { return dev.ReadUserData(buffer, length); });
  ExpectRequest(Request({0x1B}));
  tool.Send(Refusal(0x81, 0x1B));
  EXPECT_FALSE(call.get());
  EXPECT_EQ(length, 0);
  ExpectSilence();
}

TEST_F(NewProtocolTest, UnansweredFirstTryIsRepeated) {
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  auto call = Start([&] { return dev.ReadDeviceInfo(buffer); });
  ExpectRequest(Request({0x12}));
  ExpectRequest(Request({0x12}), 2000);  // after the 1000 ms time-out
  tool.Send(DataReply(0x12, {0x33}));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(buffer[0], 0x33);
}

// ---- Caller buffers -----------------------------------------------------------------

TEST_F(NewProtocolTest, LongNameReplyStaysInsideTheNameBuffer) {
  std::uint8_t buffer[kDeviceNameBufferSize + 16];
  std::memset(buffer, 0xEE, sizeof buffer);
  auto call = Start([&] { return dev.ReadDeviceName(buffer); });
  ExpectRequest(Request({0x11}));
  tool.Send(DataReply(0x11, Text(std::string(60, 'N'))));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer)), std::string(31, 'N'));
  for (int i = kDeviceNameBufferSize; i < kDeviceNameBufferSize + 16; ++i)
    EXPECT_EQ(buffer[i], 0xEE) << "byte " << i;
}

TEST_F(NewProtocolTest, PartitionTableReplyStoresAtMostTheTable) {
  std::uint8_t table[frame::kPartitionTableSize + 8];
  std::memset(table, 0xEE, sizeof table);
  auto call = Start([&] { return dev.ReadPartitionTable(table); });
  ExpectRequest(Request({0x1A}));
  tool.Send(DataReply(0x1A, Bytes(100, 0x42)));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(table[frame::kPartitionTableSize - 1], 0x42);
  EXPECT_EQ(table[frame::kPartitionTableSize], 0xEE);
}

TEST_F(NewProtocolTest, PartitionTableTakesOneByteLessThanTheFrameCarries) {
  std::uint8_t table[frame::kPartitionTableSize];
  std::memset(table, 0xEE, sizeof table);
  auto call = Start([&] { return dev.ReadPartitionTable(table); });
  ExpectRequest(Request({0x1A}));
  tool.Send(DataReply(0x1A, Bytes(12, 0x42)));
  EXPECT_TRUE(call.get());
  EXPECT_EQ(table[10], 0x42);
  EXPECT_EQ(table[11], 0xEE);
}

TEST_F(NewProtocolTest, WriteUserDataOfTheFrameBufferLimitGoesOut) {
  const Bytes data(frame::kMaxFramedUserData, 0x5A);
  auto call = Start([&] { return dev.WriteUserData(data.data(), frame::kMaxFramedUserData); });
  const Bytes request = tool.Receive(frame::kFrameBufferSize);
  ASSERT_EQ(request.size(), static_cast<std::size_t>(frame::kFrameBufferSize));
  EXPECT_EQ(request[frame::kPayloadOffset], 0x26);
  tool.Send(Ack(0x26));
  EXPECT_TRUE(call.get());
}

TEST_F(NewProtocolTest, WriteUserDataBeyondTheFrameBufferSendsNothing) {
  const Bytes data(frame::kMaxFramedUserData + 1, 0x5A);
  EXPECT_FALSE(dev.WriteUserData(data.data(), static_cast<int>(data.size())));
  ExpectSilence();
}

// ---- Abort and reopening ------------------------------------------------------------

TEST_F(NewProtocolTest, AbortWithThePortOpenEndsEveryCommandWithoutWriting) {
  dev.abort = true;
  std::string name;
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  int length = 0;
  IdStringRecord record;
  const Bytes image(64, 0x01);
  EXPECT_EQ(dev.QueryDeviceName(name), 0);
  EXPECT_FALSE(dev.ReadDeviceName(buffer));
  EXPECT_FALSE(dev.ReadIdStrings(record));
  EXPECT_FALSE(dev.ReadUserData(buffer, length));
  EXPECT_FALSE(dev.WriteUserData(image.data(), 4));
  EXPECT_EQ(dev.EraseFlash(), 1);
  EXPECT_EQ(dev.WriteBlock(image.data(), 16, 0, 0), 1);
  EXPECT_FALSE(dev.SetDeviceTime());
  EXPECT_FALSE(dev.ReadPartitionTable(dev.partitionTable));
  EXPECT_EQ(dev.VerifyImage(image.data(), 64), 1);
  EXPECT_FALSE(dev.ReadDeviceInfo(buffer));
  EXPECT_EQ(dev.SelectPartition(), 1);
  EXPECT_EQ(dev.RestartDevice(200), 1);
  EXPECT_EQ(dev.SyncLoader(), 1);
  EXPECT_EQ(dev.RebootToLoader(), 1);
  ExpectSilence();
}

TEST_F(NewProtocolTest, AbortWhileWaitingForAReplyGivesEachCommandsAbortResult) {
  const Bytes image(64, 0x01);
  auto erase = Start([&] { return dev.EraseFlash(); });
  tool.Receive(Request({0x2A, 0, 0, 0, 0}).size());
  dev.abort = true;
  ASSERT_TRUE(FinishesWithin(erase, 1000));
  EXPECT_EQ(erase.get(), 1);

  dev.abort = false;
  auto block = Start([&] { return dev.WriteBlock(image.data(), 16, 0, 0); });
  tool.Receive(16 + 9 + 11);
  dev.abort = true;
  ASSERT_TRUE(FinishesWithin(block, 1000));
  EXPECT_EQ(block.get(), -1);
}

TEST_F(NewProtocolTest, FinishUpdateClearsAbortFirst) {
  dev.abort = true;
  auto call = Start([&] { return dev.FinishUpdate(); });
  ExpectRequest(Request({0x2D, 0, 0, 0, 0}));
  tool.Send(Ack(0x2D));
  EXPECT_TRUE(call.get());
}

TEST_F(NewProtocolTest, PurgeBeforeEraseDropsAStaleReply) {
  tool.Send(Ack(0x2A));  // left over from an earlier exchange
  varnok::SleepMs(50);
  auto call = Start([&] { return dev.EraseFlash(); });
  ExpectRequest(Request({0x2A, 0, 0, 0, 0}));
  tool.Send(Refusal(0x81, 0x2A));
  EXPECT_EQ(call.get(), 1);
}

TEST_F(NewProtocolTest, NegativeRestartWaitIsACallerErrorAndSendsNothing) {
  auto call = Start([&] { return dev.RestartDevice(-5); });
  const bool returned = FinishesWithin(call, 1000);
  if (!returned) dev.abort = true;  // release the endless wait
  EXPECT_TRUE(returned) << "a negative wait never times out";
  EXPECT_EQ(call.get(), -1);
  ExpectSilence();
}

// ---- OpenDevice ----------------------------------------------------------------------

class NewOpenDevice : public ::testing::Test {
 protected:
  TempDevDir dir;
  PtyPeer first{dir.Path(), "ttyACM0"};
  PtyPeer second{dir.Path(), "ttyACM1"};
  CSTM32DevNew dev;
};

struct NameRuleCase {
  const char* name;
  const char* expected;
  const char* toolName;
  int result;
};

std::ostream& operator<<(std::ostream& os, const NameRuleCase& c) { return os << c.name; }

class NewOpenDeviceNameRule : public ::testing::TestWithParam<NameRuleCase> {
 protected:
  TempDevDir dir;
  PtyPeer tool{dir.Path(), "ttyACM0"};
  CSTM32DevNew dev;
};

TEST_P(NewOpenDeviceNameRule, ToolNameTokenAgainstTheExpectedName) {
  auto call = Start([&] { return dev.OpenDevice(GetParam().expected); });
  AnswerName(tool, GetParam().toolName);
  EXPECT_EQ(call.get(), GetParam().result);
  EXPECT_EQ(dev.IsPortOpen(), GetParam().result == 0);
  EXPECT_EQ(dev.deviceName, GetParam().result == 0 ? GetParam().expected : "");
}

INSTANTIATE_TEST_SUITE_P(
    Names, NewOpenDeviceNameRule,
    ::testing::Values(NameRuleCase{"Px630AcceptsPx540", "PX630", "PX540|V1.0", 0},
                      NameRuleCase{"Px540RefusesPx630", "PX540", "PX630", 2},
                      NameRuleCase{"Px630WantsPx540Exactly", "PX630", "px540", 2},
                      NameRuleCase{"OnlyPx630AcceptsPx540", "QV220", "PX540", 2},
                      NameRuleCase{"CaseIsIgnored", "qv220", "QV220|2.0", 0},
                      NameRuleCase{"TokenEndsAtTheBar", "QV220", "QV2|20", 2},
                      NameRuleCase{"OmnixIsContained", "OMNIX", "OMNIX-3|x", 0}),
    [](const ::testing::TestParamInfo<NameRuleCase>& info) { return std::string(info.param.name); });

TEST_F(NewOpenDevice, SecondPortMatchesAfterAMismatch) {
  auto call = Start([&] { return dev.OpenDevice("qv220"); });
  AnswerName(first, "PX630");
  AnswerName(second, "QV220|2.0");
  EXPECT_EQ(call.get(), 0);
  EXPECT_EQ(dev.deviceName, "qv220");
  EXPECT_EQ(dev.portList, (std::vector<int>{1, 2}));
}

TEST_F(NewOpenDevice, OmnixStopsAtTheFirstToolWithoutIt) {
  auto call = Start([&] { return dev.OpenDevice("OMNIX"); });
  AnswerName(first, "PX630");
  EXPECT_EQ(call.get(), 2);
  EXPECT_TRUE(dev.IsPortOpen());  // left open
  EXPECT_EQ(Hex(second.ReceiveAll(150, 1000)), "");
}

TEST_F(NewOpenDevice, ToolsThatRefuseCountAsNotAnswering) {
  auto call = Start([&] { return dev.OpenDevice("PX630"); });
  first.Receive(12);
  first.Send(Refusal(0x81, 0x11));
  second.Receive(12);
  second.Send(Refusal(0x81, 0x11));
  EXPECT_EQ(call.get(), 1);
}

TEST(NewOpenDeviceNoPorts, NothingFoundGivesOne) {
  TempDevDir dir;
  CSTM32DevNew dev;
  EXPECT_EQ(dev.OpenDevice("PX630"), 1);
}

TEST_F(NewOpenDevice, LostPortIsReopenedByName) {
  auto open = Start([&] { return dev.OpenDevice("PX540"); });
  AnswerName(first, "PX540");
  ASSERT_EQ(open.get(), 0);
  dev.ClosePort();
  dev.partition = 4;
  auto call = Start([&] { return dev.SelectPartition(); });
  AnswerName(first, "PX540");
  EXPECT_EQ(Hex(first.Receive(13)), Hex(Request({0x25, 0x03})));
  first.Send(Ack(0x25));
  EXPECT_EQ(call.get(), 0);
  EXPECT_TRUE(dev.IsPortOpen());
}

}  // namespace
