#include "text/localDate.h"

namespace velmora {

LocalDateTime currentLocalDateTime() {
    return localDateTimeOf(std::time(nullptr));
}

LocalDateTime localDateTimeOf(std::time_t moment) {
    std::tm parts{};
    if (localtime_r(&moment, &parts) == nullptr) {
        return LocalDateTime{};
    }
    return LocalDateTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,    parts.tm_hour,
                         parts.tm_min,         parts.tm_sec,     parts.tm_wday + 1};
}

} // namespace velmora
