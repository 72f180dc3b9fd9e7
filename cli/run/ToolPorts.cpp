#include "cli/run/ToolPorts.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "cli/ExitCodes.h"
#include "cli/output/JsonLine.h"
#include "cli/platform/Interrupt.h"
#include "cli/platform/PortSource.h"
#include "device/PortFolderWatch.h"
#include "device/PortNames.h"
#include "device/RemotePorts.h"
#include "device/SearchUsbPort.h"
#include "device/SyncSerialPort.h"

namespace cli {

namespace {

// Longest wait between two scans: a change the watch misses (a folder made
// after the watch began) is still seen at this pace, and a server that was
// not there is asked again.
constexpr int kRescanMs = 500;
// The line a remote port is tried with (a capture sets its own when it opens).
constexpr unsigned kProbeBaud = 115200;

// Whether the server of remote port `port` takes the connection and the
// line's set-up; a Ctrl-C ends the attempt at once.
bool Reachable(int port, CliReporter& out, PortQuery& query) {
  CSyncSerialPort probe;
  const ScopedInterruptAction stop([&probe] { probe.Interrupt(); });
  if (probe.Open(port, kProbeBaud, nullptr) != 1) {
    query.unreached = probe.LastOpenFailureText();
    return false;
  }
  probe.Close();
  TellLineNotice(out, port);
  return true;
}

// A remote port is tried only while waiting for it: otherwise the run's
// own open tells (a tool that starts sending when its line opens would
// spend its first bytes on a probe).
void Scan(CliReporter& out, PortQuery& query, bool waiting, std::vector<int>& ports) {
  CSearchUsbPort search;
  search.SearchPorts(ports);
  if (query.only.empty()) return;
  std::vector<int> present;
  for (const int port : query.only) {
    const bool there = varnok::IsRemotePort(port)
                           ? !waiting || Reachable(port, out, query)
                           : std::find(ports.begin(), ports.end(), port) != ports.end();
    if (there) present.push_back(port);
    if (InterruptRequested()) break;
  }
  ports.swap(present);
}

std::string Tools(int n) { return n == 1 ? "a tool" : std::to_string(n) + " tools"; }

std::string Where(const PortQuery& query) {
  if (query.only.empty()) return " (" + PortFamiliesText() + ")";
  std::string where;
  for (const int port : query.only) where += (where.empty() ? " on " : ", ") + varnok::PortDevicePath(port);
  return where;
}

}  // namespace

bool ResolvePortOption(const std::string& text, int& port, std::string& error) {
  if (varnok::LooksLikeRemotePort(text)) {
    varnok::RemoteAddress address;
    port = varnok::ParseRemoteAddress(text, address, error) ? varnok::RemotePortNumber(address) : -1;
    return port > 0;
  }
  const bool digits = !text.empty() && text.size() <= 4 &&
                      text.find_first_not_of("0123456789") == std::string::npos;
  port = digits ? std::atoi(text.c_str()) : varnok::PortNumberFromName(text);
  const bool known = port > 0 && !varnok::IsRemotePort(port) && !varnok::PortDevicePath(port).empty();
  const bool hasFolder = text.find_first_of("/\\") != std::string::npos;
  if (known && (!hasFolder || text == varnok::PortDevicePath(port))) return true;
  error = "unknown port '" + text + "': give a port number as 'varnok-cli ports' lists it, " +
          "a device path such as " + varnok::PortDevicePath(1) +
          ", or rfc2217://HOST:PORT or socket://HOST:PORT";
  port = -1;
  return false;
}

int ResolvePortOptions(const CliOptions& options, CliReporter& out, std::vector<int>& ports) {
  ports.clear();
  for (const std::string& text : options.ports) {
    int port = -1;
    std::string error;
    if (!ResolvePortOption(text, port, error)) {
      out.Message("varnok-cli: " + error, true);
      out.Result("usage", kExitUsage, "", "");
      return kExitUsage;
    }
    if (std::find(ports.begin(), ports.end(), port) == ports.end()) ports.push_back(port);
  }
  return kExitOk;
}

PortSearch FindToolPorts(const CliOptions& options, CliReporter& out, PortQuery& query,
                         std::vector<int>& ports) {
  const bool waiting = options.waitSeconds >= 0;
  Scan(out, query, waiting, ports);
  if (static_cast<int>(ports.size()) >= query.needed) return PortSearch::Found;
  if (InterruptRequested()) return PortSearch::Interrupted;
  if (options.waitSeconds < 0) return PortSearch::None;

  varnok::CPortFolderWatch watch;
  const std::string where = query.only.empty() ? "" : Where(query);
  const std::string text = "Waiting for " + Tools(query.needed) + where + "...";
  out.Info(text, JsonLine("wait").Add("tools", query.needed).Add("seconds", options.waitSeconds)
                     .Add("found", static_cast<int>(ports.size())).Str());
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(options.waitSeconds);
  for (;;) {
    Scan(out, query, waiting, ports);
    if (static_cast<int>(ports.size()) >= query.needed) return PortSearch::Found;
    if (InterruptRequested()) return PortSearch::Interrupted;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        until - std::chrono::steady_clock::now()).count();
    if (left <= 0) return PortSearch::TimedOut;
    watch.WaitForChange(static_cast<int>(std::min<long long>(left, kRescanMs)));
  }
}

