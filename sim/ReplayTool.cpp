#include "sim/ReplayTool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "device/FrameFormat.h"
#include "device/WireTraceDecode.h"

namespace varnok::sim {

namespace {

using Clock = std::chrono::steady_clock;

// How long the program may stay silent where the recording has it send
// something, beyond the recorded pause.
constexpr double kSilenceGraceMs = 10000;
// After the last event: how long the last reply may take to be read.
constexpr int kDrainMs = 2000;
constexpr int kLingerMs = 200;
// A recorded hang-up keeps the line away at least this long, so the
// program notices it even when its reopen came quickly.
constexpr double kMinAwayMs = 100;
// Data mode, --fast: pause after the program opened the port, so that its
// own set-up (line settings, purge) is over before the first byte.
constexpr double kDataSettleMs = 100;

}  // namespace

ReplayTool::ReplayTool(SimOptions options, std::ostream* log)
    : options_(std::move(options)), log_(log), link_(options_.LinkPath()) {
}

ReplayTool::~ReplayTool() {
  link_.Close();
}

void ReplayTool::RequestStop() {
  stop_.store(true);
  // Raised for good: every later wait sees it at once.
  stopWake_.Raise();
}

void ReplayTool::Trace(const std::string& text) {
  if (options_.verbose && log_ != nullptr) *log_ << text << '\n' << std::flush;
}

bool ReplayTool::Start(std::string* error) {
  std::string why;
  if (!LoadWireTrace(options_.replayFile, trace_, why)) {
    if (error != nullptr) *error = why;
    return false;
  }
  if (!stopWake_.Valid()) {
    if (error != nullptr) *error = "cannot create the wake-up pipe";
    return false;
  }
  if (!link_.Open(error)) return false;
  if (!options_.readyFile.empty()) {
    std::FILE* f = std::fopen((options_.readyFile + ".tmp").c_str(), "wb");
    const bool written = f != nullptr && std::fprintf(f, "%s\n", link_.LinkPath().c_str()) > 0;
    if (f != nullptr) std::fclose(f);
    if (!written ||
        std::rename((options_.readyFile + ".tmp").c_str(), options_.readyFile.c_str()) != 0) {
      if (error != nullptr) *error = "cannot write the ready file " + options_.readyFile;
      link_.Close();
      return false;
    }
  }
  Trace("replaying " + std::to_string(trace_.events.size()) + " events on " + link_.LinkPath());
  return true;
}

bool ReplayTool::SleepMs(double ms) {
  const Clock::time_point until =
      Clock::now() + std::chrono::microseconds(static_cast<long long>(std::max(0.0, ms) * 1000));
  for (;;) {
    if (stop_.load()) return false;
    const Clock::time_point now = Clock::now();
    if (now >= until) return true;
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - now).count();
    timespec ts{static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
    pollfd p{StopFd(), POLLIN, 0};
    if (::ppoll(&p, 1, &ts, nullptr) > 0) return false;
  }
}

bool ReplayTool::MayDiffer(std::size_t index, std::size_t offset) const {
  const std::vector<std::uint8_t>& b = trace_.events[index].bytes;
  const bool classic = trace_.toolClass == "classic";
  // Setting the tool's clock sends the PC's time: its text and the frame's
  // checksum differ in every run, strict or not.
  if (!classic && b.size() == static_cast<std::size_t>(frame::kOverhead + 1 + frame::kTimeTextSize) &&
      b[frame::kPayloadOffset] == frame::kCmdSetTime && offset > frame::kPayloadOffset &&
      offset + 2 < b.size())
    return true;
  if (!options_.replayLoose) return false;
  if (!classic) {
    // AA 55 00 len(2) 2C addr(4) index(2) data... sum16(2) sum32(4) 0D 0A:
    // the data and the sums may differ, the rest is the frame's shape.
    constexpr std::size_t kDataAt = frame::kPayloadOffset + 7;
    return b.size() > kDataAt + 2 && b[frame::kPayloadOffset] == frame::kCmdWriteBlock &&
           offset >= kDataAt && offset + 2 < b.size();
  }
  // Classic: the data packet written after a block header may differ all
  // but its last byte (the block index).
  for (std::size_t i = index; i-- > 0;) {
    const TraceRecordLine& e = trace_.events[i];
    if (e.event != TraceEvent::Tx) continue;
    return e.bytes.size() >= 3 && e.bytes[0] == frame::kSync0 && e.bytes[1] == frame::kSync1 &&
           e.bytes[2] == frame::kClassicWriteBlock && !(b.size() >= 2 && b[0] == frame::kSync0 &&
                                                          b[1] == frame::kSync1) &&
           offset + 1 < b.size();
  }
  return false;
}

void ReplayTool::Mismatch(std::size_t index, std::size_t offset, int expected, int received) {
  const TraceRecordLine& e = trace_.events[index];
  const bool classic = trace_.toolClass == "classic";
  char head[200];
  if (received < 0) {
    std::snprintf(head, sizeof head,
                  "replay stopped at event %zu (line %d), offset %zu: expected 0x%02X, "
                  "received nothing",
                  index + 1, e.line, offset, static_cast<unsigned>(expected));
  } else {
    std::snprintf(head, sizeof head,
                  "replay stopped at event %zu (line %d), offset %zu: expected 0x%02X, "
                  "received 0x%02X",
                  index + 1, e.line, offset, static_cast<unsigned>(expected),
                  static_cast<unsigned>(received));
  }
  const std::size_t from = offset > 8 ? offset - 8 : 0;
  const std::size_t to = std::min(e.bytes.size(), offset + 8);
  message_ = std::string(head) + "\n  recorded frame: " + DescribeBytes(classic, true, e.bytes) +
             "\n  recorded bytes " + std::to_string(from) + ".." + std::to_string(to) + ": " +
             HexText(e.bytes.data() + from, to - from);
  if (received >= 0) {
    std::string got = HexText(reinterpret_cast<const std::uint8_t*>(pendingIn_.data()),
                              pendingIn_.size(), 16);
    message_ += "\n  received from offset " + std::to_string(offset) + ": " + got;
  }
  if (log_ != nullptr) *log_ << "varnok-toolsim: " << message_ << '\n' << std::flush;
}

bool ReplayTool::AwaitTx(std::size_t index) {
  const TraceRecordLine& e = trace_.events[index];
  const double patienceMs = (e.t - lastT_) * 3000.0 + kSilenceGraceMs;
  Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(static_cast<long long>(patienceMs));
  std::size_t matched = 0;
  // pendingIn_ holds what came but was not matched yet.
  while (matched < e.bytes.size()) {
    if (!pendingIn_.empty()) {
      const auto got = static_cast<std::uint8_t>(pendingIn_[0]);
      if (got != e.bytes[matched] && !MayDiffer(index, matched)) {
        Mismatch(index, matched, e.bytes[matched], got);
        return false;
      }
      pendingIn_.erase(0, 1);
      ++matched;
      continue;
    }
    if (stop_.load()) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) {
      Mismatch(index, matched, e.bytes[matched], -1);
      return false;
    }
    pollfd p[2] = {{link_.MasterFd(), POLLIN, 0}, {StopFd(), POLLIN, 0}};
    if (::poll(p, 2, static_cast<int>(std::min<long long>(left.count(), 200))) < 0 &&
        errno != EINTR)
      return false;
    if (p[1].revents != 0) return false;
    if (p[0].revents & POLLIN) {
      char buffer[4096];
      const ssize_t n = ::read(link_.MasterFd(), buffer, sizeof buffer);
      if (n > 0) pendingIn_.append(buffer, static_cast<std::size_t>(n));
    }
  }
  lastT_ = e.t;
  Trace("matched event " + std::to_string(index + 1) + " (" + std::to_string(e.bytes.size()) +
        " bytes)");
  return true;
}

