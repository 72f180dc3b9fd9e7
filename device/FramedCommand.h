#pragma once
// The command pattern shared by every command of the framed tools
// (CSTM32DevNew, CSTM32DevOmnix): one request frame, a purge rule, a pause
// before the receive, a reply time-out and a number of tries. The tables
// kNewToolCommands and kProgrammerCommands hold each command's numbers; the
// device classes only build payloads and read the replies.

#include <cstdint>

#include "device/FrameCodec.h"
#include "device/FrameFormat.h"

namespace framed {

// When both port queues are discarded.
enum class PurgeRule {
  kNever,
  kOnce,     // before the first try
  kEachTry,  // before every send
};

struct CommandPattern {
  std::uint8_t command;  // request command byte, also the expected echo
  PurgeRule purge;
  int pauseMs;           // pause between the send and the receive; 0 for none
  int timeoutMs;         // reply time-out of one try; RestartDevice passes its own
  int tries;
  // Test `abort` at the start of every try; the command then ends with its
  // "abort seen before a try" result without sending.
  bool abortBeforeTry;
};

// How a run of the pattern ended.
enum class ExchangeEnd {
  kReply,             // a complete reply frame with the right echo is in the buffer
  kTimedOut,          // every try timed out (or got a reply with a bad header)
  kAborted,           // a send or receive saw `abort`
  kAbortedBeforeTry,  // `abort` was set at the start of a try (abortBeforeTry only)
};

struct ExchangeResult {
  ExchangeEnd end;
  int length;  // reply length for kReply (the frame's own total), else 0
};

// The port side of the pattern. Implemented by the device classes over their
// send and receive loops; results as those loops: 1 / count success, 0 abort
// seen, -1 time-out.
class IFramedChannel {
 public:
  virtual ~IFramedChannel() = default;
  virtual int SendRequest(const std::uint8_t* frame, int length) = 0;
  // Receives into `buffer` (kFrameBufferSize bytes); returns the reply length.
  virtual int ReceiveReply(std::uint8_t* buffer, std::uint8_t command, int timeoutMs) = 0;
  virtual void PurgeQueues() = 0;
  virtual bool StopRequested() const = 0;
};

// Runs the pattern for the framed `request` (built by frame::EncodeFrame).
// `reply` must hold frame::kFrameBufferSize bytes; it is cleared before every
// receive. A time-out of one try (or a reply whose header is wrong) leads to
// the next try; the first complete reply ends the tries.
ExchangeResult RunCommand(IFramedChannel& channel, const CommandPattern& pattern,
                          const frame::Bytes& request, std::uint8_t* reply);

// Bytes of data in a data reply of `length` bytes: length - 13, at most
// `capacity`; 0 when the reply carries none. `extraTrim` is subtracted too
// (the partition table reply is one byte shorter than its frame says).
int DataLength(int length, int capacity, int extraTrim = 0);

// True when a reply of `length` bytes carries data (is longer than an
// acknowledgement); shorter replies are judged by frame::IsAck.
inline bool IsDataReply(int length) { return length > frame::kAckSize; }

// The numbers of every framed command, per tool class.
struct CommandTable {
  CommandPattern queryDeviceName;
  CommandPattern readDeviceName;
  CommandPattern readIdStrings;
  CommandPattern readUserData;
  CommandPattern writeUserData;
  CommandPattern eraseFlash;
  CommandPattern writeBlock;
  CommandPattern finishUpdate;
  CommandPattern setDeviceTime;
  CommandPattern readPartitionTable;
  CommandPattern verifyImage;
  CommandPattern readDeviceInfo;
  CommandPattern selectPartition;
  CommandPattern restartDevice;  // timeoutMs unused: the wait argument is the time-out
  CommandPattern syncLoader;
  CommandPattern rebootToLoader;
};

extern const CommandTable kNewToolCommands;
extern const CommandTable kProgrammerCommands;

}  // namespace framed
