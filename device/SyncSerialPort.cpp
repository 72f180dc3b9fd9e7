// Platform-independent parts of CSyncSerialPort; the backends live in
// SyncSerialPort_posix.cpp and SyncSerialPort_win.cpp.
#include "device/SyncSerialPort.h"

#include <cstdio>

unsigned CSyncSerialPort::TimeoutMultiplier(unsigned baud) {
  return baud == 0 ? 1u : 11000u / baud + 1u;
}

CSyncSerialPort::CSyncSerialPort() { Reset(); }

CSyncSerialPort::~CSyncSerialPort() { Close(); }

void CSyncSerialPort::Reset() {
  notifyWindow = nullptr;
  portHandle = kNoHandle;
  openFlag = 0;
  writeMultiplier = 1;
  lastOpenFailure = varnok::PortFailure::None;
  lastOpenOsError = 0;
}

void CSyncSerialPort::ReportFailure(const char* format, int osError) {
  if (notifyWindow == nullptr) return;
  char text[96];
  std::snprintf(text, sizeof text, format, osError);
  notifyWindow->OnPortFailureText(text);
}

void CSyncSerialPort::CloseIfLost(int osError) {
  const varnok::PortFailure failure = varnok::PortFailureFromOsError(osError);
  if (failure == varnok::PortFailure::Lost || failure == varnok::PortFailure::NotFound) Close();
}
