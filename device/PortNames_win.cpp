// Win32 port names: port n is the device "\\.\COM<n>". The device namespace
// prefix makes numbers above 9 work.
#include <cstdlib>
#include <string>

#include "device/PortNames.h"
#include "device/RemotePorts.h"

namespace varnok {

namespace {
const char kComStem[] = "COM";
const std::size_t kComStemLength = sizeof kComStem - 1;
const std::size_t kMaxDigits = 9;  // any such number fits an int

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
}  // namespace

std::string PortDeviceDir() { return "\\\\.\\"; }

std::string PortDisplayName(int port) {
  if (IsRemotePort(port)) return RemotePortName(port);
  if (port < 1) return std::string();
  return kComStem + std::to_string(port);
}

std::string PortDevicePath(int port) {
  if (IsRemotePort(port)) return RemotePortName(port);
  const std::string name = PortDisplayName(port);
  return name.empty() ? name : PortDeviceDir() + name;
}

int PortNumberFromName(const std::string& nameOrPath) {
  // Device names are case-insensitive on Windows: "com7" is COM7.
  const std::size_t sep = nameOrPath.find_last_of("\\/");
  const std::string name = sep == std::string::npos ? nameOrPath : nameOrPath.substr(sep + 1);
  if (name.size() <= kComStemLength) return -1;
  for (std::size_t i = 0; i < kComStemLength; ++i)
    if (Upper(name[i]) != kComStem[i]) return -1;
  const std::string digits = name.substr(kComStemLength);
  if (digits.size() > kMaxDigits || digits[0] == '0') return -1;
  for (char c : digits)
    if (!IsDigit(c)) return -1;
  return std::atoi(digits.c_str());
}

}  // namespace varnok
