#pragma once
// IDownloadView: what the download workflow shows. The GUI's download
// dialog and the command-line tool implement it.
//
// Threads: calls come from the thread that called CDownloadWorkflow::Start
// (start-up, ProcessInitDevice) and from the download worker thread (the
// run). A GUI forwards them to its UI thread by queued signals; an
// implementation must never block waiting for the UI thread (teardown holds
// a lock while it detaches the view). No call arrives after
// CDownloadWorkflow::DetachView() or the workflow's destruction returned.

#include <cstdint>
#include <string>

// How a run ended; given to RunEnded once per Start().
enum class DownloadEnd {
  Done,               // "Update done!": every step succeeded
  NotStarted,         // no image / no tool / wrong tool: nothing was sent to the flash
  FailedBeforeErase,  // a step before the erase failed: flash untouched
  FailedAfterErase,   // the erase or a later step failed: the tool needs another update
  Stopped,            // a stop request (Cancel, close, Ctrl-C) ended the run
};

class IDownloadView {
 public:
  virtual ~IDownloadView() = default;

  // The dialog becomes visible (first step of every run).
  virtual void ShowView() = 0;
  // Status line text and colour: ok true = blue, false = red (also the
  // progress bar's colour).
  virtual void SetStatus(const std::string& text, bool ok) = 0;
  // The ok flag changed without a new text (colour only).
  virtual void SetOkFlag(bool ok) = 0;
  // Progress range 0..count (count <= 65535; long images are scaled so that
  // one step stands for several blocks), position 0, step 1.
  virtual void SetProgressRange(int count) = 0;
  virtual void SetProgressPos(int pos) = 0;
  // Advance the bar by one step.
  virtual void StepProgress() = 0;
  // Caption of the one button: "ok" after a good run.
  virtual void SetButtonCaption(const std::string& caption) = 0;

  // Optional detail for front ends that show more than the bar: image bytes
  // acknowledged by the tool so far, of `totalBytes`. Called after every block.
  virtual void BytesWritten(std::int64_t done, std::int64_t totalBytes) {
    (void)done;
    (void)totalBytes;
  }
  // Debug traces ("ProcessInitDevice OK\n"); the core never prints them.
  virtual void Trace(const std::string& line) { (void)line; }
  // The run is over (also after a start-up failure); the button is usable again.
  virtual void RunEnded(DownloadEnd how) { (void)how; }
};
