#pragma once
// A download run against a simulated tool on a pty: load the file, start,
// wait for the end, and read the tool's flash afterwards.

#include <chrono>
#include <memory>

#include "sim/RunningSimulator.h"
#include "tests/update/UpdateTestSupport.h"
#include "update/DownloadWorkflow.h"

namespace varnok::test {

inline DeviceEntry MakeEntry(int devType, const std::string& devName, int usbType) {
  DeviceEntry e;
  e.DevType = devType;
  e.ShowName = devName;
  e.DevName = devName;
  e.USBType = usbType;
  return e;
}

class SimulatedRunTest : public ::testing::Test {
 protected:
  sim::SimOptions Tool(sim::ToolClass toolClass, const std::string& name) {
    return ToolOptions(devDir.Path(), toolClass, name);
  }
  // A tool published as ttyACM<k> (port k + 1), for several side by side.
  sim::SimOptions ToolAt(int k, sim::ToolClass toolClass = sim::ToolClass::Classic,
                         const std::string& name = "QV120") {
    sim::SimOptions options = Tool(toolClass, name);
    options.linkName = "ttyACM" + std::to_string(k);
    return options;
  }
  void StartTool(const sim::SimOptions& options) {
    tool.reset(new sim::RunningSimulator(options));
  }
  static sim::SimOptions WithFault(sim::SimOptions options, const std::string& fault) {
    std::string error;
    EXPECT_TRUE(options.faults.Add(fault, &error)) << error;
    return options;
  }

  // Loads `file` and runs the download to its end (or `timeoutMs`).
  DownloadEnd Run(const DeviceEntry& entry, int selector, const std::string& file,
                  RecordingView& view, int timeoutMs = 30000) {
    CDownloadWorkflow workflow;
    workflow.SetDeviceEntry(entry);
    workflow.SetPartitionSelector(selector);
    if (!workflow.LoadUpdateFile(file)) {
      ADD_FAILURE() << "file refused: " << file;
      return DownloadEnd::NotStarted;
    }
    workflow.SetView(&view);
    workflow.Start();
    EXPECT_TRUE(view.WaitEnded(timeoutMs)) << "the run did not end";
    EXPECT_TRUE(workflow.WaitForWorker(timeoutMs));
    if (view.end == DownloadEnd::Done) workflow.Finish();
    return view.end;
  }

  // The image as the tool's flash holds it (stops the tool).
  Bytes Flash() { return tool ? tool->FlashImage() : Bytes(); }

  TempDevDir devDir;
  TempFolder folder;
  std::unique_ptr<sim::RunningSimulator> tool;
};

using Clock = std::chrono::steady_clock;
inline long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace varnok::test
