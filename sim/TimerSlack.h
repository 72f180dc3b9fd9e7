#pragma once
// Asks the OS to wake the calling thread's timed sleeps as close to their
// deadline as it can. Paced lines sleep twice per exchange, and the default
// slack (50 us on Linux) would add up at 128-byte blocks.

namespace varnok::sim {

void TightenTimerSlack();

}  // namespace varnok::sim
