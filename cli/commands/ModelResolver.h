#pragma once
// Which device.xml entry a --model argument names.

#include <string>
#include <vector>

#include "update/DeviceEntry.h"

namespace cli {

// `text` may be the product code ("12"), the DevName ("OMNIX2") or the
// ShowName ("OMNIX II"). Exact matches win (code, then DevName, then
// ShowName); otherwise a match ignoring ASCII case must be unique. False
// with a reason in `error` when nothing or more than one entry fits.
bool ResolveModel(const std::string& text, const std::vector<DeviceEntry>& entries,
                  DeviceEntry& found, std::string& error);

}  // namespace cli
