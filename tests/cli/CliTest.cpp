// varnok-cli end to end: exit statuses, output lines, --json events, model
// resolution, Ctrl-C, port listing and the port diagnostics.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "cli/ExitCodes.h"
#include "device/SyncSerialPort.h"
#include "tests/cli/CliRunner.h"
#include "tests/update/DownloadRunTestSupport.h"
#include "tests/support/PtyPeer.h"
#include "tests/support/ScopedEnv.h"
#include "update/StatusTexts.h"
#include "update/UpdateRecord.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The value of a string field in one JSON line (no escapes in the tests' values).
std::string Field(const std::string& line, const std::string& key) {
  const std::string marker = "\"" + key + "\":";
  const auto at = line.find(marker);
  if (at == std::string::npos) return "";
  std::string::size_type from = at + marker.size();
  if (line[from] == '"') {
    const auto to = line.find('"', from + 1);
    return line.substr(from + 1, to - from - 1);
  }
  const auto to = line.find_first_of(",}", from);
  return line.substr(from, to - from);
}

class CliTest : public SimulatedRunTest {
 protected:
  CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin(), {"--config", SampleConfigPath()});
    return RunCli(args, folder.Path());
  }
  std::vector<std::string> JsonEvents(const CliResult& r, const std::string& event) {
    std::vector<std::string> lines;
    for (const auto& line : r.OutLines()) {
      if (Field(line, "event") == event) lines.push_back(line);
    }
    return lines;
  }
};

TEST_F(CliTest, HelpNamesEveryExitStatus) {
  const CliResult r = Cli({"--help"});
  EXPECT_EQ(r.exitCode, 0);
  for (const char* line : {"  0  success", "  2  bad usage", "  3  nothing written",
                           "  4  failure after the erase began", "  5  cancelled",
                           "  6  capture", "  7  output lost"}) {
    EXPECT_TRUE(Contains(r.out, line)) << line;
  }
}

TEST_F(CliTest, UsageErrorsExitWith2) {
  const std::vector<std::vector<std::string>> rows = {
      {},
      {"flash"},
      {"update", "x.bin"},
      {"update", "--model", "QV120"},
      {"update", "--model", "QV120", "a.bin", "b.bin"},
      {"identify"},
      {"ports", "--bogus"},
      {"update", "--model", "NOSUCH", "x.bin"},
      {"update", "--model", "99", "x.bin"},
      {"update", "--model"},
  };
  for (const auto& args : rows) {
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    SCOPED_TRACE(joined);
    const CliResult r = RunCli(args, folder.Path());
    EXPECT_EQ(r.exitCode, cli::kExitUsage);
    EXPECT_FALSE(r.err.empty());
  }
  // A configuration that cannot be used: exit 2, saying why.
  const struct {
    std::string path;
    const char* why;
  } configs[] = {{folder.Path() + "/none.xml", "no such file"},
                 {folder.Path(), "not a regular file"}};
  for (const auto& config : configs) {
    SCOPED_TRACE(config.path);
    const CliResult r = RunCli({"--config", config.path, "models"}, folder.Path());
    EXPECT_EQ(r.exitCode, cli::kExitUsage);
    EXPECT_TRUE(Contains(r.err, "cannot read the configuration")) << r.err;
    EXPECT_TRUE(Contains(r.err, config.why)) << r.err;
  }
}

TEST_F(CliTest, ModelIsFoundByCodeDevNameOrShowName) {
  const struct {
    const char* model;
    const char* code;
  } rows[] = {{"1", "1"},        {"QV120", "1"},     {"qv120", "1"},      {"OMNIX II", "13"},
              {"OMNIX2", "13"},  {"omnix ii", "13"}, {"QV330XE", "17"},   {"QV330", "16"},
              {"12", "12"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.model);
    const CliResult r = Cli({"--json", "update", "--model", row.model, "x.bin"});
    const auto models = JsonEvents(r, "model");
    ASSERT_EQ(models.size(), 1u);
    EXPECT_EQ(Field(models[0], "code"), row.code);
    EXPECT_EQ(r.exitCode, cli::kExitNotWritten);  // no tool is connected
  }
}

