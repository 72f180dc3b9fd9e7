#include "update/ConfigHelper.h"

#include <cstdlib>

#include <tinyxml.h>

#include "update/ModuleDir.h"
#include "update/WideText.h"

namespace {

constexpr const char* kDefaultVersion = "V0.01";
constexpr const char* kConfigFileName = "device.xml";

std::unique_ptr<CConfigHelper>& InstanceSlot() {
  static std::unique_ptr<CConfigHelper> instance;
  return instance;
}

// Text of the child element `name` of `parent`, or null when the element is
// missing or holds no text.
const char* ChildText(const TiXmlElement* parent, const char* name) {
  const TiXmlElement* child = parent->FirstChildElement(name);
  return child ? child->GetText() : nullptr;
}

}  // namespace

CConfigHelper& CConfigHelper::GetInstance() {
  std::unique_ptr<CConfigHelper>& slot = InstanceSlot();
  if (!slot) slot.reset(new CConfigHelper());
  return *slot;
}

void CConfigHelper::ResetForTesting() { InstanceSlot().reset(); }

CConfigHelper::CConfigHelper() = default;
CConfigHelper::~CConfigHelper() = default;

std::string CConfigHelper::GetModuleDir() {
  if (moduleDir.empty()) {
    const std::string program = varnok::RunningProgramPath();
    const std::string::size_type cut = program.find_last_of(varnok::PathSeparator());
    if (cut != std::string::npos) moduleDir = program.substr(0, cut + 1);
  }
  return moduleDir;
}

std::string CConfigHelper::GetConfigPath() {
  if (configPath.empty()) configPath = GetModuleDir() + kConfigFileName;
  return configPath;
}

bool CConfigHelper::LoadConfig(const std::string& path) {
  if (!document) document.reset(new TiXmlDocument(path));
  const bool parsed = document->LoadFile(path);
  // A failed load (for example a file that cannot be opened) may leave the
  // previous content in the document; it must not count as loaded.
  if (!parsed) document->Clear();
  documentLoaded = parsed;
  return parsed;
}

bool CConfigHelper::IsTestMode() {
  if (!document || !documentLoaded) return false;
  const TiXmlElement* mode =
      TiXmlHandle(document.get()).FirstChild("root").FirstChild("TestMode").ToElement();
  if (!mode) return false;
  const char* value = mode->GetText();
  return value && std::string(value) == "1";
}

std::wstring CConfigHelper::GetVersionText() {
  if (!document || !documentLoaded) return varnok::WideFromNarrow(kDefaultVersion);
  const char* element = IsTestMode() ? "InnerVersion" : "Version";
  const TiXmlElement* version =
      TiXmlHandle(document.get()).FirstChild("root").FirstChild(element).ToElement();
  const char* value = version ? version->GetText() : nullptr;
  return varnok::WideFromNarrow(value ? value : kDefaultVersion);
}

DeviceEntry CConfigHelper::FindByType(int devType) {
  if (typeMap.empty()) BuildMaps();
  const auto found = typeMap.find(devType);
  return found == typeMap.end() ? DeviceEntry() : found->second;
}

DeviceEntry CConfigHelper::FindByName(const std::string& name) {
  if (nameMap.empty()) BuildMaps();
  const auto found = nameMap.find(name);
  return found == nameMap.end() ? DeviceEntry() : found->second;
}

int CConfigHelper::BuildMaps() {
  if (!document || !documentLoaded) return -1;
  const TiXmlElement* device =
      TiXmlHandle(document.get()).FirstChild("root").FirstChild("Device").ToElement();
  for (; device; device = device->NextSiblingElement("Device")) {
    const char* devType = ChildText(device, "DevType");
    const char* showName = ChildText(device, "ShowName");
    const char* devName = ChildText(device, "DevName");
    const char* header = ChildText(device, "UpdateFileHeader");
    const char* usbType = ChildText(device, "USBType");
    if (!devType || !showName || !devName || !header || !usbType) return -1;
    DeviceEntry entry;
    entry.DevType = std::atoi(devType);
    entry.ShowName = showName;
    entry.DevName = devName;
    entry.UpdateFileHeader = header;
    entry.USBType = std::atoi(usbType);
    typeMap[entry.DevType] = entry;
    nameMap[entry.DevName] = entry;
  }
  return typeMap.empty() ? -1 : 0;
}

std::vector<DeviceEntry> CConfigHelper::AllEntries() {
  if (typeMap.empty()) BuildMaps();
  std::vector<DeviceEntry> entries;
  entries.reserve(typeMap.size());
  for (const auto& item : typeMap) entries.push_back(item.second);
  return entries;
}
