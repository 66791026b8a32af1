#include "MarketFixture.h"
#include "TestText.h"

namespace velmora::market::test {
namespace {

const char* const salesPattern = R"re(totalSoldQuantity\D+(\d+))re";

class ItemDetail : public MarketFixture {
protected:
    Fetched detail(const std::string& id) {
        return client.fetch(
            server.url("hws.m", "/cache/wdetail/5.0/?id=" + id + "&ttid=2013@taobao_h5_1.0.0&exParams={}"));
    }
};

TEST_F(ItemDetail, SalesPatternFindsTheFigureOfTheListing) {
    int absent = 0, tenThousands = 0;
    for (const Listing& listing : server.listings("pages3 保温杯")) {
        SCOPED_TRACE(listing.nid);
        const ItemSales sales = server.itemSales(listing.nid);
        EXPECT_EQ(sales.sales, listing.sales);
        const Fetched answer = detail(listing.nid);
        ASSERT_EQ(answer.code, CURLE_OK);
        EXPECT_EQ(lastRequest().kind, RequestKind::ItemDetail);
        EXPECT_TRUE(isValidUtf8(answer.body));
        const auto matches = matchAll(salesPattern, answer.body);
        if (sales.soldQuantity.empty()) {
            ++absent;
            EXPECT_TRUE(matches.empty());
            continue;
        }
        // The figure sits in the escaped inner document, as the mobile detail service sends it.
        EXPECT_NE(answer.body.find("\\\"totalSoldQuantity\\\":\\\"" + sales.soldQuantity + "\\\""),
                  std::string::npos);
        ASSERT_FALSE(matches.empty());
        if (listing.sales >= 10000) {
            ++tenThousands;
            // "1.2万": the pattern takes the digits before the point.
            EXPECT_NE(sales.soldQuantity.find("万"), std::string::npos);
            EXPECT_EQ(matches[0][0], std::to_string(listing.sales / 10000));
        } else {
            EXPECT_EQ(matches[0][0], std::to_string(listing.sales));
        }
    }
    EXPECT_GT(absent, 0);
    EXPECT_GT(tenThousands, 0);
}

TEST_F(ItemDetail, UnknownItemsAnswerWithoutAFigure) {
    for (const std::string id : {"", "abc"}) {
        SCOPED_TRACE(id);
        const Fetched answer = detail(id);
        EXPECT_EQ(answer.status, 200);
        EXPECT_NE(answer.body.find("ERRCODE_QUERY_DETAIL_FAIL"), std::string::npos);
        EXPECT_TRUE(matchAll(salesPattern, answer.body).empty());
    }
}

} // namespace
} // namespace velmora::market::test