TEST_F(CliTest, NoToolExitsWith3AndSaysWhereItLooked) {
  const CliResult r = Cli({"update", "--model", "QV120", "x.bin"});
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten);
  EXPECT_TRUE(Contains(r.err, "No tool found")) << r.err;
  EXPECT_TRUE(Contains(r.err, devDir.Path())) << r.err;
}

TEST_F(CliTest, ClassicUpdateInJsonReportsEveryStatusProgressAndTheResult) {
  StartTool(Tool(ToolClass::Classic, "QV120"));
  const Bytes image = PatternImage(5 * 2048 + 10);
  const std::string file = folder.Write("fw.bin", ClassicFile("QV120", image));
  const CliResult r = Cli({"--json", "update", "--model", "QV120", file});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.out << r.err;
  for (const auto& line : r.OutLines()) {
    EXPECT_EQ(line.front(), '{') << line;
    EXPECT_EQ(line.back(), '}') << line;
  }
  std::vector<std::string> texts;
  for (const auto& s : JsonEvents(r, "status")) {
    texts.push_back(Field(s, "text"));
    EXPECT_EQ(Field(s, "ok"), "true");
    EXPECT_EQ(Field(s, "colour"), "blue");
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Communicating...", "Erase flash....   please wait 30 seconds",
                                             "Communication...", "Communication...", "Update done!"}));
  const auto progress = JsonEvents(r, "progress");
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(Field(progress.back(), "bytes"), std::to_string(image.size()));
  EXPECT_EQ(Field(progress.back(), "total"), std::to_string(image.size()));
  EXPECT_EQ(Field(progress.back(), "percent"), "100");
  EXPECT_FALSE(Field(progress.back(), "rate_bps").empty());
  EXPECT_FALSE(Field(progress.back(), "eta_s").empty());
  const auto result = JsonEvents(r, "result");
  ASSERT_EQ(result.size(), 1u);
  EXPECT_EQ(Field(result[0], "result"), "done");
  EXPECT_EQ(Field(result[0], "exit"), "0");
  EXPECT_EQ(JsonEvents(r, "port").size(), 1u);
  EXPECT_EQ(Flash(), image);
}

TEST_F(CliTest, TextModeUpdatePrintsStatusesAndPlainProgressLines) {
  StartTool(Tool(ToolClass::New, "PX520|1"));
  const Bytes file = TrailerFile("PX520", 12 * 2048);
  const CliResult r = Cli({"update", "--model", "PX520", folder.Write("px.bin", file)});
  EXPECT_EQ(r.exitCode, cli::kExitOk) << r.err;
  const auto lines = r.OutLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Update done!"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Erase flash....   please wait 30 seconds"), lines.end());
  int progressLines = 0;
  for (const auto& line : lines) progressLines += line.rfind("progress ", 0) == 0;
  EXPECT_GE(progressLines, 5);
  EXPECT_LE(progressLines, 11);
  EXPECT_TRUE(Contains(r.out, "progress 100% 24576/24576 bytes"));
  EXPECT_TRUE(r.err.empty()) << r.err;
  EXPECT_EQ(Flash(), file);
}

TEST_F(CliTest, WrongToolExitsWith3WithTheMismatchTextOnStderr) {
  StartTool(Tool(ToolClass::Classic, "QV130"));
  const CliResult r = Cli({"update", "--model", "QV120",
                           folder.Write("fw.bin", ClassicFile("QV120", PatternImage(100)))});
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten);
  EXPECT_TRUE(Contains(r.err, text::kEquipmentMismatch)) << r.err;
  EXPECT_TRUE(Flash().empty());
}

