#include "collectors/logLine.h"

#include "text/numbers.h"

#include <array>
#include <string_view>

namespace velmora {

namespace {

// "Wen" is how the log has always spelled Wednesday; readers of old logs rely on it.
constexpr std::array<std::string_view, 7> kWeekdays{"Sun, ", "Mon, ", "Tue, ", "Wen, ",
                                                    "Thu, ", "Fri, ", "Sat, "};
constexpr std::array<std::string_view, 12> kMonths{"Jan-", "Feb-", "Mar-", "Apr-", "May-", "Jun-",
                                                   "Jul-", "Aug-", "Sep-", "Oct-", "Nov-", "Dec-"};

template <std::size_t N> std::string_view nameOf(const std::array<std::string_view, N>& names, int oneBased) {
    return oneBased >= 1 && oneBased <= int(N) ? names[oneBased - 1] : std::string_view();
}

} // namespace

Text timeStamp(const LocalDateTime& t) {
    Text stamp(nameOf(kWeekdays, t.dayOfWeek));
    stamp += intToText(t.day) + "-";
    stamp += nameOf(kMonths, t.month);
    stamp +=
        intToText(t.year) + " " + intToText(t.hour) + ":" + intToText(t.minute) + ":" + intToText(t.second);
    stamp += " GMT";
    return stamp;
}

Text logLine(const Text& message, const LocalDateTime& at) {
    return timeStamp(at) + "===>>>" + message;
}

Text logLine(const Text& message) {
    return logLine(message, currentLocalDateTime());
}

} // namespace velmora
