#pragma once
// The command line of varnok-cli.

#include <string>

namespace cli {

enum class Command { None, Help, Version, Ports, Models, Identify, Update };

struct CliOptions {
  Command command = Command::None;
  std::string model;       // --model
  std::string configPath;  // --config; empty: device.xml beside the program
  std::string updateFile;  // update: the one positional argument
  bool json = false;
  bool verbose = false;
};

// Parses argv; false with a reason in `error` (usage error).
bool ParseCliArgs(int argc, const char* const* argv, CliOptions& options, std::string& error);

std::string CliHelpText();

}  // namespace cli