std::string NoPortText(PortSearch how, const CliOptions& options, const PortQuery& query,
                       int found) {
  const std::string where = Where(query);
  const std::string why = query.unreached.empty() ? "" : " (" + query.unreached + ")";
  const int needed = query.needed;
  if (how == PortSearch::TimedOut) {
    std::string text = "No tool found: waited " + std::to_string(options.waitSeconds) +
                       " s for " + Tools(needed) + where;
    if (needed > 1) text += "; " + std::to_string(found) + " connected";
    return text + why + ".";
  }
  if (needed > 1) {
    return "Only " + std::to_string(found) + " of " + std::to_string(needed) + " tools" + where +
           " are connected" + why + ".";
  }
  return "No tool found" + where + why + ". Plug the tool in and switch it on.";
}

int FindOneTool(const CliOptions& options, CliReporter& out, const std::string& noToolText,
                int& onlyPort, int& port) {
  onlyPort = -1;
  port = -1;
  PortQuery query;
  const int resolved = ResolvePortOptions(options, out, query.only);
  if (resolved != kExitOk) return resolved;
  if (!query.only.empty()) onlyPort = query.only.front();
  std::vector<int> ports;
  const PortSearch how = FindToolPorts(options, out, query, ports);
  if (how == PortSearch::Interrupted) {
    out.Result("cancelled", kExitCancelled, "", "Cancelled while waiting for a tool.");
    return kExitCancelled;
  }
  if (how != PortSearch::Found) {
    if (!noToolText.empty() && onlyPort < 0 && how == PortSearch::None) {
      out.Message(noToolText, true);
      out.Result("no-tool", kExitNotWritten, noToolText, "");
    } else {
      out.Result("no-tool", kExitNotWritten, "", NoPortText(how, options, query, 0));
    }
    return kExitNotWritten;
  }
  port = ports.front();
  return kExitOk;
}

void TellLineNotice(CliReporter& out, int port) {
  const std::string notice = varnok::RemoteLineNotice(port);
  if (notice.empty()) return;
  out.Info(notice, JsonLine("notice").AddPort(port).Add("text", notice).Str());
  varnok::NoteRemoteLine(port, std::string());  // told once
}

std::string RemoteOpenFailure(int port) {
  CSyncSerialPort probe;
  return probe.Open(port, kProbeBaud, nullptr) == 1 ? std::string() : probe.LastOpenFailureText();
}

}  // namespace cli
