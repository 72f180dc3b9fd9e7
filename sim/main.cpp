// varnok-toolsim: one scan tool played on a pseudo-terminal.
#include <csignal>
#include <cstring>
#include <iostream>

#include "sim/ReplayTool.h"
#include "sim/SimOptions.h"
#include "sim/ToolSimulator.h"

namespace {

varnok::sim::ToolSimulator* gSimulator = nullptr;
varnok::sim::ReplayTool* gReplay = nullptr;

extern "C" void OnStopSignal(int) {
  if (gSimulator != nullptr) gSimulator->RequestStop();
  if (gReplay != nullptr) gReplay->RequestStop();
}

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

// --replay: 0 when every event was played, 3 at the first difference.
int RunReplay(const varnok::sim::SimOptions& options) {
  using namespace varnok::sim;
  ReplayTool replay(options, &std::cerr);
  gReplay = &replay;
  InstallStopHandlers();
  std::string error;
  if (!replay.Start(&error)) {
    std::cerr << "varnok-toolsim: " << error << "\n";
    gReplay = nullptr;
    return 2;
  }
  const ReplayEnd end = replay.Run();
  gReplay = nullptr;
  switch (end) {
    case ReplayEnd::Played:
    case ReplayEnd::Stopped: return 0;
    case ReplayEnd::Mismatch: return 3;
    case ReplayEnd::Failed: break;
  }
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace varnok::sim;
  SimOptions options;
  std::string error;
  switch (ParseSimArgs(argc, argv, options, error)) {
    case ParseResult::Help:
      std::cout << SimHelpText();
      return 0;
    case ParseResult::Error:
      std::cerr << "varnok-toolsim: " << error << "\n";
      return 2;
    case ParseResult::Run:
      break;
  }

  if (!options.replayFile.empty()) return RunReplay(options);

  ToolSimulator simulator(options, &std::cout);
  gSimulator = &simulator;
  InstallStopHandlers();
  if (!simulator.Start(&error)) {
    std::cerr << "varnok-toolsim: " << error << "\n";
    gSimulator = nullptr;
    return 1;
  }
  const int status = simulator.Run();
  gSimulator = nullptr;
  if (status != 0) std::cerr << "varnok-toolsim: " << simulator.LastError() << "\n";
  return status;
}
