#include <limits.h>
#include <stdlib.h>

#include <cstdlib>
#include <fstream>

#include "cli/platform/PortInfo.h"
#include "device/PortNames.h"

namespace cli {

namespace {

constexpr int kMaxLevelsUp = 4;

std::string ReadAttribute(const std::string& folder, const char* name) {
  std::ifstream file(folder + "/" + name);
  std::string line;
  if (!file.is_open() || !std::getline(file, line)) return std::string();
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) {
    line.pop_back();
  }
  return line;
}

bool Exists(const std::string& path) {
  std::ifstream file(path);
  return file.is_open();
}

}  // namespace

UsbPortInfo ReadUsbPortInfo(const std::string& deviceName) {
  UsbPortInfo info;
  std::string root;
  if (const char* env = std::getenv("VARNOK_SYSFS_DIR")) {
    root = env;
  } else if (varnok::PortDeviceDir() == "/dev") {
    root = "/sys";
  } else {
    return info;
  }
  if (deviceName.empty() || deviceName.find('/') != std::string::npos) return info;

  char resolved[PATH_MAX];
  const std::string link = root + "/class/tty/" + deviceName + "/device";
  if (!realpath(link.c_str(), resolved)) return info;
  std::string folder = resolved;
  // ttyACM: device is the USB interface, its parent the USB device;
  // ttyUSB: one more level (the usb-serial port below the interface).
  for (int level = 0; level < kMaxLevelsUp; ++level) {
    const std::string::size_type cut = folder.find_last_of('/');
    if (cut == std::string::npos || cut == 0) break;
    folder.erase(cut);
    if (Exists(folder + "/idVendor")) {
      info.found = true;
      info.vendorId = ReadAttribute(folder, "idVendor");
      info.productId = ReadAttribute(folder, "idProduct");
      info.manufacturer = ReadAttribute(folder, "manufacturer");
      info.product = ReadAttribute(folder, "product");
      info.serial = ReadAttribute(folder, "serial");
      break;
    }
  }
  return info;
}

}  // namespace cli
