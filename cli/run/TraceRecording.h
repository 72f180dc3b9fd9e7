#pragma once
// --trace: the wire trace of one run (update, capture) or one file per port
// (update --all), see device/WireTrace.h.

#include <memory>
#include <string>

#include "cli/output/CliReporter.h"
#include "device/WireTrace.h"
#include "update/DeviceEntry.h"

namespace cli {

// The first line's facts for a run of `model`; `toolClass` null: the
// model's class.
varnok::TraceHeader RunTraceHeader(const DeviceEntry& model, const char* toolClass);

// The trace file of `path` for a run of `model` (toolClass "data" for a
// capture, else the model's class). Null without --trace. On failure a
// message and a usage result are printed and `failed` is set.
std::shared_ptr<varnok::CWireTrace> StartRunTrace(const std::string& path, const DeviceEntry& model,
                                                  const char* toolClass, CliReporter& out,
                                                  bool& failed);

// update --all: the trace file of the run on `port` inside folder `dir`
// (made when missing): DIR/port<N>.jsonl.
std::string TraceFileForPort(const std::string& dir, int port);

// Writes the end line with the run's result word (nothing without a trace).
void EndRunTrace(const std::shared_ptr<varnok::CWireTrace>& trace, const std::string& result);

}  // namespace cli
