#pragma once
// Which ports a command uses: --port (named ports, local or on another
// machine) and --wait[=S] (wait for tools to be plugged in or for their
// servers to answer), for identify, update, update --all and capture.

#include <string>
#include <vector>

#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"

namespace cli {

// Resolves the text of one --port: a port number as `ports` lists it, the
// device path (on Windows also COM7), or rfc2217://HOST:PORT or
// socket://HOST:PORT. False with a usage message when the text names no
// tool port (a path outside the scanned folder counts as none).
bool ResolvePortOption(const std::string& text, int& port, std::string& error);

// How a search for tool ports ended.
enum class PortSearch {
  Found,        // `ports` holds enough ports
  None,         // not enough ports, no waiting asked
  TimedOut,     // --wait ran out
  Interrupted,  // Ctrl-C while waiting
};

// Where a search looks and what it found out on the way.
struct PortQuery {
  std::vector<int> only;  // the --port ports; empty: every port the scan finds
  int needed = 1;         // how many tools must be there
  std::string unreached;  // why the last remote port named could not be reached
};

// Scans for tool ports (only `query.only` when given) until at least
// `query.needed` are there. A port on another machine is there when its
// server takes the connection and the line's set-up (a notice the line has
// is told once). With options.waitSeconds >= 0 it waits that long,
// watching the device folder and trying the servers again, and tells the
// user (on a terminal "Waiting for a tool..."; JSON: a "wait" event).
PortSearch FindToolPorts(const CliOptions& options, CliReporter& out, PortQuery& query,
                         std::vector<int>& ports);

// The message for a search that ended without enough ports.
std::string NoPortText(PortSearch how, const CliOptions& options, const PortQuery& query,
                       int found);

// --port and --wait for a command that needs one tool: resolves --port into
// `onlyPort` (-1 without it) and searches. Returns kExitOk with `port` set to
// the tool's port; otherwise the result (usage, cancelled or no-tool with
// `noToolText`, or the search's own text when --port or --wait shaped it) is
// reported and its exit status returned.
int FindOneTool(const CliOptions& options, CliReporter& out, const std::string& noToolText,
                int& onlyPort, int& port);

// Resolves every --port into `ports`; on a bad one reports the usage error
// and returns its exit status, else kExitOk.
int ResolvePortOptions(const CliOptions& options, CliReporter& out, std::vector<int>& ports);

// Tells what the last open of remote port `port` had to say although it
// worked (its server keeps its own line settings), once; nothing for others.
void TellLineNotice(CliReporter& out, int port);

// Why remote port `port` cannot be opened now (one more try); empty when it can.
std::string RemoteOpenFailure(int port);

}  // namespace cli
