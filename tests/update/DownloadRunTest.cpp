// Whole download runs per tool class against the simulated tool: status
// texts and colours, block plans, the special DevTypes, failures, cancel
// and teardown.
#include <gtest/gtest.h>

#include <thread>

#include "device/FrameFormat.h"
#include "device/UsbDevInterface.h"
#include "tests/update/DownloadRunTestSupport.h"
#include "update/ProgressPlan.h"
#include "update/StatusTexts.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

const std::vector<std::string> kGoodRunTexts = {
    "Communicating...", "Erase flash....   please wait 30 seconds", "Communication...",
    "Communication...", "Update done!"};

class DownloadRunTest : public SimulatedRunTest {
 protected:
  void ExpectGoodRun(const RecordingView& view, const Bytes& image, const std::string& eraseText) {
    std::vector<std::string> texts = kGoodRunTexts;
    texts[1] = eraseText;
    EXPECT_EQ(view.Texts(), texts);
    for (const auto& s : view.statuses) EXPECT_TRUE(s.ok) << s.text;
    EXPECT_EQ(view.captions, std::vector<std::string>{"ok"});
    EXPECT_EQ(view.traces, std::vector<std::string>{"ProcessInitDevice OK\n"});
    EXPECT_GE(view.shows, 1);
    EXPECT_EQ(view.bytesDone, static_cast<std::int64_t>(image.size()));
    EXPECT_EQ(Flash(), image);
  }
};

TEST_F(DownloadRunTest, ClassicImageOneByteOverTwoBlocksGoesInThree) {
  StartTool(Tool(ToolClass::Classic, "QV120"));
  const Bytes image = PatternImage(2 * 2048 + 1);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(1, "QV120", 0), 0, folder.Write("q.bin", ClassicFile("QV120", image)), view),
            DownloadEnd::Done);
  EXPECT_EQ(view.ranges, std::vector<int>{3});
  EXPECT_EQ(view.steps, 3);
  ExpectGoodRun(view, image, text::kEraseLong);
  // The run closes with FinishUpdate, which restarts the tool.
  EXPECT_EQ(tool->Simulator().Engine().RequestCount(frame::kClassicFinish), 1u);
}

TEST_F(DownloadRunTest, ClassicDevType7WritesKilobyteBlocksAfterTheShortEraseText) {
  StartTool(Tool(ToolClass::Classic, "PX110"));
  const Bytes image = PatternImage(3000);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(7, "PX110", 0), 0, folder.Write("p.bin", ClassicFile("PX110", image)), view),
            DownloadEnd::Done);
  EXPECT_EQ(view.ranges, std::vector<int>{3});
  ExpectGoodRun(view, image, text::kEraseShort);
}

TEST_F(DownloadRunTest, NewToolDevType7WritesKilobyteBlocksAfterTheLongEraseText) {
  StartTool(Tool(ToolClass::New, "PX110N|1"));
  const Bytes file = TrailerFile("PX110N", 3000);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(7, "PX110N", 1), 0, folder.Write("p.bin", file), view), DownloadEnd::Done);
  EXPECT_EQ(view.ranges, std::vector<int>{3});
  ExpectGoodRun(view, file, text::kEraseLong);
}

TEST_F(DownloadRunTest, NewToolImageOfWholeBlocksHasNoEmptyLastBlock) {
  StartTool(Tool(ToolClass::New, "PX520|1"));
  const Bytes file = TrailerFile("PX520", 2 * 2048);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(8, "PX520", 1), 0, folder.Write("p.bin", file), view), DownloadEnd::Done);
  EXPECT_EQ(view.ranges, std::vector<int>{2});
  EXPECT_EQ(view.steps, 2);
  ExpectGoodRun(view, file, text::kEraseLong);
}

TEST_F(DownloadRunTest, NewToolWritesIntoThePartitionItsPathNames) {
  StartTool(Tool(ToolClass::New, "PX520|1"));
  const Bytes file = TrailerFile("PX520", 5000);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(8, "PX520", 1), 0, folder.Write("diag/p.zpk", file), view), DownloadEnd::Done);
  tool->Stop();
  const auto& flash = tool->Simulator().Engine().Flash();
  EXPECT_EQ(flash.RegionStart(), 0x082C0000u);  // ID6, partition selector 7
  EXPECT_EQ(flash.WrittenImage(), file);
}

