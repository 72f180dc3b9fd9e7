// The replay of a recorded run against the real protocol class on a pty:
// the recorded request is answered with the recorded reply; a request that
// differs stops the replay at its first differing byte, named.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "device/FrameCodec.h"
#include "device/ProductFactory.h"
#include "sim/ReplayTool.h"
#include "tests/support/TempDevDir.h"

namespace varnok::sim {
namespace {

std::string HexOf(const frame::Bytes& bytes) {
  std::string hex;
  char b[3];
  for (const std::uint8_t v : bytes) {
    std::snprintf(b, sizeof b, "%02x", v);
    hex += b;
  }
  return hex;
}

struct ReplayCase {
  const char* label;
  std::uint8_t recordedCommand;  // what the recording says the program sent
  ReplayEnd end;
  const char* message;  // beginning of the mismatch text, after "replay stopped at "
};

class ReplayToolTest : public ::testing::TestWithParam<ReplayCase> {
 protected:
  test::TempDevDir dir;
};

TEST_P(ReplayToolTest, RecordedRequestIsAnsweredAndAnotherIsNamedAtItsByte) {
  const ReplayCase& c = GetParam();
  const std::string path = dir.PathOf("t.jsonl");
  {
    std::ofstream trace(path);
    trace << "{\"trace\":1,\"class\":\"new\"}\n"
          << "{\"t\":0.001,\"ev\":\"open\",\"port\":1,\"path\":\"x\",\"baud\":115200}\n"
          << "{\"t\":0.002,\"ev\":\"tx\",\"hex\":\"" << HexOf(frame::EncodeFrame({c.recordedCommand}))
          << "\"}\n"
          << "{\"t\":0.010,\"ev\":\"rx\",\"hex\":\""
          << HexOf(frame::EncodeReply(frame::kStatusAccepted, frame::kCmdQueryName,
                                      {'P', 'X', '5', '2', '0', '|', '1'}))
          << "\"}\n";
  }
  SimOptions options;
  options.devDir = dir.Path();
  options.replayFile = path;
  std::ostringstream log;
  ReplayTool replay(options, &log);
  std::string error;
  ASSERT_TRUE(replay.Start(&error)) << error;
  ReplayEnd end = ReplayEnd::Failed;
  std::thread player([&] { end = replay.Run(); });

  CProductFactory factory;
  std::unique_ptr<CUsbDevInterface> dev = factory.Create(1);
  ASSERT_TRUE(dev->OpenPort(1));
  std::string name;
  const int r = dev->QueryDeviceName(name);
  dev->ClosePort();
  player.join();

  EXPECT_EQ(end, c.end) << log.str();
  if (c.end == ReplayEnd::Played) {
    EXPECT_EQ(r, 1);
    EXPECT_EQ(name, "PX520|1");
  } else {
    EXPECT_NE(r, 1);
    EXPECT_EQ(replay.Message().rfind(c.message, 0), 0u) << replay.Message();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Strict, ReplayToolTest,
    ::testing::Values(
        ReplayCase{"Same", frame::kCmdQueryName, ReplayEnd::Played, ""},
        ReplayCase{"OtherCommand", frame::kCmdDeviceInfo, ReplayEnd::Mismatch,
                   "replay stopped at event 2 (line 3), offset 5: expected 0x12, received 0x11"}),
    [](const ::testing::TestParamInfo<ReplayCase>& info) { return info.param.label; });

}  // namespace
}  // namespace varnok::sim
