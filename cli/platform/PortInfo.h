#pragma once
// USB identity of a serial port, where the system tells it. Linux reads
// sysfs: /sys/class/tty/<name>/device, then up to the USB device folder
// holding idVendor, idProduct, product, manufacturer and serial. The sysfs
// root is $VARNOK_SYSFS_DIR when set; with a device folder other than /dev
// ($VARNOK_DEV_DIR) and no $VARNOK_SYSFS_DIR nothing is read, since the
// names would not be the same devices. Other platforms: nothing.

#include <string>

namespace cli {

struct UsbPortInfo {
  bool found = false;     // a USB device folder was found
  std::string vendorId;   // "0483"
  std::string productId;  // "5740"
  std::string manufacturer;
  std::string product;
  std::string serial;
};

// `deviceName` is the file name of the port ("ttyACM0").
UsbPortInfo ReadUsbPortInfo(const std::string& deviceName);

}  // namespace cli