TEST_F(DownloadRunTest, ProgrammerImageOf300BytesGoesInBlocksOf128) {
  StartTool(Tool(ToolClass::Programmer, "OMNIX|1"));
  const Bytes image = PatternImage(300);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(12, "OMNIX", 2), 2, folder.Write("o.bin", image), view), DownloadEnd::Done);
  EXPECT_EQ(view.ranges, std::vector<int>{3});
  ExpectGoodRun(view, image, text::kEraseLong);
}

TEST_F(DownloadRunTest, ProgrammerDevType12IsRestartedAndCaughtInItsLoaderFirst) {
  sim::SimOptions options = Tool(ToolClass::Programmer, "OMNIX|1");
  options.startIn = sim::StartState::App;
  StartTool(options);
  const Bytes image = PatternImage(1000);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(12, "OMNIX", 2), 2, folder.Write("o.bin", image), view), DownloadEnd::Done);
  ExpectGoodRun(view, image, text::kEraseLong);
}

TEST_F(DownloadRunTest, ProgrammerInItsAppWithoutDevType12RefusesTheErase) {
  sim::SimOptions options = Tool(ToolClass::Programmer, "OMNIX|1");
  options.startIn = sim::StartState::App;
  StartTool(options);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(99, "OMNIX", 2), 2, folder.Write("o.bin", PatternImage(1000)), view),
            DownloadEnd::FailedAfterErase);
  EXPECT_EQ(view.LastStatus().text, text::kEraseFailure);
  EXPECT_FALSE(view.LastStatus().ok);
  EXPECT_FALSE(view.Showed(text::kUpdateDone));
}

TEST_F(DownloadRunTest, ProgrammerDevType13IsRebootedToItsLoaderAndReconnected) {
  sim::SimOptions options = Tool(ToolClass::Programmer, "OMNIX2|1");
  options.startIn = sim::StartState::App;
  StartTool(options);
  const Bytes file = TrailerFile("OMNIX2", 1500);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(13, "OMNIX2", 2), 2, folder.Write("o2.bin", file), view), DownloadEnd::Done);
  ExpectGoodRun(view, file, text::kEraseLong);
  EXPECT_EQ(tool->Simulator().Reboots(), 1);
}

TEST_F(DownloadRunTest, ProgrammerVerifyRefusal17StillEndsInUpdateDone) {
  StartTool(WithFault(Tool(ToolClass::Programmer, "OMNIX|1"), "refuse:15:11"));
  const Bytes image = PatternImage(700);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(12, "OMNIX", 2), 2, folder.Write("o.bin", image), view), DownloadEnd::Done);
  ExpectGoodRun(view, image, text::kEraseLong);
}

