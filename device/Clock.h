#pragma once
// Monotonic time and pauses used by the protocol loops.

#include <cstdint>

namespace varnok {

// Milliseconds on a monotonic clock; only differences are meaningful.
std::uint64_t TickMs();

// Blocks the calling thread for about `ms` milliseconds (nothing for ms <= 0).
void SleepMs(int ms);

}  // namespace varnok
