#pragma once
// The record of updates: one JSON object per line in `updates.log` in the
// user's state folder (StateDir.h), appended by every update the
// command-line tool or the window runs, read back by `varnok-cli history`.
//
// Line fields: "time" (UTC, 2026-12-08T21:40:05Z), "model" (DevName),
// "port" (number, -1 when no tool was found, 0 for a tool on another
// machine), "port_name" (ttyACM0 / COM7 / rfc2217://host:4000), "file" (name without folder), "size" (bytes, -1 unreadable),
// "sha256" (hex, empty when unreadable), "result" (word), "exit" (the
// command-line updater's exit status), "duration_s".
//
// Threads: AppendUpdateRecord may be called from several threads at once
// (each line is written whole under a process-wide lock, in append mode,
// so several processes append whole lines too).

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace varnok {

struct UpdateRecord {
  std::string time;
  std::string model;
  int port = -1;
  std::string portName;
  std::string file;
  std::int64_t size = -1;
  std::string sha256;
  std::string result;
  int exitStatus = 0;
  double durationS = 0.0;
};

// One line of the log, without the line end. Text that is not valid
// UTF-8 is written with replacement characters.
std::string UpdateRecordJson(const UpdateRecord& record);
// Parses one line; false for a line that is not a record object.
bool ParseUpdateRecord(const std::string& line, UpdateRecord& record);

// UserStateDir() + "updates.log"; empty when no state folder can be named.
std::string UpdateLogPath();

enum class RecordWrite {
  Written,
  Failed,       // not written; the first failure of this process
  FailedAgain,  // not written; an earlier one failed too (report only the first)
};

// Appends `record` to UpdateLogPath(), creating the folder when missing.
// The record is a whole line: one that would follow a cut-off line starts
// on a line of its own, and a failed write (disk full) is cut back so that
// no half line stays. A log that is not a regular file (a FIFO, a device)
// is refused unopened. On failure `error` says why.
RecordWrite AppendUpdateRecord(const UpdateRecord& record, std::string& error);

// Every record of the file at `path` in file order; lines that are not
// records are counted in `skipped`. False when the file cannot be opened
// or is no regular file (never opened then); a missing file is an empty
// record: true, nothing read.
bool ReadUpdateRecords(const std::string& path, std::vector<UpdateRecord>& records,
                       int& skipped);

// Collects one update's record from its start to its end, for both front
// ends. Begin with the model; add port and file as they become known.
class CUpdateRecorder {
 public:
  // The clock of the run starts here.
  explicit CUpdateRecorder(const std::string& model);

  void SetPort(int port);
  // Notes the file's name and hashes the file now (size and SHA-256 stay
  // unset when it cannot be read). Blocks for the read.
  void SetFile(const std::string& path);
  // Notes the file's name and the size and SHA-256 already known (size -1
  // and an empty hash for a file that could not be read). Does not block.
  void SetFile(const std::string& path, std::int64_t size, const std::string& sha256);

  // Completes the record (time of the start, duration) and appends it.
  // Only the first call writes; later calls return Written and do nothing.
  RecordWrite Finish(const std::string& result, int exitStatus, std::string& error);

  const UpdateRecord& Record() const { return record_; }

 private:
  UpdateRecord record_;
  std::chrono::steady_clock::time_point start_;
  bool finished_ = false;
};

}  // namespace varnok
