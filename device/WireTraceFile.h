#pragma once
// Reading a wire trace (the JSON Lines that CWireTrace writes) back into
// its events. A truncated or hand-edited file gives an error that names
// its line; nothing in the text can make the reader fail otherwise.

#include <cstdint>
#include <string>
#include <vector>

namespace varnok {

enum class TraceEvent { Open, Tx, Rx, Close, Gone, End };

struct TraceRecordLine {
  TraceEvent event = TraceEvent::Open;
  int line = 0;          // line number in the file, from 1
  double t = 0;          // seconds since the start
  int port = 0;          // open
  std::string path;      // open
  unsigned baud = 0;     // open
  std::string format;    // open ("8N1")
  std::vector<std::uint8_t> bytes;  // tx, rx
  std::string result;    // end
};

struct WireTraceData {
  std::string program, version, started, model, toolClass;  // header
  std::vector<TraceRecordLine> events;
};

// Limits that keep a hostile file from taking the machine.
constexpr std::size_t kMaxTraceLineBytes = 1u << 20;

// Parses the whole text. False with "line N: why" in `error`.
bool ParseWireTrace(const std::string& text, WireTraceData& out, std::string& error);
// Reads and parses `path`; the error names the file's problem or line.
bool LoadWireTrace(const std::string& path, WireTraceData& out, std::string& error);

const char* TraceEventName(TraceEvent event);

}  // namespace varnok
