#pragma once
// varnok-cli capture: the command-line twin of the QV220 page's data mode.
// Finds the tool's port as the page does (the first port found), opens it
// at 57600 8N1 and writes the received bytes unchanged to a file or
// standard output, flushing at every line feed.
//
// Ends after N complete lines (--lines: exactly the first N lines), after
// S seconds (--seconds), on Ctrl-C / SIGTERM, or when the port goes away.
// Except with --lines the bytes after the last line feed are written too.
// --timestamps puts "[HH:MM:SS.mmm] " (local time of a line's first byte)
// before every line. --json gives one event per line:
// {"event":"line","text":...,"time":...} (text decoded for display) and a
// final "result" event.

#include <string>

#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"

namespace cli {

// Parses a capture option at argv[i] into `options` (advancing i past a
// value). 1 taken, 0 not a capture option, -1 bad value (`error` set).
int ParseCaptureOption(const std::string& arg, bool hasValue, std::string value, int& i,
                       int argc, const char* const* argv, CaptureOptions& options,
                       std::string& error);

int RunCapture(const CliOptions& options, CliReporter& out);

}  // namespace cli
