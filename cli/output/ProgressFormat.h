#pragma once
// Text of the command-line progress display: sizes, rates, durations and
// the one-line bar. Pure functions; the caller supplies the clock.

#include <cstdint>
#include <string>

namespace cli {

// "512 B", "117.8 KiB", "1.5 MiB".
std::string FormatBytes(std::int64_t bytes);
// "11.2 KiB/s"; "-" when unknown (rate <= 0).
std::string FormatRate(double bytesPerSecond);
// "0:07", "12:03", "1:02:03"; "-" when unknown (negative).
std::string FormatDuration(double seconds);

// Rate and time left from the bytes written since the block loop began.
struct ProgressFigures {
  std::int64_t done = 0;
  std::int64_t total = 0;
  double elapsedSeconds = 0;
  double rate = 0;          // bytes per second; 0 until measurable
  double secondsLeft = -1;  // -1 until measurable
  int percent = 0;          // 0..100, floor
};
ProgressFigures ComputeProgress(std::int64_t done, std::int64_t total, double elapsedSeconds);

// "[#########.........]  45%  117.8 KiB / 256.0 KiB  11.2 KiB/s  0:12 left",
// the bar sized so that the line fits `width` columns (bar 10..40 wide).
std::string ProgressBarLine(const ProgressFigures& figures, int width);

// Plain-line form for logs: "progress 45% 117760/262144 bytes 11.2 KiB/s 0:12 left".
std::string ProgressPlainLine(const ProgressFigures& figures);

}  // namespace cli