bool ReplayTool::SendRx(std::size_t index) {
  const TraceRecordLine& e = trace_.events[index];
  if (!options_.replayFast && !SleepMs((e.t - lastT_) * 1000.0)) return false;
  lastT_ = e.t;
  std::size_t done = 0;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
  while (done < e.bytes.size()) {
    if (stop_.load() || !link_.IsOpen()) return false;
    const ssize_t w = ::write(link_.MasterFd(), e.bytes.data() + done, e.bytes.size() - done);
    if (w > 0) {
      done += static_cast<std::size_t>(w);
      continue;
    }
    if (w < 0 && errno != EAGAIN && errno != EINTR) return false;
    if (Clock::now() >= deadline) return false;
    pollfd p[2] = {{link_.MasterFd(), POLLOUT, 0}, {StopFd(), POLLIN, 0}};
    ::poll(p, 2, 50);
  }
  return true;
}

bool ReplayTool::PlayGone(std::size_t index) {
  const TraceRecordLine& e = trace_.events[index];
  // Away until the program's next recorded open, less the time its open
  // itself took to be recorded.
  double awayMs = kMinAwayMs;
  for (std::size_t i = index + 1; i < trace_.events.size(); ++i) {
    if (trace_.events[i].event != TraceEvent::Open) continue;
    awayMs = std::max(kMinAwayMs, (trace_.events[i].t - e.t) * 1000.0 - 50.0);
    break;
  }
  link_.Close();
  pendingIn_.clear();
  Trace("line down for " + std::to_string(static_cast<int>(awayMs)) + " ms");
  if (!SleepMs(awayMs)) return false;
  std::string error;
  if (!link_.Open(&error)) {
    message_ = "the line did not come back: " + error;
    if (log_ != nullptr) *log_ << "varnok-toolsim: " << message_ << '\n';
    return false;
  }
  lastT_ = e.t + awayMs / 1000.0;
  return true;
}

