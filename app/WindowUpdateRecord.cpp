#include "app/WindowUpdateRecord.h"

#include <cstdio>

#include "update/DownloadWorkflow.h"
#include "update/RunOutcome.h"
#include "update/UpdateRecord.h"

CWindowUpdateRecord::CWindowUpdateRecord(const DeviceEntry& entry, int port,
                                         const std::string& path)
    : recorder_(new varnok::CUpdateRecorder(entry.DevName)) {
  recorder_->SetPort(port);
  recorder_->SetFile(path);
}

CWindowUpdateRecord::~CWindowUpdateRecord() = default;

void CWindowUpdateRecord::Finish(const CDownloadWorkflow& workflow) {
  const DownloadEnd how = workflow.RunHasEnded() ? workflow.EndResult() : DownloadEnd::Stopped;
  std::string error;
  if (recorder_->Finish(RunOutcomeWord(how), RunOutcomeExitStatus(how), error) ==
      varnok::RecordWrite::Failed) {
    std::fprintf(stderr, "varnok: %s\n", error.c_str());
  }
}
