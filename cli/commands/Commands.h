#pragma once
// The commands of varnok-cli; each returns the exit status (ExitCodes.h).

#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"

namespace cli {

int RunPorts(const CliOptions& options, CliReporter& out);
int RunModels(const CliOptions& options, CliReporter& out);
int RunIdentify(const CliOptions& options, CliReporter& out);
int RunUpdate(const CliOptions& options, CliReporter& out);
int RunUpdateAll(const CliOptions& options, CliReporter& out);  // UpdateAll.cpp
int RunInfo(const CliOptions& options, CliReporter& out);       // InfoCommand.cpp
int RunHistory(const CliOptions& options, CliReporter& out);    // HistoryCommand.cpp

}  // namespace cli
