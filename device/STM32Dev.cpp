#include "device/STM32Dev.h"

#include <cstring>

#include "device/Clock.h"
#include "device/FrameCodec.h"
#include "device/SearchUsbPort.h"

using frame::Bytes;
using varnok::SleepMs;

namespace {

constexpr int kPurgeBothQueues = 3;  // receive (bit 0) and transmit (bit 1)
constexpr int kTries = 3;

// Reply time-outs, ms.
constexpr int kReplyTimeoutMs = 2000;
constexpr int kBlockDataTimeoutMs = 10000;
constexpr int kEraseTimeoutFirstMs = 5000;
constexpr int kEraseTimeoutSecondMs = 300000;

// Pauses, ms.
constexpr int kReplyPauseMs = 100;        // between a request and its reply
constexpr int kEnterRetryPauseMs = 50;    // after a wrong reply to 0xC0

// Erase parameters of the first variant.
constexpr std::uint8_t kEraseCountDeviceType7 = 0x30;
constexpr std::uint8_t kEraseCountDefault = 0xF2;
constexpr int kSmallEraseDeviceType = 7;

// QueryDeviceName's reply buffer.
constexpr int kNameReplyBufferSize = 260;

// WriteBlock results.
constexpr int kBlockWritten = 0;
constexpr int kBlockAborted = 1;
constexpr int kBlockNotWritten = -1;

bool StartsWith(const std::uint8_t* reply, int length, std::uint8_t code) {
  return length >= 3 && reply[0] == frame::kClassicReply0 && reply[1] == frame::kClassicReply1 &&
         reply[frame::kClassicCodeOffset] == code;
}

}  // namespace

CSTM32Dev::CSTM32Dev() {
  baudRate = 115200;
  abort = false;
}

CSTM32Dev::~CSTM32Dev() = default;

int CSTM32Dev::OpenDevice(const std::string& /*expectedName*/) {
  if (port.IsOpen()) ClosePort();
  ScanCandidatePorts(false);
  for (const int number : portList)
    if (port.Open(number, static_cast<unsigned>(baudRate), nullptr) == 1) return 0;
  return 1;
}

bool CSTM32Dev::OpenPort(int comPort) {
  ClosePort();
  abort = false;
  comNumber = -1;
  if (port.Open(comPort, static_cast<unsigned>(baudRate), nullptr) != 1) return false;
  comNumber = comPort;
  return true;
}

bool CSTM32Dev::ClosePort() {
  port.Close();
  return true;
}

bool CSTM32Dev::IsPortOpen() { return port.IsOpen(); }

int CSTM32Dev::QueryDeviceName(std::string& name) {
  name.clear();
  const Bytes request = frame::ClassicRequest(frame::kClassicQueryName);
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (abort.load()) return -1;
    const int sent = SendWholeFrame(request.data(), static_cast<int>(request.size()));
    if (sent == 0) return 0;
    if (sent < 0) continue;
    SleepMs(kReplyPauseMs);
    std::uint8_t reply[kNameReplyBufferSize] = {};
    const int received = ClassicReceive(reply, frame::kClassicNameReplyMax, kReplyTimeoutMs);
    if (received == 0) return 0;
    if (received < 0) continue;
    for (int i = 0; i < received && reply[i] != 0; ++i) name.push_back(static_cast<char>(reply[i]));
    return 1;
  }
  return 0;
}

bool CSTM32Dev::ReadDeviceName(std::uint8_t* buffer) {
  if (buffer == nullptr) return false;
  const Bytes request = frame::ClassicRequest(frame::kClassicQueryName);
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (abort.load()) return false;
    const int sent = SendWholeFrame(request.data(), static_cast<int>(request.size()));
    if (sent == 0) return false;
    if (sent < 0) continue;
    SleepMs(kReplyPauseMs);
    std::memset(buffer, 0, 4);
    // At most 5 bytes: well inside the caller's zeroed 32-byte buffer, so
    // the name stays terminated.
    const int received = ClassicReceive(buffer, frame::kClassicNameReplyMax, kReplyTimeoutMs);
    if (received == 0) return false;
    if (received < 0) continue;
    return true;
  }
  return false;
}

