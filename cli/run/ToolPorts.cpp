#include "cli/run/ToolPorts.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "cli/ExitCodes.h"
#include "cli/platform/Interrupt.h"
#include "cli/output/JsonLine.h"
#include "cli/platform/PortSource.h"
#include "device/PortFolderWatch.h"
#include "device/PortNames.h"
#include "device/SearchUsbPort.h"

namespace cli {

namespace {

// Longest wait between two scans: a change the watch misses (a folder made
// after the watch began) is still seen at this pace.
constexpr int kRescanMs = 500;

void Scan(int onlyPort, std::vector<int>& ports) {
  CSearchUsbPort search;
  search.SearchPorts(ports);
  if (onlyPort >= 0) {
    const bool present = std::find(ports.begin(), ports.end(), onlyPort) != ports.end();
    ports.assign(present ? 1 : 0, onlyPort);
  }
}

std::string Tools(int n) { return n == 1 ? "a tool" : std::to_string(n) + " tools"; }

}  // namespace

bool ResolvePortOption(const std::string& text, int& port, std::string& error) {
  const bool digits = !text.empty() && text.size() <= 4 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  port = digits ? std::atoi(text.c_str()) : varnok::PortNumberFromName(text);
  const bool known = port > 0 && !varnok::PortDevicePath(port).empty();
  const bool hasFolder = text.find_first_of("/\\") != std::string::npos;
  if (known && (!hasFolder || text == varnok::PortDevicePath(port))) return true;
  error = "unknown port '" + text + "': give a port number as 'varnok-cli ports' lists it or " +
          "a device path such as " + varnok::PortDevicePath(1);
  port = -1;
  return false;
}

PortSearch FindToolPorts(const CliOptions& options, CliReporter& out, int onlyPort, int needed,
                         std::vector<int>& ports) {
  Scan(onlyPort, ports);
  if (static_cast<int>(ports.size()) >= needed) return PortSearch::Found;
  if (options.waitSeconds < 0) return PortSearch::None;

  varnok::CPortFolderWatch watch;
  const std::string where = onlyPort >= 0 ? " on " + varnok::PortDevicePath(onlyPort) : "";
  const std::string text = "Waiting for " + Tools(needed) + where + "...";
  out.Info(text, JsonLine("wait").Add("tools", needed).Add("seconds", options.waitSeconds)
                     .Add("found", static_cast<int>(ports.size())).Str());
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(options.waitSeconds);
  for (;;) {
    Scan(onlyPort, ports);
    if (static_cast<int>(ports.size()) >= needed) return PortSearch::Found;
    if (InterruptRequested()) return PortSearch::Interrupted;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now()).count();
    if (left <= 0) return PortSearch::TimedOut;
    watch.WaitForChange(static_cast<int>(std::min<long long>(left, kRescanMs)));
  }
}

std::string NoPortText(PortSearch how, const CliOptions& options, int onlyPort, int needed,
                       int found) {
  const std::string where = onlyPort >= 0 ? " on " + varnok::PortDevicePath(onlyPort)
                                          : " (" + PortFamiliesText() + ")";
  if (how == PortSearch::TimedOut) {
    std::string text = "No tool found: waited " + std::to_string(options.waitSeconds) +
                       " s for " + Tools(needed) + where;
    if (needed > 1) text += "; " + std::to_string(found) + " connected";
    return text + ".";
  }
  if (needed > 1) {
    return "Only " + std::to_string(found) + " of " + std::to_string(needed) + " tools" + where +
           " are connected.";
  }
  return "No tool found" + where + ". Plug the tool in and switch it on.";
}

int FindOneTool(const CliOptions& options, CliReporter& out, const std::string& noToolText,
                int& onlyPort, int& port) {
  onlyPort = -1;
  port = -1;
  if (!options.port.empty()) {
    std::string error;
    if (!ResolvePortOption(options.port, onlyPort, error)) {
      out.Message("varnok-cli: " + error, true);
      out.Result("usage", kExitUsage, "", "");
      return kExitUsage;
    }
  }
  std::vector<int> ports;
  const PortSearch how = FindToolPorts(options, out, onlyPort, 1, ports);
  if (how == PortSearch::Interrupted) {
    out.Result("cancelled", kExitCancelled, "", "Cancelled while waiting for a tool.");
    return kExitCancelled;
  }
  if (how != PortSearch::Found) {
    if (!noToolText.empty() && onlyPort < 0 && how == PortSearch::None) {
      out.Message(noToolText, true);
      out.Result("no-tool", kExitNotWritten, noToolText, "");
    } else {
      out.Result("no-tool", kExitNotWritten, "", NoPortText(how, options, onlyPort, 1, 0));
    }
    return kExitNotWritten;
  }
  port = ports.front();
  return kExitOk;
}

}  // namespace cli
