#include "app/pages/WindowUpdateRecord.h"

#include <cstdio>

#include "update/DownloadWorkflow.h"
#include "update/RunOutcome.h"
#include "update/UpdateRecord.h"

CWindowUpdateRecord::CWindowUpdateRecord(const DeviceEntry& entry, int port,
                                         const std::string& path)
    : recorder_(new varnok::CUpdateRecorder(entry.DevName)), path_(path) {
  recorder_->SetPort(port);
}

CWindowUpdateRecord::~CWindowUpdateRecord() = default;

void CWindowUpdateRecord::Finish(const CDownloadWorkflow& workflow) {
  const LoadedFileDigest digest = workflow.FileDigest();
  recorder_->SetFile(path_, digest.ok ? digest.size : -1, digest.ok ? digest.sha256 : std::string());
  const DownloadEnd how = workflow.RunHasEnded() ? workflow.EndResult() : DownloadEnd::Stopped;
  std::string error;
  // A stop after the erase began counts as a failure there (partial image).
  const DownloadEnd counted =
      how == DownloadEnd::Stopped && workflow.EraseBegun() ? DownloadEnd::FailedAfterErase : how;
  if (recorder_->Finish(RunOutcomeWord(how), RunOutcomeExitStatus(counted), error) ==
      varnok::RecordWrite::Failed) {
    std::fprintf(stderr, "varnok: %s\n", error.c_str());
  }
}
