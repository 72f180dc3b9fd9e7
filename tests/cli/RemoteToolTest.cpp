// Tools on another machine: varnok-cli against simulated tools served by a
// real ser2net on 127.0.0.1 (RFC 2217 and raw TCP), whole updates, a
// capture, update --all, a server that dies in the middle, nothing
// listening, and a slow network.
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "cli/ExitCodes.h"
#include "device/TelnetFormat.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/Ser2net.h"
#include "tests/support/ScopedEnv.h"
#include "sim/ReplayTool.h"
#include "tests/update/DownloadRunTestSupport.h"
#include "update/UpdateRecord.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class RemoteToolTest : public SimulatedRunTest {
 protected:
  std::string Device(int k) { return devDir.Path() + "/ttyACM" + std::to_string(k); }
  CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--config", SampleConfigPath()});
    return CliProcess(args, folder.Path()).WaitAtMost(120000);
  }
  std::vector<UpdateRecord> Records() {
    std::vector<UpdateRecord> records;
    int skipped = 0;
    EXPECT_TRUE(ReadUpdateRecords(folder.Path() + "/state/varnok/updates.log", records, skipped));
    return records;
  }
  std::string ClassicFw(const Bytes& image) {
    return folder.Write("fw.bin", ClassicFile("QV120", image));
  }

  ScopedEnv state{"XDG_STATE_HOME", folder.Path() + "/state"};
};

TEST_F(RemoteToolTest, EveryToolClassIsUpdatedThroughRfc2217) {
  const Bytes image = PatternImage(6 * 2048 + 300);
  const Bytes trailer = TrailerFile("PX520", 20 * 2048);
  const struct {
    ToolClass toolClass;
    const char* simName;
    const char* model;
    Bytes file;
    Bytes flash;
  } rows[] = {
      {ToolClass::Classic, "QV120", "QV120", ClassicFile("QV120", image), image},
      {ToolClass::New, "PX520|1", "PX520", trailer, trailer},
      {ToolClass::Programmer, "OMNIX|1", "OMNIX", image, image},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.model);
    StartTool(ToolAt(0, row.toolClass, row.simName));
    Ser2net server(folder.Path(), {Device(0)});
    const CliResult r = Cli({"update", "--model", row.model, "--port", server.Url(0),
                             folder.Write("fw.bin", row.file)});
    EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "Tool port: " + server.Url(0) + "\n")) << r.out;
    EXPECT_EQ(Flash(), row.flash);
    const auto records = Records();
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(records.back().portName, server.Url(0));
  }
}

TEST_F(RemoteToolTest, ATraceRecordedThroughRfc2217ReplaysToALocalPort) {
  StartTool(ToolAt(0));
  const std::string file = ClassicFw(PatternImage(3 * 2048 + 9));
  const std::string trace = folder.Path() + "/remote.jsonl";
  {
    Ser2net server(folder.Path(), {Device(0)});
    const CliResult r = Cli({"update", "--model", "QV120", "--port", server.Url(0), "--trace", trace, file});
    ASSERT_EQ(r.exitCode, cli::kExitOk) << r.err;
  }
  tool.reset();
  sim::SimOptions options;
  options.devDir = devDir.Path();
  options.replayFile = trace;
  options.replayFast = true;
  std::ostringstream log;
  sim::ReplayTool replay(options, &log);
  std::string error;
  ASSERT_TRUE(replay.Start(&error)) << error;
  sim::ReplayEnd end = sim::ReplayEnd::Failed;
  std::thread player([&] { end = replay.Run(); });
  const CliResult r = Cli({"update", "--model", "QV120", "--port", "1", file});
  player.join();
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
  EXPECT_EQ(end, sim::ReplayEnd::Played) << log.str();
}

TEST_F(RemoteToolTest, RawTcpCarriesAnUpdateUnchanged) {
  StartTool(ToolAt(0));
  Ser2net server(folder.Path(), {Device(0)}, Ser2net::Accepter::Raw);
  const Bytes image = PatternImage(5 * 2048 + 17, 0xFF);
  const CliResult r = Cli({"update", "--model", "QV120", "--port", server.Url(0), ClassicFw(image)});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
  EXPECT_EQ(Flash(), image);
}

