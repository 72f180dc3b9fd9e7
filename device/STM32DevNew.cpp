#include "device/STM32DevNew.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "device/CalendarTime.h"
#include "device/FramedText.h"
#include "device/SearchUsbPort.h"

using framed::CommandPattern;
using framed::ExchangeEnd;
using framed::ExchangeResult;
using frame::Bytes;

namespace {

constexpr int kPurgeBothQueues = 3;  // receive (bit 0) and transmit (bit 1)

// OpenDevice results.
constexpr int kOpenFound = 0;
constexpr int kOpenNoneAnswered = 1;
constexpr int kOpenOtherModel = 2;

// A data reply of QueryDeviceName holds at most this much name text.
constexpr int kQueryNameMax = 259;
// ReadIdStrings reads at most this much text.
constexpr int kIdTextMax = 255;

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

// The port side of the command pattern over this object's loops.
class CSTM32DevNew::Channel : public framed::IFramedChannel {
 public:
  explicit Channel(CSTM32DevNew& device) : device_(device) {}
  int SendRequest(const std::uint8_t* frame, int length) override {
    return device_.SendFramed(frame, length);
  }
  int ReceiveReply(std::uint8_t* buffer, std::uint8_t command, int timeoutMs) override {
    return device_.FramedReceive(buffer, command, timeoutMs);
  }
  void PurgeQueues() override { device_.port.Purge(kPurgeBothQueues); }
  bool StopRequested() const override { return device_.abort.load(); }

