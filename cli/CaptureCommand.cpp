#include "cli/CaptureCommand.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <vector>

#include "cli/BinaryOutput.h"
#include "cli/ExitCodes.h"
#include "cli/Interrupt.h"
#include "cli/JsonLine.h"
#include "cli/PortDiagnosis.h"
#include "cli/ToolPorts.h"
#include "cli/TraceRecording.h"
#include "device/PortNames.h"
#include "device/SearchUsbPort.h"
#include "device/SerialPort.h"
#include "tools/TextDecode.h"

namespace cli {

namespace {

using SystemClock = std::chrono::system_clock;
using SteadyClock = std::chrono::steady_clock;

constexpr int kBaud = 57600;
constexpr int kWriteBuffer = 512;
constexpr auto kWakeEvery = std::chrono::milliseconds(100);
constexpr auto kPortCheckEvery = std::chrono::milliseconds(250);

// Takes what the port's monitor thread receives; the main thread drains it.
class CaptureQueue : public ISerialPortOwner {
 public:
  void OnSerialMessage(unsigned message, unsigned wParam, int) override {
    if (message == WM_COMM_PORT_GONE) {
      gone_ = true;
      ready_.notify_all();
      return;
    }
    if (message != WM_COMM_RXCHAR) return;
    const char byte = static_cast<char>(wParam & 0xFF);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (atLineStart_) lineStarts_.push_back(SystemClock::now());
      atLineStart_ = byte == '\n';
      bytes_.push_back(byte);
    }
    ready_.notify_one();
  }

  void Wake() { ready_.notify_all(); }
  // The line hung up (the monitor has ended).
  bool Gone() const { return gone_.load(); }

  // Waits up to `wait` for bytes; moves them (and the start times of the
  // lines that begin among them) into the arguments.
  void Take(std::chrono::milliseconds wait, std::string& bytes,
            std::deque<SystemClock::time_point>& starts) {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait_for(lock, wait,
                    [&] { return !bytes_.empty() || InterruptRequested() || gone_.load(); });
    bytes.swap(bytes_);
    bytes_.clear();
    for (auto t : lineStarts_) starts.push_back(t);
    lineStarts_.clear();
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_;
  std::string bytes_;
  std::deque<SystemClock::time_point> lineStarts_;
  bool atLineStart_ = true;
  std::atomic<bool> gone_{false};
};

std::tm LocalTime(SystemClock::time_point t) {
  const std::time_t seconds = SystemClock::to_time_t(t);
  // Only the main thread formats times.
  return *std::localtime(&seconds);
}

int Millis(SystemClock::time_point t) {
  return static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count() % 1000);
}

// "[HH:MM:SS.mmm] "
std::string StampPrefix(SystemClock::time_point t) {
  const std::tm tm = LocalTime(t);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "[%02d:%02d:%02d.%03d] ", tm.tm_hour, tm.tm_min, tm.tm_sec,
                Millis(t));
  return buffer;
}

// Local time with date, for JSON: "YYYY-MM-DDTHH:MM:SS.mmm".
std::string IsoLocal(SystemClock::time_point t) {
  const std::tm tm = LocalTime(t);
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d.%03d", tm.tm_year + 1900,
                tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec, Millis(t));
  return buffer;
}

