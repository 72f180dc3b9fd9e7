#include "cli/platform/PortInfo.h"

namespace cli {

// The registry scan gives port numbers only; no USB identity is read here.
UsbPortInfo ReadUsbPortInfo(const std::string& /*deviceName*/) { return UsbPortInfo(); }

}  // namespace cli
