#include "update/DownloadWorkflow.h"

#include <chrono>

#include "device/Clock.h"
#include "device/UsbDevInterface.h"
#include "update/DownloadRunState.h"
#include "update/Sha256.h"
#include "update/StatusTexts.h"

namespace {

constexpr int kOpenDeviceMismatch = 2;  // OpenDevice: a tool of another model answered
constexpr int kRestartWaitMs = 200;
constexpr int kLoaderRebootPauseMs = 2000;
constexpr int kReconnectTries = 10;
constexpr int kReconnectPauseMs = 300;
constexpr int kCancelPauseMs = 100;

}  // namespace

CDownloadWorkflow::CDownloadWorkflow() : state(std::make_shared<DownloadRunState>()) {}

CDownloadWorkflow::~CDownloadWorkflow() {
  // A run whose session is gone has nobody to report to: stop it.
  RequestStop(true);
  EndWorker(kTeardownWaitMs);
  DetachView();
  ClosePortUnlessWorking();
  // Whatever the worker still uses is released with its own reference.
}

void CDownloadWorkflow::StartFileDigest() {
  std::shared_ptr<const DownloadRunState> run = state;
  fileDigest_ = std::async(std::launch::async, [run] {
    LoadedFileDigest digest;
    varnok::CSha256 hash;
    if (!run->fileHead.empty()) hash.Update(run->fileHead.data(), run->fileHead.size());
    if (!run->image->empty()) hash.Update(run->image->data(), run->image->size());
    std::uint8_t bytes[varnok::kSha256Size];
    if (hash.Finish(bytes)) {
      digest.ok = true;
      digest.size = static_cast<std::int64_t>(run->fileHead.size() + run->image->size());
      digest.sha256 = varnok::DigestHex(bytes);
    }
    return digest;
  }).share();
}

void CDownloadWorkflow::WaitForFileDigest() const {
  if (fileDigest_.valid()) fileDigest_.wait();
}

LoadedFileDigest CDownloadWorkflow::FileDigest() const {
  if (!fileDigest_.valid() || !state->image) return LoadedFileDigest{};
  return fileDigest_.get();
}

void CDownloadWorkflow::SetPartitionSelector(int selector) { state->partitionSelector = selector; }

void CDownloadWorkflow::SetDeviceEntry(const DeviceEntry& entry) { state->entry = entry; }

void CDownloadWorkflow::RestrictToPort(int port) {
  state->onlyPort = port;
  if (state->device) state->device->RestrictToPort(port);
}

void CDownloadWorkflow::SetWireTrace(std::shared_ptr<varnok::CWireTrace> trace) {
  state->trace = std::move(trace);
  if (state->device) state->device->port.SetTrace(state->trace);
}

const DeviceEntry& CDownloadWorkflow::Entry() const { return state->entry; }

void CDownloadWorkflow::SetView(IDownloadView* view) {
  std::lock_guard<std::mutex> lock(state->viewMutex);
  state->view = view;
}

void CDownloadWorkflow::DetachView() { SetView(nullptr); }

void CDownloadWorkflow::Start() {
  const bool haveImage = state->image && !state->image->empty();
  if (haveImage && state->device) {
    state->Show([](IDownloadView& v) { v.Trace(text::kTraceInitOk); });
    ProcessInitDevice();
    return;
  }
  state->Show([](IDownloadView& v) { v.Trace(text::kTraceInitNg); });
  state->Status(text::kWrongFileStatus, false);
  state->End(DownloadEnd::NotStarted);
}

