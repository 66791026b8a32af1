#include "text/percentDecode.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(PercentDecode, DecodesTwoDigitEscapes) {
    const struct {
        std::string_view text;
        bool fromUtf8;
        std::string_view expected;
    } cases[] = {
        {"a%20b%20c", false, "a b c"},
        {"a+b", false, "a+b"},
        {"%41%42", false, "AB"},
        {"%4a%4A", false, "JJ"},
        {"a%00b", false, "ab"},
        {"%D6%D0", false, "\xD6\xD0"},
        {"%E4%B8%AD", true, "\xD6\xD0"},
        {"%e4%b8%ad", true, "\xD6\xD0"},
        {"%E4%B8%AD%E6%96%87x", true, "\xD6\xD0\xCE\xC4x"},
        {"%FF", true, "?"},
        {"100%", false, "100%"},
        {"%4", false, "%4"},
        {"%G1", false, "%G1"},
        {"%%41", false, "%A"},
        {"%", false, "%"},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(percentDecode(c.text, c.fromUtf8), c.expected) << c.text;
    }
}

TEST(PercentDecode, KeepsUtf8WhenNotAskedToConvert) {
    EXPECT_EQ(percentDecode("%E4%B8%AD"), "\xE4\xB8\xAD");
}

} // namespace
} // namespace velmora
