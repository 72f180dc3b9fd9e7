// The classic tool's protocol side, fed without a line.
#include <gtest/gtest.h>

#include "sim/ClassicEngine.h"
#include "sim/SimStatus.h"
#include "tests/sim/SimTestSupport.h"

namespace varnok::sim::test {
namespace {

const Bytes kEnterFirstVariant =
    frame::ClassicRequest(frame::kClassicEnterUpdate, {0x01, 0x02, 0x03, 0x04, 0x05});
const Bytes kEnterSecondVariant =
    frame::ClassicRequest(frame::kClassicEnterUpdate, {0x05, 0x04, 0x03, 0x02, 0x01});

Bytes Erase(std::uint32_t address) {
  Bytes params = Le32(address);
  params.push_back(0xF2);
  return frame::ClassicRequest(frame::kClassicErase, params);
}

class ClassicEngineTest : public ::testing::Test {
 protected:
  ClassicEngineTest() {
    options.toolClass = ToolClass::Classic;
    options.name = "QV110";
  }

  void EnterAndErase(std::uint32_t base = frame::kClassicFlashBase) {
    ASSERT_EQ(FeedOne(engine, kEnterFirstVariant).bytes,
              frame::ClassicReply(frame::kClassicUpdateMode));
    ASSERT_EQ(FeedOne(engine, Erase(base)).bytes, frame::ClassicReply(frame::kClassicEraseDone));
  }

  // Header and packet; returns the reply codes.
  std::pair<Bytes, Bytes> Block(std::uint32_t address, const Bytes& data, unsigned index,
                                std::uint32_t sumError = 0) {
    const Bytes header = FeedOne(engine, ClassicHeader(address, data.size())).bytes;
    const Bytes packet = FeedOne(engine, ClassicPacket(data, index, sumError)).bytes;
    return {header, packet};
  }

