#include "text/search.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

// Code page 936 bytes used below: 中 D6 D0, 文 CE C4, 乗 81 5C (second byte a backslash),
// 乤 81 61 (second byte an "a").

struct FindCase {
    const char* rule;
    std::string_view text;
    std::string_view sought;
    int start;
    bool ignoreCase;
    int expected;
};

TEST(FindText, FollowsTheCharacterAwareScan) {
    const FindCase cases[] = {
        {"empty sought in text", "abc", "", 1, false, 1},
        {"empty sought in empty text", "", "", 1, false, -1},
        {"sought in empty text", "", "x", 1, false, -1},
        {"empty sought gives 1 whatever the start", "abc", "", 3, false, 1},
        {"empty sought past the end", "abc", "", 4, false, -1},
        {"start beyond the end", "abc", "c", 4, false, -1},
        {"start zero searches all", "abc", "a", 0, false, 1},
        {"negative start searches all", "abc", "a", -5, false, 1},
        {"start skips an earlier hit", "aba", "a", 2, false, 3},
        {"sought longer than the text", "ab", "abc", 1, false, -1},
        {"backslash as second byte is not found", "\x81\x5C", "\\", 1, false, -1},
        {"backslash after a two-byte character", "\x81\x5C\\", "\\", 1, false, 3},
        {"letter as second byte is skipped",
         "\x81\x61"
         "a",
         "a", 1, false, 3},
        {"letter as second byte is skipped ignoring case",
         "\x81\x61"
         "a",
         "A", 1, true, 3},
        {"Chinese character", "\xD6\xD0\xCE\xC4", "\xCE\xC4", 1, false, 3},
        {"bytes across two characters", "\xD6\xD0\xCE\xC4", "\xD0\xCE", 1, false, -1},
        {"start inside a character is taken as a character start", "\xD6\xD0\xCE\xC4", "\xD0\xCE", 2, false,
         2},
        {"marker in another case with ignoreCase", "x\r\nuser-agent: v", "User-Agent:", 1, true, 4},
        {"marker in another case without ignoreCase", "x\r\nuser-agent: v", "User-Agent:", 1, false, -1},
        {"ignoreCase compares other bytes exactly", "\xD6\xD0", "\xD6\xF0", 1, true, -1},
        {"second byte after a long ASCII run", "0123456789\x81\x5C\\", "\\", 1, false, 13},
        {"second byte after a long ASCII run ignoring case",
         "0123456789\x81"
         "a:A:",
         "a:", 1, true, 14},
        {"lead byte as the last byte is compared", "ab\xD6", "\xD6", 1, false, 3},
        {"lead byte as the last byte ends the walk", "\xD6", "x", 1, true, -1},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(findText(c.text, c.sought, c.start, c.ignoreCase), c.expected) << c.rule;
    }
}

TEST(FindText, StartDefaultsToTheFirstByteAndCaseToExact) {
    EXPECT_EQ(findText("abcabc", "c"), 3);
    EXPECT_EQ(findText("abc", "B"), -1);
}

TEST(FindTextReverse, GivesTheLastCharacterAlignedOccurrence) {
    const struct {
        std::string_view text;
        std::string_view sought;
        int expected;
    } cases[] = {
        {"abca", "a", 4}, {"ababab", "ab", 5}, {"aaa", "aa", 2},        {"abc", "x", -1},
        {"abc", "", -1},  {"", "a", -1},       {"\\\x81\x5C", "\\", 1}, {"\xD6\xD0\xD6\xD0", "\xD6\xD0", 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(findTextReverse(c.text, c.sought), c.expected) << c.text << " / " << c.sought;
    }
}

TEST(ReplaceText, ReplacesEveryCharacterAlignedOccurrenceOnce) {
    const struct {
        std::string_view text;
        std::string_view sought;
        std::string_view replacement;
        std::string_view expected;
    } cases[] = {
        {"aaa", "aa", "b", "ba"},
        {"ab", "a", "aa", "aab"},
        {"a,b,c", ",", ";;", "a;;b;;c"},
        {"abc", "", "x", "abc"},
        {"", "a", "x", ""},
        {"abc", "x", "y", "abc"},
        {"abc", "abc", "", ""},
        {"\x81\x5C", "\\", "/", "\x81\x5C"},
        {"\x81\x5C\\", "\\", "/", "\x81\x5C/"},
        {"\xD6\xD0\xCE\xC4\xD6\xD0", "\xD6\xD0", "x", "x\xCE\xC4x"},
        {"\xD6\xD0\xCE\xC4", "\xD0\xCE", "x", "\xD6\xD0\xCE\xC4"},
        {"a\xD6", "a", "b", "b\xD6"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(replaceText(c.text, c.sought, c.replacement), c.expected) << c.text << " / " << c.sought;
    }
}

TEST(SplitText, CutsAtEachDelimiterWithoutAnEmptyLastPiece) {
    const struct {
        std::string_view text;
        std::string_view delimiter;
        TextList expected;
    } cases[] = {
        {"", ",", {}},
        {"abc", "", {"abc"}},
        {"a,b", ",", {"a", "b"}},
        {"a,b,", ",", {"a", "b"}},
        {",a", ",", {"", "a"}},
        {"a,,b", ",", {"a", "", "b"}},
        {",", ",", {""}},
        {"a||b||c", "||", {"a", "b", "c"}},
        {"\x81,a,b", ",", {"\x81,a", "b"}},
        {"\xD6\xD0,\xCE\xC4", ",", {"\xD6\xD0", "\xCE\xC4"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(splitText(c.text, c.delimiter), c.expected) << c.text << " / " << c.delimiter;
    }
}

TEST(SplitText, DelimiterDefaultsToComma) {
    EXPECT_EQ(splitText("x,y"), (TextList{"x", "y"}));
}

} // namespace
} // namespace velmora
