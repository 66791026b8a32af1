#include "text/RegexObject.h"

#include "gbk.h"
#include "text/quoteMarker.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

using test::gbk;

TEST(RegexObject, PatternWithoutMatchGivesAnEmptyCollection) {
    RegexObject regex;
    EXPECT_TRUE(regex.execute("nid=(\\d+)", "nothing here"));
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.subMatchCount(), 0);
    EXPECT_EQ(regex.subMatchText(1, 1), "");
    EXPECT_EQ(regex.matchText(1), "");
}

TEST(RegexObject, RejectedPatternGivesFalseAndEmptyResults) {
    for (const std::string_view pattern : {"(a", "a)", "[a", "a{2,1}", "*a", "(?<x"}) {
        RegexObject regex;
        EXPECT_FALSE(regex.execute(pattern, "aaa")) << pattern;
        EXPECT_EQ(regex.matchCount(), 0) << pattern;
        EXPECT_EQ(regex.subMatchCount(), 0) << pattern;
        EXPECT_EQ(regex.subMatchText(1, 1), "") << pattern;
        EXPECT_EQ(regex.replace("x"), "") << pattern;
        EXPECT_EQ(regex.pattern(), pattern);
    }
}

TEST(RegexObject, NumbersOutsideTheCollectionGiveEmptyTexts) {
    RegexObject regex;
    ASSERT_TRUE(regex.execute("(\\d)(\\d)", "12 34"));
    ASSERT_EQ(regex.matchCount(), 2);
    int position = 0;
    const struct {
        int match;
        int group;
    } outside[] = {{0, 1}, {3, 1}, {-1, 1}, {1, 3}, {1, 0}, {1, -1}};
    for (const auto& n : outside) {
        EXPECT_EQ(regex.subMatchText(n.match, n.group, &position), "") << n.match << "," << n.group;
        EXPECT_EQ(position, -2);
    }
    EXPECT_EQ(regex.matchText(0), "");
    EXPECT_EQ(regex.matchText(3), "");
    EXPECT_EQ(regex.subMatchText(2, 2), "4");
}

TEST(RegexObject, DefaultsAreCaseInsensitiveMultilineAndGlobal) {
    RegexObject regex;
    regex.execute("shopId=(\\d+)", "a SHOPID=123 b shopid=45");
    ASSERT_EQ(regex.matchCount(), 2);
    EXPECT_EQ(regex.subMatchText(1, 1), "123");
    EXPECT_EQ(regex.subMatchText(2, 1), "45");
    EXPECT_EQ(regex.subMatchCount(), 1);

    EXPECT_TRUE(regex.execute("shopId=(\\d+)", "SHOPID=1 shopId=2", true));
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.subMatchText(1, 1), "2");

    regex.execute("^b", "a\nb");
    EXPECT_EQ(regex.matchCount(), 1);
    regex.execute("^b", "a\nb", false, false);
    EXPECT_EQ(regex.matchCount(), 0);
    regex.execute("a$", "a\n", false, false);
    EXPECT_EQ(regex.matchCount(), 0);

    regex.execute("a", "aaa", false, true, false);
    EXPECT_EQ(regex.matchCount(), 1);
}

TEST(RegexObject, DotStopsOnlyAtLineFeeds) {
    const struct {
        const char* rule;
        std::string_view pattern;
        std::string_view subject;
        int expectedCount;
    } cases[] = {
        {"lazy dot does not cross a line feed", R"re(nick="(.*?)")re", "nick=\"a\nb\"", 0},
        {"dot matches a carriage return", R"re(nick="(.*?)")re", "nick=\"a\rb\"", 1},
        {"\\s crosses line breaks", R"(a\s+b)", "a \r\n b", 1},
        {"\\D crosses line breaks", R"(x\D+y)", "x\n-\ny", 1},
        {"\\s holds space, tab, CR, LF, VT and FF", R"(\s)", " \t\r\n\v\f", 6},
        {"[^] matches a line feed", "a[^]b", "a\nb", 1},
        {"[] matches nothing", "a[]", "a", 0},
    };
    for (const auto& c : cases) {
        RegexObject regex;
        EXPECT_TRUE(regex.execute(c.pattern, c.subject)) << c.rule;
        EXPECT_EQ(regex.matchCount(), c.expectedCount) << c.rule;
    }
}

