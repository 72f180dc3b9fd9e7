// Win32 backend of CWakeSignal: a manual-reset event.
#include "device/Win32Api.h"

#include "device/WakeSignal.h"

namespace {
constexpr std::intptr_t kNoHandle = -1;
HANDLE AsHandle(std::intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

CWakeSignal::CWakeSignal() : readHandle_(kNoHandle), writeHandle_(kNoHandle) {
  const HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (event != nullptr) readHandle_ = reinterpret_cast<std::intptr_t>(event);
}

CWakeSignal::~CWakeSignal() {
  if (readHandle_ != kNoHandle) ::CloseHandle(AsHandle(readHandle_));
}

bool CWakeSignal::Valid() const { return readHandle_ != kNoHandle; }

void CWakeSignal::Raise() {
  if (readHandle_ != kNoHandle) ::SetEvent(AsHandle(readHandle_));
}

void CWakeSignal::Clear() {
  if (readHandle_ != kNoHandle) ::ResetEvent(AsHandle(readHandle_));
}
