#pragma once
// Everything a simulated tool is told at start, and the parsing of the
// varnok-toolsim command line into it.

#include <cstdint>
#include <string>
#include <vector>

#include "sim/FaultPlan.h"

namespace varnok::sim {

enum class ToolClass { Classic, New, Programmer };

// Where a framed tool is after power-up: in its loader (takes updates) or
// running its application (refuses flash commands until it is sent to the
// loader by RebootToLoader, or caught by SyncLoader after a restart).
enum class StartState { Loader, App };

struct SimOptions {
  ToolClass toolClass = ToolClass::New;
  std::string name;        // reported model name; empty: the class default
  std::string loaderName;  // reported in the loader; empty: `name`
  StartState startIn = StartState::Loader;

  std::string linkName = "ttyACM0";  // ttyACM<k> or ttyUSB<k>
  std::string devDir;                // empty: $VARNOK_DEV_DIR or /dev

  // Partition entry k (1..6) base addresses; a region ends at the next
  // higher base, or `regionSize` bytes after its start when none is higher.
  std::uint32_t partitionBases[6] = {0x08040000, 0x080C0000, 0x08140000,
                                     0x081C0000, 0x08240000, 0x082C0000};
  std::uint32_t regionSize = 0x200000;  // 2 MiB
  std::string idStrings = "ID1-V1.00|ID2-V1.00|ID3-V1.00|ID4-V1.00|ID5-V1.00|ID6-V1.00";
  std::string deviceInfo = "VARNOK-TOOLSIM";

  std::string flashOut;
  std::string readyFile;
  bool exitAfterFinish = false;

  unsigned paceBaud = 0;    // 0: unpaced
  int blockMs = 0;          // flash time per written block
  int eraseMs = 0;          // flash time of an erase
  int rebootMs = 300;       // away from the line during RebootToLoader
  int restartMs = 50;       // deaf after RestartDevice
  int syncWindowMs = 1500;  // after that, SyncLoader keeps it in the loader

  FaultPlan faults;

  std::string dataFile;  // data mode when set
  unsigned dataBaud = 57600;
  bool dataLoop = false;
  bool dataRaw = false;  // send the data file's bytes as they are

  bool verbose = false;
  // Keep every byte received and sent (ToolSimulator::Received/Sent), for
  // tests that compare the line with a recording.
  bool keepWire = false;

  // Replay of a recorded run (--replay FILE): the tool's side of the trace
  // instead of an engine. --fast: replies at once; --loose: block payloads
  // may differ from the recording.
  std::string replayFile;
  bool replayFast = false;
  bool replayLoose = false;

  // The name reported in the given state (class default when unset).
  std::string ReportedName(bool inLoader) const;
  std::string LinkPath() const;
};

// The default model name of a class.
std::string DefaultName(ToolClass toolClass);

// Result of parsing a command line.
enum class ParseResult { Run, Help, Error };

// Parses argv (argv[0] is the program). On Error, `error` says why.
ParseResult ParseSimArgs(int argc, const char* const* argv, SimOptions& options,
                         std::string& error);

// The --help text.
std::string SimHelpText();

}  // namespace varnok::sim