TEST_F(CliTest, FileMessagesFollowTheProductPage) {
  StartTool(Tool(ToolClass::Classic, "QV220"));
  const struct {
    const char* model;
    const char* file;
    const char* message;
  } rows[] = {
      {"QV220", "fw.dat", "File format incorrect!"},   // not .BIN: the .zpk path
      {"QV220", "fw.bin", "Wrong file!"},              // the header names another model
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const CliResult r = Cli({"--json", "update", "--model", row.model,
                             folder.Write(row.file, ClassicFile("QV120", PatternImage(50)))});
    EXPECT_EQ(r.exitCode, cli::kExitNotWritten);
    EXPECT_TRUE(Contains(r.err, row.message)) << r.err;
    const auto messages = JsonEvents(r, "message");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(Field(messages[0], "text"), row.message);
  }
}

TEST_F(CliTest, EraseFailureExitsWith4) {
  StartTool(WithFault(Tool(ToolClass::Classic, "QV120"), "refuse:C2"));
  const CliResult r = Cli({"update", "--model", "1",
                           folder.Write("fw.bin", ClassicFile("QV120", PatternImage(3000)))});
  EXPECT_EQ(r.exitCode, cli::kExitAfterErase);
  EXPECT_TRUE(Contains(r.err, "Erase failure, please exit.")) << r.err;
  EXPECT_FALSE(Contains(r.out, "Update done!"));
}

TEST_F(CliTest, FailureBeforeTheEraseExitsWith3) {
  StartTool(WithFault(Tool(ToolClass::New, "PX520|1"), "refuse:24"));
  const CliResult r = Cli({"--json", "update", "--model", "PX520",
                           folder.Write("px.bin", TrailerFile("PX520", 3000))});
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten);
  const auto statuses = JsonEvents(r, "status");
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(Field(statuses.back(), "text"), "Communication failure, please exit.");
  EXPECT_EQ(Field(statuses.back(), "colour"), "red");
  EXPECT_EQ(Field(JsonEvents(r, "result").at(0), "result"), "failed-before-erase");
}

// Every way of stopping a run once the erase has begun cancels it as the
// first Ctrl-C does: exit 4, said so, "erase_begun", and the record.
TEST_F(CliTest, EveryStopAfterTheEraseExitsWith4AndAsksForAnotherUpdate) {
  const ScopedEnv state("XDG_STATE_HOME", folder.Path() + "/state");
  const struct {
    const char* name;
    std::vector<int> signals;
  } rows[] = {{"SIGINT", {SIGINT}},
              {"SIGTERM", {SIGTERM}},
              {"SIGHUP (terminal closed)", {SIGHUP}},
              {"SIGPIPE", {SIGPIPE}},
              {"second Ctrl-C during the cancel", {SIGINT, SIGINT}}};
  int runs = 0;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    sim::SimOptions options = Tool(ToolClass::Classic, "QV120");
    options.blockMs = 20;
    StartTool(options);
    const Bytes image = PatternImage(150 * 2048);
    CliProcess cli({"--config", SampleConfigPath(), "--json", "update", "--model", "QV120",
                    folder.Write("fw.bin", ClassicFile("QV120", image))},
                   folder.Path());
    ASSERT_TRUE(cli.WaitForOutput("\"event\":\"progress\"", 10000));
    const auto start = Clock::now();
    for (const int signal : row.signals) cli.Signal(signal);
    const CliResult r = cli.WaitAtMost(30000);
    EXPECT_LT(MsSince(start), 3000);  // the stop reaches the tool at once
    EXPECT_EQ(r.exitCode, cli::kExitAfterErase) << r.out << r.err;
    EXPECT_FALSE(Contains(r.out, "Update done!"));
    const auto results = JsonEvents(r, "result");
    ASSERT_EQ(results.size(), 1u) << r.out;
    EXPECT_EQ(Field(results[0], "result"), "cancelled");
    EXPECT_EQ(Field(results[0], "erase_begun"), "true");
    EXPECT_TRUE(Contains(r.err, "needs another update before use")) << r.err;
    EXPECT_NE(Flash(), image);
    std::vector<UpdateRecord> records;
    int skipped = 0;
    ASSERT_TRUE(ReadUpdateRecords(folder.Path() + "/state/varnok/updates.log", records, skipped));
    ASSERT_EQ(records.size(), static_cast<std::size_t>(++runs));
    EXPECT_EQ(records.back().result, "cancelled");
    EXPECT_EQ(records.back().exitStatus, cli::kExitAfterErase);
  }
}