bool ReplayTool::AwaitPeerOpen() {
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch < 0) return !stop_.load();
  if (::inotify_add_watch(watch, link_.SlavePath().c_str(), IN_OPEN) >= 0) {
    pollfd p[2] = {{watch, POLLIN, 0}, {StopFd(), POLLIN, 0}};
    while (!stop_.load() && ::poll(p, 2, 200) >= 0 && p[0].revents == 0 && p[1].revents == 0) {
    }
  }
  ::close(watch);
  return !stop_.load();
}

ReplayEnd ReplayTool::Run() {
  for (std::size_t i = 0; i < trace_.events.size(); ++i) {
    if (stop_.load()) return ReplayEnd::Stopped;
    const TraceRecordLine& e = trace_.events[i];
    switch (e.event) {
      case TraceEvent::Tx:
        if (!AwaitTx(i)) {
          link_.Close();
          return stop_.load() ? ReplayEnd::Stopped : ReplayEnd::Mismatch;
        }
        break;
      case TraceEvent::Rx:
        if (!SendRx(i)) return stop_.load() ? ReplayEnd::Stopped : ReplayEnd::Failed;
        break;
      case TraceEvent::Gone:
        if (!PlayGone(i)) return stop_.load() ? ReplayEnd::Stopped : ReplayEnd::Failed;
        break;
      case TraceEvent::Open:
        // A data-mode tool talks to whoever listens: its bytes follow the
        // program's open, not the start of the line.
        if (trace_.toolClass == "data") {
          if (!AwaitPeerOpen()) return ReplayEnd::Stopped;
          lastT_ = e.t;
          if (options_.replayFast && !SleepMs(kDataSettleMs)) return ReplayEnd::Stopped;
        }
        break;
      case TraceEvent::Close:
      case TraceEvent::End:
        break;
    }
  }
  // The last reply must reach the program before the line goes.
  if (!link_.WaitPeerRead(kDrainMs, [this](int ms) { return SleepMs(ms); }) && stop_.load())
    return ReplayEnd::Stopped;
  SleepMs(kLingerMs);
  Trace("replay complete");
  return ReplayEnd::Played;
}

}  // namespace varnok::sim