TEST_F(DownloadRunTest, VerifyRefusalOtherThan17IsACheckFailure) {
  const struct {
    ToolClass toolClass;
    const char* name;
    DeviceEntry entry;
    Bytes file;
  } rows[] = {
      {ToolClass::New, "PX520|1", MakeEntry(8, "PX520", 1), TrailerFile("PX520", 3000)},
      {ToolClass::Programmer, "OMNIX|1", MakeEntry(12, "OMNIX", 2), PatternImage(700)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StartTool(WithFault(Tool(row.toolClass, row.name), "refuse:15:05"));
    RecordingView view;
    EXPECT_EQ(Run(row.entry, 0, folder.Write("f.bin", row.file), view), DownloadEnd::FailedAfterErase);
    EXPECT_EQ(view.LastStatus().text, text::kCheckFailure);
    EXPECT_FALSE(view.LastStatus().ok);
    EXPECT_TRUE(view.captions.empty());
    tool.reset();
  }
}

TEST_F(DownloadRunTest, SilentClassicToolIsTakenAtItsWordOnlyForDevType6) {
  for (const int devType : {6, 1}) {
    SCOPED_TRACE(devType);
    StartTool(WithFault(Tool(ToolClass::Classic, "RW480"), "no-name"));
    const Bytes image = PatternImage(2100);
    RecordingView view;
    const DownloadEnd end =
        Run(MakeEntry(devType, "RW480", 0), 0, folder.Write("r.bin", ClassicFile("RW480", image)), view);
    if (devType == 6) {
      EXPECT_EQ(end, DownloadEnd::Done);
      ExpectGoodRun(view, image, text::kEraseLong);
    } else {
      EXPECT_EQ(end, DownloadEnd::FailedBeforeErase);
      EXPECT_EQ(view.Texts(), (std::vector<std::string>{text::kCommunicating, text::kWrongDevice}));
      EXPECT_FALSE(view.LastStatus().ok);
      EXPECT_FALSE(Flash() == image);
    }
    tool.reset();
  }
}

TEST_F(DownloadRunTest, ClassicToolOfAnotherNameIsTheWrongDevice) {
  StartTool(Tool(ToolClass::Classic, "QV130"));
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(1, "QV120", 0), 0,
                folder.Write("q.bin", ClassicFile("QV120", PatternImage(100))), view),
            DownloadEnd::FailedBeforeErase);
  EXPECT_EQ(view.LastStatus().text, text::kWrongDevice);
  EXPECT_TRUE(Flash().empty());
}

TEST_F(DownloadRunTest, RefusedEraseIsAnEraseFailurePerClass) {
  const struct {
    ToolClass toolClass;
    const char* name;
    const char* fault;
    DeviceEntry entry;
    Bytes file;
  } rows[] = {
      {ToolClass::Classic, "QV120", "refuse:C2", MakeEntry(1, "QV120", 0), ClassicFile("QV120", PatternImage(900))},
      {ToolClass::New, "PX520|1", "refuse:2A", MakeEntry(8, "PX520", 1), TrailerFile("PX520", 900)},
      {ToolClass::Programmer, "OMNIX|1", "refuse:2A", MakeEntry(12, "OMNIX", 2), PatternImage(900)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    StartTool(WithFault(Tool(row.toolClass, row.name), row.fault));
    RecordingView view;
    EXPECT_EQ(Run(row.entry, 0, folder.Write("f.bin", row.file), view), DownloadEnd::FailedAfterErase);
    EXPECT_EQ(view.LastStatus().text, text::kEraseFailure);
    EXPECT_FALSE(view.LastStatus().ok);
    EXPECT_EQ(view.blockReports, 0);
    tool.reset();
  }
}

TEST_F(DownloadRunTest, NoToolIsACommunicationFailureBeforeAnyRun) {
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(8, "PX520", 1), 0, folder.Write("p.bin", TrailerFile("PX520", 900)), view),
            DownloadEnd::NotStarted);
  EXPECT_EQ(view.Texts(), std::vector<std::string>{text::kCommFailure});
  EXPECT_FALSE(view.LastStatus().ok);
  EXPECT_EQ(view.shows, 0);
}

TEST_F(DownloadRunTest, AnotherModelAnsweringIsADeviceMismatch) {
  StartTool(Tool(ToolClass::New, "QV330|1"));
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(8, "PX520", 1), 0, folder.Write("p.bin", TrailerFile("PX520", 900)), view),
            DownloadEnd::NotStarted);
  EXPECT_EQ(view.Texts(), std::vector<std::string>{"\xE8\xAE\xBE\xE5\xA4\x87\xE4\xB8\x8D\xE5\x8C\xB9\xE9\x85\x8D"});
  EXPECT_FALSE(view.LastStatus().ok);
}

