#include "cli/run/RunBoard.h"

#include <algorithm>
#include <cstdio>

#include "cli/output/JsonLine.h"
#include "cli/output/OutputCheck.h"
#include "cli/output/PrintableText.h"
#include "cli/output/ProgressFormat.h"
#include "device/PortNames.h"

namespace cli {

namespace {
constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr auto kJsonProgressEvery = std::chrono::milliseconds(250);

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}
}  // namespace

struct CRunBoard::Row {
  int port = -1;
  std::string state = "Waiting...";
  bool ok = true;
  bool started = false;  // the block loop began
  std::chrono::steady_clock::time_point loopStart;
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point lastJson;
  ProgressFigures figures;
  int lastDecile = -1;
  bool finished = false;
  bool skipped = false;
  std::string result;
  int exit = 0;
  double seconds = 0;
};

class CRunBoard::RowView : public IDownloadView {
 public:
  RowView(CRunBoard& board, int index) : board_(board), index_(index) {}
  void ShowView() override {}
  void SetStatus(const std::string& text, bool ok) override { board_.Status(index_, text, ok); }
  void SetOkFlag(bool) override {}
  void SetProgressRange(int) override {}
  void SetProgressPos(int) override {}
  void StepProgress() override {}
  void SetButtonCaption(const std::string&) override {}
  void BytesWritten(std::int64_t done, std::int64_t total) override {
    board_.Progress(index_, done, total);
  }

 private:
  CRunBoard& board_;
  int index_;
};

CRunBoard::CRunBoard(const ReporterOptions& options, const std::vector<int>& ports)
    : options_(options) {
  for (std::size_t i = 0; i < ports.size(); ++i) {
    rows_.emplace_back(new Row);
    rows_.back()->port = ports[i];
    // A URL is wider than a device name: the column takes the widest.
    portWidth_ = std::max(portWidth_, varnok::PortDisplayName(ports[i]).size() + 2);
    views_.emplace_back(new RowView(*this, static_cast<int>(i)));
  }
}

CRunBoard::~CRunBoard() = default;

IDownloadView& CRunBoard::ViewFor(int index) { return *views_.at(static_cast<std::size_t>(index)); }

std::string CRunBoard::PortName(int index) const {
  return varnok::PortDisplayName(rows_[static_cast<std::size_t>(index)]->port);
}

void CRunBoard::Line(const std::string& text, bool toStderr) {
  WriteWhole(toStderr ? stderr : stdout, PrintableText(text, true) + "\n");
}

void CRunBoard::Draw(bool force) {
  const auto now = std::chrono::steady_clock::now();
  if (!force && now - lastDraw_ < kRedraw) return;
  lastDraw_ = now;
  std::string screen;
  // Back to the first line of the board, then every line anew.
  if (drawnLines_ > 0) screen += "\x1b[" + std::to_string(drawnLines_) + "A";
  for (const auto& row : rows_) {
    std::string line = Padded(varnok::PortDisplayName(row->port), portWidth_) + Padded(row->state, 42);
    if (row->started && !row->finished) {
      line += Padded(std::to_string(row->figures.percent) + "%", 6) + FormatRate(row->figures.rate);
    } else if (row->finished || row->skipped) {
      line += row->result;
    }
    if (static_cast<int>(line.size()) > options_.width - 1 && options_.width > 1) {
      line.resize(static_cast<std::size_t>(options_.width - 1));
    }
    screen += "\r\x1b[K" + line + "\n";
  }
  drawnLines_ = static_cast<int>(rows_.size());
  WriteWhole(stdout, screen);
}

void CRunBoard::Status(int index, const std::string& text, bool ok) {
  std::lock_guard<std::mutex> lock(mutex_);
  Row& row = *rows_[static_cast<std::size_t>(index)];
  row.state = text;
  row.ok = ok;
  if (options_.json) {
    Line(JsonLine("status").AddPort(row.port).Add("text", text).Add("ok", ok)
             .Add("colour", ok ? "blue" : "red").Str(), false);
    if (!ok) Line(PortName(index) + ": " + text, true);
  } else if (options_.terminal) {
    Draw(true);
  } else {
    Line(PortName(index) + ": " + text, !ok);
  }
}

