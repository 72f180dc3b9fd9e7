// The download worker: the three update sequences of the tool classes.
#include <algorithm>
#include <cstring>

#include "device/Clock.h"
#include "device/UsbDevInterface.h"
#include "update/DownloadRunState.h"
#include "update/ProgressPlan.h"
#include "update/StatusTexts.h"

namespace {

// EraseFlash's success value differs by class.
constexpr int kClassicEraseDone = 1;
constexpr int kFramedEraseDone = 0;

constexpr int kBlockSize = 2048;
constexpr int kSmallBlockSize = 1024;     // DevType 7
constexpr int kProgrammerBlockSize = 128;
constexpr int kAfterErasePauseMs = 500;
constexpr int kRestartWaitMs = 200;
constexpr int kAfterRestartPauseMs = 200;
constexpr int kProgrammerFinalPauseMs = 1000;
constexpr int kVerifyRefusalAccepted = 17;  // programmer: tag check not applicable
constexpr int kPausePollMs = 10;

}  // namespace

void DownloadRunState::Status(const std::string& text, bool ok) {
  okFlag = ok;
  std::lock_guard<std::mutex> lock(viewMutex);
  lastStatus = text;
  if (view) view->SetStatus(text, ok);
}

void DownloadRunState::SetOk(bool ok) {
  okFlag = ok;
  Show([ok](IDownloadView& v) { v.SetOkFlag(ok); });
}

void DownloadRunState::End(DownloadEnd how) {
  endResult = static_cast<int>(how);
  ended = true;
  Show([how](IDownloadView& v) { v.RunEnded(how); });
}

void DownloadRunState::Pause(int ms) {
  const std::uint64_t until = varnok::TickMs() + static_cast<std::uint64_t>(std::max(ms, 0));
  while (!Stopping()) {
    const std::uint64_t now = varnok::TickMs();
    if (now >= until) return;
    varnok::SleepMs(static_cast<int>(std::min<std::uint64_t>(until - now, kPausePollMs)));
  }
}

DownloadEnd DownloadRunState::Fail(const char* failureText) {
  if (Stopping()) return DownloadEnd::Stopped;
  Status(failureText, false);
  return PhaseFailure();
}

DownloadEnd DownloadRunState::Success() {
  Status(text::kUpdateDone, true);
  Show([](IDownloadView& v) { v.SetButtonCaption(text::kButtonOk); });
  return DownloadEnd::Done;
}

void DownloadRunState::DownloadThread() {
  SetOk(true);
  DownloadEnd how;
  switch (entry.USBType) {
    case kToolNew:
      how = RunNewUpdate();
      break;
    case kToolProgrammer:
      how = StartProgrammer();
      break;
    default:
      how = RunClassicUpdate();
      break;
  }
  End(how);
}

DownloadEnd DownloadRunState::StartProgrammer() {
  if (entry.DevType == kDevTypeRestartFirst) {
    int r = device->RestartDevice(kRestartWaitMs);
    if (r == 0) {
      Pause(kAfterRestartPauseMs);
      r = device->SyncLoader();
    }
    if (r != 0) return Fail(text::kCommFailure);
  }
  return RunOmnixUpdate();
}

bool DownloadRunState::WriteBlocks(int blockSize, DownloadEnd& failure) {
  const int size = static_cast<int>(image->size());
  const int count = size / blockSize + (size % blockSize != 0 ? 1 : 0);
  // Long images: one bar step stands for several blocks.
  const varnok::ProgressPlan plan = varnok::PlanProgress(count);
  const int perStep = plan.blocksPerStep;
  const int range = plan.range;
  Show([range](IDownloadView& v) {
    v.SetProgressRange(range);
    v.SetProgressPos(0);
  });
  Status(text::kCommunication, okFlag);

  const std::uint8_t* bytes = image->data();
  std::int64_t done = 0;
  for (int i = 0; i < count; ++i) {
    if (Stopping()) {
      failure = DownloadEnd::Stopped;
      return false;
    }
    const int remainder = size % blockSize;
    const int length = (i == count - 1 && remainder != 0) ? remainder : blockSize;
    const int offset = i * blockSize;
    if (device->WriteBlock(bytes, length, offset, i) != 0) {
      failure = Fail(text::kCommFailure);
      return false;
    }
    done += length;
    if ((i + 1) % perStep == 0 || i + 1 == count) {
      Show([](IDownloadView& v) { v.StepProgress(); });
    }
    Show([done, size](IDownloadView& v) { v.BytesWritten(done, size); });
  }
  // A classic block cut short by an abort after its header reports success;
  // never go on to the finish after a stop request.
  if (Stopping()) {
    failure = DownloadEnd::Stopped;
    return false;
  }
  return true;
}

