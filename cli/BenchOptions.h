#pragma once
// The options of service benches: --port, --wait[=S], --all, --count N,
// --dry-run and history's --last N. CliOptions.cpp calls these two.

#include <functional>
#include <string>

#include "cli/CliOptions.h"

namespace cli {

// Default of --wait without a value, seconds.
constexpr int kDefaultWaitSeconds = 60;

// Handles `arg` when it is one of these options: true when it was (then a
// non-empty `error` means a usage error), false when it is another option.
// `takeValue` fetches the option's value (from "=V" or the next argument).
bool ParseBenchOption(const std::string& arg, bool hasValue, const std::string& value,
                      const std::function<bool(std::string&)>& takeValue, CliOptions& options,
                      std::string& error);

// Which command may take which of these options, and how they combine.
bool CheckBenchOptions(const CliOptions& options, const std::string& command, std::string& error);

}  // namespace cli
