// The fuzz build's clock: virtual time from FuzzLink, so time-outs and
// pauses cost nothing.
#include "device/Clock.h"
#include "tests/fuzz/FuzzLink.h"

namespace varnok {

std::uint64_t TickMs() { return fuzzlink::Now(); }

void SleepMs(int ms) { fuzzlink::Advance(ms); }

}  // namespace varnok
