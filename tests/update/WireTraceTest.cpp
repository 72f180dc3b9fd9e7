// Wire traces: a recorded download run holds exactly the bytes the tool
// received and sent, in the format the reader takes back; a cut or edited
// trace is refused with its line named.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "device/WireTrace.h"
#include "device/WireTraceFile.h"
#include "tests/update/DownloadRunTestSupport.h"

namespace varnok::test {
namespace {

using sim::ToolClass;

class WireTraceTest : public SimulatedRunTest {
 protected:
  // Runs the download with its line recorded into `path`; the trace ends
  // with the run's result word, as the front ends write it.
  DownloadEnd TracedRun(const DeviceEntry& entry, int selector, const std::string& file,
                        const std::string& path) {
    std::string error;
    std::shared_ptr<CWireTrace> trace =
        CWireTrace::Create(path, {"test", "1", entry.DevName, TraceClassName(entry.USBType)}, &error);
    EXPECT_TRUE(trace) << error;
    CDownloadWorkflow workflow;
    workflow.SetDeviceEntry(entry);
    workflow.SetPartitionSelector(selector);
    workflow.SetWireTrace(trace);
    EXPECT_TRUE(workflow.LoadUpdateFile(file));
    RecordingView view;
    workflow.SetView(&view);
    workflow.Start();
    EXPECT_TRUE(view.WaitEnded(30000));
    EXPECT_TRUE(workflow.WaitForWorker(30000));
    if (view.end == DownloadEnd::Done) workflow.Finish();
    workflow.DetachView();
    trace->End(view.end == DownloadEnd::Done ? "done" : "failed");
    return view.end;
  }
};

struct RoundTripCase {
  const char* label;
  ToolClass simClass;
  const char* simName;
  int devType, usbType, selector;
  const char* model;
  bool classicFile;
};

class WireTraceRoundTrip : public WireTraceTest,
                           public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(WireTraceRoundTrip, RecordingEqualsWhatTheToolReceivedAndSent) {
  const RoundTripCase& c = GetParam();
  sim::SimOptions options = Tool(c.simClass, c.simName);
  options.keepWire = true;
  StartTool(options);
  const Bytes file = c.classicFile ? ClassicFile(c.model, PatternImage(3000))
                                   : TrailerFile(c.model, 3000);
  const std::string path = folder.Path() + "/t.jsonl";
  ASSERT_EQ(TracedRun(MakeEntry(c.devType, c.model, c.usbType), c.selector,
                      folder.Write("f.bin", file), path),
            DownloadEnd::Done);
  tool->Stop();

  WireTraceData trace;
  std::string error;
  ASSERT_TRUE(LoadWireTrace(path, trace, error)) << error;
  EXPECT_EQ(trace.model, c.model);
  EXPECT_EQ(trace.toolClass, TraceClassName(c.usbType));
  Bytes tx, rx;
  int opens = 0;
  for (const TraceRecordLine& e : trace.events) {
    if (e.event == TraceEvent::Tx) tx.insert(tx.end(), e.bytes.begin(), e.bytes.end());
    if (e.event == TraceEvent::Rx) rx.insert(rx.end(), e.bytes.begin(), e.bytes.end());
    if (e.event == TraceEvent::Open) ++opens;
  }
  EXPECT_GE(opens, 1);
  EXPECT_EQ(tx, tool->Simulator().Received());
  EXPECT_EQ(rx, tool->Simulator().Sent());
  ASSERT_FALSE(trace.events.empty());
  EXPECT_EQ(trace.events.back().event, TraceEvent::End);
  EXPECT_EQ(trace.events.back().result, "done");
}

INSTANTIATE_TEST_SUITE_P(
    PerClass, WireTraceRoundTrip,
    ::testing::Values(RoundTripCase{"classic", ToolClass::Classic, "QV120", 1, 0, 0, "QV120", true},
                      RoundTripCase{"new", ToolClass::New, "PX520|1", 8, 1, 0, "PX520", false},
                      RoundTripCase{"programmer", ToolClass::Programmer, "OMNIX|1", 12, 2, 2,
                                    "OMNIX", false}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.label; });

TEST(WireTraceRead, DamagedTraceNamesItsLine) {
  const std::string head = "{\"trace\":1,\"class\":\"new\"}\n";
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      {"", "line 1: the file is empty"},
      {"{\"t\":0}\n", "line 1: not a Varnok wire trace"},
      {head + "{\"t\":0.1,\"ev\":\"tx\",\"hex\":\"aa5", "line 2: cut off"},
      {head + "{\"t\":0.1,\"ev\":\"tx\",\"hex\":\"aa5\"}\n", "line 2: tx without its bytes"},
      {head + "{\"t\":0.1,\"ev\":\"rx\",\"hex\":\"zz\"}\n", "line 2: rx without its bytes"},
      {head + "{\"t\":-1,\"ev\":\"close\"}\n", "line 2: a bad time"},
      {head + "{\"ev\":\"close\"}\n", "line 2: no time"},
      {head + "{\"t\":1,\"ev\":\"warp\"}\n", "line 2: unknown event"},
      {head + "{\"t\":1,\"ev\":\"open\"}\n", "line 2: open without a port"},
      {head + "{\"t\":1,\"ev\":\"end\"}\n{\"t\":2,\"ev\":\"close\"}\n", "line 3: an event after"},
      {head + "\n", "line 2: empty line"},
  };
  for (const auto& c : cases) {
    WireTraceData trace;
    std::string error;
    EXPECT_FALSE(ParseWireTrace(c.text, trace, error)) << c.text;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
  }
}

TEST(WireTraceRead, TraceWithoutEndLineIsReadUpToItsLastEvent) {
  // A crashed run leaves every line before the crash: still a trace.
  WireTraceData trace;
  std::string error;
  ASSERT_TRUE(ParseWireTrace("{\"trace\":1}\n{\"t\":0.000001,\"ev\":\"rx\",\"hex\":\"B496\"}\n",
                             trace, error))
      << error;
  ASSERT_EQ(trace.events.size(), 1u);
  EXPECT_EQ(trace.events[0].bytes, (Bytes{0xB4, 0x96}));
  EXPECT_EQ(trace.events[0].line, 2);
}

}  // namespace
}  // namespace varnok::test
