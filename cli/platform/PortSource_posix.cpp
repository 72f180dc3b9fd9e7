#include "cli/platform/PortSource.h"
#include "device/PortNames.h"

namespace cli {

std::string NoToolPortsText() { return "No tool ports found in " + varnok::PortDeviceDir() + "."; }

std::string PortFamiliesText() { return "ttyACM*/ttyUSB* in " + varnok::PortDeviceDir(); }

std::string PortSourceHelp() {
  return "Environment: VARNOK_DEV_DIR  folder scanned for ttyACM*/ttyUSB* (default /dev)\n";
}

}  // namespace cli
