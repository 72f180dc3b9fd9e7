#include "cli/PortDiagnosis.h"
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

std::string ProbePort(int port) {
  CSyncSerialPort probe;
  if (probe.Open(port, 115200, nullptr) == 1) {
    probe.Close();
    return std::string();
  }
  return AdviceForOpenFailure(probe.LastOpenFailure(), varnok::PortDisplayName(port));
}

}  // namespace cli
