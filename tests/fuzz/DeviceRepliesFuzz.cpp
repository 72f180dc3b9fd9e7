// Tool replies into the three device classes. The first byte picks the
// class; after that the harness takes an operation byte, runs it, and the
// operation's requests draw their replies from the same stream (FuzzLink.h).
#include <cstdint>
#include <string>
#include <vector>

#include "device/ProductFactory.h"
#include "device/UsbDevInterface.h"
#include "tests/fuzz/FuzzLink.h"

namespace {

constexpr int kImageSize = 3 * 2048;
constexpr int kMaxOperations = 24;

void RunOperation(CUsbDevInterface& device, std::uint8_t op, const std::vector<std::uint8_t>& image) {
  std::uint8_t buffer[kDeviceDataBufferSize] = {};
  switch (op % 20) {
    case 0: device.OpenDevice(device.deviceName.empty() ? "QV220" : device.deviceName); break;
    case 1: device.OpenPort(1); break;
    case 2: {
      std::string name;
      device.QueryDeviceName(name);
      break;
    }
    case 3: device.ReadDeviceName(buffer); break;
    case 4: {
      IdStringRecord record;
      device.ReadIdStrings(record);
      break;
    }
    case 5: {
      int length = kDeviceDataBufferSize;
      device.ReadUserData(buffer, length);
      break;
    }
    case 6: device.WriteUserData(image.data(), fuzzlink::TakeByte()); break;
    case 7: device.EnterUpdateMode(); break;
    case 8: device.EraseFlash(); break;
    case 9: {
      const int block = (fuzzlink::TakeByte() & 1) ? 1024 : 2048;
      const int index = fuzzlink::TakeByte() % 3;
      device.WriteBlock(image.data(), block, index * block, index);
      break;
    }
    case 10: device.FinishUpdate(); break;
    case 11: device.ClosePort(); break;
    case 12: device.SetDeviceTime(); break;
    case 13: device.ReadPartitionTable(buffer); break;
    case 14: device.VerifyImage(image.data(), 1 + fuzzlink::TakeByte() * 24); break;
    case 15: device.ReadDeviceInfo(buffer); break;
    case 16: device.SelectPartition(); break;
    case 17: device.RestartDevice(static_cast<int>(fuzzlink::TakeByte()) * 8 - 16); break;
    case 18: device.SyncLoader(); break;
    case 19: device.RebootToLoader(); break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::vector<std::uint8_t> image = [] {
    std::vector<std::uint8_t> bytes(kImageSize);
    for (int i = 0; i < kImageSize; ++i) bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return bytes;
  }();
  fuzzlink::Begin(data, size);
  const int toolClass = fuzzlink::TakeByte() % 3;
  const std::uint8_t setup = fuzzlink::TakeByte();
  CProductFactory factory;
  std::unique_ptr<CUsbDevInterface> device = factory.Create(toolClass);
  if (!device) return 0;
  const int devTypes[] = {1, 6, 7, 12, 13, 2};
  device->SetDeviceType(devTypes[setup % 6]);
  device->partition = (setup >> 3) % 3;
  device->OpenPort(1);
  for (int i = 0; i < kMaxOperations && !fuzzlink::Exhausted(); ++i) {
    RunOperation(*device, fuzzlink::TakeByte(), image);
  }
  return 0;
}
