#include "device/STM32DevOmnix.h"

#include "device/FramedText.h"
#include "device/SearchUsbPort.h"

using framed::ExchangeEnd;
using framed::ExchangeResult;
using frame::Bytes;

namespace {
constexpr int kOpenFound = 0;
constexpr int kOpenNoneAnswered = 1;
constexpr int kOpenOtherModel = 2;
}  // namespace

CSTM32DevOmnix::CSTM32DevOmnix() {
  baudRate = 115200;
  abort = false;
}

CSTM32DevOmnix::~CSTM32DevOmnix() {
  // The programmer's port is closed as it is, without the purge of
  // CSTM32DevNew's ClosePort.
  port.Close();
}

const framed::CommandTable& CSTM32DevOmnix::Commands() const {
  return framed::kProgrammerCommands;
}

int CSTM32DevOmnix::SendFramed(const std::uint8_t* frame, int length) {
  if (!port.IsOpen()) ReopenClosedPort();
  return SendFramePieces(frame, length);
}

bool CSTM32DevOmnix::ReopenClosedPort() {
  // OpenDevice leaves comNumber alone; a tool found that way is reopened
  // on the port it was found on.
  const int number = comNumber >= 0 ? comNumber : foundPort_;
  if (closedByClosePort_) return OpenPort(number);
  // The line hung up by itself: the reopen must not swallow a stop request
  // that came meanwhile.
  const bool stopRequested = abort.load();
  const bool reopened = OpenPort(number);
  if (stopRequested) abort = true;
  return reopened;
}

int CSTM32DevOmnix::OpenDevice(const std::string& /*expectedName*/) {
  if (port.IsOpen()) ClosePort();
  ScanCandidatePorts(true);
  if (portList.empty()) return kOpenNoneAnswered;

  const std::vector<int> candidates = portList;
  int result = kOpenNoneAnswered;
  for (const int number : candidates) {
    if (port.Open(number, static_cast<unsigned>(baudRate), nullptr) != 1) continue;
    abort = false;
    std::uint8_t name[kDeviceNameBufferSize] = {};
    if (!ReadDeviceName(name)) {
      port.Close();
      continue;
    }
    const std::string token = framed::NameToken(framed::TextOf(name, kDeviceNameBufferSize));
    if (token.find("OMNIX") != std::string::npos) {
      deviceName = token;
      foundPort_ = number;
      closedByClosePort_ = false;
      return kOpenFound;
    }
    result = kOpenOtherModel;
    port.Close();
  }
  return result;
}

bool CSTM32DevOmnix::OpenPort(int comPort) {
  // Not through ClosePort: that would raise the stop request.
  if (port.IsOpen()) port.Close();
  abort = false;
  comNumber = -1;
  if (port.Open(comPort, static_cast<unsigned>(baudRate), nullptr) != 1) return false;
  comNumber = comPort;
  closedByClosePort_ = false;
  return true;
}

bool CSTM32DevOmnix::ClosePort() {
  closedByClosePort_ = true;
  abort = true;
  port.Close();
  return true;
}

int CSTM32DevOmnix::QueryDeviceName(std::string& name) {
  return QueryName(Commands().queryDeviceName, name, false);
}

bool CSTM32DevOmnix::ReadIdStrings(IdStringRecord& /*record*/) { return true; }

int CSTM32DevOmnix::VerifyImage(const std::uint8_t* image, int size) {
  Bytes payload;
  if (!BuildVerifyPayload(image, size, payload)) return -1;
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().verifyImage, payload, reply);
  if (result.end != ExchangeEnd::kReply) return AckResult(result, reply, -1, -1);
  int code = kShortVerifyRefusal;
  if (frame::IsAck(reply, result.length, &code)) return 0;
  // A refusal whose status byte is 0 must not read as success.
  return code == 0 ? -1 : code;
}

int CSTM32DevOmnix::SelectPartition() { return 0; }

int CSTM32DevOmnix::SyncLoader() {
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result =
      Exchange(Commands().syncLoader, Bytes{frame::kCmdSyncLoader}, reply);
  // The loader answers with its own status; any answer means it is there.
  if (result.end == ExchangeEnd::kReply) return 0;
  return AckResult(result, reply, -1, /*abortInLoop=*/1);
}
