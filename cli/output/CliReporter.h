#pragma once
// CliReporter: everything varnok-cli prints. It is the download view of the
// command-line tool (IDownloadView) and prints the page messages, port
// lines and the result.
//
// Text mode: blue status texts on standard output, red ones on standard
// error, one line each, worded as the system words them; the block loop
// shows a live bar on a terminal, a plain line every 10% otherwise.
// JSON mode (--json): one object per line on standard output (events
// "model", "port", "status", "progress", "message", "trace", "result");
// failure texts also go to standard error.
//
// Threads: view calls come from the download worker and the main thread;
// one mutex orders all output.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>

#include "update/DownloadView.h"

namespace cli {

struct ReporterOptions {
  bool json = false;
  bool terminal = false;  // live bar instead of plain progress lines
  bool verbose = false;   // print traces
  int width = 80;
};

class CliReporter : public IDownloadView {
 public:
  explicit CliReporter(const ReporterOptions& options);

  // IDownloadView
  void ShowView() override {}
  void SetStatus(const std::string& text, bool ok) override;
  void SetOkFlag(bool ok) override;
  void SetProgressRange(int count) override;
  void SetProgressPos(int pos) override;
  void StepProgress() override {}
  void SetButtonCaption(const std::string& caption) override;
  void BytesWritten(std::int64_t done, std::int64_t totalBytes) override;
  void Trace(const std::string& line) override;
  void RunEnded(DownloadEnd how) override;

  // A message box of a product page or another failure: standard error
  // (JSON: a "message" event, and the text on standard error).
  void Message(const std::string& text, bool failure);
  // An informational line on standard output (JSON: `json` is printed instead).
  void Info(const std::string& text, const std::string& json);
  // A line that is only JSON (nothing in text mode).
  void JsonOnly(const std::string& json);
  // The final result line: JSON "result" event; in text mode nothing but
  // `hint` on standard error when not empty. An update's result also says
  // whether the erase began (`eraseBegun`: 0 no, 1 yes, -1 not told).
  void Result(const char* result, int exitCode, const std::string& text, const std::string& hint,
              int eraseBegun = -1);

  bool Json() const { return options_.json; }
  bool Terminal() const { return options_.terminal; }
  // The result word of the last Result() call; empty before.
  std::string LastResult();

 private:
  void EndBarLine();  // caller holds mutex_
  void Emit(const std::string& line, bool toStderr);  // caller holds mutex_

  ReporterOptions options_;
  std::mutex mutex_;
  bool barShown_ = false;
  bool loopStarted_ = false;
  std::chrono::steady_clock::time_point loopStart_;
  std::chrono::steady_clock::time_point lastDraw_;
  int lastPlainDecile_ = -1;
  std::string lastResult_;
};

}  // namespace cli
