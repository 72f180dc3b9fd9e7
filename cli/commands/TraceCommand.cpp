#include "cli/commands/TraceCommand.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <map>

#include "cli/ExitCodes.h"
#include "device/FrameFormat.h"
#include "device/WireTraceDecode.h"

namespace cli {

namespace {

struct Phase {
  std::string name;
  double start = 0, end = 0;
};

std::string Seconds(double s) {
  char b[32];
  std::snprintf(b, sizeof b, "%.3f s", s);
  return b;
}

std::string EventText(const varnok::TraceRecordLine& e) {
  switch (e.event) {
    case varnok::TraceEvent::Open:
      return "open port " + std::to_string(e.port) + " " + e.path + " " + std::to_string(e.baud) +
             " " + e.format;
    case varnok::TraceEvent::Close: return "close";
    case varnok::TraceEvent::Gone: return "gone (the line hung up)";
    case varnok::TraceEvent::End: return "end: " + e.result;
    default: return "";
  }
}

}  // namespace

int RunTrace(const CliOptions& options, CliReporter& out) {
  varnok::WireTraceData trace;
  std::string error;
  if (!varnok::LoadWireTrace(options.traceFile, trace, error)) {
    out.Message("varnok-cli: " + error, true);
    out.Result("bad-trace", kExitUsage, "", "");
    return kExitUsage;
  }
  const bool classic = trace.toolClass == "classic";
  const bool json = options.json;
  if (!json) {
    std::printf("Trace of %s %s, started %s; model %s, %s tool\n",
                trace.program.empty() ? "?" : trace.program.c_str(), trace.version.c_str(),
                trace.started.c_str(), trace.model.empty() ? "?" : trace.model.c_str(),
                trace.toolClass.empty() ? "?" : trace.toolClass.c_str());
  }

  varnok::CTraceDecoder decoder(classic);
  std::vector<varnok::DecodedFrame> frames;
  bool seenRequest = false;
  std::vector<std::uint8_t> lastRequestBytes;
  bool answered = true;
  int retries = 0, unanswered = 0, requests = 0;
  std::map<int, int> blocks;  // index -> bytes, first write of each
  long long blockBytes = 0;
  double blockStart = -1, blockEnd = 0;
  unsigned baud = 0;
  std::vector<Phase> phases;
  auto print = [&](const varnok::DecodedFrame& f, bool retry) {
    if (json) {
      nlohmann::ordered_json j;
      j["t"] = f.t;
      j["line"] = f.line;
      j["dir"] = f.toTool ? "tx" : "rx";
      j["frame"] = f.raw ? "raw" : (f.toTool ? "request" : "reply");
      if (!f.raw) j["command"] = f.command;
      j["text"] = f.text;
      if (retry) j["retry"] = true;
      if (f.blockIndex >= 0) {
        j["block"] = f.blockIndex;
        j["block_bytes"] = f.blockBytes;
      }
      static const char kDigits[] = "0123456789abcdef";
      std::string hex;
      for (std::uint8_t b : f.bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
      }
      j["hex"] = hex;
      std::puts(j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
    } else {
      std::printf("%11.6f %s %s%s\n", f.t, f.toTool ? "->" : "<-", f.text.c_str(),
                  retry ? "   [retry]" : "");
    }
  };
  auto take = [&]() {
    for (const varnok::DecodedFrame& f : frames) {
      bool retry = false;
      if (f.toTool) {
        // A request that follows an unanswered one: the tool let it time
        // out; the same bytes again are a retry.
        const bool classicPacket = classic && f.blockIndex >= 0;
        if (!answered && seenRequest && !classicPacket) {
          ++unanswered;
          if (!json) std::printf("%11s    (no reply: time-out)\n", "");
        }
        retry = !answered && !lastRequestBytes.empty() && f.bytes == lastRequestBytes;
        if (retry) ++retries;
        ++requests;
        lastRequestBytes = f.bytes;
        seenRequest = true;
        answered = false;
        const bool block = f.blockIndex >= 0 || (f.command == frame::kClassicWriteBlock && classic);
        const std::string name = block ? "write blocks"
                                 : classic          ? varnok::ClassicCommandName(f.command)
                                                    : varnok::FramedCommandName(f.command);
        if (phases.empty() || phases.back().name != name) phases.push_back({name, f.t, f.t});
        if (f.blockIndex >= 0) {
          if (blockStart < 0) blockStart = f.t;
          if (f.blockBytes > 0 && blocks.emplace(f.blockIndex, f.blockBytes).second)
            blockBytes += f.blockBytes;
        }
      } else if (!f.toTool) {
        answered = true;
        if (!phases.empty() && phases.back().name == "write blocks") blockEnd = f.t;
      }
      if (!phases.empty()) phases.back().end = f.t;
      print(f, retry);
    }
    frames.clear();
  };
  // A data-mode capture carries text, not frames: one line per text line.
  const bool data = trace.toolClass == "data";
  std::string text;
  double textStart = 0;
  int textLine = 0;
  auto flushText = [&] {
    if (text.empty()) return;
    varnok::DecodedFrame f;
    f.t = textStart;
    f.line = textLine;
    f.toTool = false;
    f.raw = true;
    f.bytes.assign(text.begin(), text.end());
    f.text = nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    print(f, false);
    text.clear();
  };
  for (const varnok::TraceRecordLine& e : trace.events) {
    if (data && e.event == varnok::TraceEvent::Rx) {
      for (const std::uint8_t b : e.bytes) {
        if (text.empty()) {
          textStart = e.t;
          textLine = e.line;
        }
        text += static_cast<char>(b);
        if (b == '\n') flushText();
      }
      continue;
    }
    if (data) flushText();
    decoder.Feed(e, frames);
    take();
    if (e.event == varnok::TraceEvent::Open && baud == 0) baud = e.baud;
    if (e.event != varnok::TraceEvent::Tx && e.event != varnok::TraceEvent::Rx) {
      if (json) {
        nlohmann::ordered_json j;
        j["t"] = e.t;
        j["line"] = e.line;
        j["ev"] = varnok::TraceEventName(e.event);
        if (e.event == varnok::TraceEvent::Open) {
          j["port"] = e.port;
          j["path"] = e.path;
          j["baud"] = e.baud;
          j["format"] = e.format;
        }
        if (e.event == varnok::TraceEvent::End) j["result"] = e.result;
        std::puts(j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
      } else {
        std::printf("%11.6f -- %s\n", e.t, EventText(e).c_str());
      }
    }
  }
  flushText();
  decoder.Flush(frames);
  take();
  if (json) return kExitOk;

  std::printf("\nSummary: %d requests, %d retries, %d without reply; %zu blocks written "
              "(%lld bytes)\n",
              requests, retries, unanswered, blocks.size(), blockBytes);
  for (const Phase& p : phases) {
    if (p.end - p.start < 0.0005 && p.name != "write blocks") continue;
    std::printf("  %-20s %s\n", p.name.c_str(), Seconds(p.end - p.start).c_str());
  }
  if (blockBytes > 0 && blockEnd > blockStart) {
    const double rate = static_cast<double>(blockBytes) / (blockEnd - blockStart);
    std::printf("  block loop: %.0f bytes/s", rate);
    if (baud > 0)
      std::printf(" of the line's %.0f bytes/s (%.1f%%)", baud / 10.0, 100.0 * rate / (baud / 10.0));
    std::printf("\n");
  }
  if (!trace.events.empty() && trace.events.back().event != varnok::TraceEvent::End)
    std::printf("  the trace has no end line: the run was cut short\n");
  return kExitOk;
}

}  // namespace cli
