#include "collectors/collectKeyword.h"
#include "CollectorFixture.h"

#include <gmock/gmock.h>

namespace velmora::test {
namespace {

using market::Listing;
using market::PagerForm;
using market::RequestKind;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

class CollectKeyword : public CollectorFixture {
protected:
    void SetUp() override {
        CollectorFixture::SetUp();
        settings.setPageLimit(10);
        settings.setQuerySuffix("&tab=all");
    }

    RunOutcome collect(const std::string& keyword) {
        settings.setKeyword(gbk(keyword));
        return run(collectKeyword);
    }

    /// The row the collector makes of a listing.
    RecordingView::Row rowOf(int number, const Listing& listing) const {
        return {std::to_string(number), "http:" + listing.detailUrl, listing.rawTitleField, listing.nick,
                leadingDigits(server.itemSales(listing.nid).soldQuantity)};
    }

    std::vector<RecordingView::Row> rowsOf(const std::vector<Listing>& listings, std::size_t count) const {
        std::vector<RecordingView::Row> rows;
        for (std::size_t i = 0; i < count && i < listings.size(); ++i) {
            rows.push_back(rowOf(int(i) + 1, listings[i]));
        }
        return rows;
    }

    /// The result offsets ("s=") of the result-page requests, in order.
    std::vector<std::string> resultOffsets() const {
        std::vector<std::string> offsets;
        for (const auto& request : requestsOf(RequestKind::ResultPage)) {
            offsets.push_back(request.target.substr(request.target.rfind("&s=") + 3));
        }
        return offsets;
    }
};

TEST_F(CollectKeyword, walksPagesUpToThePageCountWithOffsetsOf44) {
    server.setKeyword("pages3 abc", {});
    settings.setPageLimit(10);

    EXPECT_EQ(collect("pages3 abc"), RunOutcome::Finished);

    EXPECT_THAT(resultOffsets(), ElementsAre("0", "44", "88"));
    const auto listings = server.listings("pages3 abc");
    EXPECT_EQ(view.rows, rowsOf(listings, listings.size()));
    EXPECT_EQ(view.callsStartingWith("log").back(), "log 采集完毕，共计：132 条数据！");
    EXPECT_EQ(view.callsStartingWith("status").back(), "status 共计：132");
}

TEST_F(CollectKeyword, requestsTheFirstLookThenEveryPageWithItsSalesLookups) {
    settings.setPageLimit(1);
    settings.setQuerySuffix("&filter=reserve_price%5B10%2C500%5D&tab=mall");

    collect("pages2 手机 壳");

    const auto requests = server.requests();
    const std::string base =
        "/search?q=pages2+%CA%D6%BB%FA+%BF%C7&filter=reserve_price%5B10%2C500%5D&tab=mall";
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, base);
    EXPECT_EQ(requests[0].host, "s." + server.domain());
    EXPECT_EQ(requests[1].target, base + "&promote=0&bcoffset=-4&s=0");
    const auto listings =
        server.listings("pages2 手机 壳", {.minPrice = 10, .maxPrice = 500, .tmallOnly = true});
    ASSERT_EQ(requests.size(), 2 + std::min<std::size_t>(listings.size(), 44));
    for (std::size_t i = 2; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].host, "hws.m." + server.domain());
        EXPECT_EQ(requests[i].target,
                  "/cache/wdetail/5.0/?id=" + listings[i - 2].nid + "&ttid=2013@taobao_h5_1.0.0&exParams={}");
    }
    for (const auto& request : requests) {
        EXPECT_EQ(request.method, "GET");
    }
}

TEST_F(CollectKeyword, fillsEachRowCellByCellAndUpdatesTheStatusAfterEachListing) {
    server.setKeyword("pages1 x", {.listingCount = 2});
    collect("pages1 x");

    const auto listings = server.listings("pages1 x");
    ASSERT_EQ(listings.size(), 2u);
    const auto first = rowOf(1, listings[0]);
    const auto second = rowOf(2, listings[1]);
    EXPECT_THAT(view.calls,
                ElementsAre("log 关键词：pages1 x 页数：1", "clearRows", "log 1/1", "appendRow 1",
                            "setCell 0 1 " + first[1], "setCell 0 2 " + first[2], "setCell 0 3 " + first[3],
                            "setCell 0 4 " + first[4], "status 1/1 _ 数量：1", "appendRow 2",
                            "setCell 1 1 " + second[1], "setCell 1 2 " + second[2],
                            "setCell 1 3 " + second[3], "setCell 1 4 " + second[4], "status 1/1 _ 数量：2",
                            "status 共计：2", "log 采集完毕，共计：2 条数据！"));
}

TEST_F(CollectKeyword, stopsAtThePageLimitWhenItIsBelowThePageCount) {
    settings.setPageLimit(2);
    collect("pages5 abc");
    EXPECT_THAT(resultOffsets(), ElementsAre("0", "44"));
    EXPECT_EQ(view.rows.size(), 88u);
}

TEST_F(CollectKeyword, pageLimitZeroClearsTheTableAndReportsNoRows) {
    view.rows.push_back({"1", "old", "", "", ""});
    settings.setPageLimit(0);

    EXPECT_EQ(collect("pages3 abc"), RunOutcome::Finished);

    EXPECT_TRUE(resultOffsets().empty());
    EXPECT_TRUE(view.rows.empty());
    EXPECT_THAT(view.calls, ElementsAre("log 关键词：pages3 abc 页数：3", "clearRows", "status 共计：0",
                                        "log 采集完毕，共计：0 条数据！"));
}