// Outside the download run the first signal ends the program at once: here
// while the model check waits for a tool that never answers its name.
TEST_F(CliTest, FirstSignalBeforeTheRunEndsAtOnceWith5) {
  StartTool(WithFault(Tool(ToolClass::Classic, "QV120"), "drop:C9"));
  CliProcess cli({"--config", SampleConfigPath(), "--json", "update", "--model", "QV120",
                  folder.Write("fw.bin", ClassicFile("QV120", PatternImage(4096)))},
                 folder.Path());
  ASSERT_TRUE(cli.WaitForOutput("\"event\":\"port\"", 10000));
  const auto start = Clock::now();
  cli.Signal(SIGTERM);
  const CliResult r = cli.WaitAtMost(5000);
  EXPECT_LT(MsSince(start), 1000);
  EXPECT_EQ(r.exitCode, cli::kExitCancelled) << r.out << r.err;
  EXPECT_TRUE(Contains(r.out, "\"result\":\"cancelled\"")) << r.out;
}

// A FIFO as the update file would block the open for ever.
TEST_F(CliTest, UpdateFileThatIsNoRegularFileIsAWrongFileUnopened) {
  StartTool(Tool(ToolClass::Classic, "QV120"));
  const std::string fifo = folder.Path() + "/fw.bin";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  CliProcess cli({"--config", SampleConfigPath(), "update", "--model", "QV120", fifo},
                 folder.Path());
  const CliResult r = cli.WaitAtMost(10000);
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten) << r.out << r.err;
  EXPECT_TRUE(Contains(r.err, "Wrong file!")) << r.err;
  EXPECT_TRUE(Contains(r.err, "not a regular file")) << r.err;
}

// A port the user may not open is no access, not the wrong tool. The pty
// of the simulated tool belongs to root (mode 0620) when the test runs as
// root, so the command line runs as nobody; otherwise the pty is closed to
// its owner.
TEST_F(CliTest, PortWithoutPermissionIsNoAccessWithTheGroupAdviceFirst) {
  StartTool(Tool(ToolClass::Classic, "QV120"));
  const bool root = geteuid() == 0;
  char target[256] = {};
  const std::string link = devDir.Path() + "/ttyACM0";
  ASSERT_GT(readlink(link.c_str(), target, sizeof target - 1), 0);
  if (!root) {
    ASSERT_EQ(chmod(target, 0), 0);
  }
  // nobody must reach the configuration and the test's folders.
  chmod(folder.Path().c_str(), 0755);
  chmod(devDir.Path().c_str(), 0755);
  CliProcess cli({"--config", SampleConfigPath(), "--json", "identify", "--model", "QV120"},
                 folder.Path(), root ? 65534 : -1);
  const CliResult r = cli.WaitAtMost(20000);
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten) << r.out << r.err;
  const auto results = JsonEvents(r, "result");
  ASSERT_EQ(results.size(), 1u) << r.out << r.err;
  EXPECT_EQ(Field(results[0], "result"), "no-access");
  EXPECT_EQ(r.err.rfind("Permission denied", 0), 0u) << r.err;
  EXPECT_FALSE(Contains(r.err, text::kEquipmentMismatch)) << r.err;
}

