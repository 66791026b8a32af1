#include "collectors/logLine.h"

#include "text/codePages.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(TimeStamp, NumbersWithoutLeadingZerosAndFixedEnglishNames) {
    const std::pair<LocalDateTime, const char*> cases[] = {
        {{2016, 3, 9, 8, 5, 3, 4}, "Wen, 9-Mar-2016 8:5:3 GMT"},
        {{2024, 5, 1, 9, 5, 0, 4}, "Wen, 1-May-2024 9:5:0 GMT"},
        {{2023, 12, 31, 0, 0, 0, 1}, "Sun, 31-Dec-2023 0:0:0 GMT"},
        {{2021, 1, 16, 23, 59, 59, 7}, "Sat, 16-Jan-2021 23:59:59 GMT"},
        {{2022, 2, 14, 12, 30, 45, 2}, "Mon, 14-Feb-2022 12:30:45 GMT"},
        {{2022, 6, 7, 1, 2, 3, 3}, "Tue, 7-Jun-2022 1:2:3 GMT"},
        {{2022, 7, 7, 1, 2, 3, 5}, "Thu, 7-Jul-2022 1:2:3 GMT"},
        {{2022, 8, 5, 1, 2, 3, 6}, "Fri, 5-Aug-2022 1:2:3 GMT"},
    };
    for (const auto& [at, stamp] : cases) {
        EXPECT_EQ(timeStamp(at), stamp);
    }
    const char* months[] = {"Jan-", "Feb-", "Mar-", "Apr-", "May-", "Jun-",
                            "Jul-", "Aug-", "Sep-", "Oct-", "Nov-", "Dec-"};
    for (int month = 1; month <= 12; ++month) {
        EXPECT_EQ(timeStamp({2020, month, 1, 0, 0, 0, 1}),
                  std::string("Sun, 1-") + months[month - 1] + "2020 0:0:0 GMT");
    }
}

TEST(LogLine, StampMarkerAndMessageWithoutLineEnd) {
    const LocalDateTime at{2016, 3, 9, 8, 5, 3, 4};
    EXPECT_EQ(logLine(utf8ToAnsi("搜索关键词开始！"), at),
              "Wen, 9-Mar-2016 8:5:3 GMT===>>>" + utf8ToAnsi("搜索关键词开始！"));
    EXPECT_EQ(logLine("", at), "Wen, 9-Mar-2016 8:5:3 GMT===>>>");
    EXPECT_EQ(logLine("a\r\nb", at), "Wen, 9-Mar-2016 8:5:3 GMT===>>>a\r\nb");
}

} // namespace
} // namespace velmora
