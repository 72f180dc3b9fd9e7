#pragma once
// Discovery of the tools' USB serial ports.
//
// Order is fixed: every USBSER hit in ascending value number (ttyACM0..199),
// then every VCP hit (ttyUSB0..19). No sorting, no removal of duplicates.
// Windows reads HKLM\HARDWARE\DEVICEMAP\SERIALCOMM; elsewhere a family entry
// exists when its device file exists in PortDeviceDir().

#include <vector>

namespace varnok {

// Fills `ports` (cleared first) with the port numbers found; the VCP family
// only when `includeVcp`. Returns the count.
int ScanUsbSerialPorts(std::vector<int>& ports, bool includeVcp);

// Narrows a scan's `ports` to `onlyPort` (nothing when it is negative): it
// alone stays when the scan found it. A port on another machine is never
// in a scan; it counts as there, and opening it tells.
void KeepOnlyPort(std::vector<int>& ports, int onlyPort);

}  // namespace varnok

class CSearchUsbPort {
 public:
  virtual ~CSearchUsbPort() = default;
  // Both families. Clears `ports`; returns the number of ports found.
  int SearchPorts(std::vector<int>& ports);
};
