#include "device/WireTraceFile.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <sstream>

namespace varnok {

namespace {

using Json = nlohmann::json;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool DecodeHex(const std::string& hex, std::vector<std::uint8_t>& out) {
  if (hex.empty() || hex.size() % 2 != 0) return false;
  out.resize(hex.size() / 2);
  for (std::size_t i = 0; i < out.size(); ++i) {
    const int hi = HexDigit(hex[2 * i]);
    const int lo = HexDigit(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    out[i] = static_cast<std::uint8_t>(hi << 4 | lo);
  }
  return true;
}

std::string Text(const Json& j, const char* key) {
  const auto it = j.find(key);
  return it != j.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// One event line into `e`; false with the reason.
bool ParseEvent(const Json& j, TraceRecordLine& e, std::string& why) {
  if (!j.is_object()) return (why = "not a JSON object", false);
  const auto t = j.find("t");
  if (t == j.end() || !t->is_number()) return (why = "no time \"t\"", false);
  e.t = t->get<double>();
  if (!std::isfinite(e.t) || e.t < 0) return (why = "a bad time", false);
  const std::string ev = Text(j, "ev");
  if (ev == "open") {
    e.event = TraceEvent::Open;
    const auto port = j.find("port");
    if (port == j.end() || !port->is_number_integer()) return (why = "open without a port", false);
    const long long p = port->get<long long>();
    if (p < 0 || p > 1000000) return (why = "a bad port number", false);
    e.port = static_cast<int>(p);
    e.path = Text(j, "path");
    e.format = Text(j, "format");
    const auto baud = j.find("baud");
    if (baud != j.end() && baud->is_number_unsigned() && baud->get<unsigned long long>() < 100000000)
      e.baud = static_cast<unsigned>(baud->get<unsigned long long>());
  } else if (ev == "tx" || ev == "rx") {
    e.event = ev == "tx" ? TraceEvent::Tx : TraceEvent::Rx;
    if (!DecodeHex(Text(j, "hex"), e.bytes)) return (why = ev + " without its bytes as hex", false);
  } else if (ev == "close") {
    e.event = TraceEvent::Close;
  } else if (ev == "gone") {
    e.event = TraceEvent::Gone;
  } else if (ev == "end") {
    e.event = TraceEvent::End;
    e.result = Text(j, "result");
  } else {
    return (why = ev.empty() ? "no event \"ev\"" : "unknown event \"" + ev + "\"", false);
  }
  return true;
}

}  // namespace

const char* TraceEventName(TraceEvent event) {
  switch (event) {
    case TraceEvent::Open: return "open";
    case TraceEvent::Tx: return "tx";
    case TraceEvent::Rx: return "rx";
    case TraceEvent::Close: return "close";
    case TraceEvent::Gone: return "gone";
    case TraceEvent::End: return "end";
  }
  return "?";
}

bool ParseWireTrace(const std::string& text, WireTraceData& out, std::string& error) {
  out = WireTraceData();
  std::size_t pos = 0;
  int lineNo = 0;
  bool ended = false;
  while (pos < text.size()) {
    ++lineNo;
    std::size_t eol = text.find('\n', pos);
    const bool complete = eol != std::string::npos;
    if (!complete) eol = text.size();
    std::string line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (line.size() > kMaxTraceLineBytes) return (error = where + "line too long", false);
    if (line.empty()) return (error = where + "empty line", false);
    const Json j = Json::parse(line, nullptr, false);
    if (j.is_discarded()) {
      error = where + (complete ? "not valid JSON" : "cut off (the file ends inside the line)");
      return false;
    }
    if (lineNo == 1) {
      const auto version = j.is_object() ? j.find("trace") : j.end();
      if (!j.is_object() || version == j.end() || !version->is_number_integer() ||
          version->get<long long>() != 1) {
        error = where + "not a Varnok wire trace (no {\"trace\":1,...} first line)";
        return false;
      }
      out.program = Text(j, "program");
      out.version = Text(j, "version");
      out.started = Text(j, "started");
      out.model = Text(j, "model");
      out.toolClass = Text(j, "class");
      continue;
    }
    if (ended) return (error = where + "an event after the end line", false);
    TraceRecordLine e;
    e.line = lineNo;
    std::string why;
    if (!ParseEvent(j, e, why)) return (error = where + why, false);
    ended = e.event == TraceEvent::End;
    out.events.push_back(std::move(e));
  }
  if (lineNo == 0) return (error = "line 1: the file is empty", false);
  return true;
}

bool LoadWireTrace(const std::string& path, WireTraceData& out, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file.is_open()) return (error = "cannot read " + path, false);
  std::ostringstream text;
  text << file.rdbuf();
  if (!ParseWireTrace(text.str(), out, error)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

}  // namespace varnok
