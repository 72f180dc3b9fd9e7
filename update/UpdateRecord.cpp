#include "device/FilePath.h"
#include "update/UpdateRecord.h"

#include <atomic>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <system_error>

#include <nlohmann/json.hpp>

#include "device/CalendarTime.h"
#include "device/PortNames.h"
#include "device/RemotePorts.h"
#include "update/ModuleDir.h"
#include "update/Sha256.h"
#include "update/StateDir.h"

namespace varnok {

namespace {

constexpr const char* kLogFileName = "updates.log";

std::mutex& AppendMutex() {
  static std::mutex mutex;
  return mutex;
}

std::atomic<bool>& FailedOnce() {
  static std::atomic<bool> failed{false};
  return failed;
}

std::string UtcStamp(std::chrono::system_clock::time_point when) {
  const std::tm utc = UtcTimeOf(std::chrono::system_clock::to_time_t(when));
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return std::string(text, n);
}

// The part after the last separator of this platform ('/' everywhere, and
// '\\' on Windows: elsewhere a backslash is part of the name).
std::string FileNameOf(const std::string& path) {
  const char separators[] = {'/', PathSeparator(), '\0'};
  const std::string::size_type cut = path.find_last_of(separators);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

template <typename T>
void Take(const nlohmann::json& object, const char* key, T& into) {
  const auto found = object.find(key);
  if (found != object.end() && !found->is_null()) into = found->get<T>();
}

// A whole number within [low, high], or absent; false for anything else
// (a fraction, or a number the field cannot hold, which would wrap).
template <typename T>
bool TakeWhole(const nlohmann::json& object, const char* key, std::int64_t low, std::int64_t high,
               T& into) {
  const auto found = object.find(key);
  if (found == object.end() || found->is_null()) return true;
  std::int64_t value = 0;
  if (found->is_number_unsigned()) {
    const auto u = found->get<std::uint64_t>();
    if (u > static_cast<std::uint64_t>(high)) return false;
    value = static_cast<std::int64_t>(u);
  } else if (found->is_number_integer()) {
    value = found->get<std::int64_t>();
  } else {
    return false;
  }
  if (value < low || value > high) return false;
  into = static_cast<T>(value);
  return true;
}

// Highest port number a record can name, and the highest exit status.
constexpr std::int64_t kMaxRecordPort = 65535;
constexpr std::int64_t kMaxRecordExit = 255;

}  // namespace

std::string UpdateRecordJson(const UpdateRecord& r) {
  const nlohmann::ordered_json line = {
      {"time", r.time},       {"model", r.model},   {"port", r.port},
      {"port_name", r.portName}, {"file", r.file},  {"size", r.size},
      {"sha256", r.sha256},   {"result", r.result}, {"exit", r.exitStatus},
      {"duration_s", static_cast<double>(static_cast<long long>(r.durationS * 1000.0 + 0.5)) / 1000.0},
  };
  return line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

bool ParseUpdateRecord(const std::string& line, UpdateRecord& record) {
  const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
  if (object.is_discarded() || !object.is_object() || !object.contains("time") ||
      !object.contains("result")) {
    return false;
  }
  UpdateRecord parsed;
  try {
    Take(object, "time", parsed.time);
    Take(object, "model", parsed.model);
    if (!TakeWhole(object, "port", -1, kMaxRecordPort, parsed.port)) return false;
    Take(object, "port_name", parsed.portName);
    Take(object, "file", parsed.file);
    if (!TakeWhole(object, "size", -1, std::numeric_limits<std::int64_t>::max(), parsed.size))
      return false;
    Take(object, "sha256", parsed.sha256);
    Take(object, "result", parsed.result);
    if (!TakeWhole(object, "exit", 0, kMaxRecordExit, parsed.exitStatus)) return false;
    Take(object, "duration_s", parsed.durationS);
    if (!std::isfinite(parsed.durationS) || parsed.durationS < 0) return false;
  } catch (const nlohmann::json::exception&) {
    return false;  // a field of the wrong type
  }
  record = parsed;
  return true;
}

std::string UpdateLogPath() {
  const std::string dir = UserStateDir();
  return dir.empty() ? dir : dir + StateDirSeparator() + kLogFileName;
}

namespace {

// Appends `line` (ending in a line feed) to `file` whole or not at all.
bool AppendWholeLine(const std::filesystem::path& file, std::string line, std::string& why) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  // A FIFO or a device would block the open or swallow the record.
  if (fs::exists(status) && !fs::is_regular_file(status)) {
    why = "not a regular file";
    return false;
  }
  std::uintmax_t before = 0;
  if (fs::exists(status)) {
    before = fs::file_size(file, ec);
    if (ec) before = 0;
  }
  if (before > 0) {
    // A record cut off by an earlier failure (or a hand edit) must not
    // swallow this one: start it on a line of its own.
    std::ifstream in(file, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(before - 1));
    char last = '\n';
    if (in.get(last) && last != '\n') line.insert(line.begin(), '\n');
  }
  bool written = false;
  {
    std::ofstream out(file, std::ios::binary | std::ios::app);
    // One write of the whole line: appending processes never interleave
    // within a line.
    if (out.is_open()) out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.flush();
    written = out.is_open() && out.good();
    if (out.is_open()) out.close();
    written = written && !out.fail();
  }
  if (!written) {
    why = "the disk may be full";
    // Never leave half a record behind.
    if (fs::exists(file, ec) && fs::file_size(file, ec) > before) fs::resize_file(file, before, ec);
  }
  return written;
}

}  // namespace

RecordWrite AppendUpdateRecord(const UpdateRecord& record, std::string& error) {
  const std::string path = UpdateLogPath();
  const std::string line = UpdateRecordJson(record) + "\n";
  bool written = false;
  if (path.empty()) {
    error = "no folder for the update record (neither XDG_STATE_HOME nor a home folder is known)";
  } else {
    std::lock_guard<std::mutex> lock(AppendMutex());
    std::error_code ec;
    const std::filesystem::path file = FilePath(path);
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string why;
    written = AppendWholeLine(file, line, why);
    if (!written) error = "cannot write the update record " + path + ": " + why;
  }
  if (written) return RecordWrite::Written;
  return FailedOnce().exchange(true) ? RecordWrite::FailedAgain : RecordWrite::Failed;
}

bool ReadUpdateRecords(const std::string& path, std::vector<UpdateRecord>& records,
                       int& skipped) {
  records.clear();
  skipped = 0;
  std::error_code ec;
  const std::filesystem::path file = FilePath(path);
  const std::filesystem::file_status status = std::filesystem::status(file, ec);
  if (!std::filesystem::exists(status)) {
    return status.type() == std::filesystem::file_type::not_found;
  }
  // Not opened unless it is a file: a FIFO would block the read for ever.
  if (!std::filesystem::is_regular_file(status)) return false;
  std::ifstream in(file, std::ios::binary);
  if (!in.is_open()) return false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    UpdateRecord record;
    if (ParseUpdateRecord(line, record)) {
      records.push_back(record);
    } else {
      ++skipped;
    }
  }
  return true;
}

CUpdateRecorder::CUpdateRecorder(const std::string& model)
    : start_(std::chrono::steady_clock::now()) {
  record_.model = model;
  record_.time = UtcStamp(std::chrono::system_clock::now());
}

void CUpdateRecorder::SetPort(int port) {
  // A remote port's number is this program's own, for this run only: the
  // record keeps 0 and the URL.
  record_.port = IsRemotePort(port) ? 0 : port;
  record_.portName = port > 0 ? PortDisplayName(port) : std::string();
}

void CUpdateRecorder::SetFile(const std::string& path) {
  record_.file = FileNameOf(path);
  std::int64_t size = 0;
  std::string hex;
  if (Sha256OfFile(path, hex, size)) {
    record_.size = size;
    record_.sha256 = hex;
  } else {
    record_.size = -1;
    record_.sha256.clear();
  }
}

void CUpdateRecorder::SetFile(const std::string& path, std::int64_t size,
                              const std::string& sha256) {
  record_.file = FileNameOf(path);
  record_.size = size;
  record_.sha256 = sha256;
}

RecordWrite CUpdateRecorder::Finish(const std::string& result, int exitStatus,
                                    std::string& error) {
  if (finished_) return RecordWrite::Written;
  finished_ = true;
  record_.result = result;
  record_.exitStatus = exitStatus;
  record_.durationS =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  return AppendUpdateRecord(record_, error);
}

}  // namespace varnok
