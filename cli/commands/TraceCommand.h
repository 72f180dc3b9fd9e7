#pragma once
// varnok-cli trace FILE [--json]: a wire trace read as a protocol analyser
// shows it: one line per frame (time, direction, the decoded frame), the
// line's opens, closes and hang-ups, retries and unanswered requests
// marked, and a summary. --json: the decoded frames as JSON Lines. A file
// that is no trace, cut off or edited gives an error naming its line.

#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"

namespace cli {

int RunTrace(const CliOptions& options, CliReporter& out);

}  // namespace cli
