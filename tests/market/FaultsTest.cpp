#include "MarketFixture.h"
#include "TestText.h"

#include <chrono>
#include <functional>
#include <thread>

namespace velmora::market::test {
namespace {

const char* const listingPattern =
    R"re("nid":"(\d+)".*?raw_title":"(.*?)".*?,"detail_url":"(.*?)".*?user_id":"(.*?)","nick":"(.*?)")re";

class Faults : public MarketFixture {
public:
    std::string firstLook() const { return server.url("s", "/search?q=pages3+abc&tab=all"); }
    std::string detail(const std::string& id) const {
        return server.url("hws.m", "/cache/wdetail/5.0/?id=" + id + "&ttid=2013@taobao_h5_1.0.0&exParams={}");
    }
    std::string detailWithFigure() const {
        for (const ShopItem& item : server.shopItems("4242", 1))
            if (!server.itemSales(item.id).soldQuantity.empty())
                return detail(item.id);
        return detail("");
    }
    std::string shopItemPage() const {
        return server.url("shop4242",
                          "/i/asynSearch.htm?callback=jsonp1&path=/search.htm&search=y&tsearch=y&pageNo=1");
    }
};

struct FaultCase {
    const char* name;
    FaultRule rule;
    std::string (Faults::*address)() const;
    FetchOptions options;
    std::function<void(const Fetched&)> check;
};

FaultRule rule(FaultType type, RequestKind kind) {
    FaultRule rule;
    rule.type = type;
    rule.kind = kind;
    return rule;
}

TEST_F(Faults, EachFaultReachesTheClientAsIntended) {
    FaultRule delay = rule(FaultType::Delay, RequestKind::KeywordFirstLook);
    delay.delayMs = 50;
    FaultRule drip = rule(FaultType::Drip, RequestKind::KeywordFirstLook);
    drip.dripIntervalMs = 1000;
    const FetchOptions briefly{.timeoutMs = 300};
    const FaultCase cases[] = {
        {"delay",
         delay,
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_EQ(f.code, CURLE_OK);
             EXPECT_NE(f.body.find("\"totalPage\":3,"), std::string::npos);
         }},
        {"stall", rule(FaultType::Stall, RequestKind::KeywordFirstLook), &Faults::firstLook, briefly,
         [](const Fetched& f) {
             EXPECT_EQ(f.code, CURLE_OPERATION_TIMEDOUT);
             EXPECT_EQ(f.status, 0);
         }},
        {"drip", drip, &Faults::firstLook, briefly,
         [](const Fetched& f) {
             EXPECT_EQ(f.code, CURLE_OPERATION_TIMEDOUT);
             EXPECT_EQ(f.status, 200);
             EXPECT_LE(f.body.size(), 1u);
         }},
        {"reset",
         rule(FaultType::ResetMidBody, RequestKind::ShopItemPage),
         &Faults::shopItemPage,
         {},
         [](const Fetched& f) {
             EXPECT_NE(f.code, CURLE_OK);
             EXPECT_EQ(f.status, 200);
         }},
        {"500",
         rule(FaultType::ServerError, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_EQ(f.status, 500);
             EXPECT_EQ(f.body.find("totalPage"), std::string::npos);
         }},
        {"garbage",
         rule(FaultType::Garbage, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_EQ(f.status, 200);
             EXPECT_EQ(f.body.size(), 16384u);
             EXPECT_FALSE(isValidUtf8(f.body));
         }},
        {"huge",
         rule(FaultType::HugePage, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_EQ(f.body.size(), 20u << 20);
             EXPECT_NE(f.body.find("\"totalPage\":3,"), std::string::npos);
         }},
        {"invalid UTF-8 in listings",
         rule(FaultType::InvalidEncoding, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_FALSE(isValidUtf8(f.body));
             EXPECT_EQ(matchAll(listingPattern, f.body).size(), 44u);
         }},
        {"invalid UTF-8 in detail",
         rule(FaultType::InvalidEncoding, RequestKind::ItemDetail),
         &Faults::detailWithFigure,
         {},
         [](const Fetched& f) {
             EXPECT_FALSE(isValidUtf8(f.body));
             EXPECT_NE(f.body.find("totalSoldQuantity"), std::string::npos);
         }},
        {"invalid code page 936 in items",
         rule(FaultType::InvalidEncoding, RequestKind::ShopItemPage),
         &Faults::shopItemPage,
         {},
         [](const Fetched& f) {
             EXPECT_FALSE(strictGbkToUtf8(f.body).has_value());
             EXPECT_EQ(matchAll(R"re(sale-num\D+(\d+))re", withoutBackslashes(f.body)).size(), 24u);
         }},
        {"redirect loop",
         rule(FaultType::RedirectLoop, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {.followRedirects = true, .maxRedirects = 5},
         [](const Fetched& f) { EXPECT_EQ(f.code, CURLE_TOO_MANY_REDIRECTS); }},
        {"oversized headers",
         rule(FaultType::OversizedHeaders, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_GT(f.headerBytes, 5000);
             EXPECT_NE(f.body.find("\"totalPage\":3,"), std::string::npos);
         }},
        {"sign-in wall",
         rule(FaultType::SignInWall, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_EQ(f.status, 200);
             EXPECT_NE(f.body.find("login.jhtml"), std::string::npos);
             EXPECT_EQ(f.body.find("totalPage"), std::string::npos);
         }},
        {"slider check",
         rule(FaultType::SliderCheck, RequestKind::KeywordFirstLook),
         &Faults::firstLook,
         {},
         [](const Fetched& f) {
             EXPECT_EQ(f.status, 200);
             EXPECT_NE(f.body.find("nc_1_n1z"), std::string::npos);
             EXPECT_EQ(f.body.find("totalPage"), std::string::npos);
         }},
    };
    for (const FaultCase& c : cases) {
        SCOPED_TRACE(c.name);
        server.clearFaults();
        server.addFault(c.rule);
        TestClient fresh;
        c.check(fresh.fetch((this->*c.address)(), c.options));
        ASSERT_FALSE(server.requests().empty());
        EXPECT_EQ(lastRequest().fault, c.rule.type);
    }
}

struct NumberCase {
    int firstRequest;
    int count;
    std::vector<long> statuses;
};

TEST_F(Faults, RuleHitsTheNumberedRequestsOfItsKind) {
    const NumberCase cases[] = {
        {3, 1, {200, 200, 500, 200, 200}},
        {2, FaultRule::always, {200, 500, 500, 500, 500}},
        {1, 2, {500, 500, 200, 200, 200}},
    };
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(c.firstRequest * 10 + c.count);
        server.clearFaults();
        FaultRule fault = rule(FaultType::ServerError, RequestKind::ItemDetail);
        fault.firstRequest = c.firstRequest;
        fault.count = c.count;
        server.addFault(fault);
        for (std::size_t i = 0; i < c.statuses.size(); ++i) {
            EXPECT_EQ(client.fetch(detail(std::to_string(612345678900 + i))).status, c.statuses[i]);
            // Requests of other kinds neither count nor fail.
            EXPECT_EQ(client.fetch(firstLook()).status, 200);
        }
    }
}

TEST_F(Faults, HostAndPathPrefixSelectRequests) {
    FaultRule byPath = rule(FaultType::ServerError, RequestKind::KeywordFirstLook);
    byPath.kind.reset();
    byPath.pathPrefix = "/search?q=broken";
    byPath.count = FaultRule::always;
    FaultRule byHost = byPath;
    byHost.pathPrefix.clear();
    byHost.host = "shop77.";
    server.addFault(byPath);
    server.addFault(byHost);
    EXPECT_EQ(client.fetch(server.url("s", "/search?q=broken+glass")).status, 500);
    EXPECT_EQ(client.fetch(server.url("s", "/search?q=glass")).status, 200);
    EXPECT_EQ(client.fetch(server.url("shop77", "/search.htm?")).status, 500);
    EXPECT_EQ(client.fetch(server.url("shop778", "/search.htm?")).status, 200);
}

TEST_F(Faults, StopEndsStalledAndDrippingConnections) {
    server.addFault(rule(FaultType::Stall, RequestKind::ItemDetail));
    server.addFault(rule(FaultType::Drip, RequestKind::KeywordFirstLook));
    Fetched stalled, dripped;
    std::thread first([&] { stalled = TestClient().fetch(detail("1"), {.timeoutMs = 60'000}); });
    std::thread second([&] { dripped = TestClient().fetch(firstLook(), {.timeoutMs = 60'000}); });
    for (int wait = 0; wait < 2000 && server.requests().size() < 2; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(server.requests().size(), 2u);
    server.stop();
    first.join();
    second.join();
    EXPECT_EQ(stalled.code, CURLE_GOT_NOTHING);
    EXPECT_EQ(dripped.code, CURLE_PARTIAL_FILE);
}

} // namespace
} // namespace velmora::market::test
