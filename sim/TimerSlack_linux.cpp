#include <sys/prctl.h>

#include "sim/TimerSlack.h"

namespace varnok::sim {

void TightenTimerSlack() { ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL); }

}  // namespace varnok::sim
