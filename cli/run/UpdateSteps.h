#pragma once
// Steps that identify, update, update --all and update --dry-run share.

#include <string>

#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"
#include "update/DeviceEntry.h"
#include "update/DownloadView.h"
#include "update/ProductPageLogic.h"
#include "update/UpdateRecord.h"

class CDownloadWorkflow;

namespace cli {

// Loads the configuration and resolves --model. Returns kExitOk or the exit
// status after reporting the failure.
int LoadModel(const CliOptions& options, CliReporter& out, DeviceEntry& entry, PageKind& kind);

// "Tool port: <path> (port N)" / the "port" event.
void ReportPort(CliReporter& out, int port);

// The "no-tool" result with `hint`; returns kExitNotWritten.
int NoTool(CliReporter& out, const std::string& hint);

// The tool port of identify and update: --port and --wait applied to the
// page's search. Returns kExitOk with the page restricted to the port
// --port names, else the exit status after reporting it.
int FindTheTool(const CliOptions& options, CliReporter& out, CProductPageLogic& page);

// After a refused model check or open: how to free a port the user cannot open.
std::string PortAdvice(int port);

// Why the page's model check refused the tool on `port`: result word
// ("wrong-tool", "no-answer", "busy", "no-access", "no-tool"), the text
// for the user (empty for no-access: the advice says it) and the advice
// on freeing the port. Only `otherModel` means the tool answered as
// another model; every other refusal is a tool that could not be checked.
struct ModelRefusal {
  const char* result = "wrong-tool";
  std::string text;
  std::string advice;
  bool otherModel = false;
};
ModelRefusal ExplainModelRefusal(const CProductPageLogic& page, int port);
// Reports `why` (message and the result, exit kExitNotWritten).
void ReportModelRefusal(CliReporter& out, const ModelRefusal& why);

// Exit status and result word of a download's end.
int ExitFor(DownloadEnd how);
const char* ResultName(DownloadEnd how);
// Shows the run through `view`, starts it and waits for its end; Ctrl-C
// cancels it as the Cancel button does. `ownsInterrupt`: the run alone
// takes the interrupt action (one run per process), so a stop reaches the
// device at once rather than at the next poll.
DownloadEnd RunToEnd(CDownloadWorkflow& workflow, IDownloadView& view, bool ownsInterrupt);
// What the user should know after that end (empty after success).
std::string HintFor(DownloadEnd how);

// update --dry-run after every check passed: says what would be written
// where (result "dry-run") and returns kExitOk. Nothing is erased or written.
int ReportDryRun(CliReporter& out, const CProductPageLogic& page, UpdatePath which,
                 const CDownloadWorkflow& workflow, const std::string& file);

// Appends the run's record (result word, exit status). A record that cannot
// be written is reported once per process on standard error and turns a
// success into kExitOutputFailed (OutputCheck.h); a failure status stays.
void FinishUpdateRecord(varnok::CUpdateRecorder& record, const std::string& result, int exit);

}  // namespace cli
