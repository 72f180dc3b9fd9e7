#pragma once
// CWireTrace: the record of everything that crossed a tool's line in one
// run, as JSON Lines (UTF-8, one event per line):
//   {"trace":1,"program":...,"version":...,"started":...,"model":...,"class":...}
//   {"t":0.001234,"ev":"open","port":1,"path":"/dev/ttyACM0","baud":115200,"format":"8N1"}
//   {"t":...,"ev":"tx","hex":"aa55..."}   bytes the program wrote
//   {"t":...,"ev":"rx","hex":"b496..."}   bytes the program read
//   {"t":...,"ev":"close"}  {"t":...,"ev":"gone"} (hang-up)
//   {"t":...,"ev":"end","result":"done"}
// `t` is seconds since the trace was created, microsecond resolution, of a
// monotonic clock.
//
// Every event is written by one unbuffered write as it happens, so a run
// that fails, is interrupted or crashes leaves every line before that
// moment intact. A write error disables the trace quietly: recording never
// changes what goes on the line. The file holds only the run: no
// environment, no user, no path but the port's.
//
// Threads: any; one mutex orders the events (ports on several threads may
// share a trace).

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

namespace varnok {

// What the first line tells of the run; empty fields are left out.
struct TraceHeader {
  std::string program;  // "varnok-cli"
  std::string version;
  std::string model;      // DevName of the model
  std::string toolClass;  // "classic", "new", "programmer" or "data"
};

// The trace class word of a tool class (USBType 0, 1, 2); "" for others.
const char* TraceClassName(int usbType);

class CWireTrace {
 public:
  // Creates (or empties) `path` and writes the header line. Null with the
  // reason in `error` when the file cannot be written.
  static std::shared_ptr<CWireTrace> Create(const std::string& path, const TraceHeader& header,
                                            std::string* error);
  ~CWireTrace();
  CWireTrace(const CWireTrace&) = delete;
  CWireTrace& operator=(const CWireTrace&) = delete;

  // `format` as "8N1".
  void Open(int port, const std::string& path, unsigned baud, const std::string& format);
  void Tx(const std::uint8_t* data, int n);
  void Rx(const std::uint8_t* data, int n);
  void Close();
  void Gone();
  // The last line; later events are dropped.
  void End(const std::string& result);

  // False once a write failed (the rest of the run is not recorded).
  bool Healthy() const;

 private:
  CWireTrace(std::FILE* file);
  void Bytes(const char* event, const std::uint8_t* data, int n);
  void Simple(const char* event);
  // Prefix `{"t":...,"ev":"<event>"` for a line.
  void Begin(std::string& line, const char* event) const;
  void Emit(std::string& line);  // lock held; appends "}\n" and writes

  mutable std::mutex lock_;
  std::FILE* file_;
  bool ended_ = false;
  const std::chrono::steady_clock::time_point start_;
};

}  // namespace varnok
