// Update-file loading: the first byte picks the model and the file name,
// the rest is the file.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tests/fuzz/FuzzLink.h"
#include "update/DownloadWorkflow.h"

namespace {

struct Model {
  int devType;
  const char* devName;
  int usbType;
};

const Model kModels[] = {{1, "QV120", 0}, {6, "QV210", 0}, {7, "PX110", 0},
                         {2, "QV220", 1}, {4, "QV330", 1}, {12, "OMNIX", 2},
                         {13, "OMNIX II", 2}};

// A folder in memory where there is one (a file is written per input).
const std::string& Folder() {
  static const std::string folder = [] {
    char shm[] = "/dev/shm/varnok-fuzz-file-XXXXXX";
    char tmp[] = "/tmp/varnok-fuzz-file-XXXXXX";
    const char* dir = mkdtemp(shm);
    if (dir == nullptr) dir = mkdtemp(tmp);
    return std::string(dir ? dir : "/tmp");
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t pick = data[0];
  const Model& model = kModels[pick % (sizeof kModels / sizeof kModels[0])];
  const std::string path = Folder() + ((pick & 0x80) ? "/fw_A.zpk" : "/fw.bin");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data + 1), static_cast<std::streamsize>(size - 1));
  }
  fuzzlink::Begin(nullptr, 0);  // a programmer tool asked for its name stays silent
  DeviceEntry entry;
  entry.DevType = model.devType;
  entry.DevName = model.devName;
  entry.ShowName = model.devName;
  entry.USBType = model.usbType;
  CDownloadWorkflow workflow;
  workflow.SetPartitionSelector((pick >> 4) % 3);
  workflow.SetDeviceEntry(entry);
  if (workflow.LoadUpdateFile(path) && workflow.ImageSize() > static_cast<int>(size)) std::abort();
  return 0;
}