TEST_F(RemoteToolTest, CaptureThroughRfc2217IsByteExactWith0xFFAndNotifications) {
  const std::string content = std::string("T=25\r\n\xFF\xFF\xFE\r\n") + std::string(2000, 'L') + "\n";
  const std::string file = folder.Path() + "/data.txt";
  std::ofstream(file, std::ios::binary) << content;
  sim::SimOptions options = ToolAt(0, ToolClass::Classic, "QV220");
  options.dataFile = file;
  options.dataRaw = true;
  options.dataBaud = 0;
  // The tool starts sending when ser2net opens its line, which may be before
  // the capture's own open purged both ends: it repeats, and a whole round
  // of it must arrive unchanged.
  options.dataLoop = true;
  StartTool(options);
  Ser2net server(folder.Path(), {Device(0)});
  const CliResult r = Cli({"capture", "--port", server.Url(0), "--lines", "7", "--output",
                           folder.Path() + "/capture.bin"});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
  EXPECT_TRUE(Contains(ReadWholeFile(folder.Path() + "/capture.bin"), content));
}

TEST_F(RemoteToolTest, UpdateAllTakesExactlyTheNamedRemotePorts) {
  std::vector<std::unique_ptr<sim::RunningSimulator>> tools;
  std::vector<std::string> devices;
  for (int k = 0; k < 4; ++k) {
    tools.emplace_back(new sim::RunningSimulator(ToolAt(k)));
    devices.push_back(Device(k));
  }
  Ser2net server(folder.Path(), devices);
  const Bytes image = PatternImage(4 * 2048 + 5);
  std::vector<std::string> args = {"update", "--model", "QV120", "--all"};
  for (int k = 0; k < 4; ++k) args.insert(args.end(), {"--port", server.Url(k)});
  args.push_back(ClassicFw(image));
  const CliResult r = Cli(args);
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
  for (auto& tool : tools) EXPECT_EQ(tool->FlashImage(), image);
  for (int k = 0; k < 4; ++k) EXPECT_TRUE(Contains(r.out, server.Url(k) + "  done")) << r.out;
  EXPECT_TRUE(Contains(r.out, "4 of 4 tools updated.")) << r.out;
}

TEST_F(RemoteToolTest, ServerGoneInTheMiddleOfTheBlocksIsAFailureAfterTheErase) {
  sim::SimOptions options = ToolAt(0);
  options.blockMs = 20;
  StartTool(options);
  Ser2net server(folder.Path(), {Device(0)});
  CliProcess cli({"--config", SampleConfigPath(), "--json", "update", "--model", "QV120", "--port",
                  server.Url(0), ClassicFw(PatternImage(120 * 2048))},
                 folder.Path());
  ASSERT_TRUE(cli.WaitForOutput("\"event\":\"progress\"", 20000));
  server.Kill();
  const CliResult r = cli.WaitAtMost(120000);
  EXPECT_EQ(r.exitCode, cli::kExitAfterErase) << r.out << r.err;
  const auto records = Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].exitStatus, cli::kExitAfterErase);
  EXPECT_EQ(records[0].portName, server.Url(0));
}

TEST_F(RemoteToolTest, NothingListeningIsNoToolNamingTheAddressWithinSeconds) {
  const std::string url = "rfc2217://127.0.0.1:" + std::to_string(Ser2net::FreePort());
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"update", "--model", "QV120", "--port", url, ClassicFw(PatternImage(2048))},
           {"capture", "--port", url},
           {"update", "--model", "QV120", "--port", url, "--wait=2", ClassicFw(PatternImage(2048))}}) {
    SCOPED_TRACE(args[0] + " " + args.back());
    const auto start = Clock::now();
    const CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, cli::kExitNotWritten) << r.out << r.err;
    EXPECT_TRUE(Contains(r.err, url)) << r.err;
    EXPECT_TRUE(Contains(r.err, "refused")) << r.err;
    EXPECT_LT(MsSince(start), 15000);
  }
}

TEST_F(RemoteToolTest, A25msDelayEachWayStillUpdatesTheTool) {
  StartTool(ToolAt(0, ToolClass::New, "PX520|1"));
  Ser2net server(folder.Path(), {Device(0)});
  DelayProxy slow(server.Port(0), 25);
  const Bytes file = TrailerFile("PX520", 8 * 2048);
  const CliResult r = Cli({"update", "--model", "PX520", "--port",
                           "rfc2217://localhost:" + std::to_string(slow.Port()),
                           folder.Write("px.bin", file)});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
  EXPECT_EQ(Flash(), file);
}

