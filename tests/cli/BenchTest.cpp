// Service-bench features of varnok-cli against simulated tools side by side
// in one device folder: --port, --wait, update --all (+ --count), info,
// update --dry-run and the update record.
#include <signal.h>

#include <algorithm>
#include <thread>

#include <gtest/gtest.h>

#include "cli/ExitCodes.h"
#include "device/SyncSerialPort.h"
#include "tests/cli/CliRunner.h"
#include "tests/support/ScopedEnv.h"
#include "tests/update/DownloadRunTestSupport.h"
#include "update/Sha256.h"
#include "update/StatusTexts.h"
#include "update/UpdateRecord.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

int CountOf(const std::string& text, const std::string& part) {
  int n = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class BenchTest : public SimulatedRunTest {
 protected:
  void StartTools(int n) {
    for (int k = 0; k < n; ++k) Start(ToolAt(k));
  }
  void Start(const sim::SimOptions& options) {
    tools.emplace_back(new sim::RunningSimulator(options));
  }
  CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--config", SampleConfigPath()});
    return RunCli(args, folder.Path());
  }
  std::vector<UpdateRecord> Records() {
    std::vector<UpdateRecord> records;
    int skipped = 0;
    EXPECT_TRUE(ReadUpdateRecords(folder.Path() + "/state/varnok/updates.log", records, skipped));
    EXPECT_EQ(skipped, 0);
    return records;
  }
  std::string ClassicFw(const Bytes& image) {
    return folder.Write("fw.bin", ClassicFile("QV120", image));
  }

  ScopedEnv state{"XDG_STATE_HOME", folder.Path() + "/state"};
  std::vector<std::unique_ptr<sim::RunningSimulator>> tools;
};

TEST_F(BenchTest, BenchOptionUsageErrorsExitWith2) {
  const std::vector<std::vector<std::string>> rows = {
      {"update", "--model", "QV120", "--port", "bogus", "x.bin"},
      {"update", "--model", "QV120", "--port", "0", "x.bin"},
      {"update", "--model", "QV120", "--port", "/elsewhere/ttyACM0", "x.bin"},
      {"update", "--model", "QV120", "--port", "1", "--port", "2", "x.bin"},
      {"update", "--model", "QV120", "--all", "--count", "2", "x.bin"},  // no --wait
      {"update", "--model", "QV120", "--wait=soon", "x.bin"},
      {"identify", "--model", "QV120", "--all"},
      {"ports", "--port", "1"},
      {"history", "--last", "0"},
      {"info"},
  };
  for (const auto& args : rows) {
    const CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, cli::kExitUsage) << args[3] << " " << r.err;
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_F(BenchTest, InfoTellsWhichModelsAFileFits) {
  const struct {
    const char* name;
    Bytes file;
    int exit;
    const char* fits;
  } rows[] = {
      {"classic.bin", ClassicFile("QV120", PatternImage(300)), cli::kExitOk, "Fits: QV120 (1)"},
      {"two.bin", TrailerFile("PX520|QV330", 4096), cli::kExitOk, "Fits: PX520 (8), QV330 (16)"},
      {"none.bin", TrailerFile("ZZ999", 4096), cli::kExitNotWritten,
       "Fits: no model of the configuration"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string path = folder.Write(row.name, row.file);
    const CliResult r = Cli({"info", path});
    EXPECT_EQ(r.exitCode, row.exit) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, row.fits)) << r.out;
    EXPECT_TRUE(Contains(r.out, "Size: " + std::to_string(row.file.size()) + " bytes"));
    EXPECT_TRUE(Contains(r.out, "Update path: .bin"));
  }
  const Bytes tagged = TrailerFile("PX520|QV330", 4096);
  const std::uint8_t* tag = tagged.data() + tagged.size() - 16;
  char hex[9];
  std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", tag[0], tag[1], tag[2], tag[3]);
  EXPECT_TRUE(Contains(Cli({"info", folder.Write("two.bin", tagged)}).out,
                       std::string("Verify tag: ") + hex));
}

TEST_F(BenchTest, DryRunChecksEverythingAndWritesNothing) {
  StartTools(1);
  const CliResult ok = Cli({"update", "--dry-run", "--model", "QV120", ClassicFw(PatternImage(5000))});
  EXPECT_EQ(ok.exitCode, cli::kExitOk) << ok.err;
  EXPECT_TRUE(Contains(ok.out, "Nothing was erased or written.")) << ok.out;
  const CliResult wrongTool = Cli({"update", "--dry-run", "--model", "QV220",
                                   folder.Write("qv220.bin", ClassicFile("QV220", PatternImage(50)))});
  EXPECT_EQ(wrongTool.exitCode, cli::kExitNotWritten);
  EXPECT_TRUE(Contains(wrongTool.err, text::kEquipmentMismatch)) << wrongTool.err;
  EXPECT_TRUE(tools[0]->FlashImage().empty());
}

