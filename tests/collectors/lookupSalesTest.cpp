#include "collectors/lookupSales.h"
#include "CollectorFixture.h"

namespace velmora::test {
namespace {

class LookupSales : public CollectorFixture {};

TEST_F(LookupSales, takesTheDigitsAfterTheKeyFromTheItemDetail) {
    // Among the listings of a big catalogue are figures below ten thousand, figures such as
    // "1.2万" (whose digits end at the point) and items without a figure.
    int withUnit = 0;
    int without = 0;
    for (const auto& listing : server.listings("pages3 abc")) {
        const auto sales = server.itemSales(listing.nid);
        withUnit += sales.soldQuantity.find('.') != std::string::npos;
        without += sales.soldQuantity.empty();
        EXPECT_EQ(lookupSales(listing.nid, endpoints), leadingDigits(sales.soldQuantity)) << listing.nid;
    }
    EXPECT_GT(withUnit, 0);
    EXPECT_GT(without, 0);
}

TEST_F(LookupSales, anEmptyIdStillAsksAndFindsNothing) {
    EXPECT_EQ(lookupSales("", endpoints), "");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].target, "/cache/wdetail/5.0/?id=&ttid=2013@taobao_h5_1.0.0&exParams={}");
}

TEST_F(LookupSales, aFailedRequestGivesNoFigure) {
    market::FaultRule fault;
    fault.type = market::FaultType::ServerError;
    server.addFault(fault);
    EXPECT_EQ(lookupSales(server.listings("pages1 abc")[0].nid, endpoints), "");
}

} // namespace
} // namespace velmora::test
