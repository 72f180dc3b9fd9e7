// Platform-independent parts of CSerialPort; the backends live in
// SerialPort_posix.cpp and SerialPort_win.cpp.
#include "device/SerialPort.h"

namespace {
constexpr std::intptr_t kNoHandle = -1;
}  // namespace

CSerialPort::CSerialPort()
    : portHandle(kNoHandle),
      threadAlive(false),
      shutdownRequested(false),
      wakeRead(kNoHandle),
      wakeWrite(kNoHandle),
      owner(nullptr),
      portNumber(0),
      eventMask(0),
      writeBufferSize(0) {}

CSerialPort::~CSerialPort() {
  Close();
  if (monitorThread.joinable()) monitorThread.detach();  // only when destroyed from a delivery
}

bool CSerialPort::IsOpen() const {
  std::lock_guard<std::mutex> lock(portLock);
  return portHandle != kNoHandle;
}

std::vector<std::string> CSerialPort::ErrorLog() const {
  std::lock_guard<std::mutex> lock(portLock);
  return errorLog;
}

void CSerialPort::ErrorHook(const char* callName) {
  // Reports nothing; kept for diagnosis only. Callers hold portLock.
  errorLog.emplace_back(callName);
}
