#include "LoopbackServer.h"
#include "httpTestSupport.h"

#include "http/CancelToken.h"
#include "http/httpFetch.h"
#include "http/httpFetchObject.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace velmora {
namespace {

using namespace std::chrono_literals;

class CancelTest : public HttpTest {};

TEST_F(CancelTest, ACancelledRunStartsNoExchange) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, "body"); });
    auto token = std::make_shared<CancelToken>();
    token->cancel();
    const CancelScope scope(token);
    Text responseHeaders;
    Text location;
    HttpFetchOptions options;
    options.responseHeaders = &responseHeaders;
    options.location = &location;

    EXPECT_EQ(httpFetch(server.url("/"), options), "");
    EXPECT_EQ(responseHeaders, kBlank);
    EXPECT_EQ(location, kBlank);
    EXPECT_EQ(httpFetchObject(server.url("/")), "");
    EXPECT_EQ(server.connections(), 0);
}

// Runs `exchange` on a worker bound to a fresh token, cancels the token once the stalled server
// holds the request, and gives what the exchange returned.
Bytes cancelledInFlight(LoopbackServer& server, const std::function<Bytes()>& exchange) {
    auto token = std::make_shared<CancelToken>();
    Bytes body = "unset";
    std::thread worker([&] {
        const CancelScope scope(token);
        body = exchange();
    });
    EXPECT_TRUE(server.waitForRequests(1, 10s));
    token->cancel();
    worker.join();
    return body;
}

TEST_F(CancelTest, CancellingEndsAFetchInFlightAsAFailedExchange) {
    LoopbackServer server([](const ReceivedRequest&) {
        return Reply{"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npartial", Reply::Then::Stall};
    });
    Text responseHeaders;
    Text received = "stale";
    HttpFetchOptions options;
    options.responseHeaders = &responseHeaders;
    options.receivedCookies = &received;

    EXPECT_EQ(cancelledInFlight(server, [&] { return httpFetch(server.url("/slow"), options); }), "");
    EXPECT_EQ(responseHeaders, kBlank);
    EXPECT_EQ(received, "");

    // The half-read connection is not used again: the next run's request opens a new one.
    LoopbackServer healthy([](const ReceivedRequest&) { return httpReply("200 OK", {}, "fine"); });
    EXPECT_EQ(httpFetch(healthy.url("/")), "fine");
}

TEST_F(CancelTest, CancellingEndsAnObjectExchangeInFlight) {
    LoopbackServer server([](const ReceivedRequest&) { return Reply{"", Reply::Then::Stall}; });
    Text responseHeaders = "stale";
    HttpFetchOptions options;
    options.responseHeaders = &responseHeaders;

    EXPECT_EQ(cancelledInFlight(server, [&] { return httpFetchObject(server.url("/slow"), options); }), "");
    EXPECT_EQ(responseHeaders, "");
}

TEST_F(CancelTest, ACancelledRunOnAnotherThreadDoesNotStopThisOne) {
    LoopbackServer server([](const ReceivedRequest&) { return httpReply("200 OK", {}, "mine"); });
    auto other = std::make_shared<CancelToken>();
    std::thread stopped([other] {
        const CancelScope scope(other);
        other->cancel();
    });
    stopped.join();
    const CancelScope scope(std::make_shared<CancelToken>());
    EXPECT_EQ(httpFetch(server.url("/")), "mine");
}

} // namespace
} // namespace velmora