bool CSTM32Dev::ReadIdStrings(IdStringRecord& /*record*/) { return true; }

bool CSTM32Dev::ReadUserData(std::uint8_t* buffer, int& length) {
  if (buffer == nullptr) return false;
  const Bytes request = frame::ClassicRequest(frame::kClassicReadUserData);
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const int sent = SendWholeFrame(request.data(), static_cast<int>(request.size()));
    if (sent == 0) return false;
    if (sent < 0) continue;
    SleepMs(kReplyPauseMs);
    const int received = ClassicReceive(buffer, kDeviceDataBufferSize, kReplyTimeoutMs);
    if (received == 0) return false;
    if (received < 0) continue;
    port.Purge(kPurgeBothQueues);
    if (StartsWith(buffer, received, frame::kClassicNoData)) std::memset(buffer, 0, 4);
    length = received;
    return true;
  }
  return false;
}

bool CSTM32Dev::WriteUserData(const std::uint8_t* data, int length) {
  // The whole request must fit the tool's 2048-byte buffer.
  if (length < 0 || length > frame::kClassicMaxUserData) return false;
  if (data == nullptr && length > 0) return false;
  const Bytes request =
      frame::ClassicRequest(frame::kClassicWriteUserData, Bytes(data, data + length));
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const int sent = SendWholeFrame(request.data(), static_cast<int>(request.size()));
    if (sent == 0) return false;
    if (sent < 0) continue;
    std::uint8_t reply[frame::kClassicDataBufferSize] = {};
    const int received = ClassicReceive(reply, frame::kClassicDataBufferSize, kReplyTimeoutMs);
    if (received == 0) return false;
    if (received < 0) continue;
    port.Purge(kPurgeBothQueues);
    if (StartsWith(reply, received, frame::kClassicDataWritten)) return true;
  }
  // Three tries without the "written" reply: the data is not stored,
  // whatever the tool answered instead.
  return false;
}

int CSTM32Dev::EnterUpdateMode() {
  const Bytes params = partition == 0 ? Bytes{0x01, 0x02, 0x03, 0x04, 0x05}
                                      : Bytes{0x05, 0x04, 0x03, 0x02, 0x01};
  return ExchangeForCode(frame::ClassicRequest(frame::kClassicEnterUpdate, params),
                         frame::kClassicUpdateMode, kReplyTimeoutMs, kEnterRetryPauseMs);
}

int CSTM32Dev::ExchangeForCode(const Bytes& request, std::uint8_t code, int timeoutMs,
                               int retryPauseMs) {
  for (int attempt = 0; attempt < kTries; ++attempt) {
    if (abort.load()) return 0;
    const int sent = SendWholeFrame(request.data(), static_cast<int>(request.size()));
    if (sent == 0) return 0;
    if (sent < 0) continue;
    std::uint8_t reply[frame::kClassicAckBufferSize] = {};
    SleepMs(kReplyPauseMs);
    const int received = ClassicReceive(reply, frame::kClassicAckBufferSize, timeoutMs);
    if (received == 0) return 0;
    if (received < 0) continue;
    port.Purge(kPurgeBothQueues);
    if (frame::IsClassicReply(reply, received, code)) return 1;
    SleepMs(retryPauseMs);
  }
  return -1;
}

int CSTM32Dev::EraseFlash() {
  Bytes params;
  int timeoutMs;
  if (partition == 0) {
    frame::PutLe32(params, frame::kClassicFlashBase);
    params.push_back(deviceType == kSmallEraseDeviceType ? kEraseCountDeviceType7
                                                         : kEraseCountDefault);
    timeoutMs = kEraseTimeoutFirstMs;
  } else {
    params.assign(5, 0x00);
    timeoutMs = kEraseTimeoutSecondMs;
  }
  return ExchangeForCode(frame::ClassicRequest(frame::kClassicErase, params),
                         frame::kClassicEraseDone, timeoutMs, /*retryPauseMs=*/0);
}

