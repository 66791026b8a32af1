#include "RecordingView.h"
#include "collectors/Endpoints.h"
#include "collectors/SeenItemSet.h"
#include "collectors/extractItemId.h"
#include "collectors/pauseWithEvents.h"
#include "http/CancelToken.h"

#include <gtest/gtest.h>

#include <memory>

namespace velmora::test {
namespace {

TEST(ExtractItemId, takesTheDigitsAfterTheFirstIdKeyInAnyCase) {
    const struct {
        const char* link;
        const char* id;
    } cases[] = {
        {"//item.taobao.com/item.htm?id=612345678901&ns=1", "612345678901"},
        {"//detail.tmall.com/item.htm?spm=a&ID=42&rn=x", "42"},
        {"//shop.example/x?shopId=77&id=5", "77"},
        {"//item.taobao.com/item.htm?id=0012", "0012"},
        {"//item.taobao.com/item.htm?id=abc", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(extractItemId(c.link), c.id) << c.link;
    }
}

TEST(SeenItemSet, acceptsEachExactKeyOnce) {
    SeenItemSet seen;
    EXPECT_TRUE(seen.add("123"));
    EXPECT_FALSE(seen.add("123"));
    EXPECT_TRUE(seen.add("0123")) << "a leading zero makes another key";
    EXPECT_TRUE(seen.add(""));
    EXPECT_FALSE(seen.add("")) << "the empty id is a key like any other";
    EXPECT_EQ(seen.keys(), (std::vector<Text>{"123", "0123", ""}));
}

TEST(PauseWithEvents, endsWhenTheRunIsStopped) {
    auto token = std::make_shared<CancelToken>();
    CancelScope scope(token);
    token->cancel();
    EXPECT_TRUE(pauseWithEvents(3'600'000));
}

TEST(Endpoints, theMarketplaceSignInAddressReturnsToTheHomePage) {
    EXPECT_EQ(Endpoints::marketplace().signInAddress(),
              "https://login.taobao.com/member/login.jhtml?spm=a21bo.7724922.1997563269.1.f2etGY&f=top"
              "&redirectURL=https%3A%2F%2Fwww.taobao.com%2F");
}

TEST(Endpoints, aSimulatorDomainReplacesEveryHost) {
    const auto endpoints = Endpoints::simulator("market.localhost:8123");
    EXPECT_EQ(endpoints.searchBase(), "http://s.market.localhost:8123/search?q=");
    EXPECT_EQ(
        endpoints.itemDetailAddress("7"),
        "http://hws.m.market.localhost:8123/cache/wdetail/5.0/?id=7&ttid=2013@taobao_h5_1.0.0&exParams={}");
    EXPECT_EQ(endpoints.shopSearchAddress("9"), "http://shop9.market.localhost:8123/search.htm?");
    EXPECT_EQ(endpoints.shopBaseAddress(""), "http://shop.market.localhost:8123");
    EXPECT_EQ(endpoints.tmallStorefrontMarker(), "tmall.market.localhost:8123/search.htm");
    EXPECT_EQ(
        endpoints.signInAddress(),
        "http://login.market.localhost:8123/member/login.jhtml?spm=a21bo.7724922.1997563269.1.f2etGY&f=top"
        "&redirectURL=http%3A%2F%2Fwww.market.localhost%3A8123%2F");
}

} // namespace
} // namespace velmora::test
