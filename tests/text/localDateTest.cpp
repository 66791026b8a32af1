#include "text/localDate.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace velmora {
namespace {

class LocalDate : public ::testing::Test {
protected:
    // Each test runs in a process of its own, so fixing the time zone here touches no other test.
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

TEST_F(LocalDate, TakesTheMomentApartWithSundayAsDayOne) {
    const struct {
        std::time_t moment;
        LocalDateTime expected;
    } cases[] = {
        {1609677296, {2021, 1, 3, 12, 34, 56, 1}}, // Sunday
        {1609718400, {2021, 1, 4, 0, 0, 0, 2}},    // Monday
        {1610236799, {2021, 1, 9, 23, 59, 59, 7}}, // Saturday
        {951782400, {2000, 2, 29, 0, 0, 0, 3}},    // Tuesday, a leap day
    };
    for (const auto& c : cases) {
        const LocalDateTime actual = localDateTimeOf(c.moment);
        EXPECT_EQ(actual.year, c.expected.year) << c.moment;
        EXPECT_EQ(actual.month, c.expected.month) << c.moment;
        EXPECT_EQ(actual.day, c.expected.day) << c.moment;
        EXPECT_EQ(actual.hour, c.expected.hour) << c.moment;
        EXPECT_EQ(actual.minute, c.expected.minute) << c.moment;
        EXPECT_EQ(actual.second, c.expected.second) << c.moment;
        EXPECT_EQ(actual.dayOfWeek, c.expected.dayOfWeek) << c.moment;
    }
}

TEST_F(LocalDate, CurrentDateFollowsTheClock) {
    const std::time_t before = std::time(nullptr);
    const LocalDateTime now = currentLocalDateTime();
    const LocalDateTime earlier = localDateTimeOf(before);
    EXPECT_GE(now.year, earlier.year);
    EXPECT_GE(now.dayOfWeek, 1);
    EXPECT_LE(now.dayOfWeek, 7);
}

} // namespace
} // namespace velmora
