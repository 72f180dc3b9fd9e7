#include "cli/BenchOptions.h"

#include <cstdlib>

namespace cli {

namespace {

// A whole non-negative decimal number below a million; -1 otherwise.
int WholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 6) return -1;
  for (const char c : text) {
    if (c < '0' || c > '9') return -1;
  }
  return std::atoi(text.c_str());
}

bool TakeCount(const std::string& arg, const std::function<bool(std::string&)>& takeValue,
               int& into, std::string& error) {
  std::string text;
  if (!takeValue(text)) return true;  // takeValue set the error
  into = WholeNumber(text);
  if (into < 1) error = arg + " needs a whole number of at least 1, not '" + text + "'";
  return true;
}

}  // namespace

bool ParseBenchOption(const std::string& arg, bool hasValue, const std::string& value,
                      const std::function<bool(std::string&)>& takeValue, CliOptions& o,
                      std::string& error) {
  if (arg == "--port" || arg == "-p") {
    std::string port;
    if (takeValue(port)) o.ports.push_back(port);
    return true;
  }
  if (arg == "--wait") {
    o.waitSeconds = kDefaultWaitSeconds;
    if (hasValue) {
      o.waitSeconds = WholeNumber(value);
      if (o.waitSeconds < 0) error = "--wait=S needs a whole number of seconds, not '" + value + "'";
    }
    return true;
  }
  if (arg == "--all" || arg == "--dry-run") {
    if (hasValue) error = arg + " takes no value";
    (arg == "--all" ? o.all : o.dryRun) = true;
    return true;
  }
  if (arg == "--count") return TakeCount(arg, takeValue, o.count, error);
  if (arg == "--last") return TakeCount(arg, takeValue, o.last, error);
  return false;
}

bool CheckBenchOptions(const CliOptions& o, const std::string& command, std::string& error) {
  const bool update = o.command == Command::Update;
  const bool reachesTool =
      update || o.command == Command::Identify || o.command == Command::Capture;
  if (!reachesTool && (!o.ports.empty() || o.waitSeconds >= 0)) {
    error = command + " takes neither --port nor --wait";
  } else if (!update && (o.all || o.dryRun || o.count > 0)) {
    error = "--all, --count and --dry-run belong to update";
  } else if (!o.all && o.ports.size() > 1) {
    error = "--port names one tool; several --port options go with update --all";
  } else if (o.all && !o.ports.empty() && o.count > 0) {
    error = "--count and --port exclude each other: --all updates the tools on every port named";
  } else if (o.count > 0 && (!o.all || o.waitSeconds < 0)) {
    error = "--count N needs --all and --wait";
  } else if (o.last > 0 && o.command != Command::History) {
    error = "--last belongs to history";
  }
  return error.empty();
}

}  // namespace cli
