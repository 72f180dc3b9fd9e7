#pragma once
// The machine's SERIALCOMM key (under Wine: the test prefix's own
// registry), opened for writing, with no USBSER / VCP value in it before
// and after each use: the ports the registry scan finds are the ones a test
// sets. Tests that use it must not run in two processes at once.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace varnok::test {

class SerialCommKey {
 public:
  using Values = std::vector<std::pair<std::string, std::string>>;

  SerialCommKey() {
    const LONG rc = RegCreateKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0,
                                    nullptr, REG_OPTION_VOLATILE, KEY_READ | KEY_WRITE, nullptr,
                                    &key_, nullptr);
    if (rc != ERROR_SUCCESS) key_ = nullptr;
    Clear();
  }
  ~SerialCommKey() {
    Clear();
    if (key_) RegCloseKey(key_);
  }
  bool Open() const { return key_ != nullptr; }

  void Set(const Values& values) {
    Clear();
    for (const auto& [name, data] : values) {
      RegSetValueExA(key_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
    }
  }

 private:
  void Clear() {
    if (!key_) return;
    for (int n = 0; n <= 200; ++n) {
      char name[32];
      std::snprintf(name, sizeof name, "\\Device\\USBSER%03d", n);
      RegDeleteValueA(key_, name);
      if (n <= 20) {
        std::snprintf(name, sizeof name, "\\Device\\VCP%d", n);
        RegDeleteValueA(key_, name);
      }
    }
  }

  HKEY key_ = nullptr;
};

}  // namespace varnok::test
