#pragma once
// CConfigHelper: the process-wide reader of device.xml.
//
// The file is read, never written. Every <Device> becomes a DeviceEntry kept
// in two ordered maps (by DevType and by DevName). Look-ups return copies;
// a look-up on an empty map walks the document again first, so an empty or
// unreadable file is walked on every look-up.
//
// Threads: safe to use from several threads at once (the command-line
// tool runs one update per tool in parallel): GetInstance constructs the
// instance once, and every member takes the instance's lock. A LoadConfig
// while other threads look entries up is allowed but pointless.

#include <map>
#include <mutex>
#include <memory>
#include <string>
#include <vector>

#include "update/DeviceEntry.h"

namespace tinyxml2 {
class XMLDocument;
}

// How the last LoadConfig ended. Everything but Loaded leaves no document.
enum class ConfigLoad {
  Loaded,      // read and parsed
  Missing,     // no such file
  NotAFile,    // a folder, a FIFO or another thing that is not a regular file
  Unreadable,  // exists, but cannot be opened or read (permissions, I/O error)
  Malformed,   // read, but not well-formed XML (or nested too deeply)
};

class CConfigHelper {
 public:
  // The process-wide instance, constructed on the first call.
  static CConfigHelper& GetInstance();

  // Drops the document, both maps and the cached paths of the instance, as
  // at process start. For tests only.
  static void ResetForTesting();

  virtual ~CConfigHelper();
  CConfigHelper(const CConfigHelper&) = delete;
  CConfigHelper& operator=(const CConfigHelper&) = delete;

  // Folder of the running program, ending with the platform's separator
  // ('/' on POSIX, '\\' on Windows). Computed once and cached.
  std::string GetModuleDir();

  // GetModuleDir() + "device.xml". Computed once and cached.
  std::string GetConfigPath();

  // Parses the file at `path` into the one document (created on the first
  // call). Returns whether the parse succeeded. Does not touch the maps:
  // entries built from an earlier file stay in force. Only regular files are
  // opened; anything else fails without reading. Never throws.
  bool LoadConfig(const std::string& path);

  // As LoadConfig, for text already in memory (the bytes of a device.xml).
  bool LoadConfigText(const std::string& text);

  // How the last LoadConfig or LoadConfigText ended (Missing before any).
  ConfigLoad LastLoad() const { return lastLoad; }

  // True only when a document is loaded and root/TestMode's text is "1".
  bool IsTestMode();

  // root/InnerVersion (test mode) or root/Version, as wide text (UTF-8
  // decoded; a byte that is not valid UTF-8 stands for itself). "V0.01"
  // without a document, element or text.
  std::wstring GetVersionText();

  // Copy of the entry with that DevType, or an empty entry.
  DeviceEntry FindByType(int devType);

  // Copy of the entry whose DevName equals `name` byte for byte, or an
  // empty entry.
  DeviceEntry FindByName(const std::string& name);

  // Fills both maps from the document: 0 when the type map holds at least
  // one entry afterwards, -1 otherwise (also without a document). The walk
  // stops at the first Device with a missing or empty child; entries stored
  // before it stay. Duplicate keys: the last Device wins.
  int BuildMaps();

  // Every entry of the type map in DevType order (builds the maps first
  // when the type map is empty). For listing models.
  std::vector<DeviceEntry> AllEntries();

 private:
  CConfigHelper();

  bool Parsed(ConfigLoad outcome);

  std::unique_ptr<tinyxml2::XMLDocument> document;  // null until LoadConfig ran once
  bool documentLoaded = false;                      // the last LoadConfig succeeded
  ConfigLoad lastLoad = ConfigLoad::Missing;
  std::map<int, DeviceEntry> typeMap;
  std::map<std::string, DeviceEntry> nameMap;
  std::string configPath;  // cache of GetConfigPath
  std::string moduleDir;   // cache of GetModuleDir
  // Guards everything above. Recursive: look-ups build the maps under it.
  std::recursive_mutex mutex_;
};
