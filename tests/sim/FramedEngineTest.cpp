// The framed tools' protocol side (new tool, programmer), fed without a line.
#include <gtest/gtest.h>

#include "sim/FramedEngine.h"
#include "sim/SimStatus.h"
#include "tests/sim/SimTestSupport.h"

namespace varnok::sim::test {
namespace {

Bytes Request(std::uint8_t command, const Bytes& params = {}) {
  return frame::EncodeFrame(Cat(Bytes{command}, params));
}

Bytes Ack(std::uint8_t command) { return frame::EncodeReply(frame::kStatusAccepted, command); }
Bytes Refusal(std::uint8_t status, std::uint8_t command) {
  return frame::EncodeReply(status, command);
}

class FramedEngineTest : public ::testing::Test {
 protected:
  FramedEngineTest() { options.name = "QV120|1"; }

  std::uint32_t Base(int k) const { return options.partitionBases[k - 1]; }

  void Erase(std::uint32_t base) {
    ASSERT_EQ(FeedOne(engine, Request(frame::kCmdErase, Le32(base))).bytes, Ack(frame::kCmdErase));
  }

  // Writes `image` in blocks of `block` bytes the way the PC does.
  void WriteImage(const Bytes& image, std::uint32_t base, std::size_t block, bool noPartition) {
    for (std::size_t off = 0, i = 0; off < image.size(); off += block, ++i) {
      const Bytes data(image.begin() + static_cast<long>(off),
                       image.begin() + static_cast<long>(std::min(off + block, image.size())));
      const std::uint32_t address = noPartition ? 0 : base + static_cast<std::uint32_t>(off);
      ASSERT_EQ(FeedOne(engine, FramedBlock(address, static_cast<unsigned>(i), data)).bytes,
                Ack(frame::kCmdWriteBlock))
          << "block " << i;
    }
  }

  Bytes VerifyRequest(const Bytes& image) {
    Bytes params{'I', 'D', '1', '|'};
    params.insert(params.end(), image.end() - 16, image.end() - 12);
    return Request(frame::kCmdVerify, params);
  }

  SimOptions options;
  FramedEngine engine{options, false};
};

TEST_F(FramedEngineTest, NameIsADataReply) {
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdQueryName)).bytes,
            frame::EncodeReply(0x80, frame::kCmdQueryName, {'Q', 'V', '1', '2', '0', '|', '1'}));
}

TEST_F(FramedEngineTest, PartitionTableReplyHoldsSeventyTwoBytesAndOneMore) {
  const Bytes reply = FeedOne(engine, Request(frame::kCmdPartitionTable)).bytes;
  // The PC takes reply length - 14 bytes as the table.
  ASSERT_EQ(reply.size(), 14u + frame::kPartitionTableSize);
  for (int k = 1; k <= 6; ++k)
    EXPECT_EQ(frame::GetLe32(reply.data() + frame::kDataOffset + (k - 1) * 12), Base(k)) << k;
}

TEST_F(FramedEngineTest, ImageInAPartitionLandsAtAddressMinusBase) {
  Erase(Base(1));
  const Bytes image = MakeImage(5000);
  WriteImage(image, Base(1), 2048, false);
  EXPECT_EQ(engine.Flash().RegionStart(), Base(1));
  EXPECT_EQ(engine.Flash().WrittenImage(), image);
  EXPECT_EQ(FeedOne(engine, VerifyRequest(image)).bytes, Ack(frame::kCmdVerify));
}

TEST_F(FramedEngineTest, WithoutPartitionBlocksArePlacedByIndex) {
  Erase(0);
  const Bytes image = MakeImage(3000);
  WriteImage(image, 0, 1024, true);
  EXPECT_EQ(engine.Flash().WrittenImage(), image);
}

TEST_F(FramedEngineTest, BadBlockSum16IsRefusedAndNotWritten) {
  Erase(Base(1));
  const Bytes data = MakeImage(2048);
  EXPECT_EQ(FeedOne(engine, FramedBlock(Base(1), 0, data, 1)).bytes,
            Refusal(kRefuseBadBlockSum, frame::kCmdWriteBlock));
  EXPECT_FALSE(engine.Flash().HasWrites());
}

TEST_F(FramedEngineTest, BadFrameChecksumIsRefused) {
  Bytes request = Request(frame::kCmdErase, Le32(Base(1)));
  request[request.size() - 6] ^= 0x01;  // checksum byte
  EXPECT_EQ(FeedOne(engine, request).bytes, Refusal(kRefuseBadFrameSum, frame::kCmdErase));
}

TEST_F(FramedEngineTest, BlockOutsideTheErasedPartitionIsRefused) {
  EXPECT_EQ(FeedOne(engine, FramedBlock(Base(1), 0, MakeImage(16))).bytes,
            Refusal(kRefuseOutOfRange, frame::kCmdWriteBlock));
  Erase(Base(1));
  // The next partition's first byte lies beyond this one.
  EXPECT_EQ(FeedOne(engine, FramedBlock(Base(2) - 8, 0, MakeImage(16))).bytes,
            Refusal(kRefuseOutOfRange, frame::kCmdWriteBlock));
  // An offset without the base (a PC that forgot to add it).
  EXPECT_EQ(FeedOne(engine, FramedBlock(0x800, 1, MakeImage(16))).bytes,
            Refusal(kRefuseOutOfRange, frame::kCmdWriteBlock));
}

TEST_F(FramedEngineTest, VerifyWithAnotherTagIsRefused) {
  Erase(Base(1));
  Bytes image = MakeImage(4096);
  WriteImage(image, Base(1), 2048, false);
  image[image.size() - 16] ^= 0xFF;
  EXPECT_EQ(FeedOne(engine, VerifyRequest(image)).bytes,
            Refusal(kRefuseVerifyMismatch, frame::kCmdVerify));
}