int CSTM32Dev::WriteBlock(const std::uint8_t* image, int len, int offset, int index) {
  if (image == nullptr || len < 0 || len > frame::kClassicMaxBlock || offset < 0)
    return kBlockNotWritten;
  const std::uint8_t* data = image + offset;
  const std::uint32_t address =
      static_cast<std::uint32_t>(offset) + (partition == 0 ? frame::kClassicFlashBase : 0u);

  Bytes headerParams;
  frame::PutLe32(headerParams, address);
  frame::PutLe16(headerParams, static_cast<unsigned>(len + frame::kClassicBlockTrailerSize));
  const Bytes header = frame::ClassicRequest(frame::kClassicWriteBlock, headerParams);

  Bytes packet(data, data + len);
  frame::PutLe32(packet, frame::Sum32(data, len));
  packet.push_back(frame::kClassicFiller);
  packet.push_back(static_cast<std::uint8_t>(index & 0xFF));

  for (int attempt = 0; attempt < kTries; ++attempt) {
    int sent = SendWholeFrame(header.data(), static_cast<int>(header.size()));
    if (sent == 0) return kBlockAborted;
    if (sent < 0) continue;
    std::uint8_t reply[frame::kClassicAckBufferSize] = {};
    int received = ClassicReceive(reply, frame::kClassicAckBufferSize, kReplyTimeoutMs);
    if (received == 0) return kBlockAborted;
    if (received < 0) continue;
    port.Purge(kPurgeBothQueues);
    if (!frame::IsClassicReply(reply, received, frame::kClassicHeaderAccepted)) continue;

    // A stop request after the header was accepted leaves the block
    // unwritten as well: it is reported as an abort, never as done.
    sent = SendWholeFrame(packet.data(), static_cast<int>(packet.size()));
    if (sent == 0) return kBlockAborted;
    if (sent < 0) continue;
    std::memset(reply, 0, sizeof reply);
    received = ClassicReceive(reply, frame::kClassicAckBufferSize, kBlockDataTimeoutMs);
    if (received == 0) return kBlockAborted;
    if (received < 0) continue;
    port.Purge(kPurgeBothQueues);
    if (frame::IsClassicReply(reply, received, frame::kClassicBlockAccepted)) return kBlockWritten;
  }
  // However the third try ended, the block is not written.
  return kBlockNotWritten;
}

bool CSTM32Dev::FinishUpdate() {
  const Bytes request = frame::ClassicRequest(frame::kClassicFinish);
  for (int attempt = 0; attempt < kTries; ++attempt) {
    const int sent = SendWholeFrame(request.data(), static_cast<int>(request.size()));
    if (sent == 0) return false;
    if (sent > 0) break;
  }
  // The tool restarts on this request; its answer, if any, says nothing,
  // and neither does a stop that cuts the wait for it short: the request
  // went out.
  std::uint8_t reply[frame::kClassicAckBufferSize] = {};
  ClassicReceive(reply, frame::kClassicAckBufferSize, kReplyTimeoutMs);
  return true;
}

bool CSTM32Dev::SetDeviceTime() { return true; }
bool CSTM32Dev::ReadPartitionTable(std::uint8_t* /*table*/) { return true; }
int CSTM32Dev::VerifyImage(const std::uint8_t* /*image*/, int /*size*/) { return 1; }
bool CSTM32Dev::ReadDeviceInfo(std::uint8_t* /*buffer*/) { return true; }
int CSTM32Dev::SelectPartition() { return 0; }
int CSTM32Dev::RestartDevice(int /*waitMs*/) { return 0; }
int CSTM32Dev::SyncLoader() { return 0; }
int CSTM32Dev::RebootToLoader() { return 1; }
