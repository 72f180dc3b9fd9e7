// CSerialPort's monitor thread against a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "device/SerialPort.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/TempDevDir.h"

using varnok::test::PtyPeer;
using varnok::test::TempDevDir;

namespace {

struct Message {
  unsigned message;
  unsigned wParam;
  int port;
  bool operator==(const Message& o) const {
    return message == o.message && wParam == o.wParam && port == o.port;
  }
};

class RecordingOwner : public ISerialPortOwner {
 public:
  void OnSerialMessage(unsigned message, unsigned wParam, int port) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back({message, wParam, port});
    }
    changed_.notify_all();
    if (onMessage) onMessage(message);
  }
  // Waits until `count` messages came (or 3 s passed); returns them.
  std::vector<Message> WaitFor(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(3), [&] { return messages_.size() >= count; });
    return messages_;
  }
  std::vector<unsigned> RxBytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<unsigned> out;
    for (const Message& m : messages_)
      if (m.message == WM_COMM_RXCHAR) out.push_back(m.wParam);
    return out;
  }
  std::function<void(unsigned)> onMessage;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Message> messages_;
};

class SerialPortMonitorTest : public ::testing::Test {
 protected:
  TempDevDir dir;
  PtyPeer peer{dir.Path(), "ttyACM2"};  // port 3
  RecordingOwner owner;
  CSerialPort port;
};

TEST_F(SerialPortMonitorTest, DeliversEveryByteInOrderWithThePortNumber) {
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  peer.Send({'O', 'K', '\r', '\n', 0xB0});
  const auto got = owner.WaitFor(5);
  ASSERT_EQ(got.size(), 5u);
  EXPECT_EQ(got[0], (Message{WM_COMM_RXCHAR, 'O', 3}));
  EXPECT_EQ(owner.RxBytes(), (std::vector<unsigned>{'O', 'K', '\r', '\n', 0xB0}));
}

TEST_F(SerialPortMonitorTest, CtsInTheMaskIsReportedBeforeTheBytesOfEachWakeUp) {
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT | EV_CTS_BIT, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  peer.Send({'A'});
  const auto got = owner.WaitFor(2);
  ASSERT_GE(got.size(), 2u);
  EXPECT_EQ(got[0], (Message{WM_COMM_CTS_DETECTED, 0, 3}));
  EXPECT_EQ(got[1], (Message{WM_COMM_RXCHAR, 'A', 3}));
}

TEST_F(SerialPortMonitorTest, ReopenEndsTheRunningMonitorAndAllowsARestart) {
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  EXPECT_EQ(port.StartMonitor(), 0);  // already running
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  EXPECT_FALSE(port.IsMonitoring());
  ASSERT_EQ(port.StartMonitor(), 1);
  peer.Send({'z'});
  owner.WaitFor(1);
  EXPECT_EQ(owner.RxBytes(), std::vector<unsigned>{'z'});
}

TEST_F(SerialPortMonitorTest, CloseFromInsideADeliveryDoesNotDeadlock) {
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  owner.onMessage = [&](unsigned) { port.Close(); };
  peer.Send({'1', '2', '3'});
  owner.WaitFor(1);
  // The thread leaves after the delivery that closed the port; the rest is dropped.
  for (int i = 0; i < 300 && port.IsMonitoring(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(port.IsMonitoring());
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(owner.RxBytes(), std::vector<unsigned>{'1'});
  owner.onMessage = nullptr;
  EXPECT_EQ(port.Close(), 1);
}

TEST_F(SerialPortMonitorTest, CloseEndsAnIdleMonitor) {
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  EXPECT_EQ(port.Close(), 1);
  EXPECT_FALSE(port.IsMonitoring());
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(SerialPortMonitorTest, MissingDeviceFailsToOpenAndCannotMonitor) {
  EXPECT_EQ(port.Open(&owner, 4, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 0);
  EXPECT_EQ(port.StartMonitor(), 0);
}

TEST_F(SerialPortMonitorTest, UnpluggedDeviceLeavesTheMonitorWaitingForClose) {
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  peer.Unplug();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(port.Close(), 1);
  EXPECT_FALSE(port.IsMonitoring());
}

}  // namespace