TEST_F(BenchTest, EveryRunIsRecordedWithItsHashAndResult) {
  Start(WithFault(ToolAt(0), "refuse:C2"));  // erase refused
  const Bytes file = ClassicFile("QV120", PatternImage(3000));
  const std::string path = ClassicFw(PatternImage(3000));
  EXPECT_EQ(Cli({"update", "--model", "QV120", path}).exitCode, cli::kExitAfterErase);
  tools.clear();
  sim::SimOptions slow = ToolAt(0);
  slow.blockMs = 20;
  Start(slow);
  {
    CliProcess cli({"--config", SampleConfigPath(), "--json", "update", "--model", "QV120",
                    ClassicFw(PatternImage(150 * 2048))},
                   folder.Path());
    ASSERT_TRUE(cli.WaitForOutput("\"event\":\"progress\"", 10000));
    cli.Signal(SIGINT);
    EXPECT_EQ(cli.Wait().exitCode, cli::kExitAfterErase);
  }
  tools.clear();
  StartTools(1);
  EXPECT_EQ(Cli({"update", "--model", "QV120", folder.Write("fw.bin", file)}).exitCode, cli::kExitOk);

  const std::vector<UpdateRecord> records = Records();
  ASSERT_EQ(records.size(), 3u);
  const struct {
    const char* result;
    int exit;
  } expected[] = {{"failed-after-erase", 4}, {"cancelled", 4}, {"done", 0}};  // the cancel came after the erase
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(records[i].result, expected[i].result);
    EXPECT_EQ(records[i].exitStatus, expected[i].exit);
    EXPECT_EQ(records[i].model, "QV120");
    EXPECT_EQ(records[i].port, 1);
    EXPECT_EQ(records[i].portName, "ttyACM0");
    EXPECT_EQ(records[i].file, "fw.bin");
  }
  EXPECT_EQ(records[2].size, static_cast<std::int64_t>(file.size()));
  EXPECT_EQ(records[2].sha256, Sha256Hex(file.data(), file.size()));
  const CliResult history = Cli({"history", "--last", "2"});
  EXPECT_EQ(history.exitCode, cli::kExitOk);
  EXPECT_EQ(history.OutLines().size(), 3u) << history.out;  // heading + 2 records
  EXPECT_TRUE(Contains(history.out, "cancelled"));
  EXPECT_FALSE(Contains(history.out, "failed-after-erase"));
}

TEST_F(BenchTest, AllUpdatesThreeToolsAtOnce) {
  StartTools(3);
  const Bytes image = PatternImage(20 * 2048 + 7);
  const CliResult r = Cli({"--json", "update", "--all", "--model", "QV120", ClassicFw(image)});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
  for (const auto& line : r.OutLines()) {
    if (Contains(line, "\"event\":\"status\"") || Contains(line, "\"event\":\"progress\"")) {
      EXPECT_TRUE(Contains(line, "\"port\":")) << line;
    }
  }
  EXPECT_EQ(CountOf(r.out, "\"text\":\"Update done!\",\"ok\":true,\"colour\""), 3) << r.out;
  EXPECT_TRUE(Contains(r.out, "\"event\":\"summary\",\"tools\":3,\"done\":3,\"exit\":0"));
  for (auto& tool : tools) EXPECT_EQ(tool->FlashImage(), image);
  EXPECT_EQ(Records().size(), 3u);
}

TEST_F(BenchTest, AnUnpluggedToolFailsAloneAndSetsTheExitStatus) {
  Start(ToolAt(0));
  Start(WithFault(ToolAt(1), "unplug-after-block:3"));
  Start(ToolAt(2));
  const Bytes image = PatternImage(20 * 2048);
  const CliResult r = Cli({"update", "--all", "--model", "QV120", ClassicFw(image)});
  EXPECT_EQ(r.exitCode, cli::kExitAfterErase) << r.out << r.err;
  EXPECT_TRUE(Contains(r.out, "ttyACM0: Update done!"));
  EXPECT_TRUE(Contains(r.out, "ttyACM2: Update done!"));
  EXPECT_FALSE(Contains(r.out, "ttyACM1: Update done!"));
  EXPECT_TRUE(Contains(r.out, "2 of 3 tools updated."));
  EXPECT_EQ(tools[0]->FlashImage(), image);
  EXPECT_EQ(tools[2]->FlashImage(), image);
}

