#pragma once
// The command line of varnok-cli.

#include <string>
#include <vector>

namespace cli {

enum class Command { None, Help, Version, Ports, Models, Identify, Update, Dtc, Info, History, Capture, Trace };

struct CaptureOptions {
  std::string output;       // --output FILE; empty: standard output
  long long lines = 0;      // --lines N; 0: no limit
  double seconds = 0;       // --seconds S; 0: no limit
  bool timestamps = false;  // --timestamps
};

struct CliOptions {
  Command command = Command::None;
  std::string model;       // --model
  std::string configPath;  // --config; empty: device.xml beside the program
  std::string updateFile;  // update, info: the one positional argument
  // --port, as often as given: a number or device path, rfc2217://HOST:PORT
  // or socket://HOST:PORT; none: the first port found (every one with --all).
  std::vector<std::string> ports;
  int waitSeconds = -1;    // --wait[=S]: seconds to wait for a tool; -1: no waiting
  bool all = false;        // update --all: every connected tool of the model at once
  int count = 0;           // --count N (with --all --wait): wait for N tools; 0: one
  bool dryRun = false;     // update --dry-run: every check, nothing written
  int last = 0;            // history --last N; 0: every record
  std::string libraryPath;  // dtc --library; empty: DtcLookup/OBDII.txt beside the program
  std::vector<std::string> prefixes;  // dtc: the code prefixes
  bool json = false;
  bool verbose = false;
  CaptureOptions capture;  // capture
  std::string tracePath;   // --trace FILE (update, capture; a folder with --all)
  std::string traceFile;   // trace: the trace to read
};

// Parses argv; false with a reason in `error` (usage error).
bool ParseCliArgs(int argc, const char* const* argv, CliOptions& options, std::string& error);

std::string CliHelpText();

}  // namespace cli