// Steps whose failure once ended the run without a word now say so.
TEST_F(DownloadRunTest, PreparationFailuresShowACommunicationFailure) {
  const struct {
    ToolClass toolClass;
    const char* name;
    const char* fault;
    DeviceEntry entry;
    Bytes file;
  } rows[] = {
      {ToolClass::New, "PX520|1", "refuse:24", MakeEntry(8, "PX520", 1), TrailerFile("PX520", 900)},
      {ToolClass::New, "PX520|1", "refuse:1A", MakeEntry(8, "PX520", 1), TrailerFile("PX520", 900)},
      {ToolClass::Programmer, "OMNIX|1", "refuse:1A", MakeEntry(12, "OMNIX", 2), PatternImage(900)},
      {ToolClass::Programmer, "OMNIX|1", "refuse:21@1", MakeEntry(12, "OMNIX", 2), PatternImage(900)},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.name) + " " + row.fault);
    StartTool(WithFault(Tool(row.toolClass, row.name), row.fault));
    RecordingView view;
    EXPECT_EQ(Run(row.entry, 0, folder.Write("f.bin", row.file), view), DownloadEnd::FailedBeforeErase);
    EXPECT_EQ(view.LastStatus().text, text::kCommFailure);
    EXPECT_FALSE(view.LastStatus().ok);
    tool->Stop();
    EXPECT_EQ(tool->Simulator().Engine().RequestCount(0x2A), 0u);
    tool.reset();
  }
}

TEST_F(DownloadRunTest, ProgrammerThatDoesNotRestartAtTheEndIsNotDone) {
  StartTool(WithFault(Tool(ToolClass::Programmer, "OMNIX|1"), "refuse:21@2+"));
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(12, "OMNIX", 2), 2, folder.Write("o.bin", PatternImage(500)), view),
            DownloadEnd::FailedAfterErase);
  EXPECT_EQ(view.LastStatus().text, text::kCommFailure);
  EXPECT_FALSE(view.Showed(text::kUpdateDone));
  EXPECT_TRUE(view.captions.empty());
}

TEST_F(DownloadRunTest, CancelInTheBlockLoopEndsPromptlyWithoutUpdateDone) {
  sim::SimOptions options = Tool(ToolClass::Classic, "QV120");
  options.blockMs = 20;
  StartTool(options);
  const Bytes image = PatternImage(200 * 2048);
  RecordingView view;
  auto workflow = std::make_unique<CDownloadWorkflow>();
  workflow->SetDeviceEntry(MakeEntry(1, "QV120", 0));
  ASSERT_TRUE(workflow->LoadUpdateFile(folder.Write("q.bin", ClassicFile("QV120", image))));
  workflow->SetView(&view);
  workflow->Start();
  ASSERT_TRUE(view.WaitBlocks(5, 10000));
  const auto start = Clock::now();
  workflow->Cancel();
  EXPECT_LT(MsSince(start), 1000);
  workflow.reset();
  EXPECT_LT(MsSince(start), 1700);
  EXPECT_FALSE(view.Showed(text::kUpdateDone));
  EXPECT_TRUE(view.captions.empty());
  EXPECT_LT(view.blockReports, 200);
  EXPECT_NE(Flash(), image);
}

TEST_F(DownloadRunTest, CloseRequestAndDestructionWhileTheToolHoldsItsReplyReturnQuickly) {
  // The tool sits on the fifth block's reply for 5 s.
  StartTool(WithFault(Tool(ToolClass::New, "PX520|1"), "late:2C@5:5000"));
  RecordingView view;
  auto workflow = std::make_unique<CDownloadWorkflow>();
  workflow->SetDeviceEntry(MakeEntry(8, "PX520", 1));
  ASSERT_TRUE(workflow->LoadUpdateFile(folder.Write("p.bin", TrailerFile("PX520", 20 * 2048))));
  workflow->SetView(&view);
  workflow->Start();
  ASSERT_TRUE(view.WaitBlocks(4, 10000));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  const auto start = Clock::now();
  workflow->CloseRequest();
  workflow.reset();
  EXPECT_LT(MsSince(start), 900);
  EXPECT_FALSE(view.Showed(text::kUpdateDone));
}

