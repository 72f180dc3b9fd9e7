// Win32 port discovery: the USB serial drivers list their ports as values of
// HKLM\HARDWARE\DEVICEMAP\SERIALCOMM, named after the driver's device
// ("\Device\USBSER000", "\Device\VCP0") with the port name ("COM7") as data.
#include "device/Win32Api.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/PortNames.h"
#include "device/SearchUsbPort.h"

namespace varnok {

namespace {

const char kSerialCommKey[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM\\";
constexpr DWORD kValueBufferSize = 80;

// Appends the port named by value `valueName`, if the value exists.
void QueryPort(HKEY key, const char* valueName, std::vector<int>& ports) {
  // One byte beyond the size offered keeps the text terminated even when
  // the stored string fills the buffer without a terminator of its own.
  char data[kValueBufferSize + 1];
  std::memset(data, 0, sizeof data);
  DWORD type = REG_SZ;
  DWORD size = kValueBufferSize;  // offered in full for every value
  if (::RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS)
    return;
  // "COM7": the decimal number after the three letters. Text that names no
  // positive number ("COM", "COM0", junk) gives no port rather than port 0.
  errno = 0;
  const long port = std::strtol(data + 3, nullptr, 10);
  if (errno == 0 && port >= 1 && port <= INT_MAX) ports.push_back(static_cast<int>(port));
}

}  // namespace

int ScanUsbSerialPorts(std::vector<int>& ports, bool includeVcp) {
  ports.clear();
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSerialCommKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return 0;
  char valueName[32];
  for (int n = 0; n < kUsbSerCount; ++n) {
    std::snprintf(valueName, sizeof valueName, "\\Device\\USBSER%03d", n);
    QueryPort(key, valueName, ports);
  }
  if (includeVcp) {
    for (int n = 0; n < kVcpCount; ++n) {
      std::snprintf(valueName, sizeof valueName, "\\Device\\VCP%d", n);
      QueryPort(key, valueName, ports);
    }
  }
  ::RegCloseKey(key);
  return static_cast<int>(ports.size());
}

}  // namespace varnok

int CSearchUsbPort::SearchPorts(std::vector<int>& ports) {
  return varnok::ScanUsbSerialPorts(ports, true);
}
