// The real protocol classes against the simulated tools on a pty: whole
// updates whose flash must equal the image, and the faults the simulator
// plays as the device classes see them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "device/Clock.h"
#include "device/ProductFactory.h"
#include "sim/RunningSimulator.h"
#include "tests/sim/SimTestSupport.h"
#include "tests/support/TempDevDir.h"

namespace varnok::sim::test {
namespace {

using varnok::test::TempDevDir;

constexpr int kFirstPort = 1;  // ttyACM0

// Writes the image block by block as the download worker does; returns the
// index of the first block that failed, or -1.
int WriteBlocks(CUsbDevInterface& dev, const Bytes& image, int blockSize) {
  const int size = static_cast<int>(image.size());
  const int count = size / blockSize + (size % blockSize != 0 ? 1 : 0);
  for (int i = 0; i < count; ++i) {
    const int offset = i * blockSize;
    const int len = std::min(blockSize, size - offset);
    if (dev.WriteBlock(image.data(), len, offset, i) != 0) return i;
  }
  return -1;
}

class SimulatedUpdateTest : public ::testing::Test {
 protected:
  SimOptions Options(ToolClass toolClass, const std::string& name) const {
    SimOptions o;
    o.toolClass = toolClass;
    o.name = name;
    o.devDir = dir.Path();
    return o;
  }

  static std::unique_ptr<CUsbDevInterface> Device(int type, int partition, int deviceType = 1) {
    CProductFactory factory;
    std::unique_ptr<CUsbDevInterface> dev = factory.Create(type);
    dev->partition = partition;
    dev->SetDeviceType(deviceType);
    return dev;
  }

  // A framed tool found by name, its partition table read and erased.
  static void OpenAndErase(CUsbDevInterface& dev, const std::string& name) {
    ASSERT_EQ(dev.OpenDevice(name), 0);
    ASSERT_TRUE(dev.ReadPartitionTable(dev.partitionTable));
    ASSERT_EQ(dev.EraseFlash(), 0);
  }

  // The classic run: identify, update mode, erase, blocks, finish.
  static void RunClassic(CUsbDevInterface& dev, const Bytes& image, const std::string& name) {
    ASSERT_EQ(dev.OpenDevice(name), 0);
    std::uint8_t reported[kDeviceNameBufferSize] = {};
    ASSERT_TRUE(dev.ReadDeviceName(reported));
    ASSERT_EQ(std::string(reinterpret_cast<const char*>(reported)), name);
    ASSERT_EQ(dev.EnterUpdateMode(), 1);
    ASSERT_EQ(dev.EraseFlash(), 1);
    ASSERT_EQ(WriteBlocks(dev, image, 2048), -1);
    ASSERT_TRUE(dev.FinishUpdate());
  }

  // The new tool's run: time, partition table, erase, blocks, verify, finish.
  static void RunNew(CUsbDevInterface& dev, const Bytes& image, const std::string& name) {
    ASSERT_EQ(dev.OpenDevice(name), 0);
    ASSERT_TRUE(dev.SetDeviceTime());
    ASSERT_TRUE(dev.ReadPartitionTable(dev.partitionTable));
    ASSERT_EQ(dev.EraseFlash(), 0);
    ASSERT_EQ(WriteBlocks(dev, image, 2048), -1);
    ASSERT_EQ(dev.VerifyImage(image.data(), static_cast<int>(image.size())), 0);
    ASSERT_TRUE(dev.FinishUpdate());
  }

  // The programmer's run: partition table, erase, 128-byte blocks, verify,
  // finish, restart.
  static void RunProgrammer(CUsbDevInterface& dev, const Bytes& image) {
    ASSERT_EQ(dev.OpenDevice("PX110"), 0);
    ASSERT_TRUE(dev.ReadPartitionTable(dev.partitionTable));
    ASSERT_EQ(dev.EraseFlash(), 0);
    ASSERT_EQ(WriteBlocks(dev, image, 128), -1);
    ASSERT_EQ(dev.VerifyImage(image.data(), static_cast<int>(image.size())), 0);
    ASSERT_TRUE(dev.FinishUpdate());
    ASSERT_EQ(dev.RestartDevice(200), 0);
  }

