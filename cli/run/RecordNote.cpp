// Writing the update record for varnok-cli.
#include <cstdio>

#include "cli/platform/Interrupt.h"
#include "cli/output/OutputCheck.h"
#include "cli/run/UpdateSteps.h"

namespace cli {

void FinishUpdateRecord(varnok::CUpdateRecorder& record, const std::string& result, int exit) {
  // The run is over: an interrupt now must not end the program with
  // "nothing was written" before its record is out.
  const ScopedInterruptAction keepOn([] {});
  std::string error;
  const varnok::RecordWrite written =
      record.Finish(result.empty() ? "internal" : result, exit, error);
  if (written != varnok::RecordWrite::Written) NoteOutputFailure(0);
  if (written == varnok::RecordWrite::Failed) {
    WriteWhole(stderr, "varnok-cli: " + error + " (the update itself is not affected)\n");
  }
}

}  // namespace cli
