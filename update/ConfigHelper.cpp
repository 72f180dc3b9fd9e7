#include "device/FilePath.h"
#include "update/ConfigHelper.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include <tinyxml2.h>

#include "update/FileKind.h"
#include "update/ModuleDir.h"
#include "update/WideText.h"

namespace {

constexpr const char* kDefaultVersion = "V0.01";
constexpr const char* kConfigFileName = "device.xml";

std::mutex& InstanceMutex() {
  static std::mutex mutex;
  return mutex;
}

// Callers hold InstanceMutex().
std::unique_ptr<CConfigHelper>& InstanceSlot() {
  static std::unique_ptr<CConfigHelper> instance;
  return instance;
}

using tinyxml2::XMLElement;
using tinyxml2::XMLNode;

// Every element of the file is found by one rule: the first node of any
// kind whose value is the name, from `node` on, as an element. A comment or
// text "root", "Device" or "DevName" ahead of that element hides it (and
// ends the walk over the devices there). Null when that node is missing or
// not an element.
const XMLElement* NamedFrom(const XMLNode* node, const char* name) {
  for (; node; node = node->NextSibling()) {
    const char* value = node->Value();
    if (value && std::strcmp(value, name) == 0) return node->ToElement();
  }
  return nullptr;
}

const XMLElement* NamedChild(const XMLNode* parent, const char* name) {
  return NamedFrom(parent ? parent->FirstChild() : nullptr, name);
}

const XMLElement* NamedSibling(const XMLNode* node, const char* name) {
  return NamedFrom(node->NextSibling(), name);
}

// Text of the child element `name` of `parent`, or null when the element is
// missing or holds no text.
const char* ChildText(const XMLElement* parent, const char* name) {
  const XMLElement* child = NamedChild(parent, name);
  return child ? child->GetText() : nullptr;
}

// Reads the whole file when it is a regular file; other kinds (a folder, a
// FIFO that would block, a device) are refused without being opened.
ConfigLoad ReadConfigFile(const std::string& path, std::string& bytes) {
  switch (varnok::KindOfFile(path)) {
    case varnok::FileKind::Missing: return ConfigLoad::Missing;
    case varnok::FileKind::Other: return ConfigLoad::NotAFile;
    case varnok::FileKind::Unknown: return ConfigLoad::Unreadable;
    case varnok::FileKind::Regular: break;
  }
  std::ifstream in(varnok::FilePath(path), std::ios::binary);
  if (!in) return ConfigLoad::Unreadable;
  try {
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {  // a file too large to hold, or a read error
    return ConfigLoad::Unreadable;
  }
  return in.bad() ? ConfigLoad::Unreadable : ConfigLoad::Loaded;
}

}  // namespace

CConfigHelper& CConfigHelper::GetInstance() {
  std::lock_guard<std::mutex> lock(InstanceMutex());
  std::unique_ptr<CConfigHelper>& slot = InstanceSlot();
  if (!slot) slot.reset(new CConfigHelper());
  return *slot;
}

void CConfigHelper::ResetForTesting() {
  std::lock_guard<std::mutex> lock(InstanceMutex());
  InstanceSlot().reset();
}

CConfigHelper::CConfigHelper() = default;
CConfigHelper::~CConfigHelper() = default;

std::string CConfigHelper::GetModuleDir() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (moduleDir.empty()) {
    const std::string program = varnok::RunningProgramPath();
    const std::string::size_type cut = program.find_last_of(varnok::PathSeparator());
    if (cut != std::string::npos) moduleDir = program.substr(0, cut + 1);
  }
  return moduleDir;
}

std::string CConfigHelper::GetConfigPath() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (configPath.empty()) configPath = GetModuleDir() + kConfigFileName;
  return configPath;
}

bool CConfigHelper::LoadConfig(const std::string& path) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  std::string bytes;
  const ConfigLoad read = ReadConfigFile(path, bytes);
  if (read != ConfigLoad::Loaded) return Parsed(read);
  return LoadConfigText(bytes);
}

bool CConfigHelper::LoadConfigText(const std::string& text) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  // Whitespace is collapsed as the reader always did: leading and trailing
  // white space of a text is dropped and inner runs become one space. The
  // library bounds the element depth, so deep nesting is a parse error
  // rather than a stack overflow.
  if (!document)
    document.reset(new tinyxml2::XMLDocument(true, tinyxml2::COLLAPSE_WHITESPACE));
  const bool parsed = document->Parse(text.data(), text.size()) == tinyxml2::XML_SUCCESS;
  return Parsed(parsed ? ConfigLoad::Loaded : ConfigLoad::Malformed);
}

bool CConfigHelper::Parsed(ConfigLoad outcome) {
  // A failed load must not leave an earlier document counting as loaded.
  if (outcome != ConfigLoad::Loaded && document) document->Clear();
  lastLoad = outcome;
  documentLoaded = outcome == ConfigLoad::Loaded;
  return documentLoaded;
}

bool CConfigHelper::IsTestMode() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!document || !documentLoaded) return false;
  const XMLElement* mode = NamedChild(NamedChild(document.get(), "root"), "TestMode");
  if (!mode) return false;
  const char* value = mode->GetText();
  return value && std::string(value) == "1";
}

std::wstring CConfigHelper::GetVersionText() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!document || !documentLoaded) return varnok::WideFromNarrow(kDefaultVersion);
  const char* element = IsTestMode() ? "InnerVersion" : "Version";
  const XMLElement* version = NamedChild(NamedChild(document.get(), "root"), element);
  const char* value = version ? version->GetText() : nullptr;
  return varnok::WideFromNarrow(value ? value : kDefaultVersion);
}

DeviceEntry CConfigHelper::FindByType(int devType) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (typeMap.empty()) BuildMaps();
  const auto found = typeMap.find(devType);
  return found == typeMap.end() ? DeviceEntry() : found->second;
}

DeviceEntry CConfigHelper::FindByName(const std::string& name) {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (nameMap.empty()) BuildMaps();
  const auto found = nameMap.find(name);
  return found == nameMap.end() ? DeviceEntry() : found->second;
}

int CConfigHelper::BuildMaps() {
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (!document || !documentLoaded) return -1;
  const XMLElement* device = NamedChild(NamedChild(document.get(), "root"), "Device");
  for (; device; device = NamedSibling(device, "Device")) {
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
  std::lock_guard<std::recursive_mutex> lock(mutex_);
  if (typeMap.empty()) BuildMaps();
  std::vector<DeviceEntry> entries;
  entries.reserve(typeMap.size());
  for (const auto& item : typeMap) entries.push_back(item.second);
  return entries;
}