  TempDevDir dir;
};

TEST_F(SimulatedUpdateTest, ClassicUpdateLeavesTheImageInFlashForBothVariants) {
  for (int partition : {0, 1}) {
    SCOPED_TRACE(partition);
    const Bytes image = MakeImage(2048 * 3 + 517, static_cast<unsigned>(partition) + 7);
    RunningSimulator sim(Options(ToolClass::Classic, "QV110"));
    auto dev = Device(kToolClassic, partition);
    RunClassic(*dev, image, "QV110");
    dev->ClosePort();
    EXPECT_EQ(sim.FlashImage(), image);
    EXPECT_EQ(sim.Simulator().Engine().Flash().RegionStart(),
              partition == 0 ? frame::kClassicFlashBase : 0u);
  }
}

TEST_F(SimulatedUpdateTest, NewToolUpdateLeavesTheImageInItsPartition) {
  const Bytes image = MakeImage(2048 * 4 + 100, 3);
  SimOptions options = Options(ToolClass::New, "QV120|1");
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 3);  // ID2
  RunNew(*dev, image, "QV120");
  dev->ClosePort();
  EXPECT_EQ(sim.FlashImage(), image);
  EXPECT_EQ(sim.Simulator().Engine().Flash().RegionStart(), options.partitionBases[1]);
}

TEST_F(SimulatedUpdateTest, NewToolUpdateWithoutPartitionIsPlacedByBlockIndex) {
  const Bytes image = MakeImage(2048 * 2 + 33, 4);
  RunningSimulator sim(Options(ToolClass::New, "QV220|2"));
  auto dev = Device(kToolNew, 0);
  RunNew(*dev, image, "QV220");
  dev->ClosePort();
  EXPECT_EQ(sim.FlashImage(), image);
}

TEST_F(SimulatedUpdateTest, ProgrammerUpdateLeavesTheImageAndEndsAfterTheFinalRestart) {
  const Bytes image = MakeImage(128 * 20 + 44, 5);
  SimOptions options = Options(ToolClass::Programmer, "OMNIX|1");
  options.exitAfterFinish = true;
  options.flashOut = dir.PathOf("flash.bin");
  RunningSimulator sim(options);
  auto dev = Device(kToolProgrammer, 2);
  RunProgrammer(*dev, image);
  dev->ClosePort();
  ASSERT_TRUE(sim.WaitEnded(3000));
  EXPECT_EQ(sim.Stop(), 0);
  std::ifstream file(options.flashOut, std::ios::binary);
  const Bytes written{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  EXPECT_EQ(written, image);
}

TEST_F(SimulatedUpdateTest, ProgrammerRebootToLoaderComesBackOnTheSameLink) {
  SimOptions options = Options(ToolClass::Programmer, "OMNIX|1");
  options.startIn = StartState::App;
  options.rebootMs = 100;
  RunningSimulator sim(options);
  auto dev = Device(kToolProgrammer, 2);
  ASSERT_EQ(dev->OpenDevice("PX110"), 0);
  ASSERT_TRUE(dev->ReadPartitionTable(dev->partitionTable));
  EXPECT_EQ(dev->EraseFlash(), 1) << "the app must refuse to erase";
  ASSERT_EQ(dev->RebootToLoader(), 0);
  dev->ClosePort();
  int opened = 1;
  for (int attempt = 0; attempt < 10 && opened != 0; ++attempt) {
    varnok::SleepMs(100);
    opened = dev->OpenDevice("PX110");
  }
  ASSERT_EQ(opened, 0);
  EXPECT_EQ(dev->EraseFlash(), 0);
  dev->ClosePort();
  EXPECT_EQ(sim.Simulator().Reboots(), 1);
}

TEST_F(SimulatedUpdateTest, ProgrammerRestartThenSyncLoaderCatchesTheLoader) {
  SimOptions options = Options(ToolClass::Programmer, "OMNIX|1");
  options.startIn = StartState::App;
  RunningSimulator sim(options);
  auto dev = Device(kToolProgrammer, 2);
  ASSERT_EQ(dev->OpenDevice("PX110"), 0);
  ASSERT_EQ(dev->RestartDevice(200), 0);
  varnok::SleepMs(200);
  ASSERT_EQ(dev->SyncLoader(), 0);
  ASSERT_TRUE(dev->ReadPartitionTable(dev->partitionTable));
  EXPECT_EQ(dev->EraseFlash(), 0);
}

TEST_F(SimulatedUpdateTest, NoNameMakesQueryDeviceNameTimeOut) {
  SimOptions options = Options(ToolClass::New, "QV120|1");
  ASSERT_TRUE(options.faults.Add("no-name", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  ASSERT_TRUE(dev->OpenPort(kFirstPort));
  std::string name = "x";
  EXPECT_EQ(dev->QueryDeviceName(name), -1);
  EXPECT_TRUE(name.empty());
  dev->ClosePort();
  EXPECT_EQ(sim.Simulator().Engine().RequestCount(frame::kCmdQueryName), 3u);
}

TEST_F(SimulatedUpdateTest, RefuseFaultGivesItsStatusToTheDeviceClass) {
  SimOptions options = Options(ToolClass::New, "QV120|1");
  ASSERT_TRUE(options.faults.Add("refuse:11@1:05", nullptr));
  ASSERT_TRUE(options.faults.Add("refuse:2A:05", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  ASSERT_TRUE(dev->OpenPort(kFirstPort));
  std::string name;
  EXPECT_EQ(dev->QueryDeviceName(name), 5);
  EXPECT_EQ(dev->QueryDeviceName(name), 1);
  EXPECT_EQ(name, "QV120|1");
  EXPECT_EQ(dev->EraseFlash(), 1);
}

TEST_F(SimulatedUpdateTest, ProgrammerVerifyRefusal11CountsAs17) {
  const Bytes image = MakeImage(128 * 2, 8);
  SimOptions options = Options(ToolClass::Programmer, "OMNIX|1");
  ASSERT_TRUE(options.faults.Add("refuse:15:11", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolProgrammer, 2);
  ASSERT_NO_FATAL_FAILURE(OpenAndErase(*dev, "PX110"));
  ASSERT_EQ(WriteBlocks(*dev, image, 128), -1);
  EXPECT_EQ(dev->VerifyImage(image.data(), static_cast<int>(image.size())), 17);
}

TEST_F(SimulatedUpdateTest, VerifyOfAnotherImageIsRefused) {
  const Bytes image = MakeImage(2048 * 2, 9);
  RunningSimulator sim(Options(ToolClass::New, "QV120|1"));
  auto dev = Device(kToolNew, 2);
  ASSERT_NO_FATAL_FAILURE(OpenAndErase(*dev, "QV120"));
  ASSERT_EQ(WriteBlocks(*dev, image, 2048), -1);
  const Bytes other = MakeImage(image.size(), 10);
  EXPECT_NE(dev->VerifyImage(other.data(), static_cast<int>(other.size())), 0);
  EXPECT_EQ(dev->VerifyImage(image.data(), static_cast<int>(image.size())), 0);
}

TEST_F(SimulatedUpdateTest, UnplugAfterBlockTwoMakesTheThirdWriteFail) {
  const Bytes image = MakeImage(2048 * 4, 11);
  SimOptions options = Options(ToolClass::New, "QV120|1");
  ASSERT_TRUE(options.faults.Add("unplug-after-block:2", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  ASSERT_NO_FATAL_FAILURE(OpenAndErase(*dev, "QV120"));
  EXPECT_EQ(WriteBlocks(*dev, image, 2048), 2);
  dev->ClosePort();
  EXPECT_TRUE(sim.WaitEnded(1000));
  EXPECT_EQ(sim.FlashImage(), Bytes(image.begin(), image.begin() + 2 * 2048));
}

TEST_F(SimulatedUpdateTest, ReplugAfterUnplugKeepsTheFlashAndTakesTheNextBlock) {
  const Bytes image = MakeImage(2048 * 2, 13);
  SimOptions options = Options(ToolClass::New, "QV120|1");
  ASSERT_TRUE(options.faults.Add("unplug-after-block:1:200", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  ASSERT_NO_FATAL_FAILURE(OpenAndErase(*dev, "QV120"));
  ASSERT_EQ(dev->WriteBlock(image.data(), 2048, 0, 0), 0);
  const std::string link = dir.PathOf("ttyACM0");
  auto linkExists = [&] { return ::access(link.c_str(), F_OK) == 0; };
  bool gone = false;
  for (int waited = 0; waited < 1000 && !gone; waited += 5, varnok::SleepMs(5))
    gone = !linkExists();
  ASSERT_TRUE(gone) << "the line must go away after block 1";
  dev->ClosePort();
  int opened = 1;
  for (int attempt = 0; attempt < 20 && opened != 0; ++attempt) {
    varnok::SleepMs(50);
    opened = dev->OpenDevice("QV120");
  }
  ASSERT_EQ(opened, 0);
  EXPECT_EQ(dev->WriteBlock(image.data(), 2048, 2048, 1), 0);
  dev->ClosePort();
  EXPECT_EQ(sim.FlashImage(), image);
}

TEST_F(SimulatedUpdateTest, PacedLineStillCarriesAWholeUpdate) {
  const Bytes image = MakeImage(2048 + 300, 14);
  SimOptions options = Options(ToolClass::New, "QV120|1");
  options.paceBaud = 115200;
  options.blockMs = 2;
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  RunNew(*dev, image, "QV120");
  dev->ClosePort();
  EXPECT_EQ(sim.FlashImage(), image);
}

TEST_F(SimulatedUpdateTest, DroppedBlockReplyIsRetriedAndTheImageStillLands) {
  const Bytes image = MakeImage(2048 * 3, 12);
  SimOptions options = Options(ToolClass::New, "QV120|1");
  ASSERT_TRUE(options.faults.Add("drop:2C@2", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  RunNew(*dev, image, "QV120");
  dev->ClosePort();
  EXPECT_EQ(sim.Simulator().Engine().RequestCount(frame::kCmdWriteBlock), 4u);
  EXPECT_EQ(sim.FlashImage(), image);
}

TEST_F(SimulatedUpdateTest, WrongEchoAndCorruptReplyCostATryEach) {
  SimOptions options = Options(ToolClass::New, "QV120|1");
  ASSERT_TRUE(options.faults.Add("wrong-echo:2A@1", nullptr));
  ASSERT_TRUE(options.faults.Add("corrupt:2A@2", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  ASSERT_EQ(dev->OpenDevice("QV120"), 0);
  ASSERT_TRUE(dev->ReadPartitionTable(dev->partitionTable));
  EXPECT_EQ(dev->EraseFlash(), 0);
  dev->ClosePort();
  EXPECT_EQ(sim.Simulator().Engine().RequestCount(frame::kCmdErase), 3u);
}

TEST_F(SimulatedUpdateTest, LateReplyBeyondTheTimeOutCostsATry) {
  SimOptions options = Options(ToolClass::New, "QV120|1");
  ASSERT_TRUE(options.faults.Add("late:1A@1:1300", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolNew, 2);
  ASSERT_TRUE(dev->OpenPort(kFirstPort));
  EXPECT_TRUE(dev->ReadPartitionTable(dev->partitionTable));
  dev->ClosePort();
  varnok::SleepMs(100);  // the tool reads the retry only after its late reply
  EXPECT_EQ(sim.Simulator().Engine().RequestCount(frame::kCmdPartitionTable), 2u);
}

TEST_F(SimulatedUpdateTest, ClassicNameSplitAfterThreeBytesIsReadAsThreeCharacters) {
  SimOptions options = Options(ToolClass::Classic, "QV110");
  ASSERT_TRUE(options.faults.Add("split:C9:3:300", nullptr));
  RunningSimulator sim(options);
  auto dev = Device(kToolClassic, 0);
  ASSERT_EQ(dev->OpenDevice("QV110"), 0);
  std::string name;
  EXPECT_EQ(dev->QueryDeviceName(name), 1);
  EXPECT_EQ(name, "QV1");
}

}  // namespace
}  // namespace varnok::sim::test
