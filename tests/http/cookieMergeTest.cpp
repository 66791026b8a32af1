#include "http/cookieMerge.h"

#include <gtest/gtest.h>

#include <ostream>

namespace velmora {
namespace {

TEST(CollectSetCookie, AppendsTheCookiePartAndASeparator) {
    struct Case {
        const char* line;
        const char* appended;
    };
    const Case cases[] = {
        {"Set-Cookie: a=1; Path=/", "a=1; "},
        {"Set-Cookie:   b=2 ;HttpOnly", "b=2; "},
        {"set-cookie: c=3; path=/", "c=3; "}, // the marker is found in any letter case
        {"Set-Cookie: d=4", "; "},            // no ";" after the marker: an empty item
        {"Set-Cookie: e=has space; x", "e=has space; "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Text received = "old; ";
        collectSetCookie(received, c.line);
        EXPECT_EQ(received, std::string("old; ") + c.appended);
    }
}

struct MergeCase {
    const char* what;
    const char* old;
    const char* received;
    const char* merged;
    const char* receivedAfter;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const MergeCase& c, std::ostream* out) {
    *out << c.what;
}

const MergeCase kMergeCases[] = {
    {"received first, same name replaced", "a=1; b=2", "b=3", "b=3; a=1", "b=3"},
    {"a deletion drops the old cookie too", "a=1; c=2", "a=deleted", "c=2", "a=deleted"},
    {"both empty", "", "", "", ""},
    {"two received of one name both stay", "", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
    {"exact duplicates collapse", "", "a=1; a=1", "a=1", "a=1;a=1"},
    {"an old name twice keeps the first", "a=1; a=5; b=2", "", "a=1; b=2", ""},
    {"spaces inside a value are lost", "v=two words", "", "v=twowords", ""},
    {"deleted in capitals stays", "", "a=DELETED", "a=DELETED", "a=DELETED"},
    {"undeleted stays", "x=undeleted", "", "x=undeleted", ""},
    {"an empty received item stays", "", "x=1; ; y=2", "x=1; ; y=2", "x=1;;y=2"},
    {"a leading empty old item stays", ";a=1", "", "; a=1", ""},
    {"old without spaces is read too", "a=1;b=2", "c=3", "c=3; a=1; b=2", "c=3"},
    {"an item without = is named by itself", "flag; a=1", "flag", "flag; a=1", "flag"},
    {"a full-width space is removed", "a=1\xA1\xA1;b=2", "", "a=1; b=2", ""},
    {"old received both deleted", "a=1", "a=deleted; b=deleted", "", "a=deleted;b=deleted"},
};

class CookieMerging : public ::testing::TestWithParam<MergeCase> {};

TEST_P(CookieMerging, PutsReceivedFirstAndRewritesBothTexts) {
    const MergeCase& c = GetParam();
    SCOPED_TRACE(c.what);
    Text cookies = c.old;
    Text received = c.received;
    mergeCookies(cookies, received);
    EXPECT_EQ(cookies, c.merged);
    EXPECT_EQ(received, c.receivedAfter);
}

INSTANTIATE_TEST_SUITE_P(Cases, CookieMerging, ::testing::ValuesIn(kMergeCases),
                         [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(CookieName, IsTheTrimmedTextBeforeTheFirstEquals) {
    EXPECT_EQ(cookieName(" a =1=2"), "a");
    EXPECT_EQ(cookieName(" flag "), "flag");
    EXPECT_EQ(cookieName("=v"), "");
    EXPECT_EQ(cookieName(""), "");
}

TEST(UniqueItems, KeepsFirstOccurrencesInOrder) {
    struct Case {
        const char* text;
        const char* separator;
        const char* unique;
    };
    const Case cases[] = {
        {"a; b; a; c; b", "; ", "a; b; c"},
        {"a;a", ";", "a"},
        {"", "; ", ""},
        {"; ; a", "; ", "; a"},
        {"a; A", "; ", "a; A"}, // exact comparison: letter case matters
        {"abc", "", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(uniqueItems(c.text, c.separator), c.unique);
    }
}

} // namespace
} // namespace velmora
