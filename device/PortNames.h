#pragma once
// Port numbers and the devices they name.
//
// Windows: port n is "\\.\COM<n>".
// Elsewhere: the two USB serial families live in one folder, $VARNOK_DEV_DIR
// (default /dev):
//   ttyACM<k>, k 0..199 (the CDC-ACM / USBSER family) is port k + 1     (1..200)
//   ttyUSB<k>, k 0..19  (the vendor VCP family)       is port k + 201   (201..220)
// so the families never share a number and number -> path -> number holds.
// A port on another machine (RemotePorts.h) has its URL as name and path.

#include <string>

namespace varnok {

constexpr int kUsbSerCount = 200;  // USBSER000..USBSER199 / ttyACM0..ttyACM199
constexpr int kVcpCount = 20;      // VCP0..VCP19 / ttyUSB0..ttyUSB19
constexpr int kFirstAcmPort = 1;
constexpr int kFirstVcpPort = 201;

// The folder scanned for devices (POSIX): $VARNOK_DEV_DIR or "/dev".
std::string PortDeviceDir();

// The device path of port `port`; empty when the number names no device.
std::string PortDevicePath(int port);

// The port number of a device file name or path ("ttyACM3" or
// "/dev/ttyACM3" give 4); -1 when it belongs to neither family.
int PortNumberFromName(const std::string& nameOrPath);

// A short human name for the port: "COM7" on Windows, "ttyACM6" elsewhere.
std::string PortDisplayName(int port);

}  // namespace varnok
