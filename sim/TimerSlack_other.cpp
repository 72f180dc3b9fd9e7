#include "sim/TimerSlack.h"

namespace varnok::sim {

// No portable knob: sleeps keep the system's default precision.
void TightenTimerSlack() {}

}  // namespace varnok::sim
