#include <grp.h>
#include <sys/stat.h>

#include "cli/platform/PortDiagnosis.h"
#include "device/PortNames.h"
#include "device/SyncSerialPort.h"

namespace cli {

namespace {

// The group that owns the device file, when it is one a user joins.
std::string DeviceGroup(const std::string& devicePath) {
  struct stat info {};
  if (stat(devicePath.c_str(), &info) != 0) return "dialout";
  const group* g = getgrgid(info.st_gid);
  if (!g || !g->gr_name || std::string(g->gr_name) == "root") return "dialout";
  return g->gr_name;
}

}  // namespace

std::string AdviceForOpenFailure(varnok::PortFailure failure, const std::string& devicePath) {
  switch (failure) {
    case varnok::PortFailure::PermissionDenied: {
      const std::string group = DeviceGroup(devicePath);
      return "Permission denied opening " + devicePath + ": your user may not use serial ports.\n"
             "Join the " + group + " group with:\n"
             "  sudo usermod -aG " + group + " $USER\n"
             "then log out and log in again (the new group counts only from the next login).";
    }
    case varnok::PortFailure::Busy:
      return devicePath + " is busy: another program holds the port. Often this is ModemManager\n"
             "probing a newly plugged ttyACM device. Stop it for the update with:\n"
             "  sudo systemctl stop ModemManager\n"
             "(or close the other program that uses the port), then try again.";
    default:
      return std::string();
  }
}

std::string ProbePort(int port, varnok::PortFailure* failure) {
  CSyncSerialPort probe;
  const bool opened = probe.Open(port, 115200, nullptr) == 1;
  if (failure) *failure = opened ? varnok::PortFailure::None : probe.LastOpenFailure();
  if (opened) {
    probe.Close();
    return std::string();
  }
  return AdviceForOpenFailure(probe.LastOpenFailure(), varnok::PortDevicePath(port));
}

}  // namespace cli
