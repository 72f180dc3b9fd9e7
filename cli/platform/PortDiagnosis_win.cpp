#include "cli/platform/PortDiagnosis.h"
#include "device/PortNames.h"
#include "device/SyncSerialPort.h"

namespace cli {

std::string AdviceForOpenFailure(varnok::PortFailure failure, const std::string& devicePath) {
  switch (failure) {
    case varnok::PortFailure::PermissionDenied:
    case varnok::PortFailure::Busy:
      return devicePath + " is in use by another program (a terminal, another updater or a\n"
             "synchronisation tool). Close it and try again.";
    default:
      return std::string();
  }
}

std::string ProbePort(int port, varnok::PortFailure* failure) {
  CSyncSerialPort probe;
  const bool opened = probe.Open(port, 115200, nullptr) == 1;
  if (failure) *failure = opened ? varnok::PortFailure::None : probe.LastOpenFailure();
  if (opened) {
    probe.Close();
    return std::string();
  }
  return AdviceForOpenFailure(probe.LastOpenFailure(), varnok::PortDisplayName(port));
}

}  // namespace cli
