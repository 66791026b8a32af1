#include "MarketFixture.h"
#include "TestText.h"

namespace velmora::market::test {
namespace {

const char* const shopIdPattern = R"re(shopId=(\d+))re";
const char* const nickPattern = R"re(data-nick="(.*?)")re";
const char* const asyncPattern = R"re(<input id="J_ShopAsynSearchURL" type="hidden" value="(.*?)")re";
const char* const plainItemPattern = R"re(class="item-name" href="(.*?)" target="_blank">(.*?)</a>  )re";
const char* const tmallItemPattern =
    R"re(class="item-name".*?href="(.*?)" target="_blank">(.*?)</a>\s+<div class="attribute">)re";
const char* const salePattern = R"re(sale-num\D+(\d+))re";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class ShopPages : public MarketFixture {
protected:
    std::string cookieHeader() const {
        const Cookie cookie = server.signInCookie();
        return "Cookie: " + cookie.name + "=" + cookie.value;
    }
    std::string itemPageUrl(const std::string& shopId, int page) const {
        return server.url("shop" + shopId, replaced(server.shopAsyncSearchValue(shopId), "amp;", "") +
                                               "&tsearch=y&pageNo=" + std::to_string(page));
    }
};

struct NickCase {
    const char* shopId;
    const char* nick;
    bool percentEncoded;
};

TEST_F(ShopPages, AddressPagesNameTheShopAndItsSeller) {
    const NickCase cases[] = {
        {"123457", "小鱼的小店", true},
        {"5501234", "lucky_shop12", false},
        {"880000", "森屿旗舰店", true},
    };
    for (const NickCase& c : cases) {
        SCOPED_TRACE(c.shopId);
        ShopSettings shop = server.shopSettings(c.shopId);
        shop.nick = c.nick;
        server.setShop(c.shopId, shop);
        const std::string addresses[] = {
            server.url("shop" + std::string(c.shopId), "/"),
            server.url("item", "/item.htm?id=" + server.shopItems(c.shopId, 1).front().id),
        };
        for (const std::string& address : addresses) {
            SCOPED_TRACE(address);
            const Fetched page = client.fetch(address);
            ASSERT_EQ(page.status, 200);
            EXPECT_EQ(lastRequest().kind, RequestKind::ShopAddressPage);
            EXPECT_TRUE(strictGbkToUtf8(page.body).has_value());
            const auto shopIds = matchAll(shopIdPattern, page.body);
            ASSERT_FALSE(shopIds.empty());
            EXPECT_EQ(shopIds[0][0], c.shopId);
            const auto nicks = matchAll(nickPattern, page.body);
            ASSERT_FALSE(nicks.empty());
            EXPECT_EQ(nicks[0][0].find('%') != std::string::npos, c.percentEncoded);
            EXPECT_EQ(percentDecoded(nicks[0][0]), c.nick);
        }
    }
}

TEST_F(ShopPages, SearchPageHandsOutTheAsyncAddressOnlyWithTheSignInCookie) {
    const std::string address = server.url("shop123457", "/search.htm?");
    const std::string cookies[] = {"", "Cookie: cookie2=wrong", cookieHeader(),
                                   "Cookie: a=1; " + cookieHeader().substr(8)};
    const bool signedIn[] = {false, false, true, true};
    for (std::size_t i = 0; i < std::size(cookies); ++i) {
        SCOPED_TRACE(cookies[i]);
        FetchOptions options;
        if (!cookies[i].empty())
            options.headers.push_back(cookies[i]);
        const Fetched page = client.fetch(address, options);
        EXPECT_EQ(lastRequest().kind, RequestKind::ShopSearchPage);
        EXPECT_TRUE(strictGbkToUtf8(page.body).has_value());
        const auto matches = matchAll(asyncPattern, page.body);
        ASSERT_EQ(matches.size(), signedIn[i] ? 1u : 0u);
        if (signedIn[i]) {
            EXPECT_EQ(matches[0][0], server.shopAsyncSearchValue("123457"));
            EXPECT_EQ(matches[0][0].rfind("/i/asynSearch.htm?_ksTS=", 0), 0u);
            EXPECT_NE(matches[0][0].find("&amp;callback=jsonp"), std::string::npos);
        }
    }
}

TEST_F(ShopPages, SigningInSetsTheCookieForTheWholeDomain) {
    const std::string back = server.url("shop123457", "/search.htm?");
    const Fetched form = client.fetch(
        server.url("login", "/member/login.jhtml?spm=a21bo&f=top&redirectURL=") + encodeKeyword(back));
    ASSERT_EQ(form.status, 200);
    EXPECT_TRUE(isValidUtf8(form.body));
    EXPECT_NE(form.body.find("name=\"TPL_username\""), std::string::npos);
    EXPECT_NE(form.body.find("value=\"" + back + "\""), std::string::npos);

    const std::string post = "TPL_username=tester&TPL_password=secret&redirectURL=" + encodeKeyword(back);
    const Fetched signedIn = client.fetch(server.url("login", "/member/login.jhtml"),
                                          {.followRedirects = true, .postBody = &post});
    EXPECT_EQ(signedIn.redirects, 1);
    EXPECT_NE(signedIn.headers.find("Set-Cookie: cookie2=" + server.signInCookie().value +
                                    "; Domain=market.localhost; Path=/"),
              std::string::npos);
    EXPECT_EQ(matchAll(asyncPattern, signedIn.body).size(), 1u);
    // The cookie reaches every shop host under the domain.
    EXPECT_EQ(matchAll(asyncPattern, client.fetch(server.url("shop98765", "/search.htm?")).body).size(), 1u);
}

TEST_F(ShopPages, SignInReturnsToHttpsAddressesUnderTheDomainOverHttp) {
    const std::string post =
        "TPL_username=tester&redirectURL=" + encodeKeyword("https://www." + server.domain() + "/");
    const Fetched answer = client.fetch(server.url("login", "/member/login.jhtml"), {.postBody = &post});
    EXPECT_EQ(answer.status, 302);
    EXPECT_NE(answer.headers.find("Location: http://www." + server.domain() + "/\r\n"), std::string::npos);
}

struct LayoutCase {
    ShopLayout layout;
    int itemCount;
    int noSalesEvery;
};

TEST_F(ShopPages, ItemPagesMatchTheCollectorPatternsInPageOrder) {
    const LayoutCase cases[] = {
        {ShopLayout::Plain, 50, 0}, {ShopLayout::Tmall, 50, 0}, {ShopLayout::Alternating, 60, 0},
        {ShopLayout::Plain, 30, 4}, {ShopLayout::Tmall, 30, 5},
    };
    const std::string shopId = "4242";
    const std::string tmallMarker = "tmall." + server.domain() + "/search.htm";
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.layout) * 1000 + c.itemCount + c.noSalesEvery);
        ShopSettings shop = server.shopSettings(shopId);
        shop.layout = c.layout;
        shop.itemCount = c.itemCount;
        shop.noSalesEvery = c.noSalesEvery;
        server.setShop(shopId, shop);
        const int lastPage = server.shopPageCount(shopId);
        ASSERT_EQ(lastPage, (c.itemCount + 23) / 24);
        std::string lastBody;
        for (int page = 1; page <= lastPage + 1; ++page) {
            SCOPED_TRACE(page);
            const Fetched answer = client.fetch(itemPageUrl(shopId, page));
            ASSERT_EQ(answer.status, 200);
            EXPECT_EQ(lastRequest().kind, RequestKind::ShopItemPage);
            EXPECT_TRUE(strictGbkToUtf8(answer.body).has_value());
            EXPECT_EQ(answer.body.rfind("jsonp", 0), 0u);
            EXPECT_NE(answer.body.find("<div class=\\\"J_TItems\\\">"), std::string::npos);
            if (page == lastPage + 1) {
                EXPECT_EQ(answer.body, lastBody);
            }
            lastBody = answer.body;

            const std::string text = withoutBackslashes(answer.body);
            const bool tmall = text.find(tmallMarker) != std::string::npos;
            EXPECT_EQ(tmall, server.shopPageIsTmall(shopId, page));
            EXPECT_EQ(tmall, c.layout == ShopLayout::Tmall ||
                                 (c.layout == ShopLayout::Alternating && std::min(page, lastPage) % 2 == 1));
            const auto items = matchAll(tmall ? tmallItemPattern : plainItemPattern, text);
            EXPECT_TRUE(matchAll(tmall ? plainItemPattern : tmallItemPattern, text).empty());
            const std::vector<ShopItem> expected = server.shopItems(shopId, page);
            ASSERT_EQ(items.size(), expected.size());
            std::vector<std::string> expectedSales;
            for (std::size_t i = 0; i < items.size(); ++i) {
                EXPECT_EQ(items[i][0], expected[i].link);
                EXPECT_EQ(strictGbkToUtf8(items[i][1]).value_or("?"), expected[i].title);
                if (!expected[i].saleNum.empty())
                    expectedSales.push_back(expected[i].saleNum);
            }
            const auto sales = matchAll(salePattern, text);
            ASSERT_EQ(sales.size(), expectedSales.size());
            for (std::size_t i = 0; i < sales.size(); ++i)
                EXPECT_EQ(sales[i][0], expectedSales[i]);
            if (c.noSalesEvery > 0) {
                EXPECT_LT(sales.size(), items.size());
            }
        }
    }
}

} // namespace
} // namespace velmora::market::test
