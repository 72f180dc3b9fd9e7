#include "device/CalendarTime.h"

namespace varnok {

std::tm LocalTimeOf(std::time_t moment) {
  std::tm out{};
  if (localtime_s(&out, &moment) != 0) out = std::tm{};
  return out;
}

std::tm UtcTimeOf(std::time_t moment) {
  std::tm out{};
  if (gmtime_s(&out, &moment) != 0) out = std::tm{};
  return out;
}

}  // namespace varnok
