// Platform-independent parts of CSyncSerialPort; the backends live in
// SyncSerialPort_posix.cpp and SyncSerialPort_win.cpp.
#include "device/SyncSerialPort.h"

#include <cstdio>

#include "device/PortNames.h"
#include "device/WireTrace.h"

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
  if (failure == varnok::PortFailure::Lost || failure == varnok::PortFailure::NotFound) LineGone();
}

void CSyncSerialPort::LineGone() {
  if (trace_ && openFlag) trace_->Gone();
  CloseLine();
}

int CSyncSerialPort::Open(int port, unsigned baud, ISerialNotify* notify) {
  const bool wasOpen = openFlag != 0;
  const int opened = OpenLine(port, baud, notify);
  if (trace_ && opened == 1 && !wasOpen) trace_->Open(port, varnok::PortDevicePath(port), baud, "8N1");
  return opened;
}

int CSyncSerialPort::Close() {
  if (trace_ && openFlag) trace_->Close();
  return CloseLine();
}

int CSyncSerialPort::Write(const std::uint8_t* data, int length) {
  const int written = WriteLine(data, length);
  if (trace_ && written > 0) trace_->Tx(data, written);
  return written;
}

int CSyncSerialPort::Read(std::uint8_t* buffer, int capacity) {
  const int got = ReadLine(buffer, capacity);
  if (trace_ && got > 0) trace_->Rx(buffer, got);
  return got;
}
