#include "tools/ReceiveTiming.h"

bool CReceiveTiming::OnByteStart(int now) {
  if (lastByteTime != 0)
    return false;
  firstByteTime = now;
  return true;
}

CReceiveTiming::TickEnd CReceiveTiming::OnTick() {
  if (lastByteTime == 0)
    return TickEnd::None;
  TickEnd end = TickEnd::Plain;
  if (lastByteTime - firstByteTime == lastSpan) {
    end = TickEnd::Full;
    Reset();
  }
  lastSpan = lastByteTime - firstByteTime;
  return end;
}

bool CReceiveTiming::EndIfStalled() {
  if (lastByteTime == 0 || lastByteTime - firstByteTime != lastSpan)
    return false;
  Reset();
  return true;
}
