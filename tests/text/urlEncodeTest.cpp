#include "text/urlEncode.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(UrlEncode, KeepsUnreservedBytesAndEscapesTheRestInUpperCase) {
    const struct {
        std::string_view text;
        std::string_view spaceChar;
        std::string_view expected;
    } cases[] = {
        {"\xCA\xD6\xBB\xFA", "+", "%CA%D6%BB%FA"}, // 手机
        {"a b", "+", "a+b"},
        {"a+b", "+", "a%2Bb"},
        {"a b", "%20", "a%20b"},
        {"AZaz09-._", "+", "AZaz09-._"},
        {"/?&=~*'", "+", "%2F%3F%26%3D%7E%2A%27"},
        {"\x01\xFF", "+", "%01%FF"},
        {"", "+", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(urlEncode(c.text, c.spaceChar), c.expected) << c.text;
    }
}

} // namespace
} // namespace velmora
