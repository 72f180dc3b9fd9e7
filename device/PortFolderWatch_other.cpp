#include "device/PortFolderWatch.h"

#include "device/Clock.h"

namespace varnok {

namespace {
// Without notifications the caller rescans after every pause.
constexpr int kPauseMs = 250;
}  // namespace

CPortFolderWatch::CPortFolderWatch() = default;
CPortFolderWatch::~CPortFolderWatch() = default;

bool CPortFolderWatch::WaitForChange(int ms) {
  SleepMs(ms < kPauseMs ? ms : kPauseMs);
  return false;
}

}  // namespace varnok
