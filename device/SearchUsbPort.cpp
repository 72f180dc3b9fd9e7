#include <algorithm>

#include "device/RemotePorts.h"
#include "device/SearchUsbPort.h"

namespace varnok {

void KeepOnlyPort(std::vector<int>& ports, int onlyPort) {
  if (onlyPort < 0) return;
  const bool present = IsRemotePort(onlyPort) ||
                       std::find(ports.begin(), ports.end(), onlyPort) != ports.end();
  ports.assign(present ? 1 : 0, onlyPort);
}

}  // namespace varnok
