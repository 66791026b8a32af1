#include "text/textBetween.h"

#include "text/quoteMarker.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(TextBetween, CutsBetweenTheMarkers) {
    const struct {
        const char* rule;
        std::string_view text;
        Text left;
        Text right;
        std::string_view expected;
    } cases[] = {
        {"first cookie line up to its first semicolon",
         "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; path=/\r\n", "Set-Cookie:", ";",
         " a=1"},
        {"no semicolon after the first marker", "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n", "Set-Cookie:", ";",
         ""},
        {"left marker missing", "abc", "x", "c", ""},
        {"right marker directly after the left", "a[]b", "[", "]", ""},
        {"empty right marker", "a[b]c", "[", "", ""},
        {"empty left marker starts at the first byte", "abc;def", "", ";", "abc"},
        {"markers ignore letter case", "x\r\nset-cookie: k=v;", "Set-Cookie:", ";", " k=v"},
        {"host name", "https://shop.example.localhost/path", "https://", "/", "shop.example.localhost"},
        {"quote marker stands for a double quote", R"({"totalPage":"100","x":1})",
         "totalPage" + Text(kQuoteMarker) + ":" + Text(kQuoteMarker), Text(kQuoteMarker), "100"},
        {"right marker searched after the left one", "]a[b]", "[", "]", "b"},
        {"Chinese markers",
         "\xD6\xD0"
         "abc\xCE\xC4",
         "\xD6\xD0", "\xCE\xC4", "abc"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textBetween(c.text, c.left, c.right), c.expected) << c.rule;
    }
}

TEST(TextBetween, StartAndCaseSensitivityNarrowTheSearch) {
    EXPECT_EQ(textBetween("[a][b]", "[", "]", 2), "b");
    EXPECT_EQ(textBetween("[a][b]", "[", "]", 7), "");
    EXPECT_EQ(textBetween("x\r\nset-cookie: k=v;", "Set-Cookie:", ";", 1, true), "");
    EXPECT_EQ(textBetween("Set-Cookie: k=v;", "Set-Cookie:", ";", 1, true), " k=v");
}

} // namespace
} // namespace velmora
