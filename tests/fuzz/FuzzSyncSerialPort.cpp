// The fuzz build's backend of CSyncSerialPort: every port opens, writes go
// nowhere and bring the next reply chunk of the fuzz input, reads take from
// that chunk. Chosen by CMake instead of the platform backend.
#include "device/SyncSerialPort.h"
#include "tests/fuzz/FuzzLink.h"

int CSyncSerialPort::OpenLine(int /*portNumber*/, unsigned baud, ISerialNotify* notify) {
  notifyWindow = notify;
  if (openFlag) return 1;
  portHandle = 1;
  writeMultiplier = TimeoutMultiplier(baud);
  openFlag = 1;
  lastOpenFailure = varnok::PortFailure::None;
  lastOpenOsError = 0;
  return 1;
}

int CSyncSerialPort::CloseLine() {
  openFlag = 0;
  portHandle = kNoHandle;
  return 1;
}

int CSyncSerialPort::WriteLine(const std::uint8_t* data, int length) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  if (length <= 0) return 0;
  (void)data;
  fuzzlink::OnWrite();
  return length;
}

int CSyncSerialPort::ReadLine(std::uint8_t* buffer, int capacity) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  if (capacity <= 0) return 0;
  return fuzzlink::TakeQueued(buffer, capacity);
}

void CSyncSerialPort::PurgeLine(int bits) {
  if (openFlag && (bits & 1)) fuzzlink::DropQueued();
}

int CSyncSerialPort::WaitLine(int timeoutMs) {
  if (!openFlag || portHandle == kNoHandle) return -1;
  if (fuzzlink::HasQueued()) return 1;
  // Replies come only after a write, so nothing can arrive while the device
  // waits: let a whole second pass, and long time-outs end in few turns.
  fuzzlink::Advance(timeoutMs > 1000 ? timeoutMs : 1000);
  return 0;
}
