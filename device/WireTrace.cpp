#include "device/WireTrace.h"

#include <nlohmann/json.hpp>

#include <ctime>

#include "device/CalendarTime.h"

namespace varnok {

namespace {

// Days from 1970-01-01 to the civil date (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

long long FieldSeconds(const std::tm& t) {
  return DaysFromCivil(t.tm_year + 1900LL, static_cast<unsigned>(t.tm_mon + 1),
                       static_cast<unsigned>(t.tm_mday)) * 86400LL +
         t.tm_hour * 3600LL + t.tm_min * 60LL + t.tm_sec;
}

// Local time with its offset: 2026-12-09T17:55:19+01:00.
std::string LocalIsoTime() {
  const std::time_t now = std::time(nullptr);
  const std::tm local = LocalTimeOf(now);
  const std::tm utc = UtcTimeOf(now);
  const long long offset = (FieldSeconds(local) - FieldSeconds(utc)) / 60;
  const long long absOffset = offset < 0 ? -offset : offset;
  char text[96];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02lld:%02lld",
                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                local.tm_min, local.tm_sec, offset < 0 ? '-' : '+', (absOffset / 60) % 100,
                absOffset % 60);
  return text;
}

}  // namespace

const char* TraceClassName(int usbType) {
  switch (usbType) {
    case 0: return "classic";
    case 1: return "new";
    case 2: return "programmer";
  }
  return "";
}

std::shared_ptr<CWireTrace> CWireTrace::Create(const std::string& path, const TraceHeader& header,
                                               std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    if (error != nullptr) *error = "cannot write the trace file " + path;
    return nullptr;
  }
  // Unbuffered: every event is one write of its whole line.
  std::setvbuf(file, nullptr, _IONBF, 0);
  std::shared_ptr<CWireTrace> trace(new CWireTrace(file));
  nlohmann::ordered_json first;
  first["trace"] = 1;
  if (!header.program.empty()) first["program"] = header.program;
  if (!header.version.empty()) first["version"] = header.version;
  first["started"] = LocalIsoTime();
  if (!header.model.empty()) first["model"] = header.model;
  if (!header.toolClass.empty()) first["class"] = header.toolClass;
  std::string line = first.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  line.pop_back();  // Emit closes the object
  std::lock_guard<std::mutex> lock(trace->lock_);
  trace->Emit(line);
  if (trace->file_ == nullptr) {
    if (error != nullptr) *error = "cannot write the trace file " + path;
    return nullptr;
  }
  return trace;
}

CWireTrace::CWireTrace(std::FILE* file) : file_(file), start_(std::chrono::steady_clock::now()) {}

CWireTrace::~CWireTrace() {
  if (file_ != nullptr) std::fclose(file_);
}

bool CWireTrace::Healthy() const {
  std::lock_guard<std::mutex> lock(lock_);
  return file_ != nullptr;
}

void CWireTrace::Begin(std::string& line, const char* event) const {
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                      std::chrono::steady_clock::now() - start_)
                      .count();
  char head[64];
  std::snprintf(head, sizeof head, "{\"t\":%lld.%06lld,\"ev\":\"%s\"",
                static_cast<long long>(us / 1000000), static_cast<long long>(us % 1000000), event);
  line += head;
}

void CWireTrace::Emit(std::string& line) {
  if (file_ == nullptr || ended_) return;
  line += "}\n";
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size()) {
    std::fclose(file_);
    file_ = nullptr;
  }
}

void CWireTrace::Open(int port, const std::string& path, unsigned baud, const std::string& format) {
  nlohmann::ordered_json fields;
  fields["port"] = port;
  fields["path"] = path;
  fields["baud"] = baud;
  fields["format"] = format;
  const std::string rest = fields.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::lock_guard<std::mutex> lock(lock_);
  std::string line;
  Begin(line, "open");
  line += ',';
  line.append(rest, 1, rest.size() - 2);  // without the braces
  Emit(line);
}

void CWireTrace::Bytes(const char* event, const std::uint8_t* data, int n) {
  if (n <= 0) return;
  static const char kDigits[] = "0123456789abcdef";
  std::string line;
  line.reserve(48 + 2 * static_cast<std::size_t>(n));
  std::lock_guard<std::mutex> lock(lock_);
  Begin(line, event);
  line += ",\"hex\":\"";
  for (int i = 0; i < n; ++i) {
    line += kDigits[data[i] >> 4];
    line += kDigits[data[i] & 0x0F];
  }
  line += '"';
  Emit(line);
}

void CWireTrace::Tx(const std::uint8_t* data, int n) { Bytes("tx", data, n); }
void CWireTrace::Rx(const std::uint8_t* data, int n) { Bytes("rx", data, n); }

void CWireTrace::Simple(const char* event) {
  std::lock_guard<std::mutex> lock(lock_);
  std::string line;
  Begin(line, event);
  Emit(line);
}

void CWireTrace::Close() { Simple("close"); }
void CWireTrace::Gone() { Simple("gone"); }

void CWireTrace::End(const std::string& result) {
  const std::string word = nlohmann::json(result).dump(-1, ' ', false,
                                                        nlohmann::json::error_handler_t::replace);
  std::lock_guard<std::mutex> lock(lock_);
  std::string line;
  Begin(line, "end");
  line += ",\"result\":" + word;
  Emit(line);
  ended_ = true;
}

}  // namespace varnok
