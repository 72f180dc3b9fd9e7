#pragma once
// Checked writes of varnok-cli. A write to standard output, the capture
// file or the update record that fails (disk full, /dev/full, a closed
// pipe) is noted here; the program then ends with kExitOutputFailed where
// it would have ended with success. A reader that went away (EPIPE) also
// stops the program as Ctrl-C does.
//
// Threads: any thread.

#include <cstddef>
#include <cstdio>
#include <string>

namespace cli {

// Writes `size` bytes of `data` to `stream` and flushes it; false when not
// all of it was written. A failure on standard output is noted.
bool WriteWhole(std::FILE* stream, const char* data, std::size_t size);
inline bool WriteWhole(std::FILE* stream, const std::string& text) {
  return WriteWhole(stream, text.data(), text.size());
}

// After a failed write: notes it (`error` the errno of the failure) and
// turns EPIPE into a stop request.
void NoteOutputFailure(int error);
bool OutputFailed();

}  // namespace cli