bool DownloadRunState::EraseAndWrite(const char* eraseText, int eraseDone, int blockSize,
                                      DownloadEnd& failure) {
  Status(eraseText, okFlag);
  eraseBegun = true;
  if (device->EraseFlash() != eraseDone) {
    failure = Fail(text::kEraseFailure);
    return false;
  }
  Status(text::kCommunication, okFlag);
  Pause(kAfterErasePauseMs);
  if (Stopping()) {
    failure = DownloadEnd::Stopped;
    return false;
  }
  return WriteBlocks(blockSize, failure);
}

DownloadEnd DownloadRunState::RunClassicUpdate() {
  Show([](IDownloadView& v) { v.ShowView(); });
  Status(text::kCommunicating, okFlag);

  std::uint8_t nameBuffer[kDeviceNameBufferSize];
  std::memset(nameBuffer, 0, sizeof nameBuffer);
  std::string reported;
  if (device->ReadDeviceName(nameBuffer)) {
    reported.assign(reinterpret_cast<const char*>(nameBuffer),
                    strnlen(reinterpret_cast<const char*>(nameBuffer), sizeof nameBuffer));
  } else if (entry.DevType == kDevTypeSilentClassic) {
    reported = entry.DevName;
  } else {
    return Fail(text::kWrongDevice);
  }
  if (reported != entry.DevName) return Fail(text::kWrongDevice);
  if (device->EnterUpdateMode() != 1) return Fail(text::kCommFailure);

  const bool smallBlocks = entry.DevType == kDevTypeSmallBlocks;
  DownloadEnd failure = DownloadEnd::Stopped;
  if (!EraseAndWrite(smallBlocks ? text::kEraseShort : text::kEraseLong, kClassicEraseDone,
                     smallBlocks ? kSmallBlockSize : kBlockSize, failure))
    return failure;

  // The finish restarts the tool into the new image; only after it
  // succeeded is the update done.
  if (!device->FinishUpdate()) return Fail(text::kCommFailure);
  return Success();
}

DownloadEnd DownloadRunState::RunNewUpdate() {
  Show([](IDownloadView& v) { v.ShowView(); });
  Status(text::kCommunicating, okFlag);

  if (!device->SetDeviceTime()) return Fail(text::kCommFailure);
  if (!device->ReadPartitionTable(device->partitionTable)) return Fail(text::kCommFailure);

  DownloadEnd failure = DownloadEnd::Stopped;
  const int blockSize = entry.DevType == kDevTypeSmallBlocks ? kSmallBlockSize : kBlockSize;
  if (!EraseAndWrite(text::kEraseLong, kFramedEraseDone, blockSize, failure))
    return failure;

  if (device->VerifyImage(image->data(), static_cast<int>(image->size())) != 0) {
    return Fail(text::kCheckFailure);
  }
  if (!device->FinishUpdate()) return Fail(text::kCommFailure);
  return Success();
}

DownloadEnd DownloadRunState::RunOmnixUpdate() {
  Show([](IDownloadView& v) { v.ShowView(); });
  Status(text::kCommunicating, okFlag);

  if (!device->ReadPartitionTable(device->partitionTable)) return Fail(text::kCommFailure);

  DownloadEnd failure = DownloadEnd::Stopped;
  if (!EraseAndWrite(text::kEraseLong, kFramedEraseDone, 
                     kProgrammerBlockSize, failure))
    return failure;

  const int verified = device->VerifyImage(image->data(), static_cast<int>(image->size()));
  if (verified != 0 && verified != kVerifyRefusalAccepted) return Fail(text::kCheckFailure);
  if (!device->FinishUpdate()) return Fail(text::kCommFailure);
  // The restart boots the new image; a tool that did not restart is not done.
  if (device->RestartDevice(kRestartWaitMs) != 0) return Fail(text::kCommFailure);
  if (entry.DevType == kDevTypeLoaderReboot) device->ClosePort();
  Pause(kProgrammerFinalPauseMs);
  return Success();
}
