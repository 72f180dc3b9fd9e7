#pragma once
// Calendar time for a moment, safe to call from several threads at once
// (std::localtime and std::gmtime share one static buffer). One backend per
// platform (CalendarTime_posix.cpp, CalendarTime_win.cpp).

#include <ctime>

namespace varnok {

// The moment in the local time zone; all fields zero when it cannot be converted.
std::tm LocalTimeOf(std::time_t moment);

// The moment in UTC; all fields zero when it cannot be converted.
std::tm UtcTimeOf(std::time_t moment);

}  // namespace varnok
