#include "device/FramedCommand.h"

#include <algorithm>
#include <cstring>

#include "device/Clock.h"

namespace framed {

namespace {
using P = PurgeRule;
constexpr bool kAbortCheck = true;
constexpr bool kNoAbortCheck = false;
}  // namespace

// clang-format off
//                                  command                        purge        pause  time-out  tries  abort before a try
const CommandTable kNewToolCommands = {
  /* queryDeviceName    */ {frame::kCmdQueryName,          P::kEachTry,  20,   1000,  3, kNoAbortCheck},
  /* readDeviceName     */ {frame::kCmdQueryName,          P::kOnce,    100,   1000,  3, kNoAbortCheck},
  /* readIdStrings      */ {frame::kCmdIdStrings,          P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* readUserData       */ {frame::kCmdReadUserData,       P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* writeUserData      */ {frame::kCmdWriteUserData,      P::kNever,     0,   1000,  3, kNoAbortCheck},
  /* eraseFlash         */ {frame::kCmdErase,              P::kOnce,    100,  80000,  3, kAbortCheck},
  /* writeBlock         */ {frame::kCmdWriteBlock,         P::kNever,     0,   1500,  3, kAbortCheck},
  /* finishUpdate       */ {frame::kCmdFinish,             P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* setDeviceTime      */ {frame::kCmdSetTime,            P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* readPartitionTable */ {frame::kCmdPartitionTable,     P::kOnce,    100,   1000,  3, kNoAbortCheck},
  /* verifyImage        */ {frame::kCmdVerify,             P::kNever,     0,   3000,  3, kAbortCheck},
  /* readDeviceInfo     */ {frame::kCmdDeviceInfo,         P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* selectPartition    */ {frame::kCmdSelectPartition,    P::kNever,     0,   1000,  3, kAbortCheck},
  /* restartDevice      */ {frame::kCmdRestart,            P::kOnce,      0,      0,  3, kAbortCheck},
  /* syncLoader         */ {frame::kCmdSyncLoader,         P::kNever,   100,    200, 90, kAbortCheck},
  /* rebootToLoader     */ {frame::kCmdRebootToLoader,     P::kEachTry,  50,    200,  2, kAbortCheck},
};

// The programmer differs in: query name (purge once, 100 ms), erase (no
// purge, 20 s), write block (10 s), restart (no purge), sync loader (purge
// once, no pause).
const CommandTable kProgrammerCommands = {
  /* queryDeviceName    */ {frame::kCmdQueryName,          P::kOnce,    100,   1000,  3, kNoAbortCheck},
  /* readDeviceName     */ {frame::kCmdQueryName,          P::kOnce,    100,   1000,  3, kNoAbortCheck},
  /* readIdStrings      */ {frame::kCmdIdStrings,          P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* readUserData       */ {frame::kCmdReadUserData,       P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* writeUserData      */ {frame::kCmdWriteUserData,      P::kNever,     0,   1000,  3, kNoAbortCheck},
  /* eraseFlash         */ {frame::kCmdErase,              P::kNever,   100,  20000,  3, kAbortCheck},
  /* writeBlock         */ {frame::kCmdWriteBlock,         P::kNever,     0,  10000,  3, kAbortCheck},
  /* finishUpdate       */ {frame::kCmdFinish,             P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* setDeviceTime      */ {frame::kCmdSetTime,            P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* readPartitionTable */ {frame::kCmdPartitionTable,     P::kOnce,    100,   1000,  3, kNoAbortCheck},
  /* verifyImage        */ {frame::kCmdVerify,             P::kNever,     0,   3000,  3, kAbortCheck},
  /* readDeviceInfo     */ {frame::kCmdDeviceInfo,         P::kNever,   100,   1000,  3, kNoAbortCheck},
  /* selectPartition    */ {frame::kCmdSelectPartition,    P::kNever,     0,   1000,  3, kAbortCheck},
  /* restartDevice      */ {frame::kCmdRestart,            P::kNever,     0,      0,  3, kAbortCheck},
  /* syncLoader         */ {frame::kCmdSyncLoader,         P::kOnce,      0,    200, 90, kAbortCheck},
  /* rebootToLoader     */ {frame::kCmdRebootToLoader,     P::kEachTry,  50,    200,  2, kAbortCheck},
};
// clang-format on

ExchangeResult RunCommand(IFramedChannel& channel, const CommandPattern& pattern,
                          const frame::Bytes& request, std::uint8_t* reply) {
  const int requestLength = static_cast<int>(request.size());
  if (pattern.purge == PurgeRule::kOnce) channel.PurgeQueues();
  for (int attempt = 0; attempt < pattern.tries; ++attempt) {
    if (pattern.abortBeforeTry && channel.StopRequested())
      return {ExchangeEnd::kAbortedBeforeTry, 0};
    if (pattern.purge == PurgeRule::kEachTry) channel.PurgeQueues();

    const int sent = channel.SendRequest(request.data(), requestLength);
    if (sent == 0) return {ExchangeEnd::kAborted, 0};
    if (sent < 0) continue;

    // The tool needs this long before it answers some commands; the pause
    // stays even though the receive itself would wait for data.
    if (pattern.pauseMs > 0) varnok::SleepMs(pattern.pauseMs);

    std::memset(reply, 0, frame::kFrameBufferSize);
    const int received = channel.ReceiveReply(reply, pattern.command, pattern.timeoutMs);
    if (received == 0) return {ExchangeEnd::kAborted, 0};
    if (received < 0) continue;
    return {ExchangeEnd::kReply, received};
  }
  return {ExchangeEnd::kTimedOut, 0};
}

int DataLength(int length, int capacity, int extraTrim) {
  const int n = length - frame::kAckSize - extraTrim;
  if (n <= 0) return 0;
  return std::min(n, capacity);
}

}  // namespace framed