  SimOptions options;
  ClassicEngine engine{options};
};

TEST_F(ClassicEngineTest, NameIsRawTextWithoutFrame) {
  const ToolReply r = FeedOne(engine, frame::ClassicRequest(frame::kClassicQueryName));
  EXPECT_EQ(r.bytes, (Bytes{'Q', 'V', '1', '1', '0'}));
  EXPECT_EQ(r.command, frame::kClassicQueryName);
}

TEST_F(ClassicEngineTest, BlocksLandAtTheirAddressAboveTheFlashBase) {
  EnterAndErase();
  const Bytes image = MakeImage(5000);
  for (unsigned i = 0; i * 2048 < image.size(); ++i) {
    const std::size_t len = std::min<std::size_t>(2048, image.size() - i * 2048);
    const Bytes data(image.begin() + i * 2048, image.begin() + i * 2048 + len);
    const auto [header, packet] = Block(frame::kClassicFlashBase + i * 2048, data, i);
    EXPECT_EQ(header, frame::ClassicReply(frame::kClassicHeaderAccepted));
    EXPECT_EQ(packet, frame::ClassicReply(frame::kClassicBlockAccepted));
  }
  EXPECT_EQ(engine.Flash().RegionStart(), frame::kClassicFlashBase);
  EXPECT_EQ(engine.Flash().WrittenImage(), image);
}

TEST_F(ClassicEngineTest, SecondVariantWritesFromAddressZero) {
  ASSERT_EQ(FeedOne(engine, kEnterSecondVariant).bytes,
            frame::ClassicReply(frame::kClassicUpdateMode));
  ASSERT_EQ(FeedOne(engine, Erase(0)).bytes, frame::ClassicReply(frame::kClassicEraseDone));
  const Bytes data = MakeImage(100);
  EXPECT_EQ(Block(0, data, 0).second, frame::ClassicReply(frame::kClassicBlockAccepted));
  EXPECT_EQ(engine.Flash().WrittenImage(), data);
}

TEST_F(ClassicEngineTest, BadBlockSum32IsRefusedAndNotWritten) {
  EnterAndErase();
  const Bytes data = MakeImage(2048);
  const auto [header, packet] = Block(frame::kClassicFlashBase, data, 0, 1);
  EXPECT_EQ(header, frame::ClassicReply(frame::kClassicHeaderAccepted));
  EXPECT_EQ(packet, frame::ClassicReply(kClassicRefused));
  EXPECT_FALSE(engine.Flash().HasWrites());
  // The retry of the same block goes through.
  EXPECT_EQ(Block(frame::kClassicFlashBase, data, 0).second,
            frame::ClassicReply(frame::kClassicBlockAccepted));
  EXPECT_EQ(engine.Flash().WrittenImage(), data);
}

TEST_F(ClassicEngineTest, EraseBeforeUpdateModeAndBlockBeforeEraseAreRefused) {
  EXPECT_EQ(FeedOne(engine, Erase(frame::kClassicFlashBase)).bytes,
            frame::ClassicReply(kClassicRefused));
  FeedOne(engine, kEnterFirstVariant);
  EXPECT_EQ(FeedOne(engine, ClassicHeader(frame::kClassicFlashBase, 16)).bytes,
            frame::ClassicReply(kClassicRefused));
}

TEST_F(ClassicEngineTest, HeaderBelowTheErasedRegionIsRefused) {
  EnterAndErase();
  // The address without the flash base: a PC that forgot to add it.
  EXPECT_EQ(FeedOne(engine, ClassicHeader(0x1000, 16)).bytes, frame::ClassicReply(kClassicRefused));
}

TEST_F(ClassicEngineTest, EraseSetsWrittenBytesBackToFF) {
  EnterAndErase();
  Block(frame::kClassicFlashBase, MakeImage(64), 0);
  FeedOne(engine, Erase(frame::kClassicFlashBase));
  std::uint8_t after[64];
  engine.Flash().Read(frame::kClassicFlashBase, after, sizeof after);
  for (std::uint8_t b : after) EXPECT_EQ(b, 0xFF);
  EXPECT_TRUE(engine.Flash().WrittenImage().empty());
}

TEST_F(ClassicEngineTest, HeaderAndPacketInOneChunkAreBothServed) {
  EnterAndErase();
  const Bytes data = MakeImage(300);
  const std::vector<ToolReply> replies = FeedAll(
      engine, Cat(ClassicHeader(frame::kClassicFlashBase, data.size()), ClassicPacket(data, 0)));
  ASSERT_EQ(replies.size(), 2u);
  EXPECT_EQ(replies[1].bytes, frame::ClassicReply(frame::kClassicBlockAccepted));
  EXPECT_TRUE(replies[1].blockWritten);
}

TEST_F(ClassicEngineTest, UnfinishedPacketIsGivenUpAndARetriedHeaderServed) {
  EnterAndErase();
  Bytes data = MakeImage(2048);
  for (auto& b : data)
    if (b == frame::kSync0) b = 0;  // no request hides in the stray bytes
  FeedOne(engine, ClassicHeader(frame::kClassicFlashBase, data.size()), 1000);
  // Only part of the packet comes; the PC times out and sends the header again.
  FeedAll(engine, Bytes(data.begin(), data.begin() + 100), 1010);
  std::vector<ToolReply> none;
  engine.Tick(1500, none);
  EXPECT_TRUE(none.empty());
  std::vector<ToolReply> out;
  engine.Tick(1010 + ClassicEngine::kPacketIdleMs, out);
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(FeedOne(engine, ClassicHeader(frame::kClassicFlashBase, data.size()), 3000).bytes,
            frame::ClassicReply(frame::kClassicHeaderAccepted));
  EXPECT_EQ(FeedOne(engine, ClassicPacket(data, 0), 3010).bytes,
            frame::ClassicReply(frame::kClassicBlockAccepted));
}

TEST_F(ClassicEngineTest, UserDataIsKeptAndNoDataIsB496E0) {
  EXPECT_EQ(FeedOne(engine, frame::ClassicRequest(frame::kClassicReadUserData)).bytes,
            frame::ClassicReply(frame::kClassicNoData));
  // The request has no length: it ends when the line falls quiet after FF.
  const Bytes data{0x10, 0xFF, 0x20};
  EXPECT_TRUE(
      FeedAll(engine, frame::ClassicRequest(frame::kClassicWriteUserData, data), 1000).empty());
  std::vector<ToolReply> out;
  engine.Tick(1000 + ClassicEngine::kUserDataQuietMs, out);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].bytes, frame::ClassicReply(frame::kClassicDataWritten));
  EXPECT_EQ(FeedOne(engine, frame::ClassicRequest(frame::kClassicReadUserData), 2000).bytes, data);
}

TEST_F(ClassicEngineTest, RefuseFaultHitsTheHeaderWithItsCode) {
  ASSERT_TRUE(options.faults.Add("refuse:C1@1:E5", nullptr));
  EnterAndErase();
  EXPECT_EQ(FeedOne(engine, ClassicHeader(frame::kClassicFlashBase, 16)).bytes,
            frame::ClassicReply(0xE5));
  EXPECT_EQ(FeedOne(engine, ClassicHeader(frame::kClassicFlashBase, 16)).bytes,
            frame::ClassicReply(frame::kClassicHeaderAccepted));
}

TEST_F(ClassicEngineTest, FinishLeavesUpdateModeAndEndsTheUpdate) {
  EnterAndErase();
  const ToolReply r = FeedOne(engine, frame::ClassicRequest(frame::kClassicFinish));
  EXPECT_EQ(r.event, ToolEvent::Finished);
  EXPECT_FALSE(engine.InUpdateMode());
}

}  // namespace
}  // namespace varnok::sim::test