void CRunBoard::Progress(int index, std::int64_t done, std::int64_t total) {
  std::lock_guard<std::mutex> lock(mutex_);
  Row& row = *rows_[static_cast<std::size_t>(index)];
  const auto now = std::chrono::steady_clock::now();
  if (!row.started) {
    row.started = true;
    row.loopStart = now;
  }
  row.figures = ComputeProgress(done, total,
                                std::chrono::duration<double>(now - row.loopStart).count());
  const bool last = done >= total;
  if (options_.json) {
    if (!last && now - row.lastJson < kJsonProgressEvery) return;
    row.lastJson = now;
    JsonLine line("progress");
    line.AddPort(row.port).Add("bytes", done).Add("total", total)
        .Add("percent", row.figures.percent).Add("elapsed_s", row.figures.elapsedSeconds);
    if (row.figures.rate > 0) {
      line.Add("rate_bps", row.figures.rate).Add("eta_s", row.figures.secondsLeft);
    } else {
      line.AddNull("rate_bps").AddNull("eta_s");
    }
    Line(line.Str(), false);
  } else if (options_.terminal) {
    Draw(last);
  } else {
    const int decile = row.figures.percent / 10;
    if (decile == row.lastDecile) return;
    row.lastDecile = decile;
    Line(PortName(index) + ": " + ProgressPlainLine(row.figures), false);
  }
}

void CRunBoard::Message(int index, const std::string& text, bool failure) {
  std::lock_guard<std::mutex> lock(mutex_);
  Row& row = *rows_[static_cast<std::size_t>(index)];
  if (options_.json) {
    Line(JsonLine("message").AddPort(row.port).Add("text", text).Add("failure", failure)
             .Str(), false);
    if (failure) Line(PortName(index) + ": " + text, true);
  } else if (options_.terminal) {
    row.state = text;
    Draw(true);
  } else {
    Line(PortName(index) + ": " + text, failure);
  }
}

void CRunBoard::Finish(int index, const std::string& result, int exit, const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  Row& row = *rows_[static_cast<std::size_t>(index)];
  row.finished = true;
  row.result = result;
  row.exit = exit;
  row.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - row.start).count();
  if (options_.json) {
    Line(JsonLine("result").AddPort(row.port).Add("result", result).Add("ok", exit == 0)
             .Add("exit", exit).Add("text", text).Add("duration_s", row.seconds).Str(), false);
  } else if (options_.terminal) {
    Draw(true);
  }
}

void CRunBoard::Skip(int index, const std::string& why) {
  std::lock_guard<std::mutex> lock(mutex_);
  Row& row = *rows_[static_cast<std::size_t>(index)];
  row.skipped = true;
  row.result = "skipped";
  row.state = why;
  if (options_.json) {
    Line(JsonLine("skipped").AddPort(row.port).Add("text", why).Str(), false);
  } else if (options_.terminal) {
    Draw(true);
  } else {
    Line(PortName(index) + ": " + why, false);
  }
}

void CRunBoard::PrintSummary(int exit, bool dryRun) {
  std::lock_guard<std::mutex> lock(mutex_);
  int done = 0;
  int runs = 0;
  for (const auto& row : rows_) {
    if (row->skipped) continue;
    ++runs;
    done += row->finished && row->exit == 0;
  }
  if (options_.json) {
    JsonLine summary("summary");
    summary.Add("tools", runs).Add("done", done).Add("exit", exit);
    if (dryRun) summary.Add("dry_run", true);
    Line(summary.Str(), false);
    return;
  }
  Line("", false);
  Line(Padded("port", portWidth_) + Padded("result", 22) + "time", false);
  for (const auto& row : rows_) {
    const std::string time = row->skipped ? "-" : FormatDuration(row->seconds);
    Line(Padded(varnok::PortDisplayName(row->port), portWidth_) + Padded(row->result, 22) + time, false);
  }
  Line(std::to_string(done) + " of " + std::to_string(runs) +
           (dryRun ? " tools checked." : " tools updated."),
       false);
}

}  // namespace cli
