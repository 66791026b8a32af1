#include "MarketFixture.h"
#include "TestText.h"

#include <algorithm>
#include <cstdlib>

namespace velmora::market::test {
namespace {

const char* const listingPattern =
    R"re("nid":"(\d+)".*?raw_title":"(.*?)".*?,"detail_url":"(.*?)".*?user_id":"(.*?)","nick":"(.*?)")re";

// The text after the first occurrence of left (letter case ignored) up to the next right; "" when absent.
std::string between(const std::string& text, const std::string& left, const std::string& right) {
    auto lower = [](std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
        return s;
    };
    const std::size_t at = lower(text).find(lower(left));
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + left.size();
    const std::size_t end = text.find(right, start);
    return end == std::string::npos ? std::string() : text.substr(start, end - start);
}

class SearchAnswer : public MarketFixture {
protected:
    Fetched search(const std::string& keyword, const std::string& suffix) {
        return client.fetch(server.url("s", "/search?q=" + encodeKeyword(keyword) + suffix));
    }
    Fetched resultPage(const std::string& keyword, const std::string& suffix, int page) {
        return search(keyword, suffix + "&promote=0&bcoffset=-4&s=" + std::to_string((page - 1) * 44));
    }
};

struct PagerCase {
    const char* keyword;
    const char* totalPage; // the text after "totalPage": up to the comma
    const char* max;       // the text after ,max: up to the comma
};

TEST_F(SearchAnswer, FirstLookStatesThePageCountInTheKeywordsForm) {
    const PagerCase cases[] = {
        {"pages7 连衣裙", "7", ""},
        {"oldpager pages12 连衣裙", "", "12"},
        {"nopager 连衣裙", "", ""},
        {"nohits 连衣裙", "0", ""},
    };
    for (const PagerCase& c : cases) {
        SCOPED_TRACE(c.keyword);
        const Fetched page = search(c.keyword, "&tab=all");
        ASSERT_EQ(page.code, CURLE_OK);
        EXPECT_TRUE(isValidUtf8(page.body));
        EXPECT_EQ(between(page.body, "\"totalPage\":", ","), c.totalPage);
        EXPECT_EQ(between(page.body, ",max:", ","), c.max);
        EXPECT_NE(page.body.find("g_page_config = {"), std::string::npos);
        EXPECT_EQ(lastRequest().kind, RequestKind::KeywordFirstLook);
    }
}

TEST_F(SearchAnswer, TotalPageFollowsTheCatalogueSize) {
    const std::string keyword = "连衣裙 女";
    const int count = server.listingCount(keyword);
    EXPECT_EQ(server.pageCount(keyword), std::min((count + 43) / 44, 100));
    EXPECT_EQ(between(search(keyword, "").body, "\"totalPage\":", ","),
              std::to_string(server.pageCount(keyword)));
}

TEST_F(SearchAnswer, ResultPagesListTheCatalogueInOrder) {
    const std::string keyword = "连衣裙 女+";
    server.setKeyword(keyword, {.listingCount = 100, .pagerForm = {}});
    const std::vector<Listing> expected = server.listings(keyword);
    ASSERT_EQ(expected.size(), 100u);
    const std::size_t pageSizes[] = {44, 44, 12, 0};
    for (int page = 1; page <= 4; ++page) {
        SCOPED_TRACE(page);
        const Fetched answer = resultPage(keyword, "&tab=all", page);
        ASSERT_EQ(answer.code, CURLE_OK);
        EXPECT_TRUE(isValidUtf8(answer.body));
        EXPECT_EQ(lastRequest().kind, RequestKind::ResultPage);
        EXPECT_EQ(between(answer.body, "\"currentPage\":", ","), std::to_string(page));
        const auto matches = matchAll(listingPattern, answer.body);
        ASSERT_EQ(matches.size(), pageSizes[page - 1]);
        for (std::size_t i = 0; i < matches.size(); ++i) {
            const Listing& listing = expected[(page - 1) * 44 + i];
            EXPECT_EQ(matches[i][0], listing.nid);
            EXPECT_EQ(matches[i][1], listing.rawTitleField);
            EXPECT_EQ(matches[i][2], listing.detailUrlField);
            EXPECT_EQ(matches[i][3], listing.userId);
            EXPECT_EQ(matches[i][4], listing.nick);
        }
    }
}

TEST_F(SearchAnswer, ListingAddressesAreEscapedAsTheMarketplaceWritesThem) {
    for (const Listing& listing : server.listings("pages2 保温杯")) {
        SCOPED_TRACE(listing.nid);
        const std::string host = listing.tmall ? "//detail.tmall." : "//item.";
        EXPECT_EQ(listing.detailUrlField.rfind(host + server.domain() + "/item.htm?id\\u003d" + listing.nid +
                                                   "\\u0026ns\\u003d1\\u0026abbucket\\u003d",
                                               0),
                  0u);
        EXPECT_EQ(
            listing.detailUrl.rfind(host + server.domain() + "/item.htm?id=" + listing.nid + "&ns=1&", 0),
            0u);
        EXPECT_NE(listing.rawTitle.find("保温杯"), std::string::npos);
    }
}

struct OptionsCase {
    const char* suffix;
    SearchOptions options;
};

TEST_F(SearchAnswer, SearchParametersShapeTheResultList) {
    const std::string keyword = "pages20 保温杯";
    const OptionsCase cases[] = {
        {"&sort=sale-desc&tab=all", {.bySales = true}},
        {"&filter=reserve_price%5B10%2C50%5D&tab=all", {.minPrice = 10, .maxPrice = 50}},
        {"&filter=reserve_price%5B%2C100%5D&tab=all", {.maxPrice = 100}},
        {"&filter=reserve_price%5B200%2C%5D&tab=all", {.minPrice = 200}},
        {"&tab=mall", {.tmallOnly = true}},
        {"&sort=sale-desc&filter=reserve_price%5B20%2C300%5D&tab=mall",
         {.bySales = true, .minPrice = 20, .maxPrice = 300, .tmallOnly = true}},
    };
    for (const OptionsCase& c : cases) {
        SCOPED_TRACE(c.suffix);
        const std::vector<Listing> expected = server.listings(keyword, c.options);
        ASSERT_FALSE(expected.empty());
        if (c.options.minPrice || c.options.maxPrice || c.options.tmallOnly) {
            EXPECT_LT(expected.size(), 880u);
        }
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const double price = std::strtod(expected[i].viewPrice.c_str(), nullptr);
            EXPECT_GE(price, c.options.minPrice.value_or(0));
            EXPECT_LE(price, c.options.maxPrice.value_or(1e9));
            EXPECT_TRUE(expected[i].tmall || !c.options.tmallOnly);
            if (c.options.bySales && i > 0) {
                EXPECT_GE(expected[i - 1].sales, expected[i].sales);
            }
        }
        const Fetched first = search(keyword, c.suffix);
        EXPECT_EQ(between(first.body, "\"totalPage\":", ","),
                  std::to_string(server.pageCount(keyword, c.options)));
        const auto matches = matchAll(listingPattern, resultPage(keyword, c.suffix, 2).body);
        ASSERT_EQ(matches.size(), std::min<std::size_t>(44, expected.size() > 44 ? expected.size() - 44 : 0));
        for (std::size_t i = 0; i < matches.size(); ++i)
            EXPECT_EQ(matches[i][0], expected[44 + i].nid);
    }
}

TEST(SearchCatalogue, DependsOnlyOnTheKeyword) {
    const MarketServer one, two;
    const auto first = one.listings("pages3 台灯");
    const auto again = two.listings("pages3 台灯");
    const auto other = two.listings("pages3 台灯罩");
    ASSERT_EQ(first.size(), 132u);
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(first[i].nid, again[i].nid);
        EXPECT_EQ(first[i].rawTitle, again[i].rawTitle);
        EXPECT_EQ(first[i].nick, again[i].nick);
    }
    EXPECT_NE(first.front().nid, other.front().nid);
}

TEST(SearchCatalogue, KeywordSettingsOverrideSizeAndPagerForm) {
    MarketServer server;
    server.setKeyword("连衣裙", {.listingCount = 45, .pagerForm = PagerForm::None});
    EXPECT_EQ(server.listings("连衣裙").size(), 45u);
    EXPECT_EQ(server.pageCount("连衣裙"), 2);
    EXPECT_EQ(server.pagerForm("连衣裙"), PagerForm::None);
    EXPECT_EQ(server.pagerForm("oldpager x"), PagerForm::MaxOnly);
    EXPECT_EQ(server.listingCount("nohits x"), 0);
}

} // namespace
} // namespace velmora::market::test