bool CDownloadWorkflow::ProcessInitDevice() {
  CUsbDevInterface& device = *state->device;
  const DeviceEntry& entry = state->entry;
  int r = device.OpenDevice(entry.DevName);
  bool open = false;
  bool commFailure = false;  // step 5 with the communication text whatever r is

  if (entry.USBType == kToolProgrammer) {
    if (r == 0 && entry.DevType == kDevTypeLoaderReboot) {
      if (device.RebootToLoader() != 0) {
        open = true;  // the tool refused the reboot: it is taken to be there already
      } else {
        device.ClosePort();
        varnok::SleepMs(kLoaderRebootPauseMs);
        for (int attempt = 0; attempt < kReconnectTries && !open; ++attempt) {
          if (state->stopFlag) break;
          r = device.OpenDevice(entry.DevName);
          if (r == 0) {
            open = true;
          } else {
            varnok::SleepMs(kReconnectPauseMs);
          }
        }
      }
    } else if (r == 0) {
      open = true;
    } else if (r == kOpenDeviceMismatch) {
      if (device.RestartDevice(kRestartWaitMs) != 0 || device.SyncLoader() != 0) {
        commFailure = true;
      } else {
        r = device.OpenDevice(entry.DevName);
        open = r == 0;
      }
    }
  } else {
    open = r == 0;
  }

  if (state->stopFlag) {
    // Stopped while opening (Ctrl-C, a close request): no run, no failure text.
    if (device.IsPortOpen()) device.ClosePort();
    state->End(DownloadEnd::Stopped);
    return false;
  }
  if (open) {
    state->okFlag = true;
    StartWorker();
    return true;
  }
  state->Status(!commFailure && r == kOpenDeviceMismatch ? text::kDeviceMismatch
                                                         : text::kCommFailure,
                false);
  state->End(DownloadEnd::NotStarted);
  return false;
}

void CDownloadWorkflow::StartWorker() {
  {
    std::lock_guard<std::mutex> lock(state->doneMutex);
    state->workerActive = true;
  }
  std::shared_ptr<DownloadRunState> shared = state;
  state->worker = std::thread([shared]() {
    shared->DownloadThread();
    // A stopped run gives the port up here, on the thread that used it;
    // nobody else may close it while this thread could still be inside a
    // read or a write.
    if (shared->Stopping()) shared->device->ClosePort();
    std::lock_guard<std::mutex> lock(shared->doneMutex);
    shared->workerActive = false;
    shared->doneCv.notify_all();
  });
}

bool CDownloadWorkflow::WaitForWorker(int ms) {
  std::unique_lock<std::mutex> lock(state->doneMutex);
  return state->doneCv.wait_for(lock, std::chrono::milliseconds(ms),
                                [this] { return !state->workerActive; });
}

bool CDownloadWorkflow::WorkerRunning() const {
  std::lock_guard<std::mutex> lock(state->doneMutex);
  return state->workerActive;
}

void CDownloadWorkflow::EndWorker(int waitMs) {
  if (!state->worker.joinable()) return;
  if (WaitForWorker(waitMs)) {
    state->worker.join();  // it has only its return left
  } else {
    // Still inside an exchange: it holds its own reference to everything
    // it uses and ends at its next stop check.
    state->worker.detach();
  }
}

void CDownloadWorkflow::RequestStop(bool on) {
  state->stopFlag = on ? 1 : 0;
  if (!state->device) return;
  if (on)
    state->device->RequestStop();
  else
    state->device->abort = false;
}

void CDownloadWorkflow::ClosePortUnlessWorking() {
  // The port is the worker's while it runs; a worker still running when
  // the wait ran out closes it itself as it ends.
  if (state->device && !WorkerRunning() && state->device->IsPortOpen())
    state->device->ClosePort();
}

void CDownloadWorkflow::Cancel() {
  RequestStop(true);
  const bool started = state->worker.joinable();
  if (started) EndWorker(kTeardownWaitMs);
  ClosePortUnlessWorking();
  if (started) {
    DetachView();
    varnok::SleepMs(kCancelPauseMs);
  }
}

void CDownloadWorkflow::CloseRequest() {
  RequestStop(true);
  ClosePortUnlessWorking();
}

void CDownloadWorkflow::Finish() {
  // "ok" comes with the run's end; the worker has at most its return left.
  WaitForWorker(kTeardownWaitMs);
  ClosePortUnlessWorking();
}

bool CDownloadWorkflow::OkFlag() const { return state->okFlag; }
bool CDownloadWorkflow::StopRequested() const { return state->stopFlag != 0; }
int CDownloadWorkflow::ImageSize() const {
  return state->image ? static_cast<int>(state->image->size()) : 0;
}
const std::vector<std::uint8_t>* CDownloadWorkflow::Image() const { return state->image.get(); }
CUsbDevInterface* CDownloadWorkflow::Device() const { return state->device.get(); }
std::string CDownloadWorkflow::LastStatus() const {
  std::lock_guard<std::mutex> lock(state->viewMutex);
  return state->lastStatus;
}
bool CDownloadWorkflow::RunHasEnded() const { return state->ended; }
bool CDownloadWorkflow::EraseBegun() const { return state->eraseBegun; }
DownloadEnd CDownloadWorkflow::EndResult() const {
  return static_cast<DownloadEnd>(state->endResult.load());
}