TEST_F(CliTest, BusyPortIsExplainedWithTheWayToFreeIt) {
  StartTool(Tool(ToolClass::Classic, "QV120"));
  CSyncSerialPort holder;
  ASSERT_EQ(holder.Open(1, 115200, nullptr), 1);
  const CliResult r = Cli({"identify", "--model", "QV120"});
  EXPECT_EQ(r.exitCode, cli::kExitNotWritten);
  EXPECT_TRUE(Contains(r.err, "busy")) << r.err;
  EXPECT_TRUE(Contains(r.err, "sudo systemctl stop ModemManager")) << r.err;
}

TEST_F(CliTest, IdentifyFollowsThePageRules) {
  StartTool(Tool(ToolClass::Programmer, "OMNIX2|1"));
  const CliResult adopted = Cli({"identify", "--model", "OMNIX"});
  EXPECT_EQ(adopted.exitCode, cli::kExitOk) << adopted.err;
  EXPECT_TRUE(Contains(adopted.out, "OMNIX II (product code 13)")) << adopted.out;
  const CliResult wrong = Cli({"identify", "--model", "PX520"});
  EXPECT_EQ(wrong.exitCode, cli::kExitNotWritten);
  tool.reset();
  StartTool(WithFault(Tool(ToolClass::Classic, "RW480"), "no-name"));
  const CliResult unchecked = Cli({"identify", "--model", "RW480"});
  EXPECT_EQ(unchecked.exitCode, cli::kExitOk);
  EXPECT_TRUE(Contains(unchecked.out, "does not report its model name"));
}

TEST_F(CliTest, PortsAreListedInScanOrderWithTheirUsbIdentity) {
  PtyPeer vcp(devDir.Path(), "ttyUSB0");
  PtyPeer acm(devDir.Path(), "ttyACM3");
  // A sysfs tree for ttyACM3 only: interface folder below the USB device.
  const std::string sys = folder.Path() + "/sys";
  const std::string usb = sys + "/devices/pci0/usb1/1-2";
  folder.WriteText("sys/devices/pci0/usb1/1-2/idVendor", "0483\n");
  folder.WriteText("sys/devices/pci0/usb1/1-2/idProduct", "5740\n");
  folder.WriteText("sys/devices/pci0/usb1/1-2/product", "Varnok Scan Tool\n");
  folder.WriteText("sys/devices/pci0/usb1/1-2/serial", "SN0042\n");
  folder.WriteText("sys/devices/pci0/usb1/1-2/1-2:1.0/bInterfaceClass", "02\n");
  folder.WriteText("sys/class/tty/ttyACM3/dev", "166:3\n");
  ASSERT_EQ(symlink((usb + "/1-2:1.0").c_str(), (sys + "/class/tty/ttyACM3/device").c_str()), 0);
  setenv("VARNOK_SYSFS_DIR", sys.c_str(), 1);
  const CliResult text = Cli({"ports"});
  const CliResult json = Cli({"--json", "ports"});
  unsetenv("VARNOK_SYSFS_DIR");
  EXPECT_EQ(text.exitCode, 0);
  const auto lines = text.OutLines();
  ASSERT_EQ(lines.size(), 2u) << text.out;
  EXPECT_EQ(lines[0], "4\t" + devDir.Path() + "/ttyACM3\t0483:5740\tVarnok Scan Tool\tserial SN0042");
  EXPECT_EQ(lines[1], "201\t" + devDir.Path() + "/ttyUSB0");
  const auto ports = JsonEvents(json, "port");
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(Field(ports[0], "usb_id"), "0483:5740");
  EXPECT_EQ(Field(ports[0], "serial"), "SN0042");
  EXPECT_EQ(Field(ports[1], "port"), "201");
}

