#pragma once
// The window's wire traces: when the environment variable VARNOK_TRACE_DIR
// names a folder, every download run and every data-mode capture records
// into a new file there, varnok-YYYYMMDD-HHMMSS-<n>.jsonl (n counts the
// traces of this process, so two in one second do not collide).

#include <memory>
#include <string>

#include "device/WireTrace.h"

namespace varnok {

constexpr const char* kTraceDirVariable = "VARNOK_TRACE_DIR";

// A new trace in $VARNOK_TRACE_DIR (the folder is made when missing); null
// when the variable is unset or empty or the file cannot be written.
// Any thread.
std::shared_ptr<CWireTrace> CreateTraceFromEnvironment(const TraceHeader& header);

}  // namespace varnok
