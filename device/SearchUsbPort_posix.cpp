#include "device/SearchUsbPort.h"

#include <sys/stat.h>

#include "device/PortNames.h"

namespace varnok {

namespace {
// An entry exists when the name resolves: a link left behind by a device
// that vanished is not a port.
bool EntryExists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}
}  // namespace

int ScanUsbSerialPorts(std::vector<int>& ports, bool includeVcp) {
  ports.clear();
  for (int k = 0; k < kUsbSerCount; ++k) {
    const int port = kFirstAcmPort + k;
    if (EntryExists(PortDevicePath(port))) ports.push_back(port);
  }
  if (includeVcp) {
    for (int k = 0; k < kVcpCount; ++k) {
      const int port = kFirstVcpPort + k;
      if (EntryExists(PortDevicePath(port))) ports.push_back(port);
    }
  }
  return static_cast<int>(ports.size());
}

}  // namespace varnok

int CSearchUsbPort::SearchPorts(std::vector<int>& ports) {
  return varnok::ScanUsbSerialPorts(ports, true);
}
