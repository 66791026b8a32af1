#include "text/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmora {
namespace {

// Full-width forms in code page 936: digits A3 B0 to A3 B9, plus A3 AB, minus A3 AD, point
// A3 AE, space A1 A1.

TEST(IntToText, WritesDecimalDigitsWithMinusSign) {
    EXPECT_EQ(intToText(0), "0");
    EXPECT_EQ(intToText(-5), "-5");
    EXPECT_EQ(intToText(2147483647), "2147483647");
    EXPECT_EQ(intToText(600000000001), "600000000001");
}

TEST(NumberToText, WritesThirteenSignificantDigits) {
    const struct {
        double value;
        std::string_view expected;
    } cases[] = {
        {44.0, "44"},
        {44.0 * (3 - 1), "88"},
        {0.0, "0"},
        {0.5, "0.5"},
        {1.0 / 3, "0.3333333333333"},
        {-2.25, "-2.25"},
        {123456.789, "123456.789"},
        {1e20, "1e+20"},
        {2.0 / 3 * 1e-7, "6.666666666667e-08"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(numberToText(c.value), c.expected) << c.value;
    }
}

TEST(TextToInt, ReadsTheLeadingIntegerAfterFoldingFullWidthForms) {
    const struct {
        std::string_view text;
        std::int32_t expected;
    } cases[] = {
        {"", 0},
        {" 42 ", 42},
        {"\xA3\xB1\xA3\xB0", 10},
        {"\xA3\xB1\xA3\xB2", 12},
        {"12abc", 12},
        {"abc12", 0},
        {"-7", -7},
        {"+7", 7},
        {"\xA3\xAD\xA3\xB7", -7},
        {"\t\n\v\f\r 5", 5},
        {"\xA1\xA1"
         "5",
         5},
        {"3.9", 3},
        {"-3.9", -3},
        {"- 5", 0},
        {"1234\xC8\xCB\xB8\xB6\xBF\xEE", 1234}, // 1234人付款
        {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1},
        {"5\xA3", 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textToInt(c.text), c.expected) << c.text;
    }
}

TEST(TextToNumber, ReadsTheLeadingDecimalNumber) {
    const struct {
        std::string_view text;
        double expected;
    } cases[] = {
        {"", 0},
        {"2.5", 2.5},
        {" -1.5e3x", -1500},
        {"1E2", 100},
        {".5", 0.5},
        {"5.", 5},
        {"\xA3\xB1\xA3\xAE\xA3\xB5", 1.5},
        {"e5", 0},
        {"1e", 1},
        {"1e+", 1},
        {"abc", 0},
        {"-", 0},
        {"59.00", 59},
        {"1e-400", 0},
    };
    for (const auto& c : cases) {
        EXPECT_DOUBLE_EQ(textToNumber(c.text), c.expected) << c.text;
    }
    EXPECT_EQ(textToNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(textToNumber("-1e400"), -std::numeric_limits<double>::infinity());
}

} // namespace
} // namespace velmora
