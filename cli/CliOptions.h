#pragma once
// The command line of varnok-cli.

#include <string>
#include <vector>

namespace cli {

enum class Command { None, Help, Version, Ports, Models, Identify, Update, Dtc };

struct CliOptions {
  Command command = Command::None;
  std::string model;       // --model
  std::string configPath;  // --config; empty: device.xml beside the program
  std::string updateFile;  // update: the one positional argument
  std::string libraryPath;  // dtc --library; empty: DtcLookup/OBDII.txt beside the program
  std::vector<std::string> prefixes;  // dtc: the code prefixes
  bool json = false;
  bool verbose = false;
};

// Parses argv; false with a reason in `error` (usage error).
bool ParseCliArgs(int argc, const char* const* argv, CliOptions& options, std::string& error);

std::string CliHelpText();

}  // namespace cli
