#include "collectors/collectShop.h"
#include "CollectorFixture.h"
#include "http/CookieStore.h"
#include "http/httpFetch.h"

#include <gmock/gmock.h>

#include <atomic>

namespace velmora::test {
namespace {

using market::RequestKind;
using market::ShopItem;
using market::ShopLayout;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::StartsWith;

class CollectShop : public CollectorFixture {
protected:
    void SetUp() override {
        CollectorFixture::SetUp();
        CookieStore::shared().clear();
        shopAddress = server.url("shop" + shopId, "/");
        setShop({.itemCount = 50, .pageSize = 24, .layout = ShopLayout::Plain, .nick = "小店"});
    }
    void TearDown() override { CookieStore::shared().clear(); }

    void setShop(market::ShopSettings shop) { server.setShop(shopId, shop); }

    /// Signs in as a user would in the browser pane, through the shared cookie store.
    void signIn() {
        httpFetch("http://login." + server.domain() + "/member/login.jhtml?TPL_username=buyer&redirectURL=" +
                  "http%3A%2F%2Fwww." + server.domain() + "%2F");
    }

    RunOutcome collect() {
        settings.setKeyword(shopAddress);
        return run(collectShop);
    }

    /// Every item of the shop in walk order, once each.
    std::vector<ShopItem> allItems() const {
        std::vector<ShopItem> items;
        for (int page = 1; page <= server.shopPageCount(shopId); ++page) {
            for (auto& item : server.shopItems(shopId, page)) {
                items.push_back(item);
            }
        }
        return items;
    }

    /// The rows a walk over pages gives, sales figures paired by position on each page.
    std::vector<RecordingView::Row> expectedRows(const std::string& nick) const {
        std::vector<RecordingView::Row> rows;
        for (int page = 1; page <= server.shopPageCount(shopId); ++page) {
            const auto items = server.shopItems(shopId, page);
            std::vector<std::string> figures;
            for (const auto& item : items) {
                if (!item.saleNum.empty()) {
                    figures.push_back(item.saleNum);
                }
            }
            for (std::size_t i = 0; i < items.size(); ++i) {
                rows.push_back({std::to_string(rows.size() + 1), "http:" + items[i].link, items[i].title,
                                nick, i < figures.size() ? figures[i] : ""});
            }
        }
        return rows;
    }

    const std::string shopId = "123456";
    std::string shopAddress;
};

TEST_F(CollectShop, aSignedInRunWalksThePagesUntilOneBringsNothingNew) {
    signIn();

    EXPECT_EQ(collect(), RunOutcome::Finished);

    EXPECT_EQ(view.rows, expectedRows("小店"));
    EXPECT_THAT(view.callsStartingWith("log"),
                ElementsAre("log 店铺ID：123456", "log Userid：小店", "log 获取地址成功！！", "log 第：1 页",
                            "log 第：2 页", "log 第：3 页", "log 第：4 页",
                            "log 获取完毕，4 页 50 条数据！"));
    EXPECT_THAT(view.callsStartingWith("width"), ElementsAre("width 542"));
    EXPECT_TRUE(view.callsStartingWith("browser").empty());
    EXPECT_EQ(view.calls.front(), "clearRows");
    EXPECT_EQ(view.callsStartingWith("status").back(), "status 采集：50 条");
}

TEST_F(CollectShop, buildsThePageAddressesFromTheShopBaseAndTheUnescapedSearchValue) {
    signIn();
    collect();

    EXPECT_EQ(requestsOf(RequestKind::ShopSearchPage).size(), 2u) << "the first look and attempt 1";
    std::string value = server.shopAsyncSearchValue(shopId);
    for (std::size_t at; (at = value.find("amp;")) != std::string::npos;) {
        value.erase(at, 4);
    }
    const auto pages = requestsOf(RequestKind::ShopItemPage);
    ASSERT_EQ(pages.size(), 4u);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].host, "shop" + shopId + "." + server.domain());
        EXPECT_EQ(pages[i].target, value + "&tsearch=y&pageNo=" + std::to_string(i + 1));
    }
}

TEST_F(CollectShop, readsTheShopAddressOutsideTheSharedCookieStore) {
    signIn();
    collect();

    const auto addressPages = requestsOf(RequestKind::ShopAddressPage);
    ASSERT_EQ(addressPages.size(), 1u);
    EXPECT_EQ(addressPages[0].target, "/");
    EXPECT_EQ(addressPages[0].header("Cookie"), "");
    EXPECT_NE(requestsOf(RequestKind::ShopSearchPage)[0].header("Cookie"), "");
}

