#pragma once
// How a download's end is named where it is recorded or reported: the
// result word and the exit status of the command-line updater (0 done,
// 3 nothing written, 4 failed after the erase began, 5 cancelled). The
// window records its runs with the same words and numbers.

#include "update/DownloadView.h"

// "done", "not-started", "failed-before-erase", "failed-after-erase", "cancelled".
const char* RunOutcomeWord(DownloadEnd how);

int RunOutcomeExitStatus(DownloadEnd how);
