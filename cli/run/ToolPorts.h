#pragma once
// Which ports a command uses: --port (one named port) and --wait[=S]
// (wait for tools to be plugged in), for identify, update, update --all and
// capture.

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"

namespace cli {

// Resolves the text of --port: a port number as `ports` lists it, or the
// device path (on Windows also COM7). False with a usage message when the
// text names no tool port (a path outside the scanned folder counts as none).
bool ResolvePortOption(const std::string& text, int& port, std::string& error);

// How a search for tool ports ended.
enum class PortSearch {
  Found,        // `ports` holds enough ports
  None,         // not enough ports, no waiting asked
  TimedOut,     // --wait ran out
  Interrupted,  // Ctrl-C while waiting
};

// Scans for tool ports (only `onlyPort` when it is >= 0) until at least
// `needed` are there. With options.waitSeconds >= 0 it waits that long,
// watching the device folder, and tells the user (on a terminal "Waiting
// for a tool..."; JSON: a "wait" event).
PortSearch FindToolPorts(const CliOptions& options, CliReporter& out, int onlyPort, int needed,
                         std::vector<int>& ports);

// The message for a search that ended without enough ports.
std::string NoPortText(PortSearch how, const CliOptions& options, int onlyPort, int needed,
                       int found);

// --port and --wait for a command that needs one tool: resolves --port into
// `onlyPort` (-1 without it) and searches. Returns kExitOk with `port` set to
// the tool's port; otherwise the result (usage, cancelled or no-tool with
// `noToolText`, or the search's own text when --port or --wait shaped it) is
// reported and its exit status returned.
int FindOneTool(const CliOptions& options, CliReporter& out, const std::string& noToolText,
                int& onlyPort, int& port);

}  // namespace cli
