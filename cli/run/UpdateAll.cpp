// update --all: every connected tool of the model at once, one run per
// port, each with its own page logic, workflow (device object and worker),
// view and record.
#include <atomic>
#include <thread>
#include <vector>

#include "cli/commands/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/platform/Interrupt.h"
#include "cli/run/RunBoard.h"
#include "cli/run/ToolPorts.h"
#include "cli/run/TraceRecording.h"
#include "cli/run/UpdateSteps.h"
#include "device/PortNames.h"
#include "device/RemotePorts.h"
#include "update/DownloadWorkflow.h"
#include "update/ProductPageLogic.h"
#include "update/StatusTexts.h"

namespace cli {

namespace {

// How bad an exit status is for the bench: a tool left erased is worst.
int Severity(int exit) {
  switch (exit) {
    case kExitOk: return 0;
    case kExitNotWritten: return 1;
    case kExitCancelled: return 2;
    case kExitInternal: return 3;
    case kExitAfterErase: return 4;
  }
  return 3;
}

struct BenchRun {
  int index = 0;
  int port = -1;
  bool skipped = false;  // the tool is another model
  int exit = kExitInternal;
};

struct Bench {
  const CliOptions& options;
  const DeviceEntry& model;
  PageKind kind;
  CRunBoard& board;
};

// One tool's update, on its own thread.
void RunOneTool(const Bench& bench, BenchRun& run) {
  varnok::CUpdateRecorder record(bench.model.DevName);
  record.SetPort(run.port);
  record.SetFile(bench.options.updateFile);
  CRunBoard& board = bench.board;
  std::shared_ptr<varnok::CWireTrace> trace;
  if (!bench.options.tracePath.empty()) {
    std::string error;
    trace = varnok::CWireTrace::Create(TraceFileForPort(bench.options.tracePath, run.port),
                                       RunTraceHeader(bench.model, nullptr), &error);
    if (!trace) board.Message(run.index, error, true);
  }
  auto end = [&](const std::string& result, int exit, const std::string& text) {
    run.exit = exit;
    EndRunTrace(trace, result);
    board.Finish(run.index, result, exit, text);
    FinishUpdateRecord(record, result, exit);
  };

  CProductPageLogic page(bench.kind, bench.model.DevType);
  page.SetWireTrace(trace);
  page.RestrictToPort(run.port);
  const UpdatePath which = page.ChooseUpdatePath(bench.options.updateFile);
  CDownloadWorkflow workflow;
  const PrepareResult prepared = page.PrepareUpdate(which, bench.options.updateFile, workflow);
  switch (prepared.step) {
    case PrepareStep::NoTool:
      board.Message(run.index, "The tool is gone.", true);
      return end("no-tool", kExitNotWritten, "");
    case PrepareStep::ModelMismatch: {
      const ModelRefusal why = ExplainModelRefusal(page, run.port);
      if (why.otherModel) {
        // Not one of the bench's tools: no run, no record.
        run.skipped = true;
        board.Skip(run.index, "not a " + bench.model.ShowName + ": left alone");
        return;
      }
      // A tool that could not be checked may well be one of the bench's:
      // the run failed.
      const std::string text = why.text.empty() ? why.advice : why.text;
      board.Message(run.index, text, true);
      return end(why.result, kExitNotWritten, text);
    }
    case PrepareStep::BadExtension:
    case PrepareStep::WrongFile:
      board.Message(run.index, prepared.message, true);
      return end("wrong-file", kExitNotWritten, prepared.message);
    case PrepareStep::Ready:
      break;
  }
  const std::string notice = varnok::RemoteLineNotice(run.port);
  if (!notice.empty()) board.Message(run.index, notice, false);
  if (bench.options.dryRun) {
    board.Message(run.index, "Dry run: the update would start; nothing was written.", false);
    return end("dry-run", kExitOk, "");
  }
  if (InterruptRequested()) return end("cancelled", kExitCancelled, "");

  const DownloadEnd how = RunToEnd(workflow, board.ViewFor(run.index), false);
  // A stop after the erase began leaves a partial image: as bad as a failure there.
  const bool erased = how == DownloadEnd::Stopped && workflow.EraseBegun();
  end(ResultName(how), erased ? kExitAfterErase : ExitFor(how), workflow.LastStatus());
}

}  // namespace

int RunUpdateAll(const CliOptions& options, CliReporter& out) {
  DeviceEntry model;
  PageKind kind = PageKind::QV120;
  const int loaded = LoadModel(options, out, model, kind);
  if (loaded != kExitOk) return loaded;

  PortQuery query;
  const int resolved = ResolvePortOptions(options, out, query.only);
  if (resolved != kExitOk) return resolved;
  // With --port, exactly the tools on those ports.
  query.needed = !query.only.empty() ? static_cast<int>(query.only.size())
                                     : options.count > 0 ? options.count : 1;
  const int needed = query.needed;
  std::vector<int> ports;
  const PortSearch search = FindToolPorts(options, out, query, ports);
  if (search == PortSearch::Interrupted) {
    out.Result("cancelled", kExitCancelled, "", "Cancelled while waiting for tools.");
    return kExitCancelled;
  }
  if (search != PortSearch::Found) {
    return NoTool(out, NoPortText(search, options, query, static_cast<int>(ports.size())));
  }
  for (const int port : ports) ReportPort(out, port);

  ReporterOptions view;
  view.json = out.Json();
  view.terminal = out.Terminal();
  CRunBoard board(view, ports);
  const Bench bench{options, model, kind, board};
  std::vector<BenchRun> runs(ports.size());
  // An interrupt cancels every run (each notices it within its poll) rather
  // than ending the program.
  const ScopedInterruptAction keepRuns([] {});
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < ports.size(); ++i) {
    runs[i].index = static_cast<int>(i);
    runs[i].port = ports[i];
    threads.emplace_back([&bench, &run = runs[i]] { RunOneTool(bench, run); });
  }
  for (std::thread& t : threads) t.join();

  int exit = kExitOk;
  int updated = 0;
  for (const BenchRun& run : runs) {
    if (run.skipped) continue;
    ++updated;
    if (Severity(run.exit) > Severity(exit)) exit = run.exit;
  }
  if (updated == 0) {
    out.Message(text::kEquipmentMismatch, true);
    exit = kExitNotWritten;
  } else if (updated < needed) {
    out.Message("Only " + std::to_string(updated) + " of the " + std::to_string(needed) +
                    " tools asked for are a " + model.ShowName + ".",
                true);
    if (exit == kExitOk) exit = kExitNotWritten;
  }
  board.PrintSummary(exit, options.dryRun);
  return exit;
}

}  // namespace cli