// Options outside a command's row of the option table are refused, not ignored.
TEST_F(CliTest, OptionsACommandDoesNotTakeAreUsageErrors) {
  const std::vector<std::vector<std::string>> rows = {
      {"ports", "--model", "QV120"},         {"models", "--library", "x.txt"},
      {"dtc", "--port", "1", "P0"},          {"dtc", "--output", "x", "P0"},
      {"history", "--model", "QV120"},       {"history", "--timestamps"},
      {"info", "--last", "2", "x.bin"},      {"info", "--model", "QV120", "x.bin"},
      {"identify", "--model", "QV120", "--dry-run"},
      {"capture", "--model", "QV120"},       {"capture", "--last", "1"},
      {"update", "--model", "QV120", "--seconds", "3", "x.bin"},
      {"update", "--model", "QV120", "--library", "x.txt", "x.bin"},
  };
  for (const auto& args : rows) {
    SCOPED_TRACE(args[0] + " " + args[1]);
    const CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, cli::kExitUsage) << r.out << r.err;
    EXPECT_TRUE(Contains(r.err, "does not take")) << r.err;
  }
}

// A port another program holds is busy, for every command that checks the
// tool, and the record says so.
TEST_F(CliTest, AHeldPortIsBusyNeverTheWrongTool) {
  const ScopedEnv state("XDG_STATE_HOME", folder.Path() + "/state");
  StartTool(Tool(ToolClass::Classic, "QV120"));
  CSyncSerialPort holder;
  ASSERT_EQ(holder.Open(1, 115200, nullptr), 1);
  const std::string fw = folder.Write("fw.bin", ClassicFile("QV120", PatternImage(4096)));
  const std::vector<std::vector<std::string>> rows = {
      {"--json", "identify", "--model", "QV120"},
      {"--json", "update", "--port", "1", "--model", "QV120", fw},
      {"--json", "update", "--all", "--model", "QV120", fw},
  };
  for (const auto& args : rows) {
    SCOPED_TRACE(args[1] + " " + args[2]);
    const CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, cli::kExitNotWritten) << r.out << r.err;
    EXPECT_TRUE(Contains(r.out, "\"result\":\"busy\"")) << r.out;
    EXPECT_FALSE(Contains(r.err, text::kEquipmentMismatch)) << r.err;
  }
  std::vector<UpdateRecord> records;
  int skipped = 0;
  ASSERT_TRUE(ReadUpdateRecords(folder.Path() + "/state/varnok/updates.log", records, skipped));
  ASSERT_EQ(records.size(), 2u);
  for (const auto& record : records) EXPECT_EQ(record.result, "busy");
}

