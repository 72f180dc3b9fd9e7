#pragma once
// DeviceEntry: one supported tool as listed in device.xml. Copied by value.

#include <string>

struct DeviceEntry {
  int DevType = 0;               // product code; 0 in an empty entry
  std::string ShowName;          // display name
  std::string DevName;           // model name the tool reports and update files carry
  std::string UpdateFileHeader;  // kept with the entry; nothing checks it
  int USBType = 1;               // tool class: 0 classic, 1 new, 2 programmer

  // An entry that was cleared or never filled: DevType 0, empty texts, USBType 1.
  void Clear() { *this = DeviceEntry(); }
  bool IsEmpty() const { return DevType == 0; }
};

// Product codes the update workflows treat specially.
constexpr int kDevTypeSilentClassic = 6;   // classic tool that does not report its name
constexpr int kDevTypeSmallBlocks = 7;     // 1024-byte blocks; classic: short erase text
constexpr int kDevTypeRestartFirst = 12;   // programmer restarted and synchronised first
constexpr int kDevTypeLoaderReboot = 13;   // programmer sent to its loader; model-list trailer
