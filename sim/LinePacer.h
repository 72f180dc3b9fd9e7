#pragma once
// Emulates the time bytes take on an 8N1 serial line: every byte costs 10
// bit times. The two directions are separate lines (full duplex); on each,
// a byte cannot start before the one ahead of it has gone out.

#include <chrono>
#include <cstddef>

namespace varnok::sim {

class LinePacer {
 public:
  using Clock = std::chrono::steady_clock;

  // `baud` 0: no pacing, every byte is there at once.
  explicit LinePacer(unsigned baud) : baud_(baud) {}

  bool Enabled() const { return baud_ != 0; }

  // When `n` bytes that the PC started sending at `now` have fully arrived.
  Clock::time_point ReceiveDone(std::size_t n, Clock::time_point now) {
    return Advance(rxFree_, n, now);
  }
  // When `n` reply bytes handed to the line at `now` have fully gone out.
  Clock::time_point SendDone(std::size_t n, Clock::time_point now) {
    return Advance(txFree_, n, now);
  }

  // The line time of `n` bytes.
  Clock::duration LineTime(std::size_t n) const {
    if (baud_ == 0) return Clock::duration::zero();
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::nanoseconds(static_cast<long long>(n) * 10'000'000'000LL / baud_));
  }

  // Forgets the lines' history (after the line was down).
  void Reset() { rxFree_ = txFree_ = Clock::time_point(); }

 private:
  Clock::time_point Advance(Clock::time_point& freeAt, std::size_t n, Clock::time_point now) {
    const Clock::time_point start = freeAt > now ? freeAt : now;
    freeAt = start + LineTime(n);
    return freeAt;
  }

  unsigned baud_;
  Clock::time_point rxFree_{};
  Clock::time_point txFree_{};
};

}  // namespace varnok::sim