// Every write is checked: output that cannot be written whole is exit 7.
TEST_F(CliTest, OutputThatCannotBeWrittenIsExitSeven) {
  const ScopedEnv state("XDG_STATE_HOME", folder.Path() + "/state");
  const std::string lib = folder.WriteText("lib.txt", "P0100 Mass Air Flow\n");
  const std::string fw = folder.Write("fw.bin", ClassicFile("QV120", PatternImage(4096)));
  const std::vector<std::vector<std::string>> rows = {
      {"--help"}, {"models"}, {"history"}, {"dtc", "--library", lib, "P0"}, {"info", fw}};
  for (const auto& args : rows) {
    SCOPED_TRACE(args[0]);
    std::vector<std::string> all{"--config", SampleConfigPath()};
    all.insert(all.end(), args.begin(), args.end());
    CliProcess cli(all, folder.Path(), -1, CliIo{"/dev/full"});
    const CliResult r = cli.WaitAtMost(20000);
    EXPECT_EQ(r.exitCode, cli::kExitOutputFailed) << r.err;
    EXPECT_TRUE(Contains(r.err, "could not be written")) << r.err;
  }
  // The record of an update that cannot be written (a folder in its place).
  StartTool(Tool(ToolClass::Classic, "QV120"));
  ASSERT_EQ(mkdir((folder.Path() + "/state").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((folder.Path() + "/state/varnok").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((folder.Path() + "/state/varnok/updates.log").c_str(), 0755), 0);
  const CliResult update = Cli({"update", "--model", "QV120", fw});
  EXPECT_EQ(update.exitCode, cli::kExitOutputFailed) << update.err;
  EXPECT_TRUE(Contains(update.out, "Update done!"));
  EXPECT_TRUE(Contains(update.err, "cannot write the update record")) << update.err;
}

// No file opened by name may block the program: FIFOs and folders where a
// library, a capture file or the record should be.
TEST_F(CliTest, FifosAndFoldersInPlaceOfFilesNeverBlock) {
  const ScopedEnv state("XDG_STATE_HOME", folder.Path() + "/state");
  const std::string fifo = folder.Path() + "/fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  ASSERT_EQ(mkdir((folder.Path() + "/state").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((folder.Path() + "/state/varnok").c_str(), 0755), 0);
  ASSERT_EQ(mkfifo((folder.Path() + "/state/varnok/updates.log").c_str(), 0600), 0);
  StartTool(Tool(ToolClass::Classic, "QV120"));
  const struct {
    std::vector<std::string> args;
    int exit;
    const char* says;
  } rows[] = {
      {{"dtc", "--library", fifo, "P0"}, cli::kExitUsage, "cannot be read"},
      {{"dtc", "--library", folder.Path(), "P0"}, cli::kExitUsage, "cannot be read"},
      {{"capture", "--output", fifo}, cli::kExitUsage, "a FIFO that nobody reads"},
      {{"history"}, cli::kExitInternal, "cannot read the update record"},
      {{"update", "--model", "QV120",
        folder.Write("fw.bin", ClassicFile("QV120", PatternImage(4096)))},
       cli::kExitOutputFailed, "not a regular file"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args[0]);
    std::vector<std::string> all{"--config", SampleConfigPath()};
    all.insert(all.end(), row.args.begin(), row.args.end());
    const CliResult r = CliProcess(all, folder.Path()).WaitAtMost(30000);
    EXPECT_EQ(r.exitCode, row.exit) << r.out << r.err;
    EXPECT_TRUE(Contains(r.err, row.says)) << r.err;
  }
}

// Control characters from files, records and libraries reach the terminal
// escaped, NUL included; --json keeps them as JSON escapes.
TEST_F(CliTest, ControlCharactersAreShownEscaped) {
  const ScopedEnv state("XDG_STATE_HOME", folder.Path() + "/state");
  const std::string nasty = std::string("Air\x1b[2J") + '\0' + "Flow\rX";
  folder.WriteText("lib.txt", "P0100 " + nasty + "\n");
  ASSERT_EQ(mkdir((folder.Path() + "/state").c_str(), 0755), 0);
  folder.WriteText("state/varnok/updates.log",
                   "{\"time\":\"t\",\"model\":\"Air\\u001b[2J\\u0000Flow\\rX\",\"result\":\"done\"}\n");
  const std::string fw = folder.Write("fw\x1b[2J.bin", ClassicFile("QV120", PatternImage(64)));
  const struct {
    std::vector<std::string> args;
    const char* shown;
  } rows[] = {
      {{"dtc", "--library", folder.Path() + "/lib.txt", "P0"}, "Air\\x1b[2J\\x00Flow\\x0dX"},
      {{"history"}, "Air\\x1b[2J\\x00Flow\\x0dX"},
      {{"info", fw}, "fw\\x1b[2J.bin"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args[0]);
    const CliResult plain = Cli(row.args);
    EXPECT_TRUE(Contains(plain.out, row.shown)) << plain.out;
    EXPECT_FALSE(Contains(plain.out + plain.err, "\x1b")) << plain.out << plain.err;
    std::vector<std::string> json = row.args;
    json.insert(json.begin(), "--json");
    const CliResult r = Cli(json);
    EXPECT_TRUE(Contains(r.out, "\\u001b[2J")) << r.out;
  }
}

}  // namespace
}  // namespace varnok::test
