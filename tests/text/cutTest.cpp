#include "text/cut.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CutText, CountsPlainBytes) {
    const std::string_view chinese = "\xD6\xD0\xCE\xC4"; // 中文
    const struct {
        const char* rule;
        Text actual;
        std::string_view expected;
    } cases[] = {
        {"left", textLeft("abc", 2), "ab"},
        {"left beyond the length", textLeft("abc", 9), "abc"},
        {"left of zero", textLeft("abc", 0), ""},
        {"left of a negative count", textLeft("abc", -1), ""},
        {"left cuts a character in half", textLeft(chinese, 3), "\xD6\xD0\xCE"},
        {"right", textRight("abc", 2), "bc"},
        {"right beyond the length", textRight("abc", 9), "abc"},
        {"right of zero", textRight("abc", 0), ""},
        {"right cuts a character in half", textRight(chinese, 3), "\xD0\xCE\xC4"},
        {"mid", textMid("abcd", 2, 2), "bc"},
        {"mid runs short at the end", textMid("abc", 2, 5), "bc"},
        {"mid from past the end", textMid("abc", 4, 1), ""},
        {"mid from zero", textMid("abc", 0, 2), ""},
        {"mid of zero bytes", textMid("abc", 1, 0), ""},
        {"mid from the last byte", textMid("abc", 3, 1), "c"},
        {"mid of an empty text", textMid("", 1, 1), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.actual, c.expected) << c.rule;
    }
}

} // namespace
} // namespace velmora
