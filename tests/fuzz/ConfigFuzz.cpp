// The configuration reader over arbitrary device.xml bytes.
#include <cstdint>
#include <string>

#include "update/ConfigHelper.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CConfigHelper::ResetForTesting();
  CConfigHelper& config = CConfigHelper::GetInstance();
  config.LoadConfigText(std::string(reinterpret_cast<const char*>(data), size));
  config.IsTestMode();
  config.GetVersionText();
  config.FindByType(1);
  config.FindByName("QV120");
  for (const DeviceEntry& entry : config.AllEntries()) config.FindByName(entry.DevName);
  return 0;
}
