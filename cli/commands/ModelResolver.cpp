#include "cli/commands/ModelResolver.h"

#include "update/UpdateFile.h"

namespace cli {

namespace {

bool AllDigits(const std::string& s) {
  if (s.empty() || s.size() > 9) return false;
  for (const char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

bool ResolveModel(const std::string& text, const std::vector<DeviceEntry>& entries,
                  DeviceEntry& found, std::string& error) {
  if (AllDigits(text)) {
    const int code = std::stoi(text);
    for (const DeviceEntry& e : entries) {
      if (e.DevType == code) {
        found = e;
        return true;
      }
    }
    error = "no model with product code " + text + " in the configuration";
    return false;
  }
  for (const DeviceEntry& e : entries) {
    if (e.DevName == text) {
      found = e;
      return true;
    }
  }
  for (const DeviceEntry& e : entries) {
    if (e.ShowName == text) {
      found = e;
      return true;
    }
  }
  const std::string wanted = updatefile::AsciiLower(text);
  const DeviceEntry* match = nullptr;
  for (const DeviceEntry& e : entries) {
    if (updatefile::AsciiLower(e.DevName) == wanted || updatefile::AsciiLower(e.ShowName) == wanted) {
      if (match && match->DevType != e.DevType) {
        error = "model name \"" + text + "\" is ambiguous; give the product code";
        return false;
      }
      match = &e;
    }
  }
  if (match) {
    found = *match;
    return true;
  }
  error = "unknown model \"" + text + "\" (see: varnok-cli models)";
  return false;
}

}  // namespace cli