TEST_F(FramedEngineTest, ErasingAPartitionLeavesTheNextAlone) {
  Erase(Base(2));
  WriteImage(MakeImage(64), Base(2), 64, false);
  Erase(Base(1));
  std::uint8_t kept[64];
  engine.Flash().Read(Base(2), kept, sizeof kept);
  EXPECT_EQ(Bytes(kept, kept + 64), MakeImage(64));
}

TEST_F(FramedEngineTest, SettingsRequestsAreCheckedAndKept) {
  const std::string time = "2024-03-05-07-08-09";
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdSetTime, Bytes(time.begin(), time.end()))).bytes,
            Ack(frame::kCmdSetTime));
  EXPECT_EQ(engine.DeviceTime(), time);
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdSetTime, {'2', '0'})).bytes,
            Refusal(kRefuseBadRequest, frame::kCmdSetTime));
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdSelectPartition, {3})).bytes,
            Ack(frame::kCmdSelectPartition));
  EXPECT_EQ(engine.SelectedPartition(), 3);
  const Bytes data{1, 2, 3};
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdWriteUserData, Cat(Le16(3), data))).bytes,
            Ack(frame::kCmdWriteUserData));
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdReadUserData)).bytes,
            frame::EncodeReply(0x80, frame::kCmdReadUserData, data));
  EXPECT_EQ(FeedOne(engine, Request(0x77)).bytes, Refusal(kRefuseUnknownCommand, 0x77));
}

TEST_F(FramedEngineTest, AppRefusesFlashCommandsUntilSyncedAfterRestart) {
  options.startIn = StartState::App;
  FramedEngine app(options, true);
  EXPECT_EQ(FeedOne(app, Request(frame::kCmdErase, Le32(Base(1))), 1000).bytes,
            Refusal(kRefuseNotInLoader, frame::kCmdErase));
  EXPECT_EQ(FeedOne(app, Request(frame::kCmdSyncLoader), 1000).bytes,
            Refusal(kRefuseNotInLoader, frame::kCmdSyncLoader));
  EXPECT_EQ(FeedOne(app, Request(frame::kCmdRestart, Le32(200)), 1000).bytes,
            Ack(frame::kCmdRestart));
  // Deaf while it boots...
  EXPECT_TRUE(FeedAll(app, Request(frame::kCmdSyncLoader), 1000 + options.restartMs - 1).empty());
  // ... then a sync within the window keeps it in the loader.
  EXPECT_EQ(FeedOne(app, Request(frame::kCmdSyncLoader), 1000 + options.restartMs + 10).bytes,
            Ack(frame::kCmdSyncLoader));
  EXPECT_EQ(app.CurrentMode(), FramedEngine::Mode::Loader);
  EXPECT_EQ(FeedOne(app, Request(frame::kCmdErase, Le32(Base(1))), 5000).bytes,
            Ack(frame::kCmdErase));
}

TEST_F(FramedEngineTest, RestartWithoutSyncEndsInTheApp) {
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdRestart, Le32(200)), 1000).bytes,
            Ack(frame::kCmdRestart));
  std::vector<ToolReply> out;
  engine.Tick(1000 + options.restartMs, out);
  EXPECT_EQ(engine.CurrentMode(), FramedEngine::Mode::SyncWindow);
  engine.Tick(1000 + options.restartMs + options.syncWindowMs, out);
  EXPECT_EQ(engine.CurrentMode(), FramedEngine::Mode::App);
}

TEST_F(FramedEngineTest, RebootToLoaderAsksForANewLine) {
  const ToolReply r = FeedOne(engine, Request(frame::kCmdRebootToLoader));
  EXPECT_EQ(r.bytes, Ack(frame::kCmdRebootToLoader));
  EXPECT_EQ(r.event, ToolEvent::Reboot);
}

TEST_F(FramedEngineTest, ProgrammerFinishesWithTheRestartAfterFinishUpdate) {
  FramedEngine programmer(options, true);
  EXPECT_EQ(FeedOne(programmer, Request(frame::kCmdFinish, Le32(Base(1)))).event, ToolEvent::None);
  EXPECT_EQ(FeedOne(programmer, Request(frame::kCmdRestart, Le32(200))).event, ToolEvent::Finished);
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdFinish, Le32(Base(1)))).event, ToolEvent::Finished);
}

TEST_F(FramedEngineTest, RefuseFaultGivesItsStatusAndSkipsTheCommand) {
  ASSERT_TRUE(options.faults.Add("refuse:2A@1:05", nullptr));
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdErase, Le32(Base(1)))).bytes,
            Refusal(0x05, frame::kCmdErase));
  EXPECT_EQ(FeedOne(engine, FramedBlock(Base(1), 0, MakeImage(16))).bytes,
            Refusal(kRefuseOutOfRange, frame::kCmdWriteBlock));
  EXPECT_EQ(FeedOne(engine, Request(frame::kCmdErase, Le32(Base(1)))).bytes, Ack(frame::kCmdErase));
}

TEST_F(FramedEngineTest, RequestsSplitAcrossFeedsAreJoined) {
  const Bytes request = Request(frame::kCmdQueryName);
  EXPECT_TRUE(FeedAll(engine, Bytes(request.begin(), request.begin() + 4)).empty());
  EXPECT_EQ(FeedAll(engine, Bytes(request.begin() + 4, request.end())).size(), 1u);
}

}  // namespace
}  // namespace varnok::sim::test
