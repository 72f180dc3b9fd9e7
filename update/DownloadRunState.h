#pragma once
// The state one download run shares between the controlling thread and the
// worker. Internal to DownloadWorkflow.cpp / DownloadRun.cpp.
//
// Ownership: CDownloadWorkflow and the worker each hold a shared_ptr, so the
// image and the device object stay alive as long as either uses them.
// Members written by the controlling thread before the worker starts are
// read-only while it runs; the flags are atomic; the view pointer and the
// last status are guarded by viewMutex.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/ProductFactory.h"
#include "update/DeviceEntry.h"
#include "update/DownloadView.h"

namespace varnok {
class CWireTrace;
}

struct DownloadRunState {
  // Set up before the run.
  DeviceEntry entry;
  int partitionSelector = 0;
  int onlyPort = -1;  // RestrictToPort; -1: every port
  std::shared_ptr<varnok::CWireTrace> trace;  // SetWireTrace; null: none
  std::unique_ptr<std::vector<std::uint8_t>> image;  // null when none loaded
  std::vector<std::uint8_t> fileHead;  // the file's bytes before the image (a classic header)
  std::unique_ptr<CProductFactory> factory;
  std::unique_ptr<CUsbDevInterface> device;

  // Flags shared with the worker.
  std::atomic<int> stopFlag{0};
  std::atomic<bool> okFlag{true};
  std::atomic<bool> eraseBegun{false};
  std::atomic<bool> ended{false};
  std::atomic<int> endResult{static_cast<int>(DownloadEnd::NotStarted)};

  // The worker and its end.
  std::thread worker;
  std::mutex doneMutex;
  std::condition_variable doneCv;
  bool workerActive = false;  // guarded by doneMutex

  // Reporting.
  mutable std::mutex viewMutex;
  IDownloadView* view = nullptr;
  std::string lastStatus;

  // ---- reporting helpers (any thread) ----
  template <typename F>
  void Show(F&& call) {
    std::lock_guard<std::mutex> lock(viewMutex);
    if (view) call(*view);
  }
  void Status(const std::string& text, bool ok);
  void SetOk(bool ok);
  void End(DownloadEnd how);

  // ---- the run (worker thread) ----
  void DownloadThread();
  DownloadEnd RunClassicUpdate();
  DownloadEnd RunNewUpdate();
  DownloadEnd RunOmnixUpdate();
  DownloadEnd StartProgrammer();  // DevType 12: restart and sync first

  // Block loop shared by the three runs: 0 all written, else the end.
  bool WriteBlocks(int blockSize, DownloadEnd& failure);
  // The common middle of every run: erase text, EraseFlash (success is
  // `eraseDone`), the pause, then every block. False with `failure` set
  // when the run ends there.
  bool EraseAndWrite(const char* eraseText, int eraseDone, int blockSize, DownloadEnd& failure);
  // A failed step: silent Stopped when a stop was requested (the stop made
  // it fail), else `text` in red and the end for the current phase.
  DownloadEnd Fail(const char* text);
  DownloadEnd Success();
  DownloadEnd PhaseFailure() const {
    return eraseBegun ? DownloadEnd::FailedAfterErase : DownloadEnd::FailedBeforeErase;
  }
  // Pause that a stop request cuts short.
  void Pause(int ms);
  bool Stopping() const { return stopFlag.load() != 0; }
};
