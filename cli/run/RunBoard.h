#pragma once
// CRunBoard: the output of update --all, several runs at once, one per tool
// port. On a terminal one line per tool (port, state, percent, rate),
// redrawn in place; otherwise plain lines prefixed by the port name; with
// --json the usual events, each carrying "port". At the end a table of
// port, result and time.
//
// Threads: the runs' views are called from each run's threads; one mutex
// orders all output.

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "cli/output/CliReporter.h"
#include "update/DownloadView.h"

namespace cli {

class CRunBoard {
 public:
  CRunBoard(const ReporterOptions& options, const std::vector<int>& ports);
  ~CRunBoard();
  CRunBoard(const CRunBoard&) = delete;
  CRunBoard& operator=(const CRunBoard&) = delete;

  // The download view of run `index` (the order of the ports given).
  IDownloadView& ViewFor(int index);

  // A page message for run `index` (wrong tool, wrong file, ...).
  void Message(int index, const std::string& text, bool failure);
  // The run's end: result word, exit status, last status text.
  void Finish(int index, const std::string& result, int exit, const std::string& text);
  // Run `index` is not part of the bench (its tool is another model).
  void Skip(int index, const std::string& why);

  // The closing table: port, result, time (skipped tools included), and
  // how many runs succeeded ("updated", or "checked" for a dry run).
  void PrintSummary(int exit, bool dryRun);

 private:
  struct Row;
  class RowView;

  void Status(int index, const std::string& text, bool ok);
  void Progress(int index, std::int64_t done, std::int64_t total);
  void Draw(bool force);  // caller holds mutex_
  void Line(const std::string& text, bool toStderr);  // caller holds mutex_
  std::string PortName(int index) const;

  ReporterOptions options_;
  std::mutex mutex_;
  std::vector<std::unique_ptr<Row>> rows_;
  std::vector<std::unique_ptr<RowView>> views_;
  int drawnLines_ = 0;
  std::size_t portWidth_ = 9;  // the port column, names and two blanks
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace cli
