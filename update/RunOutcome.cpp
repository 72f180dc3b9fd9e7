#include "update/RunOutcome.h"

const char* RunOutcomeWord(DownloadEnd how) {
  switch (how) {
    case DownloadEnd::Done: return "done";
    case DownloadEnd::NotStarted: return "not-started";
    case DownloadEnd::FailedBeforeErase: return "failed-before-erase";
    case DownloadEnd::FailedAfterErase: return "failed-after-erase";
    case DownloadEnd::Stopped: return "cancelled";
  }
  return "internal";
}

int RunOutcomeExitStatus(DownloadEnd how) {
  switch (how) {
    case DownloadEnd::Done: return 0;
    case DownloadEnd::NotStarted:
    case DownloadEnd::FailedBeforeErase: return 3;
    case DownloadEnd::FailedAfterErase: return 4;
    case DownloadEnd::Stopped: return 5;
  }
  return 1;
}
