// Platform-independent parts of CSyncSerialPort; the backends live in
// SyncSerialPort_posix.cpp and SyncSerialPort_win.cpp.
#include "device/SyncSerialPort.h"

#include <cstdio>

#include "device/PortNames.h"
#include "device/RemoteLine.h"
#include "device/RemotePorts.h"
#include "device/WireTrace.h"

unsigned CSyncSerialPort::TimeoutMultiplier(unsigned baud) {
  return baud == 0 ? 1u : 11000u / baud + 1u;
}

CSyncSerialPort::CSyncSerialPort() { Reset(); }

CSyncSerialPort::~CSyncSerialPort() { Close(); }

int CSyncSerialPort::OpenRemote(int port, unsigned baud, ISerialNotify* notify) {
  notifyWindow = notify;
  if (openFlag) return 1;
  varnok::RemoteAddress address;
  varnok::RemotePortAddress(port, address);
  auto line = std::make_unique<varnok::CRemoteLine>();
  varnok::LineSettings settings;
  settings.baud = baud;
  std::string error;
  if (!line->Open(address, settings, wake_, error)) {
    // Nothing that answers the protocol is there: as a device that is not.
    lastOpenFailure = varnok::PortFailure::NotFound;
    lastOpenOsError = 0;
    lastOpenText_ = error;
    return 0;
  }
  varnok::NoteRemoteLine(port, line->Notice());
  remote_ = std::move(line);
  writeMultiplier = TimeoutMultiplier(baud);
  openFlag = 1;
  lastOpenFailure = varnok::PortFailure::None;
  lastOpenOsError = 0;
  return 1;
}

void CSyncSerialPort::Reset() {
  notifyWindow = nullptr;
  portHandle = kNoHandle;
  openFlag = 0;
  writeMultiplier = 1;
  lastOpenFailure = varnok::PortFailure::None;
  lastOpenOsError = 0;
  lastOpenText_.clear();
  remote_.reset();
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
  if (!remote_) {
    CloseLine();
    return;
  }
  remote_.reset();
  openFlag = 0;
}

int CSyncSerialPort::Open(int port, unsigned baud, ISerialNotify* notify) {
  const bool wasOpen = openFlag != 0;
  lastOpenText_.clear();
  const int opened = varnok::IsRemotePort(port) ? OpenRemote(port, baud, notify)
                                                : OpenLine(port, baud, notify);
  if (trace_ && opened == 1 && !wasOpen) trace_->Open(port, varnok::PortDevicePath(port), baud, "8N1");
  return opened;
}

int CSyncSerialPort::Close() {
  if (trace_ && openFlag) trace_->Close();
  if (!remote_) return CloseLine();
  remote_.reset();
  openFlag = 0;
  return 1;
}

int CSyncSerialPort::Write(const std::uint8_t* data, int length) {
  const int written =
      !remote_ ? WriteLine(data, length)
               : remote_->Write(data, length, static_cast<int>(writeMultiplier) * length, wake_);
  if (written < 0 && remote_) LineGone();
  if (trace_ && written > 0) trace_->Tx(data, written);
  return written;
}

int CSyncSerialPort::Read(std::uint8_t* buffer, int capacity) {
  const int got = remote_ ? remote_->Read(buffer, capacity) : ReadLine(buffer, capacity);
  if (trace_ && got > 0) trace_->Rx(buffer, got);
  if (got < 0 && remote_) LineGone();
  return got;
}

void CSyncSerialPort::Purge(int bits) { remote_ ? remote_->Purge(bits) : PurgeLine(bits); }

int CSyncSerialPort::WaitReadable(int timeoutMs) {
  if (!remote_) return WaitLine(timeoutMs);
  const int ready = remote_->WaitReadable(timeoutMs < 0 ? 0 : timeoutMs, wake_);
  if (ready < 0) LineGone();  // counts as closed from now on, so that owners reopen it
  return ready;
}
