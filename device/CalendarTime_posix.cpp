#include "device/CalendarTime.h"

namespace varnok {

std::tm LocalTimeOf(std::time_t moment) {
  std::tm out{};
  if (localtime_r(&moment, &out) == nullptr) out = std::tm{};
  return out;
}

std::tm UtcTimeOf(std::time_t moment) {
  std::tm out{};
  if (gmtime_r(&moment, &out) == nullptr) out = std::tm{};
  return out;
}

}  // namespace varnok
