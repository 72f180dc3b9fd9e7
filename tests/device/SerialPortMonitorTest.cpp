// CSerialPort's monitor thread against a real pseudo-terminal.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
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
    std::function<void(unsigned)> reaction;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back({message, wParam, port});
      reaction = onMessage_;
    }
    changed_.notify_all();
    if (reaction) reaction(message);
  }
  // What the owner does on each message, on the monitor thread. Set under
  // the lock: the monitor thread may be delivering while a test sets it.
  void OnMessage(std::function<void(unsigned)> reaction) {
    std::lock_guard<std::mutex> lock(mutex_);
    onMessage_ = std::move(reaction);
  }
  // Waits until `count` messages came (or 3 s passed); returns them.
  std::vector<Message> WaitFor(std::size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(3), [&] { return messages_.size() >= count; });
    return messages_;
  }
  std::vector<Message> Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }
  std::vector<unsigned> RxBytes() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<unsigned> out;
    for (const Message& m : messages_)
      if (m.message == WM_COMM_RXCHAR) out.push_back(m.wParam);
    return out;
  }
 private:
  std::function<void(unsigned)> onMessage_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Message> messages_;
};

// Waits up to `ms` for `done`; polls every 10 ms.
template <class F>
bool Eventually(F done, int ms = 3000) {
  for (int waited = 0; waited < ms; waited += 10) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

std::size_t OpenDescriptorCount() {
  std::size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    (void)entry;
    ++n;
  }
  return n;
}

// Runs `call` on a thread of its own; false when it has not returned after
// `ms` (the thread is then left behind, with whatever it uses).
bool ReturnsWithin(int ms, std::function<void()> call) {
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::thread([call, done] {
    call();
    *done = true;
  }).detach();
  return Eventually([&] { return done->load(); }, ms);
}

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