bool PortStillListed(int port) {
  std::vector<int> ports;
  CSearchUsbPort().SearchPorts(ports);
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

enum class CaptureEnd { Lines, Seconds, Interrupted, PortGone };

// Writes the capture as the bytes come and counts lines.
class CaptureWriter {
 public:
  CaptureWriter(std::FILE* raw, bool timestamps, CliReporter& out, long long maxLines)
      : raw_(raw), timestamps_(timestamps), out_(out), maxLines_(maxLines),
        codePage_(SystemLegacyCodePage()) {}

  // Handles `bytes`; false once the line limit is reached (the rest is
  // not written).
  bool Feed(const std::string& bytes, std::deque<SystemClock::time_point>& starts) {
    for (char byte : bytes) {
      if (line_.empty() && !inLine_) {
        lineStart_ = starts.empty() ? SystemClock::now() : starts.front();
        if (!starts.empty()) starts.pop_front();
        inLine_ = true;
        if (timestamps_ && raw_ != nullptr) Write(StampPrefix(lineStart_));
      }
      line_.push_back(byte);
      ++byteCount_;
      if (raw_ != nullptr) std::fputc(static_cast<unsigned char>(byte), raw_);
      if (byte == '\n') {
        EndLine(false);
        if (raw_ != nullptr) std::fflush(raw_);
        if (maxLines_ > 0 && lineCount_ >= maxLines_) return false;
      }
    }
    return true;
  }

  // The bytes after the last line feed (already written raw) as a last,
  // partial line event.
  void Finish() {
    if (inLine_) EndLine(true);
    if (raw_ != nullptr) std::fflush(raw_);
  }

  long long Lines() const { return lineCount_; }
  long long Bytes() const { return byteCount_; }

 private:
  void Write(const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), raw_);
  }

  void EndLine(bool partial) {
    if (!partial) ++lineCount_;
    if (out_.Json()) {
      JsonLine event("line");
      event.Add("text", DecodeCapturedLine(line_, codePage_)).Add("time", IsoLocal(lineStart_));
      if (partial) event.Add("partial", true);
      out_.JsonOnly(event.Str());
    }
    line_.clear();
    inLine_ = false;
  }

  std::FILE* raw_;
  bool timestamps_;
  CliReporter& out_;
  long long maxLines_;
  LegacyCodePage codePage_;
  std::string line_;
  bool inLine_ = false;
  SystemClock::time_point lineStart_;
  long long lineCount_ = 0;
  long long byteCount_ = 0;
};

const char* EndName(CaptureEnd end) {
  switch (end) {
    case CaptureEnd::Lines: return "lines";
    case CaptureEnd::Seconds: return "seconds";
    case CaptureEnd::Interrupted: return "interrupted";
    case CaptureEnd::PortGone: return "port-gone";
  }
  return "?";
}

bool ParseCount(const std::string& text, long long& n) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos ||
      text.size() > 15)
    return false;
  n = std::stoll(text);
  return n > 0;
}

bool ParseSeconds(const std::string& text, double& s) {
  try {
    std::size_t used = 0;
    s = std::stod(text, &used);
    return used == text.size() && s > 0 && s < 1e9;
  } catch (...) {
    return false;
  }
}

}  // namespace

int ParseCaptureOption(const std::string& arg, bool hasValue, std::string value, int& i, int argc,
                       const char* const* argv, CaptureOptions& o, std::string& error) {
  const bool valued = arg == "--output" || arg == "--lines" || arg == "--seconds";
  if (!valued && arg != "--timestamps") return 0;
  if (!valued) {
    if (hasValue) {
      error = arg + " takes no value";
      return -1;
    }
    o.timestamps = true;
    return 1;
  }
  if (!hasValue) {
    if (i + 1 >= argc) {
      error = arg + " needs a value";
      return -1;
    }
    value = argv[++i];
  }
  bool ok = !value.empty();
  if (ok && arg == "--output") o.output = value;
  if (ok && arg == "--lines") ok = ParseCount(value, o.lines);
  if (ok && arg == "--seconds") ok = ParseSeconds(value, o.seconds);
  if (!ok) {
    error = arg + " needs a " + (arg == "--output" ? "file name" : "positive number");
    return -1;
  }
  return 1;
}

