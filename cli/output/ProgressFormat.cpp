#include "cli/output/ProgressFormat.h"

#include <algorithm>
#include <cstdio>

namespace cli {

std::string FormatBytes(std::int64_t bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%lld B", static_cast<long long>(bytes));
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB", static_cast<double>(bytes) / 1024.0);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1024.0 * 1024.0));
  }
  return text;
}

std::string FormatRate(double bytesPerSecond) {
  if (!(bytesPerSecond > 0)) return "-";
  return FormatBytes(static_cast<std::int64_t>(bytesPerSecond)) + "/s";
}

std::string FormatDuration(double seconds) {
  if (!(seconds >= 0)) return "-";
  const long long total = static_cast<long long>(seconds + 0.5);
  const long long h = total / 3600, m = (total / 60) % 60, s = total % 60;
  char text[32];
  if (h > 0) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", h, m, s);
  } else {
    std::snprintf(text, sizeof text, "%lld:%02lld", m, s);
  }
  return text;
}

ProgressFigures ComputeProgress(std::int64_t done, std::int64_t total, double elapsedSeconds) {
  ProgressFigures f;
  f.done = std::max<std::int64_t>(done, 0);
  f.total = std::max<std::int64_t>(total, 0);
  f.elapsedSeconds = elapsedSeconds;
  if (f.total > 0) {
    f.percent = static_cast<int>(std::min<std::int64_t>(100, f.done * 100 / f.total));
  }
  if (elapsedSeconds > 0 && f.done > 0) {
    f.rate = static_cast<double>(f.done) / elapsedSeconds;
    f.secondsLeft = static_cast<double>(std::max<std::int64_t>(f.total - f.done, 0)) / f.rate;
  }
  return f;
}

std::string ProgressBarLine(const ProgressFigures& f, int width) {
  char tail[160];
  std::snprintf(tail, sizeof tail, " %3d%%  %s / %s  %s  %s left", f.percent,
                FormatBytes(f.done).c_str(), FormatBytes(f.total).c_str(),
                FormatRate(f.rate).c_str(), FormatDuration(f.secondsLeft).c_str());
  const int room = width - static_cast<int>(std::string(tail).size()) - 3;
  const int barWidth = std::max(10, std::min(40, room));
  const int filled = f.total > 0 ? static_cast<int>(f.done * barWidth / f.total) : 0;
  std::string line = "[";
  line.append(static_cast<std::size_t>(std::min(filled, barWidth)), '#');
  line.append(static_cast<std::size_t>(barWidth - std::min(filled, barWidth)), '.');
  line += "]";
  return line + tail;
}

std::string ProgressPlainLine(const ProgressFigures& f) {
  char text[160];
  std::snprintf(text, sizeof text, "progress %d%% %lld/%lld bytes %s %s left", f.percent,
                static_cast<long long>(f.done), static_cast<long long>(f.total),
                FormatRate(f.rate).c_str(), FormatDuration(f.secondsLeft).c_str());
  return text;
}

}  // namespace cli
