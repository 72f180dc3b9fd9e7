// CDownloadWorkflow::LoadUpdateFile: reads an update file into memory after
// checking that it belongs to the entry's tool.
#include <cstdint>
#include <fstream>
#include <new>

#include "device/FilePath.h"
#include "device/UsbDevInterface.h"
#include "update/DownloadRunState.h"
#include "update/DownloadWorkflow.h"
#include "update/FileKind.h"
#include "update/UpdateFile.h"

namespace {

// Reads up to `count` bytes; returns how many came.
std::int64_t ReadSome(std::ifstream& file, std::uint8_t* into, std::int64_t count) {
  if (count <= 0) return 0;
  file.read(reinterpret_cast<char*>(into), static_cast<std::streamsize>(count));
  const std::int64_t got = file.gcount();
  file.clear();  // a short read sets eof/fail; the count says what happened
  return got;
}

}  // namespace

bool CDownloadWorkflow::LoadUpdateFile(const std::string& path) {
  using namespace updatefile;
  DownloadRunState& s = *state;
  const DeviceEntry& entry = s.entry;

  WaitForFileDigest();
  s.image.reset();
  s.fileHead.clear();

  if (!s.device) {
    s.factory.reset(new CProductFactory());
    s.device = s.factory->Create(entry.USBType);
    if (!s.device) return false;
    s.device->partition = s.partitionSelector;
    s.device->RestrictToPort(s.onlyPort);
    s.device->port.SetTrace(s.trace);
  }
  CUsbDevInterface& device = *s.device;

  // Only a regular file is opened: a FIFO would block the open for ever,
  // a device would never end.
  if (varnok::KindOfFile(path) != varnok::FileKind::Regular) return false;
  std::ifstream file(varnok::FilePath(path), std::ios::binary);
  if (!file.is_open()) return false;

  device.SetDeviceType(entry.DevType);

  // The whole length, 64 bits wide: a length cut to 32 bits would load a
  // wrong-sized image.
  file.seekg(0, std::ios::end);
  const std::streamoff fileLength = file.tellg();
  file.seekg(0, std::ios::beg);
  if (fileLength < 0 || !file.good()) return false;
  if (fileLength > kMaxUpdateFileSize) return false;
  std::int64_t length = fileLength;

  std::unique_ptr<std::vector<std::uint8_t>> buffer;
  try {
    buffer.reset(new std::vector<std::uint8_t>(static_cast<std::size_t>(length), 0));
  } catch (const std::bad_alloc&) {
    return false;
  }

  std::string expected;
  switch (entry.USBType) {
    case kToolClassic: {
      std::uint8_t header[kClassicHeaderSize] = {};
      if (ReadSome(file, header, kClassicHeaderSize) == kClassicHeaderSize) {
        if (ClassicHeaderName(header) != entry.DevName) return false;
        length -= kClassicHeaderSize;
        s.fileHead.assign(header, header + kClassicHeaderSize);
      }
      break;
    }
    case kToolNew:
      device.partition = PartitionForNewToolPath(path, device.partition);
      expected = entry.DevName;
      break;
    case kToolProgrammer:
      device.partition = 2;
      if (device.OpenDevice(entry.DevName) == 0) {
        expected = device.deviceName;
        device.ClosePort();
      }
      break;
    default:
      return false;
  }

  if (entry.USBType == kToolNew || entry.DevType == kDevTypeLoaderReboot) {
    if (fileLength < kTrailerSize) return false;
    // Come back to where the image starts (after a classic header).
    const std::streamoff imageStart = file.tellg();
    file.seekg(fileLength - kTrailerSize, std::ios::beg);
    if (!file.good()) return false;
    std::uint8_t list[kModelListSize] = {};
    if (ReadSome(file, list, kModelListSize) == kModelListSize) {
      if (!ModelListAccepts(SplitModelList(list), expected)) return false;
    }
    file.seekg(imageStart, std::ios::beg);
    if (!file.good()) return false;
  }

  buffer->resize(static_cast<std::size_t>(length));
  if (ReadSome(file, buffer->data(), length) != length) return false;

  s.image = std::move(buffer);
  StartFileDigest();
  return true;
}
