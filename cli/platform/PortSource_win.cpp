#include "cli/platform/PortSource.h"

namespace cli {

namespace {
const char kSerialCommKey[] = "HKLM\\HARDWARE\\DEVICEMAP\\SERIALCOMM";
}  // namespace

std::string NoToolPortsText() {
  return std::string("No tool ports found: the registry lists no USB serial port (") +
         kSerialCommKey + ").";
}

std::string PortFamiliesText() {
  return std::string("USB serial ports in ") + kSerialCommKey;
}

std::string PortSourceHelp() {
  return std::string(
             "Ports: the USB serial ports that Windows lists in the registry under\n"
             "  ") + kSerialCommKey + " (\\Device\\USBSER000..199, then \\Device\\VCP0..19).\n";
}

}  // namespace cli
