#pragma once
// The record of an update the window starts: the core's CUpdateRecorder
// (update/UpdateRecord.h) fed from a product page and its download dialog.
// The file's size and SHA-256 are those of the bytes the download loaded,
// hashed on the download's own thread (CDownloadWorkflow::FileDigest); the
// user-interface thread never reads the file for the record.
// UI thread only.

#include <memory>
#include <string>

#include "update/DeviceEntry.h"

class CDownloadWorkflow;
namespace varnok {
class CUpdateRecorder;
}

class CWindowUpdateRecord {
 public:
  // Starts the record when the download dialog is about to be shown (the
  // file was loaded into the dialog's workflow).
  CWindowUpdateRecord(const DeviceEntry& entry, int port, const std::string& path);
  ~CWindowUpdateRecord();
  CWindowUpdateRecord(const CWindowUpdateRecord&) = delete;
  CWindowUpdateRecord& operator=(const CWindowUpdateRecord&) = delete;

  // After the dialog closed: appends the record with the run's end (a run
  // left before it ended counts as cancelled) and the workflow's digest of
  // the loaded file (by then long done; else this waits for it). A record that cannot be
  // written is reported once per process on standard error.
  void Finish(const CDownloadWorkflow& workflow);

 private:
  std::unique_ptr<varnok::CUpdateRecorder> recorder_;
  std::string path_;
};