TEST(RegexObject, ChineseCharactersAreSingleCharacters) {
    RegexObject regex;
    regex.execute("(..)", gbk("中文"));
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.subMatchText(1, 1), gbk("中文"));
    EXPECT_EQ(regex.subMatchText(1, 1).size(), 4u);

    regex.execute("\\D+", gbk("价格１２元"));
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.matchText(1), gbk("价格１２元"));

    regex.execute("\\d", gbk("１２"));
    EXPECT_EQ(regex.matchCount(), 0);

    regex.execute(gbk("\"nick\":\"(.*?)\""), gbk(R"({"nick":"小王的店"})"));
    EXPECT_EQ(regex.subMatchText(1, 1), gbk("小王的店"));

    regex.execute("\\u4e2d(\\x41)", gbk("中A"));
    EXPECT_EQ(regex.subMatchText(1, 1), "A");
}

TEST(RegexObject, ListingPatternReadsEveryBlockOfASearchDataLine) {
    const Text page = gbk(
        R"(g_page_config = {"auctions":[{"p4pTags":[],"nid":"612345678901","title":"<span class=H>手机</span>壳",)"
        R"("raw_title":"手机壳 硅胶","pic_url":"//g.localhost/a.jpg","detail_url":"//item.localhost/item.htm?id\u003d612345678901)"
        R"(\u0026ns\u003d1","view_price":"59.00","view_sales":"1234人付款","user_id":"2206512345678","nick":"小王的店",)"
        R"("shopcard":{}},{"p4pTags":[],"nid":"600000000002","raw_title":"男士 T恤","detail_url":"//item.localhost/x",)"
        R"("user_id":"42","nick":"carol"}]};)"
        "\n");
    RegexObject regex;
    ASSERT_TRUE(regex.execute(
        R"re("nid":"(\d+)".*?raw_title":"(.*?)".*?,"detail_url":"(.*?)".*?user_id":"(.*?)","nick":"(.*?)")re",
        page));
    ASSERT_EQ(regex.matchCount(), 2);
    EXPECT_EQ(regex.subMatchCount(), 5);
    const std::vector<Text> first = {"612345678901", gbk("手机壳 硅胶"),
                                     R"(//item.localhost/item.htm?id\u003d612345678901\u0026ns\u003d1)",
                                     "2206512345678", gbk("小王的店")};
    const std::vector<Text> second = {"600000000002", gbk("男士 T恤"), "//item.localhost/x", "42", "carol"};
    for (int group = 1; group <= 5; ++group) {
        EXPECT_EQ(regex.subMatchText(1, group), first[group - 1]) << group;
        EXPECT_EQ(regex.subMatchText(2, group), second[group - 1]) << group;
    }
}

TEST(RegexObject, QuoteMarkersStandForDoubleQuotesWhenAsked) {
    const Text pattern = "id=" + Text(kQuoteMarker) + "(\\d+)" + Text(kQuoteMarker);
    RegexObject regex;
    regex.execute(pattern, R"(x id="42" y)", false, true, true, true);
    EXPECT_EQ(regex.pattern(), R"re(id="(\d+)")re");
    EXPECT_EQ(regex.subMatchText(1, 1), "42");

    regex.execute(pattern, R"(x id="42" y)");
    EXPECT_EQ(regex.matchCount(), 0);
    regex.execute(pattern, "id=" + Text(kQuoteMarker) + "7" + Text(kQuoteMarker));
    EXPECT_EQ(regex.subMatchText(1, 1), "7");
}

TEST(RegexObject, SecondExecuteForgetsTheFirst) {
    RegexObject regex;
    regex.execute("(a)(b)", "ab ab ab");
    ASSERT_EQ(regex.matchCount(), 3);
    regex.execute("(c)", "c");
    EXPECT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.subMatchCount(), 1);
    EXPECT_EQ(regex.subMatchText(1, 2), "");
    EXPECT_EQ(regex.subMatchText(2, 1), "");
    EXPECT_EQ(regex.pattern(), "(c)");
}

TEST(RegexObject, GroupThatTookNoPartReadsEmpty) {
    RegexObject regex;
    regex.execute("(a)|(b)", "b");
    ASSERT_EQ(regex.matchCount(), 1);
    EXPECT_EQ(regex.subMatchCount(), 2);
    int position = 0;
    EXPECT_EQ(regex.subMatchText(1, 1, &position), "");
    EXPECT_EQ(position, -2);
    EXPECT_EQ(regex.subMatchText(1, 2), "b");

    // A backreference to such a group matches the empty text.
    regex.execute("(a)?b\\1", "b");
    EXPECT_EQ(regex.matchCount(), 1);
}

