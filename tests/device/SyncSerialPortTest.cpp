// CSyncSerialPort against a real pseudo-terminal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/Clock.h"
#include "device/SyncSerialPort.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TempDevDir.h"

using varnok::PortFailure;
using varnok::test::Bytes;
using varnok::test::PtyPeer;
using varnok::test::TempDevDir;

namespace {

struct RecordingNotify : ISerialNotify {
  std::vector<std::string> texts;
  void OnPortFailureText(const char* text) override { texts.emplace_back(text); }
};

class SyncSerialPortTest : public ::testing::Test {
 protected:
  TempDevDir dir;
  PtyPeer peer{dir.Path(), "ttyACM0"};  // port 1
  CSyncSerialPort port;
  RecordingNotify notify;
};

TEST_F(SyncSerialPortTest, EmptyQueueReadsZeroAndLeavesBufferAlone) {
  ASSERT_EQ(port.Open(1, 115200, &notify), 1);
  std::uint8_t buf[4] = {7, 7, 7, 7};
  EXPECT_EQ(port.Read(buf, sizeof buf), 0);
  EXPECT_EQ(buf[0], 7);
}

TEST_F(SyncSerialPortTest, ReadTakesAtMostCapacityAndLeavesTheRestQueued) {
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  peer.Send({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
  ASSERT_EQ(port.WaitReadable(1000), 1);
  std::uint8_t buf[10] = {};
  varnok::SleepMs(20);  // let the whole burst land in the queue
  EXPECT_EQ(port.Read(buf, 5), 5);
  EXPECT_EQ(buf[4], 4);
  EXPECT_EQ(port.Read(buf, 10), 5);
  EXPECT_EQ(buf[0], 5);
  EXPECT_EQ(buf[4], 9);
}

TEST_F(SyncSerialPortTest, WriteReachesTheFarEnd) {
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  EXPECT_EQ(port.Write(reinterpret_cast<const std::uint8_t*>("\xAA\x55\xC9"), 3), 3);
  EXPECT_EQ(peer.Receive(3), (Bytes{0xAA, 0x55, 0xC9}));
}

// Whatever the line was before, the port leaves it raw, 8N1, at its baud.
// (A pty keeps CS8 and no parity whatever it is told, so on a pty only the
// stop bits, the raw flags and the speed can show a wrong set-up.)
TEST_F(SyncSerialPortTest, OpenSetsARaw8N1LineAtTheBaudRate) {
  const struct {
    unsigned baud;
    speed_t speed;
  } rows[] = {{9600, B9600}, {57600, B57600}, {115200, B115200}};
  for (const auto& row : rows) {
    termios cooked = peer.Settings();
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    cooked.c_oflag |= OPOST;
    cooked.c_iflag |= ICRNL | IXON;
    cooked.c_cflag = (cooked.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | CS7 | PARENB | CSTOPB;
    cfsetspeed(&cooked, B1200);
    peer.SetSettings(cooked);
    ASSERT_EQ(port.Open(1, row.baud, nullptr), 1);
    const termios line = peer.Settings();
    EXPECT_EQ(cfgetispeed(&line), row.speed) << row.baud;
    EXPECT_EQ(cfgetospeed(&line), row.speed) << row.baud;
    EXPECT_EQ(line.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_EQ(line.c_iflag & (ICRNL | IXON), 0u);
    port.Close();
  }
}

// Purge bit 0 is the receive side, bit 1 the transmit side.
// A far end that reads nothing: once the line's queue is full a write waits
// out its total time-out (1 ms a byte at 115200) and says how much went,
// and every byte it counted reaches the far end, none twice.
TEST_F(SyncSerialPortTest, WriteIntoAFullLineReturnsTheShortCountWhenItsTimeOutRunsOut) {
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  Bytes chunk(1024);
  std::size_t counted = 0;
  int last = static_cast<int>(chunk.size());
  // A pty takes about 20 KiB; 48 KiB is more than any line here holds.
  for (int i = 0; i < 48 && last == static_cast<int>(chunk.size()); ++i) {
    for (std::size_t k = 0; k < chunk.size(); ++k)
      chunk[k] = static_cast<std::uint8_t>(counted + k);
    last = port.Write(chunk.data(), static_cast<int>(chunk.size()));
    ASSERT_GE(last, 0);
    counted += static_cast<std::size_t>(last);
  }
  ASSERT_LT(last, static_cast<int>(chunk.size())) << "the line took 48 KiB without a reader";
  const Bytes arrived = peer.ReceiveAll(200, 10000);
  ASSERT_EQ(arrived.size(), counted);
  for (std::size_t k = 0; k < arrived.size(); ++k)
    ASSERT_EQ(arrived[k], static_cast<std::uint8_t>(k)) << "byte " << k;
}

TEST_F(SyncSerialPortTest, PurgeBitZeroDropsReceivedBytesBitOneLeavesThem) {
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  std::uint8_t buf[8] = {};
  peer.Send({1, 2, 3});
  ASSERT_EQ(port.WaitReadable(1000), 1);
  varnok::SleepMs(20);  // let the whole burst land in the queue
  port.Purge(2);
  EXPECT_EQ(port.Read(buf, sizeof buf), 3);
  peer.Send({4, 5});
  ASSERT_EQ(port.WaitReadable(1000), 1);
  varnok::SleepMs(20);
  port.Purge(1);
  EXPECT_EQ(port.Read(buf, sizeof buf), 0);
}

TEST_F(SyncSerialPortTest, MissingDeviceFailsWithoutAnyText) {
  EXPECT_EQ(port.Open(5, 115200, &notify), 0);
  EXPECT_TRUE(notify.texts.empty());
  EXPECT_EQ(port.LastOpenFailure(), PortFailure::NotFound);
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(SyncSerialPortTest, SecondOpenWhileOpenKeepsThePortEvenForAnotherNumber) {
  PtyPeer other{dir.Path(), "ttyACM1"};
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  EXPECT_EQ(port.Open(2, 9600, &notify), 1);
  port.Write(reinterpret_cast<const std::uint8_t*>("x"), 1);
  EXPECT_EQ(peer.Receive(1, 500), Bytes{'x'});
  EXPECT_TRUE(other.Receive(1, 100).empty());
}

TEST_F(SyncSerialPortTest, ClosedPortRefusesReadAndWrite) {
  std::uint8_t b = 0;
  EXPECT_EQ(port.Read(&b, 1), -1);
  EXPECT_EQ(port.Write(&b, 1), -1);
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  EXPECT_EQ(port.Close(), 1);
  EXPECT_EQ(port.Read(&b, 1), -1);
  EXPECT_EQ(port.Write(&b, 1), -1);
  EXPECT_EQ(port.Close(), 1);
}

TEST_F(SyncSerialPortTest, PortHeldElsewhereFailsToOpenAsBusy) {
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  CSyncSerialPort second;
  EXPECT_EQ(second.Open(1, 115200, &notify), 0);
  EXPECT_EQ(second.LastOpenFailure(), PortFailure::Busy);
  port.Close();
  EXPECT_EQ(second.Open(1, 115200, nullptr), 1);  // free again after Close
}

TEST_F(SyncSerialPortTest, RegularFileFailsToOpenWithASetUpText) {
  dir.WriteFile("ttyACM5", "not a terminal");
  EXPECT_EQ(port.Open(6, 115200, &notify), 0);
  ASSERT_EQ(notify.texts.size(), 1u);
  EXPECT_EQ(notify.texts[0].rfind("SetCommState failed, error = ", 0), 0u);
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(SyncSerialPortTest, UnpluggedDeviceEndsWaitsAtOnce) {
  ASSERT_EQ(port.Open(1, 115200, nullptr), 1);
  peer.Unplug();
  EXPECT_EQ(port.WaitReadable(5000), -1);
  std::uint8_t b = 0;
  EXPECT_LE(port.Read(&b, 1), 0);
}

TEST_F(SyncSerialPortTest, HungUpLineCountsAsClosedWhicheverCallFindsIt) {
  const struct {
    const char* call;
    int (*use)(CSyncSerialPort&);
  } rows[] = {
      {"WaitReadable", [](CSyncSerialPort& p) { return p.WaitReadable(1000); }},
      {"Read", [](CSyncSerialPort& p) { std::uint8_t b; return p.Read(&b, 1); }},
      {"Write", [](CSyncSerialPort& p) { return p.Write(reinterpret_cast<const std::uint8_t*>("x"), 1); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.call);
    PtyPeer line{dir.Path(), "ttyACM3"};  // port 4
    CSyncSerialPort linePort;
    ASSERT_EQ(linePort.Open(4, 115200, nullptr), 1);
    line.Unplug();
    EXPECT_EQ(row.use(linePort), -1);
    EXPECT_FALSE(linePort.IsOpen());
  }
}

TEST(SyncSerialPortTimeouts, MultiplierFollowsTheBaudRate) {
  EXPECT_EQ(CSyncSerialPort::TimeoutMultiplier(115200), 1u);
  EXPECT_EQ(CSyncSerialPort::TimeoutMultiplier(57600), 1u);
  EXPECT_EQ(CSyncSerialPort::TimeoutMultiplier(9600), 2u);
}

}  // namespace
