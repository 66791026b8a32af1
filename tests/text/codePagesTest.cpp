#include "text/codePages.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(CodePages, ConvertsBetweenCodePage936Utf8AndUtf16) {
    EXPECT_EQ(textToWide("\xD6\xD0\xCE\xC4", kCodePageGbk), u"中文");
    EXPECT_EQ(textToWide("\xD6\xD0\xCE\xC4", kCodePageAnsi), u"中文");
    EXPECT_EQ(textToWide("\xE4\xB8\xAD\xE6\x96\x87"), u"中文");
    EXPECT_EQ(textToWide("\xF0\x9F\x98\x80"), u"\U0001F600");
    EXPECT_EQ(wideToText(u"中文a"), "\xD6\xD0\xCE\xC4"
                                    "a");
    EXPECT_EQ(wideToText(u"中文", kCodePageUtf8), "\xE4\xB8\xAD\xE6\x96\x87");
    EXPECT_EQ(wideToText(u"\U0001F600", kCodePageUtf8), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8ToAnsi("\xE4\xB8\xAD\xE6\x96\x87"), "\xD6\xD0\xCE\xC4");
}

TEST(CodePages, OtherCodePagesGiveNothing) {
    EXPECT_TRUE(textToWide("abc", 1252).empty());
    EXPECT_TRUE(wideToText(u"abc", 1252).empty());
}

TEST(Utf8ToAnsi, KeepsAsciiAndWritesQuestionMarksForWhatCodePage936Lacks) {
    const struct {
        const char* rule;
        std::string_view utf8;
        std::string_view expected;
    } cases[] = {
        {"plain ASCII", "GET /a?b=1&c=2 HTTP/1.1\r\n", "GET /a?b=1&c=2 HTTP/1.1\r\n"},
        {"empty", "", ""},
        {"Chinese", "\xE6\x89\x8B\xE6\x9C\xBA", "\xCA\xD6\xBB\xFA"},
        {"accented letter the code page holds", "\xC3\xA9", "\xA8\xA6"},
        {"euro sign", "\xE2\x82\xAC", "\x80"},
        {"character outside the BMP",
         "a\xF0\x9F\x98\x80"
         "b",
         "a?b"},
        {"Thai letter", "\xE0\xB8\x81", "?"},
        {"U+FFFD itself", "\xEF\xBF\xBD", "?"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToAnsi(c.utf8), c.expected) << c.rule;
    }
}

TEST(Utf8ToAnsi, WritesOneQuestionMarkForEachIllFormedSequence) {
    const struct {
        const char* rule;
        std::string_view utf8;
        std::string_view expected;
    } cases[] = {
        {"byte that never starts a character",
         "a\xFF"
         "b",
         "a?b"},
        {"lone continuation byte", "\x80", "?"},
        {"sequence cut at the end", "a\xE4\xB8", "a?"},
        {"sequence cut by ASCII",
         "\xE4\xB8"
         "a",
         "?a"},
        {"two-byte leads without continuation", "\xD6\xD0\xE4", "???"},
        {"sequence cut by another lead", "\xE4\xE4\xB8\xAD", "?\xD6\xD0"},
        {"overlong form", "\xC0\xAF", "??"},
        {"overlong three-byte form", "\xE0\x80\xAF", "???"},
        {"encoded surrogate", "\xED\xA0\x80", "???"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"five-byte form", "\xF8\x88\x80\x80\x80", "?????"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToAnsi(c.utf8), c.expected) << c.rule;
    }
}

TEST(TextToWide, ReadsInvalidCodePage936AsReplacementCharacters) {
    const struct {
        const char* rule;
        std::string_view gbk;
        std::u16string_view expected;
    } cases[] = {
        {"lead byte as the last byte", "a\xD6", u"a\uFFFD"},
        {"lead byte before a digit",
         "\xD6"
         "0",
         u"\uFFFD0"},
        {"lead byte before a control byte", "\xD6\x7F", u"\uFFFD\x7F"},
        {"unassigned pair", "\xFE\xFE", u"\uFFFD"},
        {"byte FF", "\xFF", u"\uFFFD"},
        {"euro sign", "\x80", u"\u20AC"},
        {"pair with a backslash as second byte", "\x81\x5C", u"\u4E57"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(textToWide(c.gbk, kCodePageGbk), c.expected) << c.rule;
    }
}

TEST(WideToText, WritesUnpairedSurrogatesAsQuestionMarks) {
    EXPECT_EQ(wideToText(u"a\xD800"
                         "b"),
              "a?b");
    EXPECT_EQ(wideToText(u"\xDC00\xD800"), "??");
    EXPECT_EQ(wideToText(std::u16string(1, u'\xD800'), kCodePageUtf8), "\xEF\xBF\xBD");
}

TEST(CodePages, EveryAssignedPairReadsBackAsTheSameCharacter) {
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) {
                continue;
            }
            const char pair[] = {static_cast<char>(lead), static_cast<char>(trail)};
            const std::u16string wide = textToWide(std::string_view(pair, 2), kCodePageGbk);
            if (wide == u"\uFFFD") {
                continue;
            }
            ASSERT_EQ(wide.size(), 1u) << lead << " " << trail;
            EXPECT_EQ(textToWide(wideToText(wide), kCodePageGbk), wide) << lead << " " << trail;
        }
    }
}

} // namespace
} // namespace velmora
