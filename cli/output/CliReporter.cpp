#include "cli/output/CliReporter.h"

#include <cstdio>

#include "cli/output/JsonLine.h"
#include "cli/output/OutputCheck.h"
#include "cli/output/PrintableText.h"
#include "cli/output/ProgressFormat.h"

namespace cli {

namespace {

constexpr auto kBarRedraw = std::chrono::milliseconds(100);
constexpr auto kJsonProgressEvery = std::chrono::milliseconds(250);

const char* EndName(DownloadEnd how) {
  switch (how) {
    case DownloadEnd::Done: return "done";
    case DownloadEnd::NotStarted: return "not-started";
    case DownloadEnd::FailedBeforeErase: return "failed-before-erase";
    case DownloadEnd::FailedAfterErase: return "failed-after-erase";
    case DownloadEnd::Stopped: return "stopped";
  }
  return "unknown";
}

}  // namespace

CliReporter::CliReporter(const ReporterOptions& options) : options_(options) {}

void CliReporter::Emit(const std::string& line, bool toStderr) {
  // Whatever a line carries from outside, the terminal gets text.
  WriteWhole(toStderr ? stderr : stdout, PrintableText(line, true) + "\n");
}

void CliReporter::EndBarLine() {
  if (barShown_) {
    WriteWhole(stdout, "\n");
    barShown_ = false;
  }
}

void CliReporter::SetStatus(const std::string& text, bool ok) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (options_.json) {
    Emit(JsonLine("status").Add("text", text).Add("ok", ok).Add("colour", ok ? "blue" : "red").Str(),
         false);
    if (!ok) Emit(text, true);
    return;
  }
  EndBarLine();
  Emit(text, !ok);
}

void CliReporter::SetOkFlag(bool ok) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (options_.json && options_.verbose) {
    Emit(JsonLine("colour").Add("ok", ok).Add("colour", ok ? "blue" : "red").Str(), false);
  }
}

void CliReporter::SetProgressRange(int count) {
  std::lock_guard<std::mutex> lock(mutex_);
  loopStarted_ = true;
  loopStart_ = std::chrono::steady_clock::now();
  lastDraw_ = loopStart_ - kJsonProgressEvery;
  lastPlainDecile_ = -1;
  if (options_.json && options_.verbose) {
    Emit(JsonLine("progress-range").Add("steps", count).Str(), false);
  }
}

void CliReporter::SetProgressPos(int /*pos*/) {}

void CliReporter::SetButtonCaption(const std::string& caption) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (options_.json && options_.verbose) Emit(JsonLine("button").Add("caption", caption).Str(), false);
}

void CliReporter::BytesWritten(std::int64_t done, std::int64_t totalBytes) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto now = std::chrono::steady_clock::now();
  if (!loopStarted_) {
    loopStarted_ = true;
    loopStart_ = now;
  }
  const double elapsed = std::chrono::duration<double>(now - loopStart_).count();
  const ProgressFigures figures = ComputeProgress(done, totalBytes, elapsed);
  const bool last = done >= totalBytes;

  if (options_.json) {
    if (!last && now - lastDraw_ < kJsonProgressEvery) return;
    lastDraw_ = now;
    JsonLine line("progress");
    line.Add("bytes", figures.done).Add("total", figures.total).Add("percent", figures.percent);
    line.Add("elapsed_s", figures.elapsedSeconds);
    if (figures.rate > 0) {
      line.Add("rate_bps", figures.rate).Add("eta_s", figures.secondsLeft);
    } else {
      line.AddNull("rate_bps").AddNull("eta_s");
    }
    Emit(line.Str(), false);
    return;
  }
  if (options_.terminal) {
    if (!last && barShown_ && now - lastDraw_ < kBarRedraw) return;
    lastDraw_ = now;
    WriteWhole(stdout, "\r" + ProgressBarLine(figures, options_.width - 1));
    barShown_ = true;
    return;
  }
  const int decile = figures.percent / 10;
  if (decile == lastPlainDecile_) return;
  lastPlainDecile_ = decile;
  Emit(ProgressPlainLine(figures), false);
}

void CliReporter::Trace(const std::string& line) {
  if (!options_.verbose) return;
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text = line;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  if (options_.json) {
    Emit(JsonLine("trace").Add("text", text).Str(), false);
  } else {
    EndBarLine();
    Emit(text, true);
  }
}

void CliReporter::RunEnded(DownloadEnd how) {
  std::lock_guard<std::mutex> lock(mutex_);
  EndBarLine();
  if (options_.json && options_.verbose) Emit(JsonLine("run-ended").Add("how", EndName(how)).Str(), false);
}

void CliReporter::Message(const std::string& text, bool failure) {
  std::lock_guard<std::mutex> lock(mutex_);
  EndBarLine();
  if (options_.json) {
    Emit(JsonLine("message").Add("text", text).Add("failure", failure).Str(), false);
    if (failure) Emit(text, true);
    return;
  }
  Emit(text, failure);
}

void CliReporter::Info(const std::string& text, const std::string& json) {
  std::lock_guard<std::mutex> lock(mutex_);
  EndBarLine();
  Emit(options_.json ? json : text, false);
}

void CliReporter::JsonOnly(const std::string& json) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (options_.json) Emit(json, false);
}

void CliReporter::Result(const char* result, int exitCode, const std::string& text,
                         const std::string& hint, int eraseBegun) {
  std::lock_guard<std::mutex> lock(mutex_);
  lastResult_ = result;
  EndBarLine();
  if (options_.json) {
    JsonLine line("result");
    line.Add("result", result).Add("ok", exitCode == 0).Add("exit", exitCode).Add("text", text);
    if (!hint.empty()) line.Add("hint", hint);
    if (eraseBegun >= 0) line.Add("erase_begun", eraseBegun == 1);
    Emit(line.Str(), false);
  }
  if (!hint.empty()) Emit(hint, true);
}

std::string CliReporter::LastResult() {
  std::lock_guard<std::mutex> lock(mutex_);
  return lastResult_;
}

}  // namespace cli