 private:
  CSTM32DevNew& device_;
};

CSTM32DevNew::CSTM32DevNew() {
  baudRate = 115200;
  abort = false;
}

CSTM32DevNew::~CSTM32DevNew() {
  if (port.IsOpen()) ClosePort();
}

const framed::CommandTable& CSTM32DevNew::Commands() const { return framed::kNewToolCommands; }

int CSTM32DevNew::SendFramed(const std::uint8_t* frame, int length) {
  if (!port.IsOpen()) ReopenClosedPort();
  return SendWholeFrame(frame, length);
}

bool CSTM32DevNew::ReopenClosedPort() {
  // OpenDevice asks every port for its name through the same loops; a port
  // lost during that must not start another scan from inside the first.
  if (reopening_) return false;
  reopening_ = true;
  const bool reopened = OpenDevice(deviceName) == kOpenFound;
  reopening_ = false;
  return reopened;
}

std::tm CSTM32DevNew::LocalTimeNow() const {
  // Several runs may set their tools' clocks at once.
  return varnok::LocalTimeOf(std::time(nullptr));
}

ExchangeResult CSTM32DevNew::Exchange(const CommandPattern& pattern, const Bytes& payload,
                                      std::uint8_t* reply) {
  Channel channel(*this);
  return framed::RunCommand(channel, pattern, frame::EncodeFrame(payload), reply);
}

int CSTM32DevNew::AckResult(const ExchangeResult& result, const std::uint8_t* reply,
                            int refused, int abortInLoop) {
  switch (result.end) {
    case ExchangeEnd::kReply:
      return frame::IsAck(reply, result.length) ? 0 : refused;
    case ExchangeEnd::kAborted:
      return abortInLoop;
    case ExchangeEnd::kAbortedBeforeTry:
      return 1;
    case ExchangeEnd::kTimedOut:
      break;
  }
  return -1;
}

bool CSTM32DevNew::ReadDataReply(const CommandPattern& pattern, std::uint8_t* out, int capacity,
                                 int extraTrim, int* stored) {
  if (stored != nullptr) *stored = 0;
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(pattern, Bytes{pattern.command}, reply);
  if (result.end != ExchangeEnd::kReply) return false;
  if (!framed::IsDataReply(result.length)) return frame::IsAck(reply, result.length);
  const int n = framed::DataLength(result.length, capacity, extraTrim);
  std::memcpy(out, reply + frame::kDataOffset, static_cast<std::size_t>(n));
  if (stored != nullptr) *stored = n;
  port.Purge(kPurgeBothQueues);
  return true;
}

int CSTM32DevNew::SelectedEntry() const {
  return (partition >= 2 && partition <= 1 + frame::kPartitionCount) ? partition - 1 : 0;
}

std::uint32_t CSTM32DevNew::PartitionBase() const {
  const int entry = SelectedEntry();
  if (entry == 0) return 0;
  return frame::GetLe32(partitionTable + (entry - 1) * frame::kPartitionEntrySize);
}

bool CSTM32DevNew::BuildVerifyPayload(const std::uint8_t* image, int size,
                                      Bytes& payload) const {
  if (image == nullptr || size < frame::kImageTagFromEnd) return false;
  payload = {frame::kCmdVerify};
  const int entry = SelectedEntry();
  if (entry == 0) {
    payload.insert(payload.end(), 4, 0x00);
  } else {
    const char name[4] = {'I', 'D', static_cast<char>('0' + entry), '|'};
    payload.insert(payload.end(), name, name + 4);
  }
  const std::uint8_t* tag = image + size - frame::kImageTagFromEnd;
  payload.insert(payload.end(), tag, tag + frame::kImageTagSize);
  return true;
}

int CSTM32DevNew::OpenDevice(const std::string& expectedName) {
  if (port.IsOpen()) ClosePort();
  ScanCandidatePorts(true);
  if (portList.empty()) return kOpenNoneAnswered;

  const bool wasReopening = reopening_;
  reopening_ = true;  // no nested scan while this one asks the ports
  const std::vector<int> candidates = portList;
  int result = kOpenNoneAnswered;
  for (const int number : candidates) {
    if (port.Open(number, static_cast<unsigned>(baudRate), nullptr) != 1) continue;
    std::uint8_t name[kDeviceNameBufferSize] = {};
    if (!ReadDeviceName(name)) {
      port.Close();
      continue;
    }
    const std::string token = framed::NameToken(framed::TextOf(name, kDeviceNameBufferSize));
    bool match;
    if (expectedName == "OMNIX") {
      if (token.find("OMNIX") == std::string::npos) {
        reopening_ = wasReopening;
        return kOpenOtherModel;
      }
      match = true;
    } else {
      // A PX630 update also serves the older PX540 tools.
      match = EqualsIgnoreCase(token, expectedName) ||
              (expectedName == "PX630" && token == "PX540");
    }
    if (match) {
      deviceName = expectedName;
      reopening_ = wasReopening;
      return kOpenFound;
    }
    result = kOpenOtherModel;
    port.Close();
  }
  reopening_ = wasReopening;
  return result;
}

bool CSTM32DevNew::OpenPort(int comPort) {
  ClosePort();
  abort = false;
  comNumber = -1;
  if (port.Open(comPort, static_cast<unsigned>(baudRate), nullptr) != 1) return false;
  comNumber = comPort;
  return true;
}

bool CSTM32DevNew::ClosePort() {
  port.Purge(kPurgeBothQueues);
  port.Close();
  return true;
}

bool CSTM32DevNew::IsPortOpen() { return port.IsOpen(); }

int CSTM32DevNew::QueryName(const CommandPattern& pattern, std::string& name,
                            bool purgeAfterLoop) {
  name.clear();
  int result = 1;
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult exchange = Exchange(pattern, Bytes{pattern.command}, reply);
  switch (exchange.end) {
    case ExchangeEnd::kReply:
      if (framed::IsDataReply(exchange.length)) {
        const int n = framed::DataLength(exchange.length, kQueryNameMax);
        name = framed::TextOf(reply + frame::kDataOffset, n);
        if (!purgeAfterLoop) port.Purge(kPurgeBothQueues);
      } else {
        // A bare acknowledgement names nothing; a refusal gives its status,
        // a reply too short to hold one -2.
        int code = -2;
        result = frame::IsAck(reply, exchange.length, &code) ? 1 : code;
      }
      break;
    case ExchangeEnd::kAborted:
    case ExchangeEnd::kAbortedBeforeTry:
      result = 0;
      break;
    case ExchangeEnd::kTimedOut:
      result = -1;
      break;
  }
  if (purgeAfterLoop) port.Purge(kPurgeBothQueues);
  return result;
}

int CSTM32DevNew::QueryDeviceName(std::string& name) {
  return QueryName(Commands().queryDeviceName, name, true);
}

bool CSTM32DevNew::ReadDeviceName(std::uint8_t* buffer) {
  if (buffer == nullptr) return false;
  std::memset(buffer, 0, 4);
  int stored = 0;
  // One byte of the caller's buffer is kept for the terminating zero.
  if (!ReadDataReply(Commands().readDeviceName, buffer, kDeviceNameBufferSize - 1, 0, &stored))
    return false;
  buffer[stored] = 0;
  return true;
}

bool CSTM32DevNew::ReadIdStrings(IdStringRecord& record) {
  std::uint8_t text[kIdTextMax] = {};
  int stored = 0;
  if (!ReadDataReply(Commands().readIdStrings, text, kIdTextMax, 0, &stored)) return false;
  framed::ParseIdStrings(framed::TextOf(text, stored), record);
  return true;
}

bool CSTM32DevNew::ReadUserData(std::uint8_t* buffer, int& length) {
  if (buffer == nullptr) return false;
  return ReadDataReply(Commands().readUserData, buffer, kDeviceDataBufferSize, 0, &length);
}

bool CSTM32DevNew::WriteUserData(const std::uint8_t* data, int length) {
  // The request frame must fit the tool's 2048-byte frame buffer.
  if (length < 0 || length > frame::kMaxFramedUserData) return false;
  if (data == nullptr && length > 0) return false;
  Bytes payload{frame::kCmdWriteUserData};
  frame::PutLe16(payload, static_cast<unsigned>(length));
  payload.insert(payload.end(), data, data + length);
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().writeUserData, payload, reply);
  return result.end == ExchangeEnd::kReply && frame::IsAck(reply, result.length);
}

