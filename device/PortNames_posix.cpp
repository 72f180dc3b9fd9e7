#include "device/PortNames.h"
#include "device/RemotePorts.h"

#include <cstdlib>
#include <string>

namespace varnok {

namespace {
const char kAcmStem[] = "ttyACM";
const char kUsbStem[] = "ttyUSB";

// Parses "<stem><digits>" with no leading zeros (ttyACM0, ttyACM12); -1 if not.
int ParseIndex(const std::string& name, const std::string& stem) {
  if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) return -1;
  const std::string digits = name.substr(stem.size());
  if (digits.size() > 3 || (digits.size() > 1 && digits[0] == '0')) return -1;
  for (char c : digits)
    if (c < '0' || c > '9') return -1;
  return std::atoi(digits.c_str());
}
}  // namespace

std::string PortDeviceDir() {
  const char* dir = std::getenv("VARNOK_DEV_DIR");
  return (dir != nullptr && *dir != '\0') ? std::string(dir) : std::string("/dev");
}

std::string PortDisplayName(int port) {
  if (IsRemotePort(port)) return RemotePortName(port);
  if (port >= kFirstAcmPort && port < kFirstAcmPort + kUsbSerCount)
    return kAcmStem + std::to_string(port - kFirstAcmPort);
  if (port >= kFirstVcpPort && port < kFirstVcpPort + kVcpCount)
    return kUsbStem + std::to_string(port - kFirstVcpPort);
  return std::string();
}

std::string PortDevicePath(int port) {
  if (IsRemotePort(port)) return RemotePortName(port);
  const std::string name = PortDisplayName(port);
  return name.empty() ? name : PortDeviceDir() + "/" + name;
}

int PortNumberFromName(const std::string& nameOrPath) {
  const std::size_t slash = nameOrPath.find_last_of('/');
  const std::string name = slash == std::string::npos ? nameOrPath : nameOrPath.substr(slash + 1);
  int k = ParseIndex(name, kAcmStem);
  if (k >= 0 && k < kUsbSerCount) return kFirstAcmPort + k;
  k = ParseIndex(name, kUsbStem);
  if (k >= 0 && k < kVcpCount) return kFirstVcpPort + k;
  return -1;
}

}  // namespace varnok