TEST_F(BenchTest, PortPicksTheNamedToolAndLeavesTheOthersAlone) {
  StartTools(3);
  const Bytes image = PatternImage(4000);
  const CliResult r =
      Cli({"update", "--port", devDir.PathOf("ttyACM1"), "--model", "QV120", ClassicFw(image)});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
  EXPECT_TRUE(tools[0]->FlashImage().empty());
  EXPECT_EQ(tools[1]->FlashImage(), image);
  EXPECT_TRUE(tools[2]->FlashImage().empty());
  const CliResult absent = Cli({"identify", "--port", "9", "--model", "QV120"});
  EXPECT_EQ(absent.exitCode, cli::kExitNotWritten);
  EXPECT_TRUE(Contains(absent.err, "No tool found on " + devDir.PathOf("ttyACM8"))) << absent.err;
}

TEST_F(BenchTest, WaitSeesAToolPluggedInLaterAndTimesOutClearly) {
  const CliResult none = Cli({"identify", "--wait=1", "--model", "QV120"});
  EXPECT_EQ(none.exitCode, cli::kExitNotWritten);
  EXPECT_TRUE(Contains(none.err, "No tool found: waited 1 s for a tool")) << none.err;

  CliProcess cli({"--config", SampleConfigPath(), "update", "--all", "--wait=20", "--count", "2",
                  "--model", "QV120", ClassicFw(PatternImage(3000))},
                 folder.Path());
  std::this_thread::sleep_for(std::chrono::seconds(1));
  Start(ToolAt(0));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Start(ToolAt(1));
  const CliResult r = cli.Wait();
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
  EXPECT_TRUE(Contains(r.out, "Waiting for 2 tools...")) << r.out;
  EXPECT_TRUE(Contains(r.out, "2 of 2 tools updated."));
}

// Several runs in one process never share a port: the open is exclusive.
TEST_F(BenchTest, ARunNeverOpensAPortAnotherRunHolds) {
  StartTools(2);
  ASSERT_TRUE(UseConfig(SampleConfigPath()));
  CSyncSerialPort holder;
  ASSERT_EQ(holder.Open(1, 115200, nullptr), 1);
  const std::string file = ClassicFw(PatternImage(3000));
  const struct {
    int port;
    DownloadEnd end;
  } rows[] = {{1, DownloadEnd::NotStarted}, {2, DownloadEnd::Done}};
  for (const auto& row : rows) {
    CDownloadWorkflow workflow;
    workflow.SetDeviceEntry(MakeEntry(1, "QV120", 0));
    workflow.RestrictToPort(row.port);
    ASSERT_TRUE(workflow.LoadUpdateFile(file));
    RecordingView view;
    workflow.SetView(&view);
    workflow.Start();
    ASSERT_TRUE(view.WaitEnded(20000));
    EXPECT_EQ(view.end, row.end) << "port " << row.port;
    workflow.WaitForWorker(5000);
  }
  EXPECT_TRUE(tools[0]->FlashImage().empty());
  EXPECT_FALSE(tools[1]->FlashImage().empty());
}

// A bench run that left a tool out, or found fewer tools of the model
// than --count asks for, is no success; a dry run says "checked".
TEST_F(BenchTest, AllFailsForEveryToolItCouldNotUpdate) {
  const struct {
    const char* name;
    std::string fault;  // of the tool on ttyACM1
    bool held;          // ttyACM1 held by another program
    std::string otherName;  // ttyACM1 is this model instead
    std::vector<std::string> extra;
    int exit;
    const char* summary;
  } rows[] = {
      {"busy", "", true, "", {}, cli::kExitNotWritten, "2 of 3 tools updated."},
      {"no name", "no-name", false, "", {}, cli::kExitNotWritten, "2 of 3 tools updated."},
      {"fewer than --count", "", false, "QV220", {"--wait=10", "--count", "3"},
       cli::kExitNotWritten, "2 of 2 tools updated."},
      {"dry run", "", false, "", {"--dry-run"}, cli::kExitOk, "3 of 3 tools checked."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    tools.clear();
    Start(ToolAt(0));
    sim::SimOptions second = row.otherName.empty() ? ToolAt(1) : ToolAt(1, ToolClass::Classic,
                                                                           row.otherName);
    Start(row.fault.empty() ? second : WithFault(second, row.fault));
    Start(ToolAt(2));
    CSyncSerialPort holder;
    if (row.held) {
      ASSERT_EQ(holder.Open(2, 115200, nullptr), 1);
    }
    std::vector<std::string> args = {"update", "--all", "--model", "QV120"};
    args.insert(args.end(), row.extra.begin(), row.extra.end());
    args.push_back(ClassicFw(PatternImage(3000)));
    const CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, row.exit) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, row.summary)) << r.out;
  }
}

}  // namespace
}  // namespace varnok::test