int CSTM32DevNew::EnterUpdateMode() { return 0; }

int CSTM32DevNew::EraseFlash() {
  Bytes payload{frame::kCmdErase};
  frame::PutLe32(payload, PartitionBase());
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().eraseFlash, payload, reply);
  return AckResult(result, reply, /*refused=*/1, /*abortInLoop=*/1);
}

int CSTM32DevNew::WriteBlock(const std::uint8_t* image, int len, int offset, int index) {
  if (image == nullptr || len < 0 || len > frame::kMaxFramedBlock || offset < 0) return -1;
  const std::uint8_t* data = image + offset;
  const std::uint32_t address =
      SelectedEntry() == 0 ? 0 : PartitionBase() + static_cast<std::uint32_t>(offset);
  Bytes payload{frame::kCmdWriteBlock};
  frame::PutLe32(payload, address);
  frame::PutLe16(payload, static_cast<unsigned>(index) & 0xFFFFu);
  payload.insert(payload.end(), data, data + len);
  frame::PutLe16(payload, frame::Sum16(data, len));
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().writeBlock, payload, reply);
  return AckResult(result, reply, /*refused=*/-1, /*abortInLoop=*/-1);
}

bool CSTM32DevNew::FinishUpdate() {
  abort = false;
  Bytes payload{frame::kCmdFinish};
  frame::PutLe32(payload, PartitionBase());
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().finishUpdate, payload, reply);
  return result.end == ExchangeEnd::kReply && frame::IsAck(reply, result.length);
}

bool CSTM32DevNew::SetDeviceTime() {
  const std::string text = framed::FormatTimeText(LocalTimeNow());
  Bytes payload;
  payload.reserve(1 + text.size());
  payload.push_back(frame::kCmdSetTime);
  payload.insert(payload.end(), text.begin(), text.end());
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().setDeviceTime, payload, reply);
  return result.end == ExchangeEnd::kReply && frame::IsAck(reply, result.length);
}

bool CSTM32DevNew::ReadPartitionTable(std::uint8_t* table) {
  if (table == nullptr) return false;
  // The table reply's data is one byte shorter than its frame says.
  return ReadDataReply(Commands().readPartitionTable, table, frame::kPartitionTableSize, 1,
                       nullptr);
}

int CSTM32DevNew::VerifyImage(const std::uint8_t* image, int size) {
  Bytes payload;
  if (!BuildVerifyPayload(image, size, payload)) return -1;
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().verifyImage, payload, reply);
  return AckResult(result, reply, /*refused=*/-1, /*abortInLoop=*/-1);
}

bool CSTM32DevNew::ReadDeviceInfo(std::uint8_t* buffer) {
  if (buffer == nullptr) return false;
  std::memset(buffer, 0, 4);
  return ReadDataReply(Commands().readDeviceInfo, buffer, kDeviceDataBufferSize, 0, nullptr);
}

int CSTM32DevNew::SelectPartition() {
  const Bytes payload{frame::kCmdSelectPartition, static_cast<std::uint8_t>(SelectedEntry())};
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(Commands().selectPartition, payload, reply);
  return AckResult(result, reply, /*refused=*/-1, /*abortInLoop=*/-1);
}

int CSTM32DevNew::RestartDevice(int waitMs) {
  // The wait is also the reply time-out; a negative one is a caller error,
  // not a request for an endless wait.
  if (waitMs < 0) return -1;
  CommandPattern pattern = Commands().restartDevice;
  pattern.timeoutMs = waitMs;
  Bytes payload{frame::kCmdRestart};
  frame::PutLe32(payload, static_cast<std::uint32_t>(waitMs));
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result = Exchange(pattern, payload, reply);
  return AckResult(result, reply, /*refused=*/-1, /*abortInLoop=*/1);
}

int CSTM32DevNew::SyncLoader() {
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result =
      Exchange(Commands().syncLoader, Bytes{frame::kCmdSyncLoader}, reply);
  return AckResult(result, reply, /*refused=*/-1, /*abortInLoop=*/1);
}

int CSTM32DevNew::RebootToLoader() {
  std::uint8_t reply[frame::kFrameBufferSize];
  const ExchangeResult result =
      Exchange(Commands().rebootToLoader, Bytes{frame::kCmdRebootToLoader}, reply);
  return AckResult(result, reply, /*refused=*/-1, /*abortInLoop=*/1);
}
