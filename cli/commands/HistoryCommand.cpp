// varnok-cli history [--last N]: the record of updates as a table.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "cli/commands/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/output/JsonLine.h"
#include "cli/output/PrintableText.h"
#include "update/UpdateRecord.h"

namespace cli {

namespace {

constexpr std::size_t kShownHashDigits = 12;

std::string Seconds(double s) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", s);
  return text;
}

}  // namespace

int RunHistory(const CliOptions& options, CliReporter& out) {
  const std::string path = varnok::UpdateLogPath();
  std::vector<varnok::UpdateRecord> records;
  int skipped = 0;
  if (path.empty() || !varnok::ReadUpdateRecords(path, records, skipped)) {
    out.Message("varnok-cli: cannot read the update record " + path, true);
    out.Result("unreadable", kExitInternal, "", "");
    return kExitInternal;
  }
  if (options.last > 0 && records.size() > static_cast<std::size_t>(options.last)) {
    records.erase(records.begin(), records.end() - options.last);
  }
  if (records.empty() && !out.Json()) {
    out.Message("No updates recorded in " + path + ".", false);
  }

  const std::vector<std::string> head = {"time", "model", "port", "file", "size",
                                         "sha256", "result", "exit", "seconds"};
  std::vector<std::vector<std::string>> rows = {head};
  for (const varnok::UpdateRecord& r : records) {
    rows.push_back({PrintableText(r.time), PrintableText(r.model),
                    r.portName.empty() ? "-" : PrintableText(r.portName), PrintableText(r.file),
                    r.size < 0 ? "-" : std::to_string(r.size),
                    r.sha256.empty() ? "-" : PrintableText(r.sha256.substr(0, kShownHashDigits)),
                    PrintableText(r.result), std::to_string(r.exitStatus), Seconds(r.durationS)});
    out.JsonOnly(JsonLine("record").Add("time", r.time).Add("model", r.model).Add("port", r.port)
                     .Add("port_name", r.portName).Add("file", r.file).Add("size", r.size)
                     .Add("sha256", r.sha256).Add("result", r.result).Add("exit", r.exitStatus)
                     .Add("duration_s", r.durationS).Str());
  }
  if (!out.Json() && !records.empty()) {
    std::vector<std::size_t> width(head.size(), 0);
    for (const auto& row : rows) {
      for (std::size_t c = 0; c < row.size(); ++c) width[c] = std::max(width[c], row[c].size());
    }
    for (const auto& row : rows) {
      std::string line;
      for (std::size_t c = 0; c < row.size(); ++c) {
        line += row[c];
        if (c + 1 < row.size()) line += std::string(width[c] - row[c].size() + 2, ' ');
      }
      out.Info(line, "");
    }
  }
  if (skipped > 0) {
    out.Message(std::to_string(skipped) + " line(s) of " + path + " are not records; skipped.",
                false);
  }
  out.JsonOnly(JsonLine("result").Add("result", "history").Add("ok", true).Add("exit", kExitOk)
                   .Add("count", static_cast<int>(records.size())).Add("path", path).Str());
  return kExitOk;
}

}  // namespace cli
