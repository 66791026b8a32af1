#pragma once

#include <ctime>

namespace velmora {

/// A local date and time to the second.
struct LocalDateTime {
    int year = 1970;
    int month = 1;     ///< 1 to 12
    int day = 1;       ///< 1 to 31
    int hour = 0;      ///< 0 to 23
    int minute = 0;    ///< 0 to 59
    int second = 0;    ///< 0 to 59
    int dayOfWeek = 5; ///< 1 = Sunday ... 7 = Saturday
};

/// The local date and time now.
LocalDateTime currentLocalDateTime();

/// The local date and time of a moment.
LocalDateTime localDateTimeOf(std::time_t moment);

} // namespace velmora
