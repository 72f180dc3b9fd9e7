#include "sim/ToolSimulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "device/FrameFormat.h"
#include "sim/TimerSlack.h"

namespace varnok::sim {

namespace {

using Clock = LinePacer::Clock;

std::uint64_t NowMs() {
  return static_cast<std::uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now().time_since_epoch())
          .count());
}

std::string Hex(const Bytes& bytes, std::size_t max = 16) {
  std::string out;
  char b[4];
  for (std::size_t i = 0; i < bytes.size() && i < max; ++i) {
    std::snprintf(b, sizeof b, "%02X ", bytes[i]);
    out += b;
  }
  if (bytes.size() > max) out += "...";
  return out;
}

bool WriteFileAtomically(const std::string& path, const Bytes& content) {
  const std::string temp = path + ".tmp";
  {
    std::ofstream file(temp, std::ios::binary | std::ios::trunc);
    if (!file) return false;
    file.write(reinterpret_cast<const char*>(content.data()),
               static_cast<std::streamsize>(content.size()));
    if (!file) return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

// How long a finished or rebooting tool waits for its last reply to be read.
constexpr int kDrainWaitMs = 3000;
// WaitDrained: how long the line stays after the last bytes were read.
constexpr int kDrainLingerMs = 20;
// How long a reply may wait for room in the updater's queue.
constexpr int kWriteWaitMs = 1000;
// Data mode: pause after the port was opened, so the updater's own set-up
// (line settings, purge) is over before the first line.
constexpr int kDataSettleMs = 100;
// Longest wait of the main loop without anything to do.
constexpr int kIdlePollMs = 200;

}  // namespace

ToolSimulator::ToolSimulator(SimOptions options, std::ostream* log)
    : options_(std::move(options)),
      log_(options_.verbose ? log : nullptr),
      engine_(MakeToolEngine(options_)),
      link_(options_.LinkPath()),
      pacer_(options_.dataFile.empty() ? options_.paceBaud : options_.dataBaud) {
}

ToolSimulator::~ToolSimulator() {
  link_.Close();
}

void ToolSimulator::RequestStop() {
  stop_.store(true);
  // Raised for good: every later wait sees it at once.
  stopWake_.Raise();
}

void ToolSimulator::Trace(const std::string& text) {
  if (log_ != nullptr) *log_ << text << '\n' << std::flush;
}

bool ToolSimulator::Start(std::string* error) {
  if (!stopWake_.Valid()) {
    if (error != nullptr) *error = "cannot create the wake-up pipe";
    return false;
  }
  if (!link_.Open(error)) return false;
  if (!options_.readyFile.empty()) {
    const std::string text = link_.LinkPath() + "\n";
    if (!WriteFileAtomically(options_.readyFile, Bytes(text.begin(), text.end()))) {
      if (error != nullptr) *error = "cannot write the ready file " + options_.readyFile;
      link_.Close();
      return false;
    }
  }
  Trace("line up: " + link_.LinkPath() + " -> " + link_.SlavePath());
  return true;
}

int ToolSimulator::Run() {
  TightenTimerSlack();
  if (link_.IsOpen()) {
    if (options_.dataFile.empty())
      ServeProtocol();
    else
      ServeData();
  }
  link_.Close();
  if (!options_.flashOut.empty() && options_.dataFile.empty() &&
      !WriteFileAtomically(options_.flashOut, engine_->Flash().WrittenImage())) {
    error_ = "cannot write the flash image to " + options_.flashOut;
    failed_ = true;
  }
  return failed_ ? 1 : 0;
}

bool ToolSimulator::SleepUntil(Clock::time_point until) {
  for (;;) {
    if (stop_.load()) return false;
    const Clock::time_point now = Clock::now();
    if (now >= until) return true;
    const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(until - now);
    timespec ts{static_cast<time_t>(left.count() / 1'000'000'000),
                static_cast<long>(left.count() % 1'000'000'000)};
    pollfd p{StopFd(), POLLIN, 0};
    if (::ppoll(&p, 1, &ts, nullptr) > 0) return false;
  }
}

bool ToolSimulator::SleepMs(int ms) {
  return ms <= 0 ? !stop_.load() : SleepUntil(Clock::now() + std::chrono::milliseconds(ms));
}

bool ToolSimulator::WriteAll(const std::uint8_t* bytes, std::size_t n, bool patient) {
  const std::uint64_t deadline = NowMs() + kWriteWaitMs;
  std::size_t done = 0;
  while (done < n) {
    if (stop_.load() || !link_.IsOpen()) return false;
    const ssize_t w = ::write(link_.MasterFd(), bytes + done, n - done);
    if (w > 0) {
      if (options_.keepWire) sent_.insert(sent_.end(), bytes + done, bytes + done + w);
      done += static_cast<std::size_t>(w);
      continue;
    }
    if (w < 0 && errno != EAGAIN && errno != EINTR) return false;
    // The updater's queue is full: it is not reading.
    if (!patient && NowMs() >= deadline) {
      Trace("reply dropped: the updater does not read");
      return false;
    }
    pollfd p[2] = {{link_.MasterFd(), POLLOUT, 0}, {StopFd(), POLLIN, 0}};
    ::poll(p, 2, 50);
  }
  return true;
}

bool ToolSimulator::SendAt(Clock::time_point readyAt, const std::uint8_t* bytes, std::size_t n) {
  // The last byte reaches the updater when the line has carried all of
  // them; the bytes go to the pty together at that moment.
  const Clock::time_point doneAt = pacer_.Enabled() ? pacer_.SendDone(n, readyAt) : readyAt;
  if (doneAt > Clock::now() && !SleepUntil(doneAt)) return false;
  return WriteAll(bytes, n, false);
}

void ToolSimulator::WaitDrained(int maxMs) {
  if (!link_.WaitPeerRead(maxMs, [this](int ms) { return SleepMs(ms); }) && stop_.load()) return;
  // The updater may still be between its read and its next step.
  SleepMs(kDrainLingerMs);
}

bool ToolSimulator::Reconnect(int awayMs) {
  link_.Close();
  Trace("line down for " + std::to_string(awayMs) + " ms");
  if (!SleepMs(awayMs)) return false;
  std::string error;
  if (!link_.Open(&error)) {
    error_ = "the line did not come back: " + error;
    failed_ = true;
    return false;
  }
  pacer_.Reset();
  Trace("line up again: " + link_.LinkPath() + " -> " + link_.SlavePath());
  return true;
}

void ToolSimulator::ServeProtocol() {
  std::vector<ToolReply> replies;
  std::uint8_t buffer[4096];
  while (!stop_.load() && !ended_) {
    int timeout = kIdlePollMs;
    if (const std::uint64_t deadline = engine_->NextDeadline()) {
      const std::uint64_t now = NowMs();
      timeout = deadline <= now
                    ? 0
                    : static_cast<int>(std::min<std::uint64_t>(deadline - now, kIdlePollMs));
    }
    pollfd p[2] = {{link_.MasterFd(), POLLIN, 0}, {StopFd(), POLLIN, 0}};
    if (::poll(p, 2, timeout) < 0 && errno != EINTR) break;
    if (p[1].revents != 0) break;

    if (p[0].revents & POLLIN) {
      const Clock::time_point arrived = Clock::now();
      const ssize_t n = ::read(link_.MasterFd(), buffer, sizeof buffer);
      if (n > 0) {
        const auto count = static_cast<std::size_t>(n);
        if (options_.keepWire) received_.insert(received_.end(), buffer, buffer + count);
        // A reply cannot leave before its request has fully arrived; the
        // wait for that is folded into the reply's one sleep (Deliver).
        requestDoneAt_ = pacer_.Enabled() ? pacer_.ReceiveDone(count, arrived) : arrived;
        engine_->Feed(buffer, count, NowMs(), replies);
      }
    }
    engine_->Tick(NowMs(), replies);
    for (ToolReply& reply : replies) {
      if (stop_.load() || ended_) break;
      Deliver(reply);
    }
    replies.clear();
  }
}

void ToolSimulator::Deliver(ToolReply& reply) {
  const FaultPlan& faults = options_.faults;
  const std::uint8_t cmd = reply.command;
  const unsigned occurrence = reply.occurrence;
  char head[48];
  std::snprintf(head, sizeof head, "request %02X #%u", cmd, occurrence);
  std::string trace = head;

  Clock::time_point readyAt =
      std::max(Clock::now(), requestDoneAt_) + std::chrono::milliseconds(reply.workMs);

  Bytes& bytes = reply.bytes;
  bool send = !bytes.empty();
  std::size_t splitAt = bytes.size();
  int splitPauseMs = 0;
  if (send && faults.Find(FaultKind::Drop, cmd, occurrence) != nullptr) {
    send = false;
    trace += " [drop]";
  }
  if (send) {
    if (const Fault* f = faults.Find(FaultKind::Corrupt, cmd, occurrence)) {
      const auto offset = static_cast<std::size_t>(f->value);
      if (offset < bytes.size()) bytes[offset] ^= 0xFF;
      trace += " [corrupt]";
    }
    if (faults.Find(FaultKind::WrongEcho, cmd, occurrence) != nullptr) {
      // Framed: another command's echo. Classic: another reply code.
      const std::size_t at = reply.framed ? frame::kEchoOffset : frame::kClassicCodeOffset;
      if (at < bytes.size()) bytes[at] ^= reply.framed ? 0xFF : 0x01;
      trace += " [wrong-echo]";
    }
    if (const Fault* f = faults.Find(FaultKind::Split, cmd, occurrence)) {
      splitAt = std::min(bytes.size(), static_cast<std::size_t>(f->value));
      splitPauseMs = f->pauseMs;
      trace += " [split]";
    }
    if (const Fault* f = faults.Find(FaultKind::Late, cmd, occurrence)) {
      trace += " [late " + std::to_string(f->value) + " ms]";
      readyAt += std::chrono::milliseconds(f->value);
    }
  }
  if (send) {
    Trace(trace + " -> " + Hex(bytes));
    if (!SendAt(readyAt, bytes.data(), splitAt)) return;
    if (splitAt < bytes.size() && !SendAt(Clock::now() + std::chrono::milliseconds(splitPauseMs),
                                          bytes.data() + splitAt, bytes.size() - splitAt))
      return;
  } else {
    Trace(trace + " -> (no reply)");
    // The tool is busy for its work time even when it says nothing.
    if (!SleepUntil(readyAt)) return;
  }

  if (reply.blockWritten) {
    ++blocksWritten_;
    const Fault* unplug = faults.Unplug();
    if (unplug != nullptr && !unplugFired_ && blocksWritten_ == unplug->value) {
      unplugFired_ = true;
      WaitDrained(kDrainWaitMs);
      Trace("unplugged after block " + std::to_string(blocksWritten_));
      if (unplug->pauseMs > 0) {
        if (!Reconnect(unplug->pauseMs)) ended_ = true;
      } else {
        link_.Close();
        ended_ = true;
      }
      return;
    }
  }
  switch (reply.event) {
    case ToolEvent::Reboot:
      WaitDrained(kDrainWaitMs);
      ++reboots_;
      Trace("rebooting into the loader");
      if (!Reconnect(options_.rebootMs)) {
        ended_ = true;
        return;
      }
      engine_->OnReboot();
      break;
    case ToolEvent::Finished:
      Trace("update finished");
      if (options_.exitAfterFinish) {
        WaitDrained(kDrainWaitMs);
        ended_ = true;
      }
      break;
    case ToolEvent::None:
      break;
  }
}

void ToolSimulator::ServeData() {
  std::ifstream file(options_.dataFile, std::ios::binary);
  if (!file) {
    error_ = "cannot read the data file " + options_.dataFile;
    failed_ = true;
    return;
  }
  std::vector<Bytes> lines;
  if (options_.dataRaw) {
    // Pieces that end at each line feed; what follows the last one is sent
    // as it is.
    const std::string all((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string::size_type from = 0;
    while (from < all.size()) {
      const std::string::size_type lf = all.find('\n', from);
      const std::string::size_type end = lf == std::string::npos ? all.size() : lf + 1;
      lines.emplace_back(all.begin() + static_cast<std::ptrdiff_t>(from),
                         all.begin() + static_cast<std::ptrdiff_t>(end));
      from = end;
    }
  } else {
    for (std::string line; std::getline(file, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      line += "\r\n";
      lines.emplace_back(line.begin(), line.end());
    }
  }

  // Wait until the updater opens the port: the lines are for whoever
  // listens, not for the queue of a closed port. The watch dates from the
  // line's set-up, so an open before this point counts too.
  if (link_.OpenWatchFd() >= 0) {
    Trace("data mode: waiting for the port to be opened");
    pollfd p[2] = {{link_.OpenWatchFd(), POLLIN, 0}, {StopFd(), POLLIN, 0}};
    while (!stop_.load() && ::poll(p, 2, kIdlePollMs) >= 0 && p[0].revents == 0 &&
           p[1].revents == 0) {
    }
  }
  if (!SleepMs(kDataSettleMs)) return;

  std::uint8_t discard[4096];
  do {
    for (const Bytes& line : lines) {
      // What the updater sends is not listened to in data mode.
      while (::read(link_.MasterFd(), discard, sizeof discard) > 0) {
      }
      const Clock::time_point doneAt =
          pacer_.Enabled() ? pacer_.SendDone(line.size(), Clock::now()) : Clock::now();
      if (!SleepUntil(doneAt)) return;
      if (!WriteAll(line.data(), line.size(), true)) return;
    }
    Trace("data mode: file sent");
  } while (options_.dataLoop && !lines.empty() && !stop_.load());

  if (options_.exitAfterFinish) {
    WaitDrained(kDrainWaitMs);
    return;
  }
  while (!stop_.load()) {
    pollfd p[2] = {{link_.MasterFd(), POLLIN, 0}, {StopFd(), POLLIN, 0}};
    if (::poll(p, 2, kIdlePollMs) < 0 && errno != EINTR) break;
    if (p[1].revents != 0) break;
    if (p[0].revents & POLLIN) {
      while (::read(link_.MasterFd(), discard, sizeof discard) > 0) {
      }
    }
  }
}

}  // namespace varnok::sim