TEST_F(DownloadRunTest, DestructionWithoutAStopStillEndsTheRun) {
  StartTool(WithFault(Tool(ToolClass::Programmer, "OMNIX|1"), "late:2C@3:4000"));
  RecordingView view;
  auto workflow = std::make_unique<CDownloadWorkflow>();
  workflow->SetDeviceEntry(MakeEntry(12, "OMNIX", 2));
  workflow->SetPartitionSelector(2);
  ASSERT_TRUE(workflow->LoadUpdateFile(folder.Write("o.bin", PatternImage(3000))));
  workflow->SetView(&view);
  workflow->Start();
  ASSERT_TRUE(view.WaitBlocks(2, 10000));
  const auto start = Clock::now();
  workflow.reset();
  EXPECT_LT(MsSince(start), 900);
  EXPECT_FALSE(view.Showed(text::kUpdateDone));
}

// The pauses the tools need, measured on the tool's own clock: from a
// request to the next request (or to the end of the run).
TEST_F(DownloadRunTest, PausesTheToolsNeedLieBetweenTheirRequests) {
  const struct {
    const char* label;
    ToolClass toolClass;
    const char* name;
    bool startInApp;
    DeviceEntry entry;
    Bytes file;
    std::uint8_t from;  // the first request of this command ...
    bool toEnd;         // ... (its last, up to the run's end)
    std::uint64_t minMs;
  } rows[] = {
      {"after the classic erase", ToolClass::Classic, "QV120", false, MakeEntry(1, "QV120", 0),
       ClassicFile("QV120", PatternImage(900)), frame::kClassicErase, false, 500},
      {"after the framed erase", ToolClass::New, "PX520|1", false, MakeEntry(8, "PX520", 1),
       TrailerFile("PX520", 900), frame::kCmdErase, false, 500},
      {"after the DevType 12 restart", ToolClass::Programmer, "OMNIX|1", true, MakeEntry(12, "OMNIX", 2),
       PatternImage(300), frame::kCmdRestart, false, 200},
      {"before the programmer's end", ToolClass::Programmer, "OMNIX|1", false, MakeEntry(12, "OMNIX", 2),
       PatternImage(300), frame::kCmdRestart, true, 1000},
      {"after the DevType 13 reboot", ToolClass::Programmer, "OMNIX2|1", true, MakeEntry(13, "OMNIX2", 2),
       TrailerFile("OMNIX2", 300), frame::kCmdRebootToLoader, false, 2000},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.label);
    sim::SimOptions options = Tool(row.toolClass, row.name);
    if (row.startInApp) options.startIn = sim::StartState::App;
    options.restartMs = 0;  // at once in its sync window: only the updater's pause is left
    options.rebootMs = 50;
    StartTool(options);
    RecordingView view;
    const int selector = row.toolClass == ToolClass::Programmer ? 2 : 0;
    ASSERT_EQ(Run(row.entry, selector, folder.Write("f.bin", row.file), view), DownloadEnd::Done);
    const auto& requests = tool->Simulator().Engine().Requests();
    std::size_t at = requests.size();
    for (std::size_t i = 0; i < requests.size(); ++i)
      if (requests[i].command == row.from && (at == requests.size() || row.toEnd)) at = i;
    ASSERT_LT(at, requests.size());
    const std::uint64_t next = row.toEnd ? view.endedAtMs
                                         : (at + 1 < requests.size() ? requests[at + 1].atMs : 0);
    EXPECT_GE(next, requests[at].atMs + row.minMs);
    tool.reset();
  }
}

// A DevType 13 run gives its port up at the end (the tool restarts into
// the new image elsewhere); other programmer runs keep it until the dialog
// closes.
TEST_F(DownloadRunTest, OnlyADevType13RunClosesItsPortAtTheEnd) {
  const struct {
    const char* name;
    int devType;
    Bytes file;
    bool openAtTheEnd;
  } rows[] = {{"OMNIX|1", 12, PatternImage(300), true},
              {"OMNIX2|1", 13, TrailerFile("OMNIX2", 300), false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.devType);
    sim::SimOptions options = Tool(ToolClass::Programmer, row.name);
    options.rebootMs = 50;
    StartTool(options);
    CDownloadWorkflow workflow;
    workflow.SetDeviceEntry(MakeEntry(row.devType, std::string(row.name).substr(0, std::string(row.name).find('|')), 2));
    workflow.SetPartitionSelector(2);
    ASSERT_TRUE(workflow.LoadUpdateFile(folder.Write("o.bin", row.file)));
    RecordingView view;
    workflow.SetView(&view);
    workflow.Start();
    ASSERT_TRUE(view.WaitEnded(30000));
    ASSERT_TRUE(workflow.WaitForWorker(30000));
    EXPECT_EQ(view.end, DownloadEnd::Done);
    EXPECT_EQ(workflow.Device()->IsPortOpen(), row.openAtTheEnd);
    workflow.Finish();
    tool.reset();
  }
}

