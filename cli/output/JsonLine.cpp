#include "cli/output/JsonLine.h"

#include <cmath>
#include <cstdio>

#include "device/RemotePorts.h"
#include "update/WideText.h"

namespace cli {

std::string JsonEscape(const std::string& narrow) {
  // JSON is UTF-8: 8-bit text that is not (names from device.xml, tool
  // replies) is decoded as everywhere else in the program.
  const std::string text = varnok::ValidUtf8(narrow);
  std::string out;
  out.reserve(text.size() + 2);
  for (const char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (u < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
          out += escaped;
        } else {
          out.push_back(c);
        }
    }
  }
  return out;
}

JsonLine::JsonLine(const std::string& event) : body_("{") {
  Add("event", event);
}

void JsonLine::Key(const std::string& key) {
  if (body_.size() > 1) body_ += ",";
  body_ += "\"" + JsonEscape(key) + "\":";
}

JsonLine& JsonLine::Add(const std::string& key, const std::string& value) {
  Key(key);
  body_ += "\"" + JsonEscape(value) + "\"";
  return *this;
}

JsonLine& JsonLine::Add(const std::string& key, const char* value) {
  return Add(key, std::string(value ? value : ""));
}

JsonLine& JsonLine::Add(const std::string& key, bool value) {
  Key(key);
  body_ += value ? "true" : "false";
  return *this;
}

JsonLine& JsonLine::Add(const std::string& key, int value) {
  return Add(key, static_cast<std::int64_t>(value));
}

JsonLine& JsonLine::Add(const std::string& key, std::int64_t value) {
  Key(key);
  body_ += std::to_string(value);
  return *this;
}

JsonLine& JsonLine::Add(const std::string& key, double value) {
  if (!std::isfinite(value)) return AddNull(key);
  Key(key);
  char number[32];
  std::snprintf(number, sizeof number, "%.3f", value);
  body_ += number;
  return *this;
}

JsonLine& JsonLine::AddNull(const std::string& key) {
  Key(key);
  body_ += "null";
  return *this;
}

JsonLine& JsonLine::AddPort(int port) {
  const std::string url = varnok::RemotePortName(port);
  return url.empty() ? Add("port", port) : Add("port", url);
}

}  // namespace cli