// Both line backends share one wake-up: every event of the mask in the
// order CTS, RXFLAG, BREAK, ERR, RING, then the bytes.
TEST_F(SerialPortMonitorTest, EveryMaskedEventIsReportedInItsFixedOrderBeforeTheBytes) {
  const unsigned mask =
      EV_RXCHAR_BIT | EV_RING_BIT | EV_ERR_BIT | EV_BREAK_BIT | EV_RXFLAG_BIT | EV_CTS_BIT;
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, mask, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  peer.Send({'A'});
  const auto got = owner.WaitFor(6);
  ASSERT_GE(got.size(), 6u);
  const unsigned order[] = {WM_COMM_CTS_DETECTED, WM_COMM_RXFLAG_DETECTED, WM_COMM_BREAK_DETECTED,
                            WM_COMM_ERR_DETECTED, WM_COMM_RING_DETECTED};
  for (std::size_t i = 0; i < 5; ++i)
    EXPECT_EQ(got[i], (Message{order[i], 0, 3})) << i;
  EXPECT_EQ(got[5], (Message{WM_COMM_RXCHAR, 'A', 3}));
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
  owner.OnMessage([&](unsigned) { port.Close(); });
  peer.Send({'1', '2', '3'});
  owner.WaitFor(1);
  // The thread leaves after the delivery that closed the port; the rest is dropped.
  for (int i = 0; i < 300 && port.IsMonitoring(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(port.IsMonitoring());
  EXPECT_FALSE(port.IsOpen());
  EXPECT_EQ(owner.RxBytes(), std::vector<unsigned>{'1'});
  owner.OnMessage(nullptr);
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
  EXPECT_EQ(port.ErrorLog(), std::vector<std::string>{"WaitCommEvent()"});
}

TEST_F(SerialPortMonitorTest, UnpluggedDeviceLeavesTheMonitorWaitingForClose) {
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  ASSERT_EQ(port.StartMonitor(), 1);
  peer.Unplug();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(port.Close(), 1);
  EXPECT_FALSE(port.IsMonitoring());
}

TEST_F(SerialPortMonitorTest, HangUpIsReportedOnceThenTheMonitorEnds) {
  for (const unsigned mask : {EV_RXCHAR_BIT, EV_RXCHAR_BIT | EV_CTS_BIT}) {
    SCOPED_TRACE(mask);
    PtyPeer line{dir.Path(), "ttyACM5"};  // port 6
    RecordingOwner lineOwner;
    CSerialPort linePort;
    ASSERT_EQ(linePort.Open(&lineOwner, 6, 57600, 'N', 8, 1, mask, 512), 1);
    ASSERT_EQ(linePort.StartMonitor(), 1);
    line.Unplug();
    EXPECT_TRUE(Eventually([&] { return !linePort.IsMonitoring(); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto got = lineOwner.Messages();
    ASSERT_LE(got.size(), 3u) << "the hang-up floods the owner";
    EXPECT_EQ(got, (std::vector<Message>{{WM_COMM_PORT_GONE, 0, 6}}));
    EXPECT_FALSE(linePort.IsOpen());
    const auto log = linePort.ErrorLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "WaitCommEvent()");
    EXPECT_LE(log.size(), 2u);
  }
}

TEST_F(SerialPortMonitorTest, EveryCloseGivesTheLineFreeForNormalUsers) {
  PtyPeer other{dir.Path(), "ttyACM3"};  // port 4
  ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  EXPECT_TRUE(peer.ExclusiveLocked());
  ASSERT_EQ(port.Open(&owner, 4, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);  // reopen elsewhere
  EXPECT_FALSE(peer.ExclusiveLocked()) << "the reopen left the first line locked";
  EXPECT_TRUE(other.ExclusiveLocked());

  ASSERT_EQ(port.StartMonitor(), 1);
  owner.OnMessage([&](unsigned) { port.Close(); });
  other.Send({'x'});
  EXPECT_TRUE(Eventually([&] { return !port.IsOpen(); }));
  EXPECT_FALSE(other.ExclusiveLocked()) << "the close from a delivery left the line locked";
  owner.OnMessage(nullptr);
}

TEST_F(SerialPortMonitorTest, OpenFromInsideADeliveryLetsTheNextCloseReturn) {
  // Left behind (not destroyed) if Close hangs, so that the hung call keeps
  // a valid object.
  auto* reopened = new CSerialPort;
  ASSERT_EQ(reopened->Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
  ASSERT_EQ(reopened->StartMonitor(), 1);
  owner.OnMessage([&](unsigned) {
    owner.OnMessage(nullptr);
    reopened->Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512);
    EXPECT_EQ(reopened->StartMonitor(), 0);  // not from inside its own thread
  });
  peer.Send({'a'});
  owner.WaitFor(1);
  ASSERT_TRUE(Eventually([&] { return !reopened->IsMonitoring(); }));
  ASSERT_TRUE(reopened->IsOpen());
  // The reopened port can be monitored again from the owner's thread.
  ASSERT_EQ(reopened->StartMonitor(), 1);
  peer.Send({'b'});
  EXPECT_EQ(owner.WaitFor(2).size(), 2u);
  ASSERT_TRUE(ReturnsWithin(3000, [reopened] { reopened->Close(); })) << "Close hangs";
  delete reopened;
}

TEST_F(SerialPortMonitorTest, MonitorCyclesLeaveNoDescriptorBehind) {
  const std::size_t before = OpenDescriptorCount();
  for (int cycle = 0; cycle < 3; ++cycle) {
    PtyPeer line{dir.Path(), "ttyACM6"};  // port 7
    ASSERT_EQ(port.Open(&owner, 7, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
    ASSERT_EQ(port.StartMonitor(), 1);
    line.Unplug();  // the monitor ends by itself
    ASSERT_TRUE(Eventually([&] { return !port.IsMonitoring(); }));
    ASSERT_EQ(port.Open(&owner, 3, 57600, 'N', 8, 1, EV_RXCHAR_BIT, 512), 1);
    ASSERT_EQ(port.StartMonitor(), 1);
    port.Close();
  }
  EXPECT_EQ(OpenDescriptorCount(), before);
}

}  // namespace
