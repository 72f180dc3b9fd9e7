#include "cli/run/TraceRecording.h"

#include <filesystem>
#include <system_error>

#include "cli/ExitCodes.h"

namespace cli {

varnok::TraceHeader RunTraceHeader(const DeviceEntry& model, const char* toolClass) {
  varnok::TraceHeader header;
  header.program = "varnok-cli";
  header.version = VARNOK_VERSION;
  header.model = model.DevName;
  header.toolClass = toolClass != nullptr ? toolClass : varnok::TraceClassName(model.USBType);
  return header;
}

std::shared_ptr<varnok::CWireTrace> StartRunTrace(const std::string& path, const DeviceEntry& model,
                                                  const char* toolClass, CliReporter& out,
                                                  bool& failed) {
  failed = false;
  if (path.empty()) return nullptr;
  std::string error;
  std::shared_ptr<varnok::CWireTrace> trace =
      varnok::CWireTrace::Create(path, RunTraceHeader(model, toolClass), &error);
  if (!trace) {
    failed = true;
    out.Message("varnok-cli: " + error, true);
    out.Result("usage", kExitUsage, "", "");
  }
  return trace;
}

std::string TraceFileForPort(const std::string& dir, int port) {
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  return (std::filesystem::path(dir) / ("port" + std::to_string(port) + ".jsonl")).string();
}

void EndRunTrace(const std::shared_ptr<varnok::CWireTrace>& trace, const std::string& result) {
  if (trace) trace->End(result.empty() ? "failed" : result);
}

}  // namespace cli
