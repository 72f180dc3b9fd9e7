#include "device/UsbDevInterface.h"

#include <algorithm>
#include <cstring>

#include "device/Clock.h"
#include "device/FrameCodec.h"
#include "device/SearchUsbPort.h"

using varnok::SleepMs;
using varnok::TickMs;

CUsbDevInterface::CUsbDevInterface()
    : comNumber(-1), baudRate(115200), partition(0), abort(false), deviceType(0) {
  std::memset(partitionTable, 0, sizeof partitionTable);
  port.Reset();
}

CUsbDevInterface::~CUsbDevInterface() { port.Close(); }

bool CUsbDevInterface::OpenPort(int) { return false; }
int CUsbDevInterface::QueryDeviceName(std::string&) { return 0; }
bool CUsbDevInterface::ReadDeviceName(std::uint8_t*) { return true; }
int CUsbDevInterface::RebootToLoader() { return 1; }
bool CUsbDevInterface::ReopenClosedPort() { return false; }

int CUsbDevInterface::ScanCandidatePorts(bool includeVcp) {
  varnok::ScanUsbSerialPorts(portList, includeVcp);
  varnok::KeepOnlyPort(portList, onlyPort_);
  return static_cast<int>(portList.size());
}

void CUsbDevInterface::WaitForData(int remainingMs) {
  const int wait = std::min(remainingMs, kPollWaitMs);
  if (wait <= 0) return;
  // A closed or lost port cannot be waited on; pause instead so that the
  // loop does not spin until its time-out.
  if (port.WaitReadable(wait) < 0) SleepMs(wait);
}

int CUsbDevInterface::SendWholeFrame(const std::uint8_t* frame, int length) {
  const std::uint64_t start = TickMs();
  for (;;) {
    if (abort.load()) return kLoopAbort;
    if (TickMs() - start > static_cast<std::uint64_t>(kSendLimitMs)) return kLoopTimeout;
    if (port.Write(frame, length) == length) return 1;
    SleepMs(kSendRetryPauseMs);
  }
}

int CUsbDevInterface::SendFramePieces(const std::uint8_t* frame, int length) {
  const std::uint64_t start = TickMs();
  int sent = 0;
  while (sent < length) {
    if (abort.load()) return kLoopAbort;
    if (TickMs() - start > static_cast<std::uint64_t>(kSendLimitMs)) return kLoopTimeout;
    const int n = port.Write(frame + sent, length - sent);
    if (n > 0) sent += n;
    if (sent < length) SleepMs(kSendRetryPauseMs);
  }
  return 1;
}

int CUsbDevInterface::ClassicReceive(std::uint8_t* buffer, int capacity, int timeoutMs) {
  const std::uint64_t start = TickMs();
  for (;;) {
    if (abort.load()) return kLoopAbort;
    const std::uint64_t elapsed = TickMs() - start;
    if (elapsed > static_cast<std::uint64_t>(timeoutMs)) return kLoopTimeout;
    const int n = port.Read(buffer, capacity);
    if (n > 0) return n;
    // Block until bytes arrive instead of spinning; the reply is still
    // taken from the first read that finds any.
    WaitForData(timeoutMs - static_cast<int>(elapsed) + 1);
  }
}

int CUsbDevInterface::FramedReceive(std::uint8_t* buffer, std::uint8_t expectedCommand,
                                    int timeoutMs) {
  if (!port.IsOpen()) ReopenClosedPort();
  const std::uint64_t start = TickMs();
  int count = 0;
  int expectedTotal = frame::kAckSize;
  bool headerChecked = false;
  for (;;) {
    if (abort.load()) return kLoopAbort;
    const std::uint64_t elapsed = TickMs() - start;
    if (elapsed > static_cast<std::uint64_t>(timeoutMs)) return kLoopTimeout;
    const int n = port.Read(buffer + count, frame::kFrameBufferSize - count);
    if (n > 0) count += n;
    if (count >= frame::kHeaderCheckBytes && !headerChecked) {
      if (buffer[0] != frame::kSync0 || buffer[1] != frame::kSync1 ||
          buffer[frame::kEchoOffset] != expectedCommand)
        return kLoopTimeout;
      expectedTotal = static_cast<int>(frame::GetLe16(buffer + frame::kLengthOffset)) +
                      frame::kOverhead;
      headerChecked = true;
    }
    if (count >= expectedTotal) return expectedTotal;
    const int remaining = timeoutMs - static_cast<int>(elapsed) + 1;
    if (count >= frame::kFrameBufferSize)
      // A length field beyond the buffer can never complete: let it run
      // into its time-out without reading past the buffer.
      SleepMs(std::min(remaining, kPollWaitMs));
    else
      WaitForData(remaining);
  }
}