TEST_F(CollectKeyword, fallsBackToTheOlderPageCountForm) {
    settings.setPageLimit(1);
    collect("oldpager pages4 abc");
    EXPECT_EQ(view.calls.front(), "log 关键词：oldpager pages4 abc 页数：4");
    EXPECT_EQ(view.callsStartingWith("log 1/")[0], "log 1/4");
}

TEST_F(CollectKeyword, withoutPageCountLogsTheFailureAndLeavesTheTable) {
    view.rows.push_back({"1", "kept", "", "", ""});

    EXPECT_EQ(collect("nopager abc"), RunOutcome::NoResults);

    EXPECT_THAT(view.calls, ElementsAre("log 关键词：nopager abc 页数：", "log 获取页数失败！"));
    EXPECT_EQ(view.rows.size(), 1u);
    EXPECT_TRUE(resultOffsets().empty());
}

TEST_F(CollectKeyword, aFailedFirstLookIsAMissingPageCount) {
    market::FaultRule fault;
    fault.type = market::FaultType::ServerError;
    fault.kind = RequestKind::KeywordFirstLook;
    server.addFault(fault);

    EXPECT_EQ(collect("pages2 abc"), RunOutcome::NoResults);
    EXPECT_EQ(view.calls.back(), "log 获取页数失败！");
}

TEST_F(CollectKeyword, rowNumbersContinueAcrossPages) {
    settings.setPageLimit(2);
    collect("pages2 abc");
    ASSERT_EQ(view.rows.size(), 88u);
    for (std::size_t i = 0; i < view.rows.size(); ++i) {
        EXPECT_EQ(view.rows[i][0], std::to_string(i + 1));
    }
}

TEST_F(CollectKeyword, theFilterKeepsListingsWhoseAddressHoldsTheWordInThatCase) {
    settings.setPageLimit(1);
    settings.setFilterEnabled(true);
    settings.setFilterWord("tmall");

    collect("pages1 abc");

    std::vector<Listing> kept;
    for (const auto& listing : server.listings("pages1 abc")) {
        if (listing.detailUrlField.find("tmall") != std::string::npos) {
            kept.push_back(listing);
        }
    }
    ASSERT_FALSE(kept.empty());
    EXPECT_EQ(view.rows, rowsOf(kept, kept.size()));
    EXPECT_EQ(view.callsStartingWith("status 1/1").size(), 44u) << "the status follows every listing";

    view = {};
    settings.setFilterWord("TMALL");
    collect("pages1 abc");
    EXPECT_TRUE(view.rows.empty());
}

TEST_F(CollectKeyword, anEmptyFilterWordKeepsEveryListingWithAnAddress) {
    settings.setPageLimit(1);
    settings.setFilterEnabled(true);
    settings.setFilterWord("");
    collect("pages1 abc");
    EXPECT_EQ(view.rows.size(), 44u);
}

TEST_F(CollectKeyword, aSortChangeDuringTheRunReachesTheNextPage) {
    settings.setPageLimit(3);
    view.onCall = [this](const std::string& call) {
        if (call == "log 2/3") {
            settings.setSortSuffix("&sort=sale-desc");
        }
    };

    collect("pages3 abc");

    const auto pages = requestsOf(RequestKind::ResultPage);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].target.find("&sort="), std::string::npos);
    EXPECT_EQ(pages[1].target, "/search?q=pages3+abc&sort=sale-desc&tab=all&promote=0&bcoffset=-4&s=44");
    EXPECT_NE(pages[2].target.find("abc&sort=sale-desc&tab=all"), std::string::npos);
    const auto bySales = server.listings("pages3 abc", {.bySales = true});
    EXPECT_EQ(view.rows[44], rowOf(45, bySales[44]));
}

TEST_F(CollectKeyword, aStopInTheMiddleOfAPageEndsWithoutSummary) {
    settings.setPageLimit(3);
    view.onCall = [this](const std::string& call) {
        if (call == "appendRow 50") {
            token->cancel();
        }
    };

    EXPECT_EQ(collect("pages3 abc"), RunOutcome::Stopped);

    EXPECT_EQ(view.rows.size(), 50u);
    EXPECT_EQ(view.calls.back(), "status 2/3 _ 数量：50");
    EXPECT_TRUE(view.callsStartingWith("log 采集完毕").empty());
    EXPECT_EQ(resultOffsets().size(), 2u) << "no page is asked for after the stop";
}

TEST_F(CollectKeyword, aFailedResultPageBringsNoListingsAndTheWalkGoesOn) {
    market::FaultRule fault;
    fault.type = market::FaultType::ServerError;
    fault.kind = RequestKind::ResultPage;
    fault.firstRequest = 2;
    server.addFault(fault);

    EXPECT_EQ(collect("pages3 abc"), RunOutcome::Finished);

    EXPECT_EQ(view.rows.size(), 88u);
    EXPECT_EQ(resultOffsets().size(), 3u);
    EXPECT_EQ(view.callsStartingWith("log").back(), "log 采集完毕，共计：88 条数据！");
}

TEST(UrlEncodeKeyword, writesSpacesAsPlusAndEveryOtherByteInHex) {
    EXPECT_EQ(urlEncodeKeyword(gbk("手机 a+b-c._~")), "%CA%D6%BB%FA+a%2Bb-c._%7E");
}

} // namespace
} // namespace velmora::test