TEST(RegexObject, EmptyMatchesAdvanceByOneCharacter) {
    const struct {
        std::string_view pattern;
        Text subject;
        std::vector<Text> matches;
    } cases[] = {
        {"x*", "abc", {"", "", "", ""}},   {"a*?", "aa", {"", "", ""}},        {"a*", "baa", {"", "aa", ""}},
        {"x*", gbk("中文"), {"", "", ""}}, {"\\b", "ab cd", {"", "", "", ""}},
    };
    for (const auto& c : cases) {
        RegexObject regex;
        regex.execute(c.pattern, c.subject);
        std::vector<Text> matches;
        for (int i = 1; i <= regex.matchCount(); ++i) {
            matches.push_back(regex.matchText(i));
        }
        EXPECT_EQ(matches, c.matches) << c.pattern << " over " << c.subject;
    }
}

TEST(RegexObject, PositionsAreByteOffsetsInTheSubject) {
    RegexObject regex;
    int position = -1;
    regex.execute("a", "abc");
    regex.matchText(1, &position);
    EXPECT_EQ(position, 0);

    regex.execute("(x)", gbk("中文x中x"));
    regex.matchText(1, &position);
    EXPECT_EQ(position, 4);
    regex.subMatchText(2, 1, &position);
    EXPECT_EQ(position, 7);

    // The group's own offset, even where its text also stands earlier in the match.
    regex.execute("b(a)", "aba");
    regex.subMatchText(1, 1, &position);
    EXPECT_EQ(position, 2);

    regex.execute("x*", gbk("中文"));
    regex.matchText(3, &position);
    EXPECT_EQ(position, 4);
}

TEST(RegexObject, ReplaceFollowsEcmaScriptConventions) {
    const struct {
        std::string_view pattern;
        std::string_view replacement;
        bool global;
        std::string_view expected;
    } cases[] = {
        {"(\\w+)@(\\w+)", "$2:$1", true, "x:ann, y:bob"},
        {"(\\w+)@(\\w+)", "$$-$&-$0-$3", true, "$-ann@x-$0-$3, $-bob@y-$0-$3"},
        {"(\\w+)@(\\w+)", "[$`|$']", true, "[|, bob@y], [ann@x, |]"},
        {"(\\w+)@(\\w+)", "$10", true, "ann0, bob0"},
        {"(\\w+)@(\\w+)", "$01", true, "ann, bob"},
        {"(\\w+)@(\\w+)", "$", true, "$, $"},
        {"(\\w+)@(\\w+)", "-", false, "-, bob@y"},
        {"(z)?@", "<$1>", true, "ann<>x, bob<>y"},
        {"q", "-", true, "ann@x, bob@y"},
    };
    for (const auto& c : cases) {
        RegexObject regex;
        regex.execute(c.pattern, "ann@x, bob@y", false, true, c.global);
        EXPECT_EQ(regex.replace(c.replacement), c.expected) << c.pattern << " with " << c.replacement;
    }
    RegexObject regex;
    regex.execute(gbk("(文)"), gbk("中文中文"));
    EXPECT_EQ(regex.replace(gbk("[$1字]")), gbk("中[文字]中[文字]"));
    EXPECT_EQ(RegexObject().replace("x"), "");
}

TEST(RegexObject, CopiesShareTheRunAndStayUnchangedByLaterRuns) {
    RegexObject original;
    original.execute("(\\d+)", "a1 b22");
    const RegexObject copy = original;
    original.execute("(x)", "x");
    EXPECT_EQ(copy.matchCount(), 2);
    EXPECT_EQ(copy.subMatchText(2, 1), "22");
    EXPECT_EQ(copy.pattern(), "(\\d+)");
    EXPECT_EQ(original.matchCount(), 1);

    RegexObject assigned;
    assigned = copy;
    EXPECT_EQ(assigned.subMatchText(1, 1), "1");
    RegexObject moved = std::move(assigned);
    EXPECT_EQ(moved.subMatchText(1, 1), "1");
}

TEST(RegexObject, EmptyObjectAnswersEmpty) {
    const RegexObject regex;
    EXPECT_EQ(regex.pattern(), "");
    EXPECT_EQ(regex.matchCount(), 0);
    EXPECT_EQ(regex.subMatchCount(), 0);
    EXPECT_EQ(regex.matchText(1), "");
}

} // namespace
} // namespace velmora
