#pragma once
// CDownloadWorkflow: the UI-neutral download session that every update goes
// through (the GUI's download dialog and varnok-cli wrap it).
//
// Use, on one controlling thread (the UI thread):
//   1. SetPartitionSelector, SetDeviceEntry.
//   2. LoadUpdateFile(path): false = the page reports "Wrong file!".
//   3. SetView(view); Start(): the dialog initialisation. Start traces
//      "ProcessInitDevice OK\n" / "NG\n" through the view, then
//      ProcessInitDevice (opens the tool; blocks: a port scan, and for a
//      DevType 13 programmer up to ~6 s of reconnecting), which starts the
//      worker thread (DownloadThread) on success.
//   4. The worker reports through the view (see DownloadView.h) and ends
//      with RunEnded.
//   5. The user's button: Finish() after "ok", otherwise Cancel(); a window
//      close request: CloseRequest(). Then destroy the workflow.
//
// Ownership: the image, the device object and the run's flags live in a
// shared run state. The worker holds its own reference, so nothing it uses
// is released under it. Cancel() and the destructor wait up to
// kTeardownWaitMs for the worker; a worker still busy then is left to end
// by itself (its stop request is set and the view detached, so it neither
// reports nor outlives its objects).

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "update/DeviceEntry.h"
#include "update/DownloadView.h"

class CUsbDevInterface;
struct DownloadRunState;
namespace varnok {
class CWireTrace;
}

// Size and SHA-256 (64 lower-case hex digits) of a loaded update file.
struct LoadedFileDigest {
  bool ok = false;  // false: no file loaded, or the hash library failed
  std::int64_t size = -1;
  std::string sha256;
};

class CDownloadWorkflow {
 public:
  // Longest a teardown waits for the worker, ms.
  static constexpr int kTeardownWaitMs = 600;

  CDownloadWorkflow();
  // Destruction: stop request, wait up to kTeardownWaitMs for the worker,
  // detach the view, close the device's port when open, release the rest.
  virtual ~CDownloadWorkflow();
  CDownloadWorkflow(const CDownloadWorkflow&) = delete;
  CDownloadWorkflow& operator=(const CDownloadWorkflow&) = delete;

  // Selector the page chose (0 .bin, 1 .zpk; PX110 page 0 or 2); copied into
  // the device object when LoadUpdateFile creates it.
  void SetPartitionSelector(int selector);
  void SetDeviceEntry(const DeviceEntry& entry);
  // Lets the device object use port `port` only (see
  // CUsbDevInterface::RestrictToPort); -1, the default, scans every port.
  // Call before LoadUpdateFile.
  void RestrictToPort(int port);
  // Records the device object's line into `trace` (see device/WireTrace.h)
  // from its creation on; null: no recording. Call before LoadUpdateFile,
  // on the controlling thread. The front end writes the trace's end line.
  void SetWireTrace(std::shared_ptr<varnok::CWireTrace> trace);
  const DeviceEntry& Entry() const;

  // Reads and checks the update file (header, trailer, partition rules of
  // the tool class) and creates the device object on the first call. For
  // programmer tools it opens the tool to learn its name (blocks). Returns
  // true with the image in memory; false leaves no image. Files over 64 MiB
  // are rejected. Shows nothing.
  bool LoadUpdateFile(const std::string& path);

  // The whole file that the last successful LoadUpdateFile read, hashed
  // from the bytes it read (the file is not read again, so the digest is
  // that of what the tool gets) on a thread of its own that LoadUpdateFile
  // starts. Waits for that hash (about 0.2 s for the largest file); any
  // thread. Not ok when no file is loaded.
  LoadedFileDigest FileDigest() const;

  // The view is not owned; it must stay valid until DetachView() or the
  // destructor returned. May be null (nothing is shown).
  void SetView(IDownloadView* view);
  // After this returns no view call is running or will come.
  void DetachView();

  // Dialog initialisation: with an image of size > 0 and a device object,
  // traces "ProcessInitDevice OK\n" and runs ProcessInitDevice; otherwise
  // traces "ProcessInitDevice NG\n", shows "Wrong file." in red and ends
  // (RunEnded(NotStarted)).
  void Start();

  // Opens the tool (OpenDevice; programmer DevType 13: reboot to the loader
  // and reconnect; programmer answering as another model: restart, sync,
  // reopen) and starts the worker. Failure shows "设备不匹配" (another model
  // answered) or "Communication failure, please exit." in red, starts no
  // worker and ends with RunEnded(NotStarted). Returns whether a worker started.
  bool ProcessInitDevice();

  // Sets the stop flag and the device object's abort flag to `on`; a stop
  // also wakes the port wait the worker may be in. Any thread. Never closes
  // the port: only the thread using it does (see Cancel).
  void RequestStop(bool on);

  // The Cancel button: stop request (the worker's exchange ends at once),
  // wait up to kTeardownWaitMs for the worker, then close the port here if
  // the worker has ended (otherwise the worker closes it as it ends),
  // detach the view. Returns within about 700 ms.
  void Cancel();

  // A window close request (Alt+F4, Ctrl-C): stop request; the port is
  // closed here when no worker runs, else by the worker as it ends. The
  // worker is ended by the destructor.
  void CloseRequest();

  // The button after a good run ("ok"): closes the port when open (after
  // the worker's last step).
  void Finish();

  // Waits up to `ms` for the worker to end; true when none runs (any more).
  bool WaitForWorker(int ms);
  bool WorkerRunning() const;

  // Results and state, for front ends and tests.
  bool OkFlag() const;
  bool StopRequested() const;
  int ImageSize() const;
  const std::vector<std::uint8_t>* Image() const;  // null when none loaded
  CUsbDevInterface* Device() const;                // null before LoadUpdateFile
  // The last status text shown and how the run ended (NotStarted until a
  // run ended; check WorkerRunning/RunEnded for the moment).
  std::string LastStatus() const;
  bool RunHasEnded() const;
  DownloadEnd EndResult() const;
  // The run sent its erase request: from then on the tool may hold a
  // partial image, also after a stop.
  bool EraseBegun() const;

 private:
  void StartWorker();
  void EndWorker(int waitMs);
  // Closes the port on the controlling thread when no worker uses it.
  void ClosePortUnlessWorking();
  void StartFileDigest();
  void WaitForFileDigest() const;

  std::shared_ptr<DownloadRunState> state;
  // The hash of the loaded file; its thread reads the image and the head
  // only, like the worker. Destroying it waits for the hash.
  std::shared_future<LoadedFileDigest> fileDigest_;
};
