// varnok-cli: the command-line firmware updater.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "cli/platform/Arguments.h"
#include "cli/platform/BinaryOutput.h"
#include "cli/commands/CaptureCommand.h"
#include "cli/CliOptions.h"
#include "cli/output/CliReporter.h"
#include "cli/commands/Commands.h"
#include "cli/commands/DtcCommand.h"
#include "cli/ExitCodes.h"
#include "cli/platform/Interrupt.h"
#include "cli/output/OutputCheck.h"
#include "cli/platform/Terminal.h"
#include "cli/commands/TraceCommand.h"

namespace {

int RunCommand(const cli::CliOptions& options, cli::CliReporter& out) {
  using namespace cli;
  try {
    switch (options.command) {
      case Command::Ports: return RunPorts(options, out);
      case Command::Models: return RunModels(options, out);
      case Command::Identify: return RunIdentify(options, out);
      case Command::Update: return RunUpdate(options, out);
      case Command::Dtc: return RunDtc(options, out);
      case Command::Info: return RunInfo(options, out);
      case Command::History: return RunHistory(options, out);
      case Command::Capture: return RunCapture(options, out);
      case Command::Trace: return RunTrace(options, out);
      default: break;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "varnok-cli: internal error: %s\n", e.what());
  }
  return kExitInternal;
}

// Success only when everything promised was written too.
int WithOutputChecked(int status) {
  using namespace cli;
  if (status != kExitOk || !OutputFailed()) return status;
  WriteWhole(stderr, "varnok-cli: the output could not be written whole (disk full, or the "
                     "reader went away)\n");
  return kExitOutputFailed;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace cli;
  ReserveStandardDescriptors();
  InstallInterruptWatch();
  // UTF-8 on every platform: Windows hands the wide command line over.
  const std::vector<std::string> args = Utf8Arguments(argc, argv);
  std::vector<const char*> argp;
  for (const std::string& arg : args) argp.push_back(arg.c_str());
  argp.push_back(nullptr);
  CliOptions options;
  std::string error;
  if (!ParseCliArgs(static_cast<int>(args.size()), argp.data(), options, error)) {
    std::fprintf(stderr, "varnok-cli: %s\nTry 'varnok-cli --help'.\n", error.c_str());
    return kExitUsage;
  }
  if (options.command == Command::Help) {
    WriteWhole(stdout, CliHelpText());
    return WithOutputChecked(kExitOk);
  }
  if (options.command == Command::Version) {
    WriteWhole(stdout, "varnok-cli " VARNOK_VERSION "\n");
    return WithOutputChecked(kExitOk);
  }

  ReporterOptions view;
  view.json = options.json;
  view.verbose = options.verbose;
  view.terminal = !options.json && StdoutIsTerminal();
  view.width = view.terminal ? TerminalWidth() : 80;
  CliReporter out(view);
  // Outside a download run the first interrupt ends the program at once,
  // whatever it waits for (a port, a slow file); a run installs its own
  // action, which stops the run the way the Cancel button does.
  SetInterruptAction([&out] {
    out.Result("cancelled", kExitCancelled, "", "Cancelled; nothing was written.");
    std::fflush(nullptr);
    std::_Exit(kExitCancelled);
  });
  return WithOutputChecked(RunCommand(options, out));
}