// DevType 13: a tool that takes the reboot is looked for again 2000 ms
// later, ten times 300 ms apart; after the tenth the run never starts.
TEST_F(DownloadRunTest, DevType13TriesTenReconnects300MsApartThenGivesUp) {
  sim::SimOptions options = Tool(ToolClass::Programmer, "OMNIX2|1");
  options.startIn = sim::StartState::App;
  options.loaderName = "QV220|1";  // back from the reboot as another model
  options.rebootMs = 50;
  StartTool(options);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(13, "OMNIX2", 2), 2, folder.Write("o2.bin", TrailerFile("OMNIX2", 300)), view),
            DownloadEnd::NotStarted);
  EXPECT_EQ(view.Texts(), std::vector<std::string>{text::kDeviceMismatch});
  std::vector<std::uint64_t> tries;  // the name queries after the reboot
  bool rebooted = false;
  for (const auto& r : tool->Simulator().Engine().Requests()) {
    rebooted = rebooted || r.command == frame::kCmdRebootToLoader;
    if (rebooted && r.command == frame::kCmdQueryName) tries.push_back(r.atMs);
  }
  ASSERT_EQ(tries.size(), 10u);  // the first look, then the ten after the reboot
  for (std::size_t i = 1; i < tries.size(); ++i) EXPECT_GE(tries[i], tries[i - 1] + 300) << i;
}

TEST_F(DownloadRunTest, DevType13ToolThatRefusesTheRebootIsTakenToBeInItsLoader) {
  StartTool(WithFault(Tool(ToolClass::Programmer, "OMNIX2|1"), "refuse:30"));
  RecordingView view;
  const Bytes file = TrailerFile("OMNIX2", 300);
  EXPECT_EQ(Run(MakeEntry(13, "OMNIX2", 2), 2, folder.Write("o2.bin", file), view), DownloadEnd::Done);
  ExpectGoodRun(view, file, text::kEraseLong);
  EXPECT_EQ(tool->Simulator().Reboots(), 0);
}

// A programmer tool answering as another model is restarted and caught in
// its loader before it is asked again; the restart goes to the port of the
// object's last OpenPort, which a fresh download has none of, so the run
// ends with the communication text rather than the mismatch text.
TEST_F(DownloadRunTest, ProgrammerAnsweringAsAnotherModelIsACommunicationFailure) {
  sim::SimOptions options = Tool(ToolClass::Programmer, "QV220|1");
  options.startIn = sim::StartState::App;
  StartTool(options);
  RecordingView view;
  EXPECT_EQ(Run(MakeEntry(99, "OMNIX", 2), 2, folder.Write("o.bin", PatternImage(300)), view),
            DownloadEnd::NotStarted);
  EXPECT_EQ(view.Texts(), std::vector<std::string>{text::kCommFailure});
}

TEST(ProgressPlanTest, LongImagesAreScaledIntoTheSixteenBitRange) {
  const struct {
    int count, range, perStep;
  } rows[] = {{0, 0, 1},          {1, 1, 1},          {65535, 65535, 1},
              {65536, 32768, 2},  {131070, 65535, 2}, {131071, 43691, 3},
              {524288, 58255, 9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.count);
    const ProgressPlan plan = PlanProgress(row.count);
    EXPECT_EQ(plan.range, row.range);
    EXPECT_EQ(plan.blocksPerStep, row.perStep);
    EXPECT_LE(plan.range, 65535);
  }
}

}  // namespace
}  // namespace varnok::test
