// varnok-cli capture against the simulated tool in data mode: byte-exact
// output, the line limit, the last partial line and a vanished port.
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "cli/ExitCodes.h"
#include "tests/cli/CliRunner.h"
#include "tests/update/DownloadRunTestSupport.h"

namespace varnok::test {
namespace {

// Lines with CR LF, a lone LF, bytes of 0xB0 and above, a long line and
// a last line without a line feed.
std::string SampleCapture() {
  std::string text = "T=25\r\nRPM 800\n25\xB0" "C \xFF\xFE\r\n";
  text += std::string(3000, 'L') + "\r\n";
  text += "tail without LF";
  return text;
}

class CaptureTest : public SimulatedRunTest {
 protected:
  // A tool that sends `content` once, unchanged; `leave`: it goes away after.
  void StartDataTool(const std::string& content, bool leave) {
    const std::string file = folder.Path() + "/data.txt";
    std::ofstream(file, std::ios::binary) << content;
    sim::SimOptions options = Tool(sim::ToolClass::Classic, "QV220");
    options.dataFile = file;
    options.dataRaw = true;
    // A tool that goes away hangs up only once the capture has read every
    // byte it sent (the simulator waits for the line's input to be read, as
    // a hang-up drops unread input); it is paced like a tool at 57600 baud.
    // The others send at once.
    options.dataBaud = leave ? 57600 : 0;
    options.exitAfterFinish = leave;
    StartTool(options);
  }
  std::string Output() { return ReadWholeFile(folder.Path() + "/capture.bin"); }
  // A capture that never sees its data (a tool that missed the open) ends
  // here as a failure (exit -2) instead of hanging the suite.
  CliResult Capture(const std::vector<std::string>& args) {
    return CliProcess(args, folder.Path()).WaitAtMost(60000);
  }
};

TEST_F(CaptureTest, ByteExactUntilThePortVanishesWithTheLastPartialLine) {
  StartDataTool(SampleCapture(), true);
  const CliResult r = Capture({"capture", "--output", folder.Path() + "/capture.bin"});
  EXPECT_EQ(r.exitCode, cli::kExitPortGone);
  EXPECT_EQ(Output(), SampleCapture());
  EXPECT_NE(r.err.find("went away"), std::string::npos);
}

TEST_F(CaptureTest, EndsAfterExactlyTheFirstNLines) {
  StartDataTool(SampleCapture(), false);
  const CliResult r = Capture({"capture", "--port", "1", "--lines", "2", "--timestamps", "--output",
                              folder.Path() + "/capture.bin"});
  EXPECT_EQ(r.exitCode, cli::kExitOk);
  const std::string out = Output();
  // "[HH:MM:SS.mmm] " before each line.
  ASSERT_EQ(out.size(), 2 * 15 + std::string("T=25\r\nRPM 800\n").size());
  EXPECT_EQ(out.substr(15, 6), "T=25\r\n");
  EXPECT_EQ(out[0], '[');
  EXPECT_EQ(out.substr(13, 2), "] ");
  EXPECT_EQ(out.substr(36), "RPM 800\n");
}

TEST_F(CaptureTest, SecondsKeepTheLastPartialLineAndJsonDecodesLines) {
  StartDataTool("25\xB0" "C\r\nhalf", false);
  const CliResult r = Capture({"--json", "capture", "--seconds", "1.5"});
  EXPECT_EQ(r.exitCode, cli::kExitOk);
  EXPECT_NE(r.out.find("{\"event\":\"line\",\"text\":\"25\xC2\xB0" "C\\r\\n\",\"time\":"),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"text\":\"half\""), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\"result\":\"seconds\""), std::string::npos) << r.out;
}

TEST_F(CaptureTest, NoToolOrNoneOnTheNamedPortIsStatusThree) {
  const CliResult r = Capture({"capture"});
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten);
  EXPECT_NE(r.err.find("No tool connected"), std::string::npos);

  // A tool on port 1 does not serve a capture that names port 2.
  StartDataTool("T=25\r\n", false);
  const CliResult named = Capture({"capture", "--port", "2", "--lines", "1"});
  EXPECT_EQ(named.exitCode, cli::kExitNotWritten);
  EXPECT_NE(named.err.find("No tool found on"), std::string::npos) << named.err;
  const CliResult bad = Capture({"capture", "--port", "nowhere"});
  EXPECT_EQ(bad.exitCode, cli::kExitUsage);
}

// Every stop signal ends a capture cleanly, keeping the bytes after the
// last line feed.
TEST_F(CaptureTest, EveryStopSignalKeepsTheLastPartialLine) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
    SCOPED_TRACE(signal);
    StartDataTool("T=25\r\nhalf", false);
    std::remove((folder.Path() + "/capture.bin").c_str());
    CliProcess cli({"capture", "--output", folder.Path() + "/capture.bin"}, folder.Path());
    // The capture file holds the partial line once it has been read.
    for (int waited = 0; Output() != "T=25\r\nhalf" && waited < 30000; waited += 20)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    cli.Signal(signal);
    const CliResult r = cli.WaitAtMost(30000);
    EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
    EXPECT_EQ(Output(), "T=25\r\nhalf");
    tool.reset();
  }
}

// A capture that cannot be written whole fails and says how much arrived.
TEST_F(CaptureTest, AnOutputThatFillsUpIsExitSevenWithTheBytesThatArrived) {
  StartDataTool("T=25\r\nRPM 800\r\n", false);
  const CliResult r = Capture({"capture", "--output", "/dev/full", "--lines", "2"});
  EXPECT_EQ(r.exitCode, cli::kExitOutputFailed) << r.err;
  EXPECT_NE(r.err.find("0 bytes reached it"), std::string::npos) << r.err;
}

// Raw output gets the tool's bytes only: no JSON events in the file, and
// nothing else on standard output when the program starts with descriptors
// 0 and 2 closed (the port must not take their place).
TEST_F(CaptureTest, RawOutputGetsOnlyTheToolsBytes) {
  const std::string data = "T=25\r\nRPM 800\r\n";
  StartDataTool(data, false);
  const CliResult json = Capture({"--json", "capture", "--lines", "2", "--output",
                                  folder.Path() + "/capture.bin"});
  EXPECT_EQ(json.exitCode, cli::kExitOk) << json.err;
  EXPECT_EQ(Output(), data);
  tool.reset();

  StartDataTool(data, false);
  const std::string out = folder.Path() + "/stdout.bin";
  CliProcess closed({"capture", "--lines", "2"}, folder.Path(), -1, CliIo{out, true, true});
  const CliResult r = closed.WaitAtMost(60000);
  EXPECT_EQ(r.exitCode, cli::kExitOk);
  EXPECT_EQ(ReadWholeFile(out), data);
}

}  // namespace
}  // namespace varnok::test
