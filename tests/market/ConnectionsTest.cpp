#include "MarketFixture.h"

#include <algorithm>

namespace velmora::market::test {
namespace {

using Connections = MarketFixture;

TEST_F(Connections, KeepAliveConnectionServesManyRequests) {
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(
            client.fetch(server.url("s", "/search?q=pages2+abc&s=" + std::to_string(i % 2 * 44))).status,
            200);
    const auto log = server.requests();
    ASSERT_EQ(log.size(), 50u);
    EXPECT_TRUE(std::all_of(log.begin(), log.end(),
                            [&](const RequestRecord& r) { return r.connection == log[0].connection; }));
    server.clearRequests();
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(Connections, RequestLogKeepsMethodTargetHeadersInOrderAndBody) {
    const std::vector<std::string> sent = {"Referer: http://s.example/x",
                                           "Accept: */*",
                                           "Accept-Language: zh-cn",
                                           "Content-Type: application/x-www-form-urlencoded",
                                           "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0)",
                                           "Cookie: a=1",
                                           "Cookie: b=2"};
    const std::string body = "k=v&x=%E4%B8%AD";
    const std::string target = "/search?q=%C1%AC&exParams={}";
    client.fetch(server.url("s", target), {.headers = sent, .postBody = &body});
    const RequestRecord record = lastRequest();
    EXPECT_EQ(record.method, "POST");
    EXPECT_EQ(record.host, "s." + server.domain());
    EXPECT_EQ(record.target, target);
    EXPECT_EQ(record.body, body);
    std::vector<std::string> received;
    for (const auto& [name, value] : record.headers)
        if (std::any_of(sent.begin(), sent.end(),
                        [&](const std::string& line) { return line.rfind(name + ":", 0) == 0; }))
            received.push_back(name + ": " + value);
    EXPECT_EQ(received, sent);
    EXPECT_EQ(record.header("cookie"), "a=1");
}

} // namespace
} // namespace velmora::market::test
