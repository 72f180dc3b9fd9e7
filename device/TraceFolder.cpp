#include "device/TraceFolder.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "device/CalendarTime.h"

namespace varnok {

std::shared_ptr<CWireTrace> CreateTraceFromEnvironment(const TraceHeader& header) {
  static std::atomic<int> counter{0};
  const char* dir = std::getenv(kTraceDirVariable);
  if (dir == nullptr || *dir == '\0') return nullptr;
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  const std::tm now = LocalTimeOf(std::time(nullptr));
  char name[64];
  std::snprintf(name, sizeof name, "varnok-%04d%02d%02d-%02d%02d%02d-%d.jsonl",
                (now.tm_year + 1900) % 10000, (now.tm_mon + 1) % 100, now.tm_mday % 100,
                now.tm_hour % 100, now.tm_min % 100, now.tm_sec % 100, ++counter % 100000);
  return CWireTrace::Create((std::filesystem::path(dir) / name).string(), header, nullptr);
}

}  // namespace varnok