TEST_F(CollectShop, uncoversTheBrowserAndCarriesOnOnceTheUserSignsIn) {
    const int failedAttempts = 3;
    std::atomic<int> searches = 0;
    // The sign-in lands while the answer to the third failed attempt is on its way, so the
    // fourth attempt is the first to carry it.
    server.setRequestObserver([&](const market::RequestRecord& request) {
        if (request.kind == RequestKind::ShopSearchPage && ++searches == 1 + failedAttempts) {
            signIn();
        }
    });

    EXPECT_EQ(collect(), RunOutcome::Finished);

    EXPECT_THAT(view.calls, Contains("log 获取地址失败，请登录TB账号继续！"));
    EXPECT_THAT(view.callsStartingWith("browser"), ElementsAre("browser " + shopAddress));
    EXPECT_THAT(view.callsStartingWith("width"), ElementsAre("width 1298", "width 542"));
    EXPECT_EQ(requestsOf(RequestKind::ShopSearchPage).size(), 2u + failedAttempts);
    EXPECT_EQ(view.rows.size(), 50u);
}

TEST_F(CollectShop, withoutShopIdOrSignInGivesUpAfterTwentyAttempts) {
    settings.setKeyword("http://www." + server.domain() + "/");

    EXPECT_EQ(run(collectShop), RunOutcome::NoResults);

    EXPECT_THAT(view.calls, ElementsAre("clearRows", "log 店铺ID：", StartsWith("log Userid："),
                                        "log 获取地址失败，请登录TB账号继续！",
                                        "browser http://www." + server.domain() + "/", "width 1298",
                                        "log 获取地址失败！返回！"));
    std::vector<market::RequestRecord> searches;
    for (const auto& request : server.requests()) {
        if (request.target.starts_with("/search.htm")) {
            searches.push_back(request);
        }
    }
    ASSERT_EQ(searches.size(), 21u) << "the first look and twenty attempts";
    EXPECT_EQ(searches[0].host, "shop." + server.domain());
    EXPECT_EQ(searches[0].target, "/search.htm?");
}

TEST_F(CollectShop, decodesAPercentEncodedNickAndKeepsAPlainOne) {
    struct Case {
        std::string nick;
    } cases[] = {{"小店"}, {"shop_abc-01"}};
    signIn();
    for (const auto& c : cases) {
        setShop({.itemCount = 3, .pageSize = 24, .layout = ShopLayout::Plain, .nick = c.nick});
        view = {};
        collect();
        EXPECT_THAT(view.calls, Contains("log Userid：" + c.nick));
        ASSERT_FALSE(view.rows.empty());
        EXPECT_EQ(view.rows[0][3], c.nick);
    }
}

TEST_F(CollectShop, aPageOfRepeatsEndsTheWalkAndIsNamedInTheSummary) {
    setShop({.itemCount = 24, .pageSize = 24, .layout = ShopLayout::Plain, .nick = "n"});
    signIn();

    collect();

    EXPECT_EQ(view.rows.size(), 24u);
    EXPECT_EQ(view.callsStartingWith("log").back(), "log 获取完毕，2 页 24 条数据！");
}

TEST_F(CollectShop, matchesPlainAndTmallLayoutsPageByPage) {
    setShop({.itemCount = 100, .pageSize = 24, .layout = ShopLayout::Alternating, .nick = "天猫店"});
    ASSERT_TRUE(server.shopPageIsTmall(shopId, 1));
    ASSERT_FALSE(server.shopPageIsTmall(shopId, 2));
    signIn();

    collect();

    EXPECT_EQ(view.rows, expectedRows("天猫店"));
}

TEST_F(CollectShop, pairsSalesFiguresByPositionWhenSomeItemsShowNone) {
    setShop({.itemCount = 30, .pageSize = 24, .layout = ShopLayout::Plain, .noSalesEvery = 4, .nick = "n"});
    signIn();

    collect();

    const auto rows = expectedRows("n");
    EXPECT_EQ(view.rows, rows);
    EXPECT_EQ(view.rows[23][4], "") << "page 1 holds fewer figures than items";
}

TEST_F(CollectShop, theFilterKeepsItemsWhoseTitleHoldsTheWord) {
    signIn();
    const auto items = allItems();
    const std::string word = items[0].title.substr(0, 3);
    settings.setFilterEnabled(true);
    settings.setFilterWord(gbk(word));

    collect();

    std::vector<std::string> expected;
    for (const auto& item : items) {
        if (item.title.find(word) != std::string::npos) {
            expected.push_back(item.title);
        }
    }
    std::vector<std::string> titles;
    for (const auto& row : view.rows) {
        titles.push_back(row[2]);
    }
    EXPECT_EQ(titles, expected);
    EXPECT_EQ(view.callsStartingWith("status").size(), items.size()) << "every new item updates the status";
}

TEST_F(CollectShop, aStopOnPageTwoEndsWithoutSummary) {
    signIn();
    view.onCall = [this](const std::string& call) {
        if (call == "appendRow 30") {
            token->cancel();
        }
    };

    EXPECT_EQ(collect(), RunOutcome::Stopped);

    EXPECT_EQ(view.rows.size(), 30u);
    EXPECT_EQ(view.callsStartingWith("log").back(), "log 第：2 页");
    EXPECT_EQ(requestsOf(RequestKind::ShopItemPage).size(), 2u);
}

} // namespace
} // namespace velmora::test
