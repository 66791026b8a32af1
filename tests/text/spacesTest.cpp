#include "text/spaces.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// A1 A1 is the full-width space; B0 A1 is a character whose second byte is A1.

TEST(TrimSpaces, RemovesLeadingAndTrailingAsciiAndFullWidthSpaces) {
    const struct {
        std::string_view text;
        std::string_view expected;
    } cases[] = {
        {"  a b  ", "a b"},
        {"\xA1\xA1"
         "a\xA1\xA1 ",
         "a"},
        {"a\n", "a\n"},
        {"\ta \r\n", "\ta \r\n"},
        {"   ", ""},
        {"", ""},
        {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
        {"x\xA1\xA1\xA1", "x\xA1\xA1\xA1"},
        {" \xD6", "\xD6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trimSpaces(c.text), c.expected) << c.text;
    }
}

TEST(RemoveSpaces, RemovesEverySpaceButNoSecondByte) {
    const struct {
        std::string_view text;
        std::string_view expected;
    } cases[] = {
        {" a b\xA1\xA1"
         "c ",
         "abc"},
        {"\xD6\xD0\xA1\xA1\xCE\xC4", "\xD6\xD0\xCE\xC4"},
        {"a\tb\r\n", "a\tb\r\n"},
        {"\xA1 \xA1", "\xA1 \xA1"},
        {"\xB0\xA1\xA1\xA1", "\xB0\xA1"},
        {"  ", ""},
        {"a\xD6", "a\xD6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(removeSpaces(c.text), c.expected) << c.text;
    }
}

} // namespace
} // namespace velmora