TEST_F(RemoteToolTest, AServerWithoutComPortOptionStillCarriesTheUpdateAndThatIsSaid) {
  StartTool(ToolAt(0));
  Ser2net server(folder.Path(), {Device(0)}, Ser2net::Accepter::Telnet);
  const Bytes image = PatternImage(3 * 2048);
  const CliResult r = Cli({"update", "--model", "QV120", "--port", server.Url(0), ClassicFw(image)});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
  EXPECT_TRUE(Contains(r.out, "the line settings are the server's own")) << r.out;
  EXPECT_EQ(Flash(), image);
}

// Every byte a scripted server got, after it answered the first request with `answer`.
std::string Serve(int fd, const Bytes& answer) {
  std::string got;
  char buffer[512];
  bool answered = false;
  for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) {
    got.append(buffer, static_cast<std::size_t>(n));
    if (!answered) ::send(fd, answer.data(), answer.size(), MSG_NOSIGNAL);
    answered = true;
  }
  return got;
}

TEST_F(RemoteToolTest, AServerThatRefusesBinaryFailsBeforeAnyByteOfTheToolIsSent) {
  using namespace telnet;
  std::string received;
  std::atomic<bool> done{false};
  ScriptedServer server([&](int fd) {
    const std::string got = Serve(fd, {kIac, kDont, kOptBinary, kIac, kWont, kOptBinary, kIac, kDo,
                                       kOptSuppressGoAhead, kIac, kWill, kOptSuppressGoAhead, kIac,
                                       kDo, kOptComPort});
    if (!done) received = got;  // the first connection's
    done = true;
  });
  const std::string url = "rfc2217://127.0.0.1:" + std::to_string(server.Port());
  const CliResult r = Cli({"identify", "--model", "QV120", "--port", url});
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten) << r.out << r.err;
  EXPECT_TRUE(Contains(r.err, "refuses binary transmission")) << r.err;
  // The server's thread ends its session when the program has closed the connection.
  for (int i = 0; i < 500 && !done; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(done);
  // Nothing but negotiations went out: IAC, a verb, an option, again and again.
  ASSERT_FALSE(received.empty());
  for (std::size_t i = 0; i < received.size(); i += 3) {
    EXPECT_EQ(static_cast<std::uint8_t>(received[i]), kIac) << "at " << i;
  }
}

TEST_F(RemoteToolTest, AFloodingServerNeitherCrashesTheProgramNorHoldsOffCtrlC) {
  using namespace telnet;
  ScriptedServer server([](int fd) {
    const Bytes yes = {kIac, kDo, kOptBinary, kIac, kWill, kOptBinary, kIac, kDo, kOptSuppressGoAhead,
                       kIac, kWill, kOptSuppressGoAhead, kIac, kDo, kOptComPort};
    ::send(fd, yes.data(), yes.size(), MSG_NOSIGNAL);
    // A subnegotiation far longer than any, then negotiations and commands without end.
    Bytes sub = {kIac, kSb, kOptComPort};
    sub.resize(100000, 0x41);
    sub.insert(sub.end(), {kIac, kSe});
    ::send(fd, sub.data(), sub.size(), MSG_NOSIGNAL);
    Bytes flood;
    for (int i = 0; i < 3000; ++i) flood.insert(flood.end(), {kIac, kWill, 1, kIac, 241});
    while (::send(fd, flood.data(), flood.size(), MSG_NOSIGNAL) > 0) {
    }
  });
  const std::string url = "rfc2217://127.0.0.1:" + std::to_string(server.Port());
  CliProcess cli({"--config", SampleConfigPath(), "update", "--model", "QV120", "--port", url,
                  ClassicFw(PatternImage(2048))},
                 folder.Path());
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  const auto start = Clock::now();
  cli.Signal(SIGINT);
  const CliResult r = cli.WaitAtMost(20000);
  EXPECT_LT(MsSince(start), 5000);
  EXPECT_TRUE(r.exitCode == cli::kExitCancelled || r.exitCode == cli::kExitNotWritten)
      << r.exitCode << r.out << r.err;
}

}  // namespace
}  // namespace varnok::test
