#include "cli/commands/CaptureCommand.h"

#include "device/FilePath.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <deque>
#include <filesystem>
#include <mutex>
#include <vector>

#include "cli/platform/BinaryOutput.h"
#include "cli/ExitCodes.h"
#include "cli/platform/Interrupt.h"
#include "cli/output/JsonLine.h"
#include "cli/output/OutputCheck.h"
#include "cli/platform/PortDiagnosis.h"
#include "cli/run/ToolPorts.h"
#include "cli/run/TraceRecording.h"
#include "device/PortNames.h"
#include "device/RemotePorts.h"
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
  // A remote line that hangs up tells by itself; no scan lists it.
  if (varnok::IsRemotePort(port)) return true;
  std::vector<int> ports;
  CSearchUsbPort().SearchPorts(ports);
  return std::find(ports.begin(), ports.end(), port) != ports.end();
}

enum class CaptureEnd { Lines, Seconds, Interrupted, PortGone, WriteFailed };

// Writes the capture as the bytes come and counts lines.
class CaptureWriter {
 public:
  CaptureWriter(std::FILE* raw, bool timestamps, CliReporter& out, long long maxLines)
      : raw_(raw), timestamps_(timestamps), out_(out), maxLines_(maxLines),
        codePage_(SystemLegacyCodePage()) {}

  // Handles `bytes`; false once the line limit is reached (the rest is
  // not written) or a write failed (WriteFailed()).
  bool Feed(const std::string& bytes, std::deque<SystemClock::time_point>& starts) {
    for (char byte : bytes) {
      if (line_.empty() && !inLine_) {
        lineStart_ = starts.empty() ? SystemClock::now() : starts.front();
        if (!starts.empty()) starts.pop_front();
        inLine_ = true;
        if (timestamps_) pending_ += StampPrefix(lineStart_);
      }
      line_.push_back(byte);
      ++byteCount_;
      pending_.push_back(byte);
      if (byte == '\n') {
        EndLine(false);
        if (!Flush()) return false;
        if (maxLines_ > 0 && lineCount_ >= maxLines_) return false;
      }
    }
    return Flush();
  }

  // The bytes after the last line feed (already written raw) as a last,
  // partial line event.
  void Finish() {
    if (inLine_) EndLine(true);
    Flush();
  }

  long long Lines() const { return lineCount_; }
  long long Bytes() const { return byteCount_; }
  bool WriteFailed() const { return failed_; }
  // Bytes known to have reached the output.
  long long Written() const { return written_; }

 private:
  bool Flush() {
    if (raw_ == nullptr || failed_) {
      pending_.clear();
      return !failed_;
    }
    const bool whole = WriteWhole(raw_, pending_);
    if (whole) written_ += static_cast<long long>(pending_.size());
    failed_ = !whole;
    pending_.clear();
    return whole;
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
  std::string pending_;  // for the output, not yet written
  bool inLine_ = false;
  SystemClock::time_point lineStart_;
  long long lineCount_ = 0;
  long long byteCount_ = 0;
  long long written_ = 0;
  bool failed_ = false;
};

const char* EndName(CaptureEnd end) {
  switch (end) {
    case CaptureEnd::Lines: return "lines";
    case CaptureEnd::Seconds: return "seconds";
    case CaptureEnd::Interrupted: return "interrupted";
    case CaptureEnd::PortGone: return "port-gone";
    case CaptureEnd::WriteFailed: return "write-failed";
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
    std::string why;
    raw = OpenOutputFile(capture.output, why);
    if (raw == nullptr) {
      out.Message("varnok-cli: cannot write " + capture.output + ": " + why, true);
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
    out.Result("port", kExitNotWritten, text,
               varnok::IsRemotePort(port) ? RemoteOpenFailure(port) : ProbePort(port));
    EndRunTrace(trace, "port");
    return kExitNotWritten;
  }
  // Standard output may be the capture itself: the notice goes to standard error.
  const std::string notice = "Capturing " + varnok::PortDevicePath(port) + " at 57600 baud";
  if (out.Json())
    out.JsonOnly(JsonLine("port").AddPort(port).Add("path", varnok::PortDevicePath(port)).Str());
  else
    std::fprintf(stderr, "%s\n", notice.c_str());
  TellLineNotice(out, port);
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
      end = writer.WriteFailed() ? CaptureEnd::WriteFailed : CaptureEnd::Lines;
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
  if (end != CaptureEnd::Lines && end != CaptureEnd::WriteFailed) {
    // What arrived before the close still goes out.
    queue.Take(std::chrono::milliseconds(0), bytes, starts);
    writer.Feed(bytes, starts);
    writer.Finish();
  }
  if (writer.WriteFailed()) end = CaptureEnd::WriteFailed;
  long long reached = writer.Written();
  if (raw != nullptr && raw != stdout && std::fclose(raw) != 0 && end != CaptureEnd::WriteFailed) {
    end = CaptureEnd::WriteFailed;
    NoteOutputFailure(errno);
  }
  if (end == CaptureEnd::WriteFailed && !capture.output.empty()) {
    // The file tells best how much of it arrived.
    std::error_code ec;
    const auto size = std::filesystem::file_size(varnok::FilePath(capture.output), ec);
    if (!ec) reached = static_cast<long long>(size);
  }

  int status = kExitOk;
  if (end == CaptureEnd::PortGone) status = kExitPortGone;
  if (end == CaptureEnd::WriteFailed) status = kExitOutputFailed;
  const std::string summary = std::to_string(writer.Lines()) + " lines, " +
                              std::to_string(writer.Bytes()) + " bytes";
  if (end == CaptureEnd::PortGone) out.Message("The tool's port went away (" + summary + ")", true);
  if (end == CaptureEnd::WriteFailed) {
    out.Message("varnok-cli: cannot write the capture to " +
                    (capture.output.empty() ? std::string("standard output") : capture.output) +
                    " (disk full, or the reader went away): " + std::to_string(reached) +
                    " bytes reached it",
                true);
  }
  out.Result(EndName(end), status, summary, "");
  EndRunTrace(trace, EndName(end));
  return status;
}

}  // namespace cli
