// Hostile and oversized input: every operation must end, stay within its input and give the
// documented result. The sanitizer build runs these under AddressSanitizer and UBSan.
#include "text/RegexObject.h"
#include "text/codePages.h"
#include "text/decodeEscapes.h"
#include "text/letterCase.h"
#include "text/numbers.h"
#include "text/percentDecode.h"
#include "text/search.h"
#include "text/spaces.h"
#include "text/textBetween.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmora {
namespace {

/// The text in a buffer of exactly its size, so that a read past its end is caught.
std::unique_ptr<char[]> exactCopy(std::string_view text) {
    auto buffer = std::make_unique<char[]>(text.size());
    std::copy(text.begin(), text.end(), buffer.get());
    return buffer;
}

TEST(BadInput, LeadByteAsTheVeryLastByteIsKeptAndNeverReadPast) {
    const std::string_view source = "a,\xD6";
    const auto buffer = exactCopy(source);
    const std::string_view text(buffer.get(), source.size());
    EXPECT_EQ(findText(text, "x"), -1);
    EXPECT_EQ(findText(text, "X", 1, true), -1);
    EXPECT_EQ(findText(text, "\xD6\xD0"), -1);
    EXPECT_EQ(findTextReverse(text, "\xD6"), 3);
    EXPECT_EQ(replaceText(text, "a", "b"), "b,\xD6");
    EXPECT_EQ(splitText(text), (TextList{"a", "\xD6"}));
    EXPECT_EQ(trimSpaces(text), "a,\xD6");
    EXPECT_EQ(removeSpaces(text), "a,\xD6");
    EXPECT_EQ(toUpperCase(text), "A,\xD6");
    EXPECT_EQ(textToInt(text), 0);
    EXPECT_EQ(textBetween(text, ",", "\xD6"), "");
    EXPECT_EQ(textToWide(text, kCodePageGbk), u"a,\uFFFD");
    EXPECT_EQ(utf8ToAnsi(text), "a,?");
    EXPECT_EQ(decodeEscapes(text), "a,?");
    EXPECT_EQ(percentDecode(text), "a,\xD6");

    RegexObject regex;
    regex.execute("a,(.)", text);
    EXPECT_EQ(regex.subMatchText(1, 1), "?");
}

TEST(BadInput, InvalidCodePage936ReadsAsQuestionMarksInPatternResults) {
    RegexObject regex;
    int position = 0;
    regex.execute("(.)ab", "\xFF\xFE\xFE"
                           "ab");
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.subMatchText(1, 1, &position), "?");
    EXPECT_EQ(position, 1);
    EXPECT_EQ(regex.replace("-"), "?-");
}

TEST(BadInput, PercentEscapesAtTheEndAreNeverReadPast) {
    for (const std::string_view source : {"%", "%4", "a%E", "%u12", "\\x4"}) {
        const auto buffer = exactCopy(source);
        const std::string_view text(buffer.get(), source.size());
        EXPECT_EQ(percentDecode(text, true), source);
        EXPECT_EQ(decodeEscapes(text), source[0] == '\\' ? "x4" : source);
    }
}

TEST(BadInput, InvalidUtf8InAnExactBufferIsNeverReadPast) {
    for (const std::string_view source : {"\xE4", "\xE4\xB8", "\xF0\x9F\x98", "\xC3"}) {
        const auto buffer = exactCopy(source);
        const std::string_view text(buffer.get(), source.size());
        EXPECT_EQ(utf8ToAnsi(text), "?");
        EXPECT_EQ(textToWide(text), u"\uFFFD");
    }
}

TEST(BadInput, SixteenMegabyteTextIsHandledWhole) {
    constexpr std::size_t size = 16 << 20;
    Text big(size, 'a');
    big.replace(size - 9, 9, "\"nid\":\"7\"");
    EXPECT_EQ(utf8ToAnsi(big), big);
    EXPECT_EQ(findText(big, "\"nid\""), static_cast<int>(size - 8));
    EXPECT_EQ(textBetween(big, "nid\":\"", "\""), "7");
    EXPECT_EQ(decodeEscapes(big), big);

    RegexObject regex;
    EXPECT_TRUE(regex.execute("\"nid\":\"(\\d+)\"", big));
    EXPECT_EQ(regex.subMatchText(1, 1), "7");
    int position = 0;
    regex.matchText(1, &position);
    EXPECT_EQ(position, static_cast<int>(size - 9));

    EXPECT_TRUE(regex.execute("a.*", big));
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.matchText(1).size(), size);
}

TEST(BadInput, CatastrophicBacktrackingEndsTheSearchKeepingEarlierMatches) {
    const struct {
        std::string_view pattern;
        Text subject;
        int expectedCount;
    } cases[] = {
        {R"(^(\w+\s?)*$)", Text(5000, 'a') + "!", 0},
        {"(a+)+(b|c)", "ab " + Text(40, 'a'), 1},
        {R"((\d+)*\D)", "1x" + Text(3000, '1'), 1},
        {"(x+x+)+y", Text(100'000, 'x'), 0},
    };
    for (const auto& c : cases) {
        RegexObject regex;
        EXPECT_TRUE(regex.execute(c.pattern, c.subject)) << c.pattern;
        EXPECT_EQ(regex.matchCount(), c.expectedCount) << c.pattern;
    }
}

TEST(BadInput, RepeatedGroupOverAMegabyteMatchesAndTooDeepARepetitionEndsTheSearch) {
    RegexObject regex;
    EXPECT_TRUE(regex.execute("<(a|b)*>", "<" + Text(1 << 20, 'a') + ">"));
    EXPECT_EQ(regex.matchCount(), 1);
    EXPECT_TRUE(regex.execute("<(a|b)*>", "<>  <" + Text(4 << 20, 'a') + ">"));
    EXPECT_EQ(regex.matchCount(), 1);
}

TEST(BadInput, OneByteEscapeThatCouldSplitACharacterReadsAsALetter) {
    RegexObject regex;
    EXPECT_TRUE(regex.execute("\\C", "\xD6\xD0"
                                     "c"));
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.matchText(1), "c");
}

} // namespace
} // namespace velmora
