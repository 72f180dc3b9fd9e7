#include "device/FilePath.h"
#include "update/UpdateRecord.h"

#include <atomic>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <system_error>

#include <nlohmann/json.hpp>

#include "device/CalendarTime.h"
#include "device/PortNames.h"
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

std::string FileNameOf(const std::string& path) {
  const std::string::size_type cut = path.find_last_of("/\\");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

template <typename T>
void Take(const nlohmann::json& object, const char* key, T& into) {
  const auto found = object.find(key);
  if (found != object.end() && !found->is_null()) into = found->get<T>();
}

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
    Take(object, "port", parsed.port);
    Take(object, "port_name", parsed.portName);
    Take(object, "file", parsed.file);
    Take(object, "size", parsed.size);
    Take(object, "sha256", parsed.sha256);
    Take(object, "result", parsed.result);
    Take(object, "exit", parsed.exitStatus);
    Take(object, "duration_s", parsed.durationS);
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
    std::ofstream out(file, std::ios::binary | std::ios::app);
    // One write of the whole line: appending processes never interleave
    // within a line.
    if (out.is_open()) out.write(line.data(), static_cast<std::streamsize>(line.size()));
    out.flush();
    written = out.is_open() && out.good();
    if (!written) error = "cannot write the update record " + path;
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
  if (!std::filesystem::exists(file, ec)) return !ec;
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
  record_.port = port;
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