int RunCapture(const CliOptions& options, CliReporter& out) {
  const CaptureOptions& capture = options.capture;
  int onlyPort = -1;
  int port = -1;
  const int found = FindOneTool(options, out, "No tool connected", onlyPort, port);
  if (found != kExitOk) return found;

  std::FILE* raw = nullptr;
  if (!capture.output.empty()) {
    raw = std::fopen(capture.output.c_str(), "wb");
    if (raw == nullptr) {
      out.Message("varnok-cli: cannot write " + capture.output, true);
      out.Result("usage", kExitUsage, "", "");
      return kExitUsage;
    }
  } else if (!out.Json()) {
    UseBinaryStdout();
    raw = stdout;
  }

  bool traceFailed = false;
  const std::shared_ptr<varnok::CWireTrace> trace =
      StartRunTrace(options.tracePath, DeviceEntry(), "data", out, traceFailed);
  if (traceFailed) {
    if (raw != nullptr && raw != stdout) std::fclose(raw);
    return kExitUsage;
  }
  CaptureQueue queue;
  CSerialPort serial;
  serial.SetTrace(trace);
  if (serial.Open(&queue, port, kBaud, 'N', 8, 1, EV_RXCHAR_BIT, kWriteBuffer) != 1 ||
      serial.StartMonitor() != 1) {
    if (raw != nullptr && raw != stdout) std::fclose(raw);
    const std::string text = "Cannot open " + varnok::PortDevicePath(port);
    out.Message(text, true);
    out.Result("port", kExitNotWritten, text, ProbePort(port));
    EndRunTrace(trace, "port");
    return kExitNotWritten;
  }
  // Standard output may be the capture itself: the notice goes to standard error.
  const std::string notice = "Capturing " + varnok::PortDevicePath(port) + " at 57600 baud";
  if (out.Json())
    out.JsonOnly(JsonLine("port").Add("port", port).Add("path", varnok::PortDevicePath(port)).Str());
  else
    std::fprintf(stderr, "%s\n", notice.c_str());
  SetInterruptAction([&queue] { queue.Wake(); });

  CaptureWriter writer(raw, capture.timestamps, out, capture.lines);
  const auto started = SteadyClock::now();
  auto lastPortCheck = started;
  CaptureEnd end = CaptureEnd::Interrupted;
  std::string bytes;
  std::deque<SystemClock::time_point> starts;
  for (;;) {
    queue.Take(kWakeEvery, bytes, starts);
    if (!writer.Feed(bytes, starts)) {
      end = CaptureEnd::Lines;
      break;
    }
    const auto now = SteadyClock::now();
    if (InterruptRequested()) {
      end = CaptureEnd::Interrupted;
      break;
    }
    if (capture.seconds > 0 &&
        std::chrono::duration<double>(now - started).count() >= capture.seconds) {
      end = CaptureEnd::Seconds;
      break;
    }
    if (queue.Gone()) {
      end = CaptureEnd::PortGone;
      break;
    }
    // A port that vanishes without a hang-up (a removed device node) is
    // found by the port search.
    if (now - lastPortCheck >= kPortCheckEvery) {
      lastPortCheck = now;
      if (!PortStillListed(port)) {
        end = CaptureEnd::PortGone;
        break;
      }
    }
  }
  serial.Close();
  SetInterruptAction(nullptr);
  if (end != CaptureEnd::Lines) {
    // What arrived before the close still goes out.
    queue.Take(std::chrono::milliseconds(0), bytes, starts);
    writer.Feed(bytes, starts);
    writer.Finish();
  }
  if (raw != nullptr && raw != stdout) std::fclose(raw);
  else if (raw != nullptr) std::fflush(raw);

  const int status = end == CaptureEnd::PortGone ? kExitPortGone : kExitOk;
  const std::string summary = std::to_string(writer.Lines()) + " lines, " +
                              std::to_string(writer.Bytes()) + " bytes";
  if (end == CaptureEnd::PortGone) out.Message("The tool's port went away (" + summary + ")", true);
  out.Result(EndName(end), status, summary, "");
  EndRunTrace(trace, EndName(end));
  return status;
}

}  // namespace cli
