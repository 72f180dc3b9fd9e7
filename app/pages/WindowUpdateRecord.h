#pragma once
// The record of an update the window starts: the core's CUpdateRecorder
// (update/UpdateRecord.h) fed from a product page and its download dialog.
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
  // Starts the record when the download dialog is about to be shown
  // (the file is hashed now).
  CWindowUpdateRecord(const DeviceEntry& entry, int port, const std::string& path);
  ~CWindowUpdateRecord();
  CWindowUpdateRecord(const CWindowUpdateRecord&) = delete;
  CWindowUpdateRecord& operator=(const CWindowUpdateRecord&) = delete;

  // After the dialog closed: appends the record with the run's end (a run
  // left before it ended counts as cancelled). A record that cannot be
  // written is reported once per process on standard error.
  void Finish(const CDownloadWorkflow& workflow);

 private:
  std::unique_ptr<varnok::CUpdateRecorder> recorder_;
};
