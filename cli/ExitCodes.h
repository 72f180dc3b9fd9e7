#pragma once
// Exit statuses of varnok-cli (also listed by --help).

namespace cli {

constexpr int kExitOk = 0;            // update done / tool is the model / listing printed
constexpr int kExitInternal = 1;      // unexpected internal error
constexpr int kExitUsage = 2;         // bad usage, unknown model, unreadable configuration
constexpr int kExitNotWritten = 3;    // nothing written: no tool, no access, wrong tool, wrong file,
                                      // or a failure before the erase began
constexpr int kExitAfterErase = 4;    // failed or cancelled after the erase began: update
                                      // the tool again
constexpr int kExitCancelled = 5;     // cancelled (Ctrl-C / SIGTERM) before the erase began
constexpr int kExitPortGone = 6;      // capture: the port went away during the capture
constexpr int kExitOutputFailed = 7;  // all else done, but standard output, the capture file
                                      // or the update record could not be written whole

}  // namespace cli
